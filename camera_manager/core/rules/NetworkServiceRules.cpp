#include "camera_manager/core/rules/NetworkServiceRules.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"

#include <cstdio>

namespace NetworkServiceRules {

namespace {

constexpr uint32_t deviceNotInUseFlag = 0x100;

const char16_t enumKey[] = u"SYSTEM\\CurrentControlSet\\Enum\\";
const char16_t classKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
const char16_t interfacesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// The four numbers of the first "n.n.n.n" in the text (leftmost, each number as long as it
// goes); false when there is none.
bool dottedGroups(const std::u16string& text, std::u16string groups[4]) {
    auto digit = [&](size_t i) { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
    for (size_t start = 0; start < text.size(); ++start) {
        size_t i = start;
        int group = 0;
        for (; group < 4; ++group) {
            const size_t begin = i;
            while (digit(i))
                ++i;
            if (i == begin)
                break;
            groups[group] = text.substr(begin, i - begin);
            if (group < 3) {
                if (i >= text.size() || text[i] != u'.')
                    break;
                ++i;
            }
        }
        if (group == 4)
            return true;
    }
    return false;
}

// A REG_SZ value of the key read into 255 characters; none when it is missing or not text.
std::optional<std::u16string> readText(HKEY key, const char16_t* name) {
    WCHAR buffer[255] = {};
    DWORD size = sizeof buffer - sizeof(WCHAR);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    return WideField(buffer, 255);
}

std::optional<std::u16string> readKeyText(const std::u16string& path, const char16_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::u16string> text = readText(key, name);
    RegCloseKey(key);
    return text;
}

} // namespace

ServiceStatus BindingStatus(int enabledBindings) {
    if (enabledBindings <= 0)
        return {LoadResourceString(ids::ServiceNotBound), u"1"};
    char count[16];
    std::snprintf(count, sizeof count, "%d", enabledBindings);
    return {LoadResourceString(ids::ServiceBoundTo) + u" " + FromUtf8(count) + u" " +
                LoadResourceString(enabledBindings == 1 ? ids::NetworkAdapterSingular
                                                        : ids::NetworkAdapterPlural) +
                u". " + LoadResourceString(ids::ChooseAdapterHint),
            u"0"};
}

bool IpWarning(const std::u16string& ip) {
    std::u16string groups[4];
    return !dottedGroups(ip, groups) || groups[0] == u"0";
}

bool MaskWarning(const std::u16string& mask) {
    std::u16string groups[4];
    return !dottedGroups(mask, groups) || groups[0] == u"0" || groups[1] == u"0";
}

std::optional<std::array<uint8_t, 6>> ParseColonMac(const std::u16string& text) {
    return ParseMacText(text, u':');
}

std::u16string MacDisplayText(const std::u16string& colonMac) {
    std::u16string text;
    for (char16_t c : colonMac)
        text += c == u':' ? std::u16string(u" - ") : std::u16string(1, c);
    return text;
}

AdapterAddresses SelectAddresses(bool dhcp, const ValueReader& read) {
    AdapterAddresses addresses;
    addresses.dhcp = dhcp;
    auto pick = [&](const char16_t* ipName, const char16_t* maskName) {
        addresses.ip = read(ipName).value_or(u"-1");
        addresses.mask = read(maskName).value_or(u"-1");
    };
    if (!dhcp) {
        pick(u"IPAddress", u"SubnetMask");
        return addresses;
    }
    pick(u"DhcpIPAddress", u"DhcpSubnetMask");
    if (addresses.ip == u"0.0.0.0" || addresses.mask == u"0.0.0.0")
        pick(u"IPAutoconfigurationAddress", u"IPAutoconfigurationMask");
    return addresses;
}

bool ReadAdapterRegistry(const std::u16string& pnpDeviceId, AdapterRegistryInfo& info) {
    const std::optional<std::u16string> driver = readKeyText(enumKey + pnpDeviceId, u"Driver");
    if (!driver)
        return false;
    const size_t slash = driver->rfind(u'\\');
    const std::u16string number = slash == std::u16string::npos ? *driver : driver->substr(slash + 1);
    const std::string digits = ToUtf8(number);
    info.index =
        digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos
            ? -1
            : std::stoi(digits);
    info.instanceId = readKeyText(classKey + number, u"NetCfgInstanceId").value_or(u"");

    HKEY key = nullptr;
    const std::u16string interfacePath = interfacesKey + info.instanceId;
    if (info.instanceId.empty() ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, interfacePath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        info.addresses = AdapterAddresses();
        return true;
    }
    DWORD dhcp = 0;
    DWORD size = sizeof dhcp;
    DWORD type = 0;
    if (RegQueryValueExW(key, u"EnableDHCP", nullptr, &type, reinterpret_cast<BYTE*>(&dhcp), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        dhcp = 0;
    info.addresses = SelectAddresses(dhcp == 1, [key](const char16_t* name) { return readText(key, name); });
    RegCloseKey(key);
    return true;
}

bool IsAdapterInUseByCamera(const uint8_t mac[6], const CameraList& ethCameras) {
    const std::u16string text = MacText(mac);
    for (size_t i = 0; i < ethCameras.GetCount(); ++i) {
        const CameraEntry* entry = ethCameras.At(i);
        if (!(entry->GetDeviceStatusFlags() & deviceNotInUseFlag) &&
            WideField(entry->GetAdapterMacAddress(), 20) == text)
            return true;
    }
    return false;
}

bool AddressesAppeared(const std::u16string& lastIp, const std::u16string& lastMask, const std::u16string& ip,
                       const std::u16string& mask) {
    auto appeared = [](const std::u16string& before, const std::u16string& now) {
        return (before == u"-1" || before == u"0.0.0.0") && now != before;
    };
    return appeared(lastIp, ip) || appeared(lastMask, mask);
}

void CopyBindingToken(char16_t* field, size_t units, const std::u16string& token) {
    SafeCopyWide(field, units * sizeof(char16_t), token.c_str());
}

} // namespace NetworkServiceRules
