#pragma once

// Private to the library: the 16-bit code units that ByteArray and Buffer store for wide text.
// wchar_t is 32 bits here, while stored data must keep the 16-bit layout that Windows files
// hold, so characters above U+FFFF travel as surrogate pairs and come back joined.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace PBN {
namespace detail {

inline void appendUtf16(std::vector<std::uint16_t>& units, wchar_t c) {
    const std::uint32_t cp = static_cast<std::uint32_t>(c);
    if (cp > 0xFFFF && cp <= 0x10FFFF) {
        const std::uint32_t v = cp - 0x10000;
        units.push_back(static_cast<std::uint16_t>(0xD800 | (v >> 10)));
        units.push_back(static_cast<std::uint16_t>(0xDC00 | (v & 0x3FF)));
    } else {
        units.push_back(static_cast<std::uint16_t>(cp));
    }
}

inline std::vector<std::uint16_t> toUtf16(const std::wstring& text) {
    std::vector<std::uint16_t> units;
    units.reserve(text.size());
    for (wchar_t c : text)
        appendUtf16(units, c);
    return units;
}

// Joins well-formed surrogate pairs; a lone surrogate stays a character of its own.
inline std::wstring fromUtf16(const std::uint16_t* units, std::size_t count) {
    std::wstring text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            const std::uint32_t cp =
                0x10000 + ((static_cast<std::uint32_t>(u - 0xD800) << 10) | (units[i + 1] - 0xDC00));
            text.push_back(static_cast<wchar_t>(cp));
            ++i;
        } else {
            text.push_back(static_cast<wchar_t>(u));
        }
    }
    return text;
}

} // namespace detail
} // namespace PBN
