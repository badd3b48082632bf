#include "camera_manager/core/controls/WxText.h"

#include "camera_manager/core/records/BoundedText.h"
#include "platform/win/ResourceStrings.h"

wxString ToWx(const std::u16string& text) {
    return wxString::FromUTF8(ToUtf8(text));
}

wxString ToWx(const char16_t* text) {
    return text ? ToWx(std::u16string(text)) : wxString();
}

std::u16string FromWx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return FromUtf8(std::string_view(utf8.data(), utf8.length()));
}

wxString ResourceText(unsigned id) {
    return ToWx(LoadResourceString(id));
}
