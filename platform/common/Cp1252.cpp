#include "platform/common/Cp1252.h"

#include "platform/common/Utf.h"

namespace Cp1252 {

namespace {

// 0x80-0x9F; every other byte b is U+00b.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

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
        Utf::appendUtf8(out, toUnicode(static_cast<unsigned char>(b)));
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
        const int b = fromUnicode(Utf::next(utf8, at));
        if (b < 0) {
            return false;
        }
        out += static_cast<char>(b);
    }
    return true;
}

} // namespace Cp1252
