#pragma once

// Windows-1252, the narrow text of the suite, as Windows converts it: the 27 letters and signs
// at 0x80-0x9F ("€", "œ", ...) plus the five bytes Windows leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D), which map to U+0081, U+008D, U+008F, U+0090 and U+009D and back. Every byte has
// a character, so narrow text always converts; a character outside the 256 has no byte.
// glibc's iconv rejects those five bytes, which is why the table is written out here.

#include <string>
#include <string_view>

namespace Cp1252 {

// The character of one byte.
char32_t toUnicode(unsigned char byte);
// The byte of one character, or -1 when the character has none.
int fromUnicode(char32_t character);

// Narrow text to UTF-8; always succeeds.
std::string toUtf8(std::string_view text);
// UTF-8 to narrow text. False (and `out` unspecified) when the bytes are not well-formed UTF-8
// or hold a character without a byte.
bool fromUtf8(std::string_view utf8, std::string& out);

} // namespace Cp1252
