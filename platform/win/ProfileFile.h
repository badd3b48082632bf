#pragma once

// Profile (INI) files read as GetPrivateProfileStringW reads them: section and key names match
// without regard to case, blanks around names and values are dropped, LF and CR LF both end a
// line, and the first matching section and key win. The file's bytes are ANSI text; each byte
// becomes the character of the same number.

#include "platform/win/WinApi.h"

#include <optional>
#include <string>
#include <string_view>

namespace win {

// The value of key in section of a profile text; nullopt when either is missing.
std::optional<std::u16string> findProfileString(std::u16string_view text, std::u16string_view section,
                                                std::u16string_view key);

} // namespace win

// Copies the value (or the default when the key is missing) into out, cut to size - 1
// characters and zero-terminated; returns the number of characters copied. A file that cannot
// be read has no keys.
DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue, WCHAR* out,
                               DWORD size, const WCHAR* fileName);
