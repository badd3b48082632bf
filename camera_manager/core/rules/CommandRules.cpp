#include "camera_manager/core/rules/CommandRules.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"

#include <algorithm>

namespace CommandRules {

SortSettings ClickSortColumn(SortSettings current, int column) {
    current.ascending = !current.ascending;
    current.column = column;
    return current;
}

double FirmwareExpectedSeconds(int8_t deviceType, std::optional<uint64_t> fileSize) {
    if (!fileSize)
        return starterFirmwareLoadSeconds;
    const double size = static_cast<double>(*fileSize);
    const double seconds =
        deviceType == -127 || deviceType == -124 ? size * 15.0 / 569858.0 : size * 14.0 / 388684.0;
    // Small and empty files would give 0 s, and the progress would divide by it.
    return std::max(1.0, seconds);
}

bool FirmwarePathBytes(const std::u16string& path, std::string& bytes) {
    bool lossless = false;
    bytes = WideToMultiByte(path, &lossless);
    return lossless && bytes.find('\0') == std::string::npos;
}

bool NeedsLanguageGroupCheck(int languageIndex) {
    return languageIndex >= 10 && languageIndex <= 12;
}

bool EastAsianLanguageGroupsInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\NLs\\Language Groups", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool installed = true;
    for (const char16_t* name : {u"7", u"8", u"9"}) {
        WCHAR value[8] = {};
        DWORD size = sizeof value - sizeof(WCHAR);
        DWORD type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ || std::u16string(value) != u"1")
            installed = false;
    }
    RegCloseKey(key);
    return installed;
}

DriverCheck DecideDriverCheck(bool usb, bool eth, bool setupEth, bool firstStart) {
    DriverCheck check;
    if (!usb)
        check.message = eth ? ids::OnlyEthDriverInstalled : ids::NoDriverInstalled;
    else if (!eth)
        check.message = setupEth ? ids::EthDriverFileMissing : 0;
    else
        check.openNetworkService = setupEth && firstStart;
    return check;
}

DriverCheckInputs ReadDriverCheckInputs() {
    DriverCheckInputs in;
    WCHAR version[40];
    const std::u16string drivers = u"system32/drivers/";
    in.usb = GetWindowsFileVersionString(drivers + LoadResourceString(ids::FileUsbDriver), version,
                                         sizeof version);
    in.eth = GetWindowsFileVersionString(drivers + LoadResourceString(ids::FileEthDriver), version,
                                         sizeof version);

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Setup", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        DWORD value = 0, size = sizeof value, type = 0;
        in.setupEth = RegQueryValueExW(key, u"ETH", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_DWORD && value == 1;
        RegCloseKey(key);
    }
    const std::u16string firstStart = std::u16string(managerRegistryKey) + u"\\FirstStart";
    if (RegOpenKeyExW(HKEY_CURRENT_USER, firstStart.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        in.firstStart = true;
        RegDeleteKeyW(HKEY_CURRENT_USER, firstStart.c_str());
    }
    return in;
}

} // namespace CommandRules
