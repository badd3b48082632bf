#include "camera_manager/core/controls/IpAddressCtrl.h"

#include "camera_manager/core/rules/Ipv4Text.h"

IpAddressCtrl::IpAddressCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxTextCtrl(parent, id, wxT("0.0.0.0"), pos, size), lastValid(wxT("0.0.0.0")) {
    SetMaxLength(15);
    Bind(wxEVT_CHAR, &IpAddressCtrl::OnChar, this);
    Bind(wxEVT_KILL_FOCUS, &IpAddressCtrl::OnKillFocus, this);
}

std::optional<uint32_t> IpAddressCtrl::GetAddress() const {
    return ParseIpv4(std::string_view(GetValue().utf8_str().data()));
}

void IpAddressCtrl::SetAddress(uint32_t hostOrder) {
    lastValid = wxString::FromUTF8(FormatIpv4(hostOrder));
    ChangeValue(lastValid);
}

bool IpAddressCtrl::SetAddressText(const wxString& text) {
    const auto address = ParseIpv4(std::string_view(text.utf8_str().data()));
    if (!address)
        return false;
    SetAddress(*address);
    return true;
}

void IpAddressCtrl::OnChar(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    // Control keys (editing, moving, Tab) pass; of the printable ones only digits and dots.
    if (key < WXK_SPACE || key == WXK_DELETE || key > WXK_START || (key >= '0' && key <= '9') || key == '.')
        event.Skip();
}

void IpAddressCtrl::OnKillFocus(wxFocusEvent& event) {
    if (const auto address = GetAddress())
        SetAddress(*address);
    else
        ChangeValue(lastValid);
    event.Skip();
}
