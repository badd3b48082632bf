#include "pemblon/core/FileSystemPath.h"

#include <algorithm>

#include <wx/strconv.h>

namespace PBN {
namespace FileSystemPath {

std::string toNative(const Strings::ostring& path) {
    const wxCharBuffer bytes = path.wxstr().fn_str();
    // A conversion wx refuses leaves the old bytes, which still name an ASCII path rightly.
    if (bytes.data() == nullptr || (bytes.length() == 0 && !path.wxstr().empty())) {
        return path.str();
    }
    return std::string(bytes.data(), bytes.length());
}

Strings::ostring fromNative(const std::string& bytes) {
    const wxString text(bytes.c_str(), *wxConvFileName);
    if (text.empty() && !bytes.empty()) {
        return Strings::ostring(bytes.c_str());
    }
    Strings::ostring result(text);
    // Narrow like the paths callers give, unless a character has no narrow form.
    if (std::all_of(text.begin(), text.end(), [](const wxUniChar& c) { return c.GetValue() < 256; })) {
        result.setUnicode(false);
    }
    return result;
}

} // namespace FileSystemPath
} // namespace PBN
