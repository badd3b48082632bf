#pragma once

#include <wx/button.h>
#include <wx/panel.h>

namespace Tolvane::Properties {

// One-shot white balance of a colour camera, started and stopped by one button.
class WhiteTab : public wxPanel {
public:
    enum Ids { ID_START_STOP = 34 };

    explicit WhiteTab(wxWindow* parent);
    bool isRunning() const { return running; }
    wxButton* getButton() const { return button; }

private:
    void onButton(wxCommandEvent& event);

    wxButton* button;
    bool running = false;
};

} // namespace Tolvane::Properties
