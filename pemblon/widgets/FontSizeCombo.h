#pragma once

#include <wx/combobox.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// An editable combo box of the usual point sizes, 8 to 72.
class PBN_API FontSizeCombo : public wxComboBox {
public:
    FontSizeCombo(wxWindow* parent, const unsigned int& id);

    // The size shown in the text field, listed or typed; -1 for text that is not a number.
    int getSize() const;
    // Selects the size, or shows it without a selection when it is not listed.
    void setSize(const int& size);

    wxString GetStringSelection() const override;

    // The size a text stands for, -1 when it is not a decimal number.
    static int parseSize(const wxString& text);

    wxDECLARE_EVENT_TABLE();
};

} // namespace Widgets
} // namespace PBN
