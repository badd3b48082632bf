#pragma once

// UTF-16 text as the Windows stand-ins hold it, and its UTF-8 form, which Linux uses for file
// names and which the registry file stores. Both directions never fail: an ill-formed unit or
// byte sequence becomes U+FFFD.

#include <string>
#include <string_view>

namespace win {

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
// The UTF-16 text of a zero-terminated buffer (empty for null).
std::u16string fromBuffer(const char16_t* text);

// ASCII letters folded to lower case; everything else is kept. Registry names compare so.
char16_t foldCase(char16_t c);
bool equalNoCase(std::u16string_view a, std::u16string_view b);
bool lessNoCase(std::u16string_view a, std::u16string_view b);

} // namespace win
