#include "pemblon/widgets/FontSizeCombo.h"

#include <climits>

namespace PBN {
namespace Widgets {

wxBEGIN_EVENT_TABLE(FontSizeCombo, wxComboBox) wxEND_EVENT_TABLE()

    FontSizeCombo::FontSizeCombo(wxWindow* parent, const unsigned int& id)
    : wxComboBox(parent, static_cast<wxWindowID>(id), wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                 nullptr, 0) {
    for (const char* size :
         {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"}) {
        Append(size);
    }
}

int FontSizeCombo::parseSize(const wxString& text) {
    long value = -1;
    if (!text.ToLong(&value, 10) || value < INT_MIN || value > INT_MAX) {
        return -1;
    }
    return static_cast<int>(value);
}

int FontSizeCombo::getSize() const {
    return parseSize(GetValue());
}

void FontSizeCombo::setSize(const int& size) {
    const wxString text = wxString::Format("%d", size);
    const int index = FindString(text, true);
    if (index != wxNOT_FOUND) {
        SetSelection(index);
    } else {
        SetSelection(wxNOT_FOUND);
        SetValue(text);
    }
}

wxString FontSizeCombo::GetStringSelection() const {
    return wxComboBox::GetStringSelection();
}

} // namespace Widgets
} // namespace PBN
