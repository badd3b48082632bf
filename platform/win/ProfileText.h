#pragma once

// INI ("profile") text as GetPrivateProfileStringW and GetPrivateProfileIntW read it: section and
// key names compare without case (ASCII letters), blanks around names and values are trimmed,
// lines end in LF or CR LF, and the first matching section and the first matching key in it
// win. The text is indexed once, so each look-up costs no more than the lengths of its names.

#include "platform/win/WinApi.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace win {

class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::u16string_view text);

    // The value, or null when the section or key is missing.
    const std::u16string* find(std::u16string_view section, std::u16string_view key) const;
    std::u16string text(std::u16string_view section, std::u16string_view key,
                        std::u16string_view fallback) const;
    // An optional sign and decimal digits; the value wraps to 32 bits. fallback when missing.
    int32_t number(std::u16string_view section, std::u16string_view key, int32_t fallback) const;
    bool hasSection(std::u16string_view section) const;
    // Whether the section's header is the text's last one: a text cut short ends in that section.
    bool isLastSection(std::u16string_view section) const;
    // Whether the text is empty or ends with a line end: a text cut inside a line does not.
    bool endsWithLineEnd() const { return lineEnded; }

    // Whether the key's value stands on a last line that has no line end: a text cut there
    // may hold only part of it.
    bool isCut(std::u16string_view section, std::u16string_view key) const;

    static int32_t parseNumber(std::u16string_view value);

private:
    std::unordered_map<std::u16string, std::unordered_map<std::u16string, std::u16string>> sections;
    std::u16string lastSection; // folded; empty when the text has no header
    bool lineEnded = true;
    std::u16string cutSection, cutKey; // folded; the key of a last line without line end
};

// The file's text: UTF-8, or UTF-16LE after a byte-order mark. False when it cannot be read.
bool loadProfileFile(const std::string& path, ProfileText& profile);

} // namespace win

// Win32 forms over a file (path UTF-16). The file is read at each call.
DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* fallback, WCHAR* buffer,
                               DWORD chars, const WCHAR* fileName);
UINT GetPrivateProfileIntW(const WCHAR* section, const WCHAR* key, int fallback, const WCHAR* fileName);
