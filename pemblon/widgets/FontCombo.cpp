#include "pemblon/widgets/FontCombo.h"

#include <algorithm>
#include <cstdlib>

#include <wx/dc.h>
#include <wx/fontenum.h>
#include <wx/textctrl.h>

namespace PBN {
namespace Widgets {

wxBEGIN_EVENT_TABLE(FontCombo, wxOwnerDrawnComboBox) EVT_MOUSEWHEEL(FontCombo::onMouseWheel)
    wxEND_EVENT_TABLE()

        FontCombo::FontCombo(wxWindow* parent, const unsigned int& id)
    : wxOwnerDrawnComboBox(parent, static_cast<wxWindowID>(id), wxEmptyString, wxDefaultPosition,
                           wxDefaultSize, 0, nullptr, 0) {
    // Wide enough for the longest face name, up to 32 average characters: the combo's own best
    // size leaves out the text field's padding and cuts names such as "DejaVu Sans".
    wxCoord widest = 0;
    for (const wxString& face : wxFontEnumerator::GetFacenames()) {
        Append(face);
        widest = std::max(widest, GetTextExtent(face).x);
    }
    widest = std::min(widest, 32 * GetCharWidth());
    if (wxTextCtrl* text = GetTextCtrl()) {
        SetMinSize(wxSize(text->GetSizeFromTextSize(widest).x + GetButtonSize().x, -1));
    }
    // On GTK the wheel reaches the inner text field, not the combo itself.
    if (wxTextCtrl* text = GetTextCtrl()) {
        text->Bind(wxEVT_MOUSEWHEEL, &FontCombo::onMouseWheel, this);
    }
}

wxString FontCombo::getFont() const {
    return GetValue();
}

void FontCombo::setFont(const wxString& name) {
    const int index = FindString(name, true);
    if (index != wxNOT_FOUND) {
        SetSelection(index);
    } else {
        SetSelection(wxNOT_FOUND);
        SetValue(name);
    }
}

void FontCombo::OnDrawItem(wxDC& dc, const wxRect& rect, int item, int) const {
    if (item == wxNOT_FOUND) {
        return;
    }
    const wxString face = GetString(item);
    wxFont font = dc.GetFont();
    font.SetFaceName(face);
    dc.SetFont(font);
    dc.DrawText(face, rect.x + 4, rect.y + (rect.height - dc.GetCharHeight()) / 2);
}

wxCoord FontCombo::OnMeasureItemWidth(size_t item) const {
    return wxOwnerDrawnComboBox::OnMeasureItemWidth(item);
}

wxString FontCombo::GetStringSelection() const {
    return wxTextEntryBase::GetStringSelection();
}

void FontCombo::onMouseWheel(wxMouseEvent& event) {
    if (IsPopupShown()) {
        event.Skip(); // the open list scrolls itself
        return;
    }
    // Not passed on: the combo's own handling would move the selection a second time for the
    // same turn, and for turns below the wheel delta.
    if (event.GetWheelDelta() > 0 && std::abs(event.GetWheelRotation()) >= event.GetWheelDelta()) {
        const int selection = GetSelection();
        if (event.GetWheelRotation() > 0) {
            if (selection - 1 >= 0) {
                SetSelection(selection - 1);
            }
        } else if (selection + 1 < static_cast<int>(GetCount())) {
            SetSelection(selection + 1);
        }
        wxCommandEvent selected(wxEVT_COMMAND_COMBOBOX_SELECTED, GetId());
        ProcessEvent(selected);
    }
}

} // namespace Widgets
} // namespace PBN
