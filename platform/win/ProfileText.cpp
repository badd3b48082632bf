#include "platform/win/ProfileText.h"

#include "platform/common/StoreFile.h"
#include "platform/win/WideText.h"

namespace win {

namespace {

bool blank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::u16string folded(std::u16string_view s) {
    std::u16string out(trim(s));
    for (char16_t& c : out)
        c = foldCase(c);
    return out;
}

} // namespace

ProfileText::ProfileText(std::u16string_view text) : lineEnded(text.empty() || text.back() == u'\n') {
    std::unordered_map<std::u16string, std::u16string>* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find(u'\n');
        std::u16string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.front() == u'[') {
            const size_t close = line.find(u']');
            const std::u16string name =
                folded(line.substr(1, close == std::u16string_view::npos ? line.npos : close - 1));
            lastSection = name;
            // A section named again continues nowhere: the first one answers every look-up.
            auto [it, added] = sections.try_emplace(name);
            current = added ? &it->second : nullptr;
            continue;
        }
        const size_t equals = line.find(u'=');
        if (!current || equals == std::u16string_view::npos)
            continue;
        const std::u16string key = folded(line.substr(0, equals));
        if (current->try_emplace(key, trim(line.substr(equals + 1))).second &&
            end == std::u16string_view::npos && !lineEnded) {
            cutSection = lastSection;
            cutKey = key;
        }
    }
}

bool ProfileText::isCut(std::u16string_view section, std::u16string_view key) const {
    return !lineEnded && !cutKey.empty() && folded(section) == cutSection && folded(key) == cutKey;
}

const std::u16string* ProfileText::find(std::u16string_view section, std::u16string_view key) const {
    const auto s = sections.find(folded(section));
    if (s == sections.end())
        return nullptr;
    const auto k = s->second.find(folded(key));
    return k == s->second.end() ? nullptr : &k->second;
}

std::u16string ProfileText::text(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback) const {
    const std::u16string* value = find(section, key);
    return value ? *value : std::u16string(fallback);
}

int32_t ProfileText::parseNumber(std::u16string_view value) {
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == u'+' || value[i] == u'-'))
        negative = value[i++] == u'-';
    uint32_t n = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        n = n * 10u + uint32_t(value[i] - u'0');
    return int32_t(negative ? 0u - n : n);
}

int32_t ProfileText::number(std::u16string_view section, std::u16string_view key, int32_t fallback) const {
    const std::u16string* value = find(section, key);
    return value ? parseNumber(*value) : fallback;
}

bool ProfileText::hasSection(std::u16string_view section) const {
    return sections.count(folded(section)) != 0;
}

bool ProfileText::isLastSection(std::u16string_view section) const {
    return hasSection(section) && folded(section) == lastSection;
}

bool loadProfileFile(const std::string& path, ProfileText& profile) {
    // Never waits on a pipe or anything else that is no file in the file's place.
    std::string bytes;
    if (readStoreFile(path, bytes) != StoreFileRead::Read)
        return false;
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
        profile = ProfileText(text);
    } else {
        profile = ProfileText(fromUtf8(bytes));
    }
    return true;
}

} // namespace win

DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* fallback, WCHAR* buffer,
                               DWORD chars, const WCHAR* fileName) {
    if (!buffer || chars == 0)
        return 0;
    win::ProfileText profile;
    std::u16string value = fallback ? std::u16string(fallback) : std::u16string();
    if (section && key && fileName && win::loadProfileFile(win::toUtf8(win::fromBuffer(fileName)), profile))
        value = profile.text(win::fromBuffer(section), win::fromBuffer(key), value);
    const size_t n = std::min<size_t>(value.size(), chars - 1);
    value.copy(buffer, n);
    buffer[n] = 0;
    return DWORD(n);
}

UINT GetPrivateProfileIntW(const WCHAR* section, const WCHAR* key, int fallback, const WCHAR* fileName) {
    win::ProfileText profile;
    if (!section || !key || !fileName ||
        !win::loadProfileFile(win::toUtf8(win::fromBuffer(fileName)), profile))
        return UINT(fallback);
    return UINT(profile.number(win::fromBuffer(section), win::fromBuffer(key), fallback));
}
