#include "platform/common/Utf.h"

namespace Utf {

namespace {

bool isHigh(char32_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool isLow(char32_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// Decodes the sequence at `at`: the character, or `invalid` with `length` the bytes to skip (the
// lead byte and the continuation bytes that follow it, as far as they go).
char32_t decode(std::string_view s, size_t at, size_t& length) {
    const unsigned char lead = static_cast<unsigned char>(s[at]);
    length = 1;
    if (lead < 0x80)
        return lead;
    size_t extra = 0;
    char32_t c = 0, lowest = 0;
    if ((lead & 0xE0) == 0xC0)
        extra = 1, c = lead & 0x1F, lowest = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        extra = 2, c = lead & 0x0F, lowest = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        extra = 3, c = lead & 0x07, lowest = 0x10000;
    else
        return invalid;
    for (; length <= extra && at + length < s.size(); ++length) {
        const unsigned char b = static_cast<unsigned char>(s[at + length]);
        if ((b & 0xC0) != 0x80)
            break;
        c = (c << 6) | (b & 0x3F);
    }
    if (length != extra + 1 || c < lowest || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return invalid;
    return c;
}

// Calls `put` with each character of 16- or 32-bit units, a well-formed pair joined into one.
template <typename Unit, typename Put> void forEachCharacter(std::basic_string_view<Unit> text, Put put) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (isHigh(c) && i + 1 < text.size() && isLow(static_cast<char32_t>(text[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        put(c);
    }
}

bool isCharacter(char32_t c) {
    return c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000);
}

template <typename Unit>
std::string unitsToUtf8(std::basic_string_view<Unit> text, std::string_view replacement) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    forEachCharacter(text, [&](char32_t c) { appendUtf8(out, c, replacement); });
    return out;
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (!isCharacter(c)) {
        out += u'\uFFFD';
    } else if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 | ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 | ((c - 0x10000) & 0x3FF));
    }
}

} // namespace

void appendUtf8(std::string& out, char32_t c, std::string_view replacement) {
    if (!isCharacter(c)) {
        out += replacement;
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string toUtf8(std::u16string_view units, std::string_view replacement) {
    return unitsToUtf8(units, replacement);
}

std::string toUtf8(std::wstring_view text, std::string_view replacement) {
    return unitsToUtf8(text, replacement);
}

std::u16string toUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        size_t length = 0;
        const char32_t c = decode(bytes, at, length);
        at += length;
        appendUtf16(out, c);
    }
    return out;
}

std::u16string toUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    forEachCharacter(text, [&](char32_t c) { appendUtf16(out, c); });
    return out;
}

std::wstring toWide(std::u16string_view units) {
    std::wstring out;
    out.reserve(units.size());
    forEachCharacter(units, [&](char32_t c) { out += static_cast<wchar_t>(isCharacter(c) ? c : 0xFFFD); });
    return out;
}

bool toWide(std::string_view bytes, std::wstring& out) {
    out.clear();
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const char32_t c = next(bytes, at);
        if (c == invalid)
            return false;
        out += static_cast<wchar_t>(c);
    }
    return true;
}

char32_t next(std::string_view bytes, size_t& at) {
    size_t length = 0;
    const char32_t c = decode(bytes, at, length);
    if (c != invalid)
        at += length;
    return c;
}

} // namespace Utf
