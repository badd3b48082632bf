#pragma once

#include <wx/panel.h>
#include <wx/stattext.h>

namespace Tolvane::Properties {

// Stores the camera's current values as the user's settings, or removes them again.
class SaveTab : public wxPanel {
public:
    enum Ids { ID_SAVE = 45, ID_REMOVE = 46 };

    explicit SaveTab(wxWindow* parent);
    // The saved state: text 80 in green, or 81 in red.
    void refresh();
    wxStaticText* getStatus() const { return status; }

private:
    void onSave(wxCommandEvent& event);
    void onRemove(wxCommandEvent& event);

    wxStaticText* status;
};

} // namespace Tolvane::Properties
