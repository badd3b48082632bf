#include "platform/win/ProfileFile.h"

#include "platform/win/WideText.h"

#include <fstream>
#include <iterator>

namespace win {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

std::u16string_view trim(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<std::u16string> findProfileString(std::u16string_view text, std::u16string_view section,
                                                std::u16string_view key) {
    bool inSection = false;
    bool sectionSeen = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            size_t close = line.find(u']');
            std::u16string_view name =
                trim(line.substr(1, close == std::u16string_view::npos ? line.size() - 1 : close - 1));
            // Only the first section of a name counts.
            inSection = !sectionSeen && equalNoCase(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        size_t equals = line.find(u'=');
        std::u16string_view name = trim(line.substr(0, equals));
        if (!equalNoCase(name, key))
            continue;
        if (equals == std::u16string_view::npos)
            return std::u16string();
        return std::u16string(trim(line.substr(equals + 1)));
    }
    return std::nullopt;
}

} // namespace win

DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue, WCHAR* out,
                               DWORD size, const WCHAR* fileName) {
    if (!out || size == 0)
        return 0;
    std::u16string text;
    if (fileName) {
        std::ifstream file(win::toUtf8(win::fromBuffer(fileName)), std::ios::binary);
        for (std::istreambuf_iterator<char> it(file), end; it != end; ++it)
            text.push_back(static_cast<unsigned char>(*it));
    }
    std::optional<std::u16string> value;
    if (section && key)
        value = win::findProfileString(text, win::fromBuffer(section), win::fromBuffer(key));
    std::u16string result = value ? *value : win::fromBuffer(defaultValue);
    DWORD count = static_cast<DWORD>(std::min<size_t>(result.size(), size - 1));
    result.copy(out, count);
    out[count] = 0;
    return count;
}
