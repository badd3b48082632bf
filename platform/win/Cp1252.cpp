#include "platform/win/Cp1252.h"

namespace Cp1252 {

namespace {

// 0x80-0x9F; every other byte b is U+00b.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one well-formed UTF-8 sequence at `at`; 0xFFFFFFFF when malformed.
char32_t decode(std::string_view s, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        return 0xFFFFFFFF;
    }
    if (at + length > s.size()) {
        return 0xFFFFFFFF;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char b = byte(at + i);
        if ((b & 0xC0) != 0x80) {
            return 0xFFFFFFFF;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0xFFFFFFFF;
    }
    at += length;
    return c;
}

} // namespace

char32_t toUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

int fromUnicode(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character < 0x100)) {
        return static_cast<int>(character);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == character) {
            return 0x80 + i;
        }
    }
    return -1;
}

std::string toUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char b : text) {
        appendUtf8(out, toUnicode(static_cast<unsigned char>(b)));
    }
    return out;
}

bool fromUtf8(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            out += utf8[at++];
            continue;
        }
        const int b = fromUnicode(decode(utf8, at));
        if (b < 0) {
            return false;
        }
        out += static_cast<char>(b);
    }
    return true;
}

} // namespace Cp1252
