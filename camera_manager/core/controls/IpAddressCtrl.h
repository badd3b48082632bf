#pragma once

// An address field: a text field that takes digits and dots only and holds a dotted IPv4
// address. A text that is not one when the field loses the focus goes back to the last address
// it held ("0.0.0.0" at first), as an address control never shows anything else.

#include <wx/textctrl.h>

#include <cstdint>
#include <optional>

class IpAddressCtrl : public wxTextCtrl {
public:
    IpAddressCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize);

    // The address of the text as it stands; none while it is not one.
    std::optional<uint32_t> GetAddress() const;
    void SetAddress(uint32_t hostOrder);
    // Sets a dotted text; anything else leaves the field as it is and returns false.
    bool SetAddressText(const wxString& text);

private:
    void OnChar(wxKeyEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    wxString lastValid;
};
