#pragma once

// Shared by ConfFile and ConfigItem. Not exported.

#include "pemblon/strings/ostring.h"

#include <string>
#include <vector>

namespace PBN {
namespace Files {
namespace Private {

// Pieces of the text between any of blank, tab, CR and LF; empty pieces are dropped.
inline std::vector<Strings::ostring> splitBlanks(const Strings::ostring& text) {
    std::vector<Strings::ostring> pieces;
    const std::wstring w = text.wstr();
    size_t i = 0;
    while (i < w.size()) {
        size_t start = w.find_first_not_of(L" \t\r\n", i);
        if (start == std::wstring::npos)
            break;
        size_t end = w.find_first_of(L" \t\r\n", start);
        if (end == std::wstring::npos)
            end = w.size();
        pieces.emplace_back(w.substr(start, end - start));
        i = end;
    }
    return pieces;
}

} // namespace Private
} // namespace Files
} // namespace PBN
