#include "camera_manager/core/records/ManagerSettings.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "platform/win/Registry.h"

#include <algorithm>
#include <glob.h>

const char16_t* const treeNodeNames[treeNodeCount] = {
    u"TreeNodeGeneralInfo",
    u"TreeNodeUsb",
    u"TreeNodeDevice",
    u"TreeNodeDeviceGeneral",
    u"TreeNodeStatusFlags",
    u"TreeNodeControlStatus",
    u"TreeNodeDeviceHardware",
    u"TreeNodeDeviceNetwork",
    u"TreeNodeDevicePorts",
    u"TreeNodeDeviceSettings",
    u"TreeNodeDeviceTransfer",
    u"TreeNodeAdapter",
    u"TreeNodeAdapterGeneral",
    u"TreeNodeAdapterNetwork",
    u"TreeNodeAdapterPorts",
    u"TreeNodeAdapterSettings",
    u"TreeNodeDriver",
    u"TreeNodeDebugInfo",
    u"TreeNodeDebugInfoStatistics",
    u"TreeNodeDebugInfoReservedHeartbeat",
    u"TreeNodeDebugInfoReservedDevice",
    u"TreeNodeDebugInfoReservedAdapter",
    u"TreeNodeDebugInfoReservedDriver",
};

namespace {

const char16_t uninstallKey[] = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{"
                                u"6D1E3B7A-2C45-4F80-9B1D-7A3E5C9F0B24}";
constexpr size_t pathBytes = 510;

std::u16string subkey(const char16_t* name) {
    return std::u16string(managerRegistryKey) + u"\\" + name;
}

// An open key of the manager's settings, closed at the end of the scope.
class SettingsKey {
public:
    SettingsKey(const char16_t* name, bool create) {
        const std::u16string path = subkey(name);
        if (create)
            RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        else
            RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_);
    }
    ~SettingsKey() {
        if (key_)
            RegCloseKey(key_);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    explicit operator bool() const { return key_ != nullptr; }

    bool read(const char16_t* name, uint32_t& value) const {
        DWORD data = 0, size = sizeof data, type = 0;
        if (!key_ ||
            RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof data)
            return false;
        value = data;
        return true;
    }
    void write(const char16_t* name, uint32_t value) const {
        if (key_)
            RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    bool readText(const char16_t* name, std::u16string& text) const {
        WCHAR buffer[pathBytes / 2] = {};
        DWORD size = sizeof buffer, type = 0;
        if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
                         ERROR_SUCCESS)
            return false;
        text = WideField(buffer, pathBytes / 2);
        return true;
    }
    // Always the whole 510 bytes, as the settings have always been written.
    void writeText(const char16_t* name, const std::u16string& text) const {
        WCHAR buffer[pathBytes / 2];
        SafeCStringToWide(buffer, sizeof buffer, text);
        if (key_)
            RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer), sizeof buffer);
    }

private:
    HKEY key_ = nullptr;
};

const char16_t* firmwareValue(int8_t deviceType) {
    return deviceType == -127 ? u"SE" : deviceType == -128 ? u"HE" : nullptr;
}

} // namespace

TreeNodeStates DefaultTreeNodes() {
    TreeNodeStates nodes;
    for (int i = 0; i < treeNodeCount; ++i)
        nodes.expanded[i] = true;
    nodes.expanded[4] = nodes.expanded[5] = false; // status flags, control status
    return nodes;
}

TreeNodeStates ReadTreeNodes() {
    TreeNodeStates nodes = DefaultTreeNodes();
    SettingsKey key(u"TreeNodes", false);
    if (!key)
        return nodes;
    for (int i = 0; i < treeNodeCount; ++i) {
        uint32_t value;
        if (key.read(treeNodeNames[i], value))
            nodes.expanded[i] = value == 1;
    }
    return nodes;
}

void WriteTreeNodes(const TreeNodeStates& nodes) {
    SettingsKey key(u"TreeNodes", true);
    for (int i = 0; i < treeNodeCount; ++i)
        key.write(treeNodeNames[i], nodes.expanded[i] ? 1 : 0);
}

CheckboxStates ReadCheckboxes() {
    CheckboxStates boxes;
    SettingsKey key(u"Checkboxes", false);
    uint32_t value;
    if (key.read(u"ExpertMode", value))
        boxes.expertMode = value != 0;
    if (key.read(u"TreeAutoRefresh", value))
        boxes.treeAutoRefresh = value != 0;
    return boxes;
}

void WriteCheckboxes(const CheckboxStates& boxes) {
    SettingsKey key(u"Checkboxes", true);
    key.write(u"ExpertMode", boxes.expertMode ? 1 : 0);
    key.write(u"TreeAutoRefresh", boxes.treeAutoRefresh ? 1 : 0);
}

DialogPlacement DefaultPlacement(int currentWidth, int currentHeight, int treeWidth, bool expertMode,
                                 int screenWidth, int screenHeight) {
    DialogPlacement p;
    p.width = expertMode ? currentWidth : currentWidth - treeWidth - 27;
    p.height = currentHeight;
    p.x = screenWidth / 2 - p.width / 2;
    p.y = screenHeight / 2 - p.height / 2;
    return p;
}

DialogPlacement ReadDialogPlacement(DialogPlacement p) {
    SettingsKey key(u"Dialog", false);
    uint32_t value;
    if (key.read(u"x", value))
        p.x = int32_t(value);
    if (key.read(u"y", value))
        p.y = int32_t(value);
    if (key.read(u"width", value))
        p.width = int32_t(value);
    if (key.read(u"height", value))
        p.height = int32_t(value);
    if (key.read(u"maximized", value))
        p.maximized = value == 1;
    return p;
}

void WriteDialogPlacement(const DialogPlacement& p) {
    SettingsKey key(u"Dialog", true);
    key.write(u"x", uint32_t(p.x));
    key.write(u"y", uint32_t(p.y));
    key.write(u"width", uint32_t(p.width));
    key.write(u"height", uint32_t(p.height));
    key.write(u"maximized", p.maximized ? 1 : 0);
}

DialogPlacement ClampPlacement(DialogPlacement p, int minWidth, int minHeight, int areaX, int areaY,
                               int areaWidth, int areaHeight) {
    p.width = std::clamp(p.width, minWidth, std::max(minWidth, areaWidth));
    p.height = std::clamp(p.height, minHeight, std::max(minHeight, areaHeight));
    p.x = std::clamp(p.x, areaX, std::max(areaX, areaX + areaWidth - p.width));
    p.y = std::clamp(p.y, areaY, std::max(areaY, areaY + areaHeight - p.height));
    return p;
}

SortSettings ReadSortSettings() {
    SortSettings sort;
    SettingsKey key(u"CameraList", false);
    uint32_t value;
    if (key.read(u"SortColumn", value))
        sort.column = int(value);
    if (key.read(u"Direction", value))
        sort.ascending = value == 1;
    return sort;
}

void WriteSortSettings(const SortSettings& sort) {
    SettingsKey key(u"CameraList", true);
    key.write(u"SortColumn", uint32_t(sort.column));
    key.write(u"Direction", sort.ascending ? 1 : 0);
}

uint32_t ReadRefreshTime() {
    uint32_t value = 1500;
    SettingsKey key(u"Tree", false);
    key.read(u"RefreshTime", value);
    return value;
}

void SaveSettingsAtClose(const TreeNodeStates& nodes, const CheckboxStates& boxes,
                         const DialogPlacement& placement) {
    WriteTreeNodes(nodes);
    WriteCheckboxes(boxes);
    WriteDialogPlacement(placement);
}

std::u16string FirmwareDefault(const std::u16string& installLocation, const char16_t* prefix) {
    const std::u16string folder = installLocation + u"/GigE Firmware/";
    const std::u16string pattern = folder + prefix + u"_*.fw";
    glob_t found{};
    std::u16string result = pattern;
    if (::glob(ToUtf8(pattern).c_str(), 0, nullptr, &found) == 0 && found.gl_pathc > 0) {
        const std::string first = found.gl_pathv[0];
        const size_t slash = first.rfind('/');
        result = folder + FromUtf8(first.substr(slash + 1));
    }
    globfree(&found);
    return result;
}

std::u16string GetFirmwarePath(int8_t deviceType) {
    const char16_t* value = firmwareValue(deviceType);
    if (!value)
        return std::u16string();
    {
        SettingsKey key(u"Firmware", false);
        if (key) {
            std::u16string path;
            return key.readText(value, path) ? path : std::u16string();
        }
    }
    std::u16string se, he;
    HKEY uninstall = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstallKey, 0, KEY_READ, &uninstall) == ERROR_SUCCESS) {
        WCHAR uninstallString[pathBytes / 2] = {}, location[pathBytes / 2] = {};
        DWORD size1 = sizeof uninstallString, size2 = sizeof location;
        if (RegQueryValueExW(uninstall, u"UninstallString", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(uninstallString), &size1) == ERROR_SUCCESS &&
            RegQueryValueExW(uninstall, u"InstallLocation", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(location), &size2) == ERROR_SUCCESS) {
            const std::u16string install = WideField(location, pathBytes / 2);
            he = FirmwareDefault(install, u"HE");
            se = FirmwareDefault(install, u"SE");
        }
        RegCloseKey(uninstall);
    }
    SettingsKey key(u"Firmware", true);
    key.writeText(u"SE", se);
    key.writeText(u"HE", he);
    return deviceType == -127 ? se : he;
}

void SetFirmwarePath(int8_t deviceType, const std::u16string& path) {
    if (const char16_t* value = firmwareValue(deviceType))
        SettingsKey(u"Firmware", true).writeText(value, path);
}
