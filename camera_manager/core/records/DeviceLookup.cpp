#include "camera_manager/core/records/DeviceLookup.h"

#include "camera_manager/core/records/BoundedText.h"
#include "platform/win/Registry.h"

// GCC 12 reports a false "may be used uninitialized" inside <regex>'s own state machine.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#include <vector>

namespace {

const char16_t driverEnumKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum";

// The value as text, read with a buffer of the size the registry reports.
bool readValue(HKEY key, const std::u16string& name, std::u16string& text) {
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<WCHAR> buffer(size / sizeof(WCHAR) + 1, 0);
    DWORD room = DWORD(buffer.size() * sizeof(WCHAR));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &room) !=
        ERROR_SUCCESS)
        return false;
    text = WideField(buffer.data(), buffer.size());
    return true;
}

bool readValue(const std::u16string& keyPath, const std::u16string& name, std::u16string& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool ok = readValue(key, name, text);
    RegCloseKey(key);
    return ok;
}

std::vector<std::u16string> subkeys(const std::u16string& keyPath) {
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD chars = 256;
        const LONG result = RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            names.emplace_back(name, chars);
    }
    RegCloseKey(key);
    return names;
}

// Matches the pattern against a narrow copy (characters outside ASCII can match nothing).
bool match(const std::regex& pattern, const std::u16string& text, std::u16string& group1,
           std::u16string& group2, bool whole) {
    std::string narrow;
    for (char16_t c : text)
        narrow += c < 0x80 ? char(c) : '\x7f';
    std::smatch found;
    if (whole ? !std::regex_match(narrow, found, pattern) : !std::regex_search(narrow, found, pattern))
        return false;
    group1 = FromUtf8(found[1].str());
    group2 = found[2].matched ? FromUtf8(found[2].str()) : std::u16string();
    return true;
}

} // namespace

bool ReadRegistryString(const std::u16string& keyPath, const std::u16string& valueName, WCHAR* buffer,
                        size_t bytes) {
    std::u16string text;
    if (!readValue(keyPath, valueName, text))
        return false;
    SafeCStringToWide(buffer, bytes, text);
    return true;
}

bool MatchUsbInstance(const std::u16string& instance, std::u16string& parentId, std::u16string& port) {
    static const std::regex pattern(
        R"(USB\\Vid_5C2E&Pid_[0-9]{4}\\([0-9A-F]&[0-9A-F]+&[0-9])(?:&([0-9A-F]))?)",
        std::regex::ECMAScript | std::regex::icase);
    return match(pattern, instance, parentId, port, true);
}

bool MatchInstanceName(const std::u16string& name, std::u16string& parentId, std::u16string& port) {
    static const std::regex pattern(R"(([0-9A-F]&[0-9A-F]+&[0-9])(?:&([0-9A-F]))?$)",
                                    std::regex::ECMAScript | std::regex::icase);
    return match(pattern, name, parentId, port, false);
}

bool FindUsbDeviceInstance(unsigned index, WCHAR* parentId, size_t parentBytes, WCHAR* port,
                           size_t portBytes) {
    std::u16string instance;
    if (!readValue(driverEnumKey, FromUtf8(std::to_string(index)), instance))
        return false;
    std::u16string parent, digit;
    // A value that is not a camera instance leaves the caller without a path, as a missing one.
    if (!MatchUsbInstance(instance, parent, digit))
        return false;
    SafeCStringToWide(parentId, parentBytes, parent);
    SafeCStringToWide(port, portBytes, digit);
    return true;
}

bool FindDeviceByParentIdPrefix(const std::u16string& enumKey, const std::u16string& prefix, WCHAR* parentId,
                                size_t parentBytes, WCHAR* port, size_t portBytes, WCHAR* keyPath,
                                size_t keyBytes) {
    bool found = false;
    for (const std::u16string& device : subkeys(enumKey)) {
        const std::u16string devicePath = enumKey + u"\\" + device;
        for (const std::u16string& instance : subkeys(devicePath)) {
            const std::u16string instancePath = devicePath + u"\\" + instance;
            std::u16string parentPrefix = u"-1";
            readValue(instancePath, u"ParentIdPrefix", parentPrefix);
            if (parentPrefix != prefix)
                continue;
            std::u16string parent, digit;
            MatchInstanceName(instance, parent, digit);
            SafeCStringToWide(parentId, parentBytes, parent);
            SafeCStringToWide(port, portBytes, digit);
            SafeCStringToWide(keyPath, keyBytes, instancePath);
            found = true;
        }
    }
    return found;
}
