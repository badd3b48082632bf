#pragma once

#include <wx/odcombo.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// An editable combo box of the system's font faces, each drawn in its own face; the mouse
// wheel moves the selection and reports it as a selection event.
class PBN_API FontCombo : public wxOwnerDrawnComboBox {
public:
    FontCombo(wxWindow* parent, const unsigned int& id);

    // The face shown in the text field.
    wxString getFont() const;
    // Selects the face, or shows the name without a selection when it is not listed.
    void setFont(const wxString& name);

    void OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const override;
    wxCoord OnMeasureItemWidth(size_t item) const override;
    // The highlighted part of the text field.
    wxString GetStringSelection() const override;

protected:
    void onMouseWheel(wxMouseEvent& event);

    wxDECLARE_EVENT_TABLE();
};

} // namespace Widgets
} // namespace PBN
