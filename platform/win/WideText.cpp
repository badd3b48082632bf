#include "platform/win/WideText.h"

namespace win {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += char16_t(c);
    } else {
        c -= 0x10000;
        out += char16_t(0xD800 | (c >> 10));
        out += char16_t(0xDC00 | (c & 0x3FF));
    }
}

} // namespace

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char b = text[i];
        size_t extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            out += char16_t(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= extra && i + k < text.size(); ++k) {
            const unsigned char n = text[i + k];
            if ((n & 0xC0) != 0x80)
                break;
            c = (c << 6) | (n & 0x3F);
        }
        if (k != extra + 1 || c < min || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            out += u'\uFFFD';
            i += k;
            continue;
        }
        appendUtf16(out, c);
        i += k;
    }
    return out;
}

std::u16string fromBuffer(const char16_t* text) {
    return text ? std::u16string(text) : std::u16string();
}

char16_t foldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool equalNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

bool lessNoCase(std::u16string_view a, std::u16string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const char16_t x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

} // namespace win
