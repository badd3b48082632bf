#include "platform/win/WideText.h"

#include "platform/common/Utf.h"

namespace win {

std::string toUtf8(std::u16string_view text) {
    return Utf::toUtf8(text);
}

std::u16string fromUtf8(std::string_view text) {
    return Utf::toUtf16(text);
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
