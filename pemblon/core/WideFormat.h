#pragma once

#include <cwchar>
#include <string>

// Callers write wide printf formats as on Windows, where %s and %c in a wide format take wide
// arguments and %hs / %hc narrow ones. The C library here reads %s and %c as narrow, so the
// format is rewritten: plain s/c gain an "l", an "h" before s/c is dropped.
namespace PBN::Detail {

inline std::wstring windowsWideFormat(const wchar_t* format) {
    std::wstring out;
    for (const wchar_t* p = format; *p; ++p) {
        out += *p;
        if (*p != L'%')
            continue;
        if (p[1] == L'%') {
            out += *++p;
            continue;
        }
        // Flags, width, precision.
        while (p[1] && std::wcschr(L"-+ #0123456789.*'", p[1]))
            out += *++p;
        std::wstring length;
        while (p[1] && std::wcschr(L"hlLqjzt", p[1]))
            length += *++p;
        const wchar_t conv = p[1];
        if (conv == L's' || conv == L'c' || conv == L'S' || conv == L'C') {
            const bool narrow = length == L"h" || conv == L'S' || conv == L'C';
            if (!narrow)
                out += L'l';
            out += static_cast<wchar_t>(conv == L'S' ? L's' : conv == L'C' ? L'c' : conv);
            ++p;
        } else {
            out += length;
        }
    }
    return out;
}

} // namespace PBN::Detail
