#pragma once

// UTF-8, UTF-16 and 32-bit wide text for the whole suite, with one rule for what is not a
// character: a lone surrogate (a high unit without its low partner, a low unit on its own, or a
// surrogate code point in 32-bit text) and anything above U+10FFFF. Encoding puts a replacement
// in its place, U+FFFD unless the caller needs bytes that stay ill-formed (XML refuses them
// later); decoding treats encoded surrogates, overlong forms and cut sequences as ill-formed.

#include <string>
#include <string_view>

namespace Utf {

// U+FFFD in UTF-8.
inline constexpr std::string_view replacementUtf8 = "\xEF\xBF\xBD";
// What next() gives for bytes that are not well-formed UTF-8.
inline constexpr char32_t invalid = 0xFFFFFFFF;

// Appends the UTF-8 form of a character (a scalar value; anything else gets replacement).
void appendUtf8(std::string& out, char32_t c, std::string_view replacement = replacementUtf8);

// UTF-16 units, or wide text holding characters or UTF-16 pairs in two units, to UTF-8. A
// well-formed pair becomes the one character it stands for.
std::string toUtf8(std::u16string_view units, std::string_view replacement = replacementUtf8);
std::string toUtf8(std::wstring_view text, std::string_view replacement = replacementUtf8);

// Wide text (characters, or UTF-16 pairs held in two units) to UTF-16: a character above U+FFFF
// becomes a pair, and what is no character becomes U+FFFD.
std::u16string toUtf16(std::wstring_view text);
// UTF-16 units to wide text: a well-formed pair becomes the one character, a lone surrogate
// U+FFFD.
std::wstring toWide(std::u16string_view units);

// UTF-8 to UTF-16; never fails: each ill-formed sequence (a bad lead byte, or a lead byte with
// the continuation bytes that follow it) becomes one U+FFFD.
std::u16string toUtf16(std::string_view bytes);
// UTF-8 to wide text; false (out unspecified) at the first ill-formed sequence.
bool toWide(std::string_view bytes, std::wstring& out);

// The character at `at`, which moves past it; `invalid` with `at` unchanged when the bytes there
// are not well-formed.
char32_t next(std::string_view bytes, size_t& at);

} // namespace Utf
