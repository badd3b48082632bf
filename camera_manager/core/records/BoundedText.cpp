#include "camera_manager/core/records/BoundedText.h"

#include "platform/common/Cp1252.h"
#include "platform/win/WideText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Stores text into a zero-filled buffer of units, cut to leave room for the terminator.
template <typename Unit, typename Text> bool store(Unit* dest, size_t destBytes, const Text& text) {
    if (!dest || destBytes < sizeof(Unit)) {
        if (dest)
            std::memset(dest, 0, destBytes);
        return false;
    }
    std::memset(dest, 0, destBytes);
    const size_t room = destBytes / sizeof(Unit) - 1;
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(dest, text.data(), n * sizeof(Unit));
    return n == text.size();
}

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    std::vector<char> out(size_t(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    return std::string(out.data(), size_t(n));
}

template <typename Unit> int compareUnits(const Unit* a, const Unit* b) {
    static const Unit empty[1] = {0};
    a = a ? a : empty;
    b = b ? b : empty;
    for (;; ++a, ++b) {
        using U = std::make_unsigned_t<Unit>;
        if (U(*a) != U(*b))
            return U(*a) < U(*b) ? -1 : 1;
        if (!*a)
            return 0;
    }
}

} // namespace

// Windows-1252 as Windows converts it, through the suite's one table.
char16_t MultiByteCharToWide(unsigned char byte) {
    return char16_t(Cp1252::toUnicode(byte));
}

bool WideCharToMultiByte(char16_t c, char& byte) {
    const int b = Cp1252::fromUnicode(c);
    if (b < 0)
        return false;
    byte = char(b);
    return true;
}

std::u16string MultiByteToWide(const char* text, size_t maxBytes) {
    std::u16string out;
    for (size_t i = 0; text && i < maxBytes && text[i]; ++i)
        out += MultiByteCharToWide(static_cast<unsigned char>(text[i]));
    return out;
}

std::string WideToMultiByte(std::u16string_view text, bool* lossless) {
    std::string out;
    bool all = true;
    for (char16_t c : text) {
        char byte;
        if (!WideCharToMultiByte(c, byte))
            byte = '?', all = false;
        out += byte;
    }
    if (lossless)
        *lossless = all;
    return out;
}

bool SafeAnsiToWide(WCHAR* dest, size_t destBytes, const char* src) {
    return store(dest, destBytes, MultiByteToWide(src, src ? std::strlen(src) : 0));
}

bool SafeAnsiToWideBounded(WCHAR* dest, size_t destBytes, const char* src, size_t srcBytes) {
    return store(dest, destBytes, MultiByteToWide(src, srcBytes));
}

bool SafeWideToAnsi(char* dest, size_t destBytes, const WCHAR* src) {
    bool lossless = true;
    const std::string text = WideToMultiByte(win::fromBuffer(src), &lossless);
    return store(dest, destBytes, text) && lossless;
}

bool SafeCopyWide(WCHAR* dest, size_t destBytes, const WCHAR* src) {
    return store(dest, destBytes, win::fromBuffer(src));
}

bool SafeFormatWide(WCHAR* dest, size_t destBytes, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    return store(dest, destBytes, win::fromUtf8(text));
}

bool SafeFormatAnsi(char* dest, size_t destBytes, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    return store(dest, destBytes, text);
}

bool SafeCStringToAnsi(char* dest, size_t destBytes, std::u16string_view src) {
    bool lossless = true;
    const std::string text = WideToMultiByte(src, &lossless);
    return store(dest, destBytes, text) && lossless;
}

bool SafeCStringToWide(WCHAR* dest, size_t destBytes, std::u16string_view src) {
    return store(dest, destBytes, src);
}

void ZeroBuffer(void* buffer, size_t bytes) {
    if (buffer)
        std::memset(buffer, 0, bytes);
}

int CompareWide(const WCHAR* a, const WCHAR* b) {
    return compareUnits(a, b);
}

int CompareAnsi(const char* a, const char* b) {
    return compareUnits(a, b);
}

int CompareCStrings(std::u16string_view a, std::u16string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareWideNoCase(const WCHAR* a, const WCHAR* b) {
    const std::u16string x = win::fromBuffer(a), y = win::fromBuffer(b);
    if (win::equalNoCase(x, y))
        return 0;
    return win::lessNoCase(x, y) ? -1 : 1;
}

size_t WideLength(const WCHAR* text, size_t maxUnits) {
    size_t n = 0;
    while (text && n < maxUnits && text[n])
        ++n;
    return n;
}

size_t AnsiLength(const char* text, size_t maxBytes) {
    size_t n = 0;
    while (text && n < maxBytes && text[n])
        ++n;
    return n;
}

std::u16string WideField(const WCHAR* field, size_t units) {
    return std::u16string(field, WideLength(field, units));
}

std::string ToUtf8(std::u16string_view text) {
    return win::toUtf8(text);
}

std::u16string FromUtf8(std::string_view text) {
    return win::fromUtf8(text);
}
