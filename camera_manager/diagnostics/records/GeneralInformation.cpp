#include "camera_manager/diagnostics/records/GeneralInformation.h"

#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <cstdlib>

namespace {

constexpr size_t pathChars = 260;

std::u16string text(unsigned id) {
    return LoadResourceString(id);
}

std::u16string versionOf(const std::u16string& path) {
    WCHAR buffer[20] = {};
    return GetFileVersionString(path, buffer, sizeof buffer) ? win::fromBuffer(buffer) : text(ids::NotFound);
}

// Reads a text value; nullopt when the key or value is missing or does not fit the buffer.
std::optional<std::u16string> readText(const char16_t* keyPath, const char16_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char16_t buffer[pathChars] = {};
    DWORD size = sizeof buffer, type = 0;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::u16string value(buffer, std::min<size_t>(size / 2, pathChars));
    value = win::fromBuffer(value.c_str());
    if (value.size() >= pathChars)
        return std::nullopt;
    return value;
}

std::u16string beforeLastSlash(const std::u16string& path) {
    size_t slash = path.find_last_of(u"/\\");
    return slash == std::u16string::npos ? u"" : path.substr(0, slash);
}

} // namespace

std::optional<std::u16string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    std::u16string wide = win::fromUtf8(value);
    if (wide.size() >= pathChars)
        return std::nullopt;
    return wide;
}

std::vector<InfoRow> BuildDriverRows(const std::u16string& windowsDir, const EnvironmentLookup& env) {
    const std::u16string w = windowsDir.empty() ? u"c:\\windows" : windowsDir;
    const std::u16string sep = windowsDir.empty() ? u"\\" : u"/";
    const std::u16string s32 = w + sep + u"system32", wow = w + sep + u"SysWOW64",
                         drv = s32 + sep + u"drivers", tw = w + sep + u"twain_32";
    struct Plain {
        unsigned file, description;
        const std::u16string* location;
    };
    const Plain plain[] = {{ids::FileUsbDriver, ids::UsbKernelDriver, &drv},
                           {ids::FileEthDriver, ids::EthKernelDriver, &drv},
                           {ids::FileComDriver, ids::ComPortDriver, &drv},
                           {ids::InterfaceLibraryFile, ids::UserModeDll, &s32},
                           {ids::FileApiDll32, ids::UserModeDll, &wow},
                           {ids::FileToolsDll, ids::ToolsDll, &s32},
                           {ids::FileToolsDll32, ids::ToolsDll, &wow},
                           {ids::FileActiveX, ids::ActiveXDriver, &s32},
                           {ids::FileDirectShow, ids::DirectShowDriver, &s32},
                           {ids::FileTwain, ids::TwainDriver, &tw}};
    std::vector<InfoRow> rows;
    auto ordinary = [&](unsigned file, unsigned description, const std::u16string& location) {
        rows.push_back({text(file), text(description), location, versionOf(location + sep + text(file))});
    };
    for (const Plain& row : plain)
        ordinary(row.file, row.description, *row.location);
    auto ruled = [&](unsigned file, unsigned description) {
        rows.push_back({text(file), text(description), text(ids::NotFound), text(ids::NotFound)});
        return &rows.back();
    };
    const std::optional<std::u16string> halcon = env("HALCONROOT");
    for (unsigned file : {514u, 515u, 588u}) {
        InfoRow* row = ruled(file, ids::HalconDll);
        if (halcon) {
            row->location = *halcon + sep + u"bin" + sep + u"x64-win64";
            row->version = versionOf(row->location + sep + row->file);
        }
    }
    ordinary(ids::FileLabViewDll, ids::LabViewDll, s32);
    InfoRow* cvbRow = ruled(ids::FileCvbDriver, ids::CvbDriver);
    if (const std::optional<std::u16string> cvb = env("CVB")) {
        cvbRow->location = *cvb + sep + u"Drivers";
        cvbRow->version = versionOf(cvbRow->location + sep + cvbRow->file);
    }
    InfoRow* neuroRow = ruled(ids::FileNeuroCheckDll, ids::NeuroCheckDll);
    if (auto clsid = readText(u"SOFTWARE\\Classes\\NeuroCheck.Application\\CLSID\\", u"")) {
        std::u16string server = u"SOFTWARE\\Classes\\CLSID\\" + *clsid + u"\\LocalServer32";
        if (auto program = readText(server.c_str(), u"")) {
            neuroRow->location = beforeLastSlash(*program);
            neuroRow->version = versionOf(neuroRow->location + sep + neuroRow->file);
        }
    }
    InfoRow* cognexRow = ruled(ids::FileCognexDll, ids::CognexDll);
    if (auto library = readText(u"SOFTWARE\\Cognex\\AIK\\AdapterZeko", u"LibName")) {
        cognexRow->location = beforeLastSlash(*library);
        cognexRow->version = versionOf(*library);
    }
    InfoRow* genicamRow = ruled(ids::FileGenICamProducer, ids::GenICamProducer);
    if (const std::optional<std::u16string> genicam = env("GENICAM_ROOT_V1_1")) {
        genicamRow->location =
            *genicam + sep + u"bin" + sep + u"win32_i86" + sep + u"TLIs" + sep + genicamRow->file;
        genicamRow->version = versionOf(genicamRow->location);
    }
    return rows;
}

std::vector<InfoRow> BuildDirect3DRows(const std::u16string& windowsDir) {
    const std::u16string sep = windowsDir.empty() ? u"\\" : u"/";
    const std::u16string s32 = (windowsDir.empty() ? u"c:\\windows" : windowsDir) + sep + u"system32";
    std::vector<InfoRow> rows;
    for (auto [file, description] :
         {std::pair{593u, u"Direct3D9 Dll"}, std::pair{594u, u"Direct3D9 Extensions Dll"}}) {
        std::u16string path = s32 + sep + text(file);
        rows.push_back({text(file), description, path, versionOf(path)});
    }
    return rows;
}

std::optional<OsVersion> SystemOsVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version))
        return std::nullopt;
    OsVersion os;
    os.platform = version.dwPlatformId;
    os.major = version.dwMajorVersion;
    os.minor = version.dwMinorVersion;
    os.servicePack = win::fromBuffer(version.szCSDVersion);
    return os;
}

int GetServicePackNumber(const std::u16string& servicePack) {
    if (servicePack.empty())
        return 0;
    char16_t last = servicePack.back();
    return last >= u'0' && last <= u'9' ? last - u'0' : 0;
}

bool IsUsb2SupportMissing(const std::optional<OsVersion>& os,
                          const std::function<std::optional<uint32_t>()>& hotfix) {
    if (!os || os->platform != 2)
        return true;
    if (os->major == 0 && os->minor == 0)
        return false;
    const int sp = GetServicePackNumber(os->servicePack);
    auto is = [&](uint32_t major, uint32_t minor) { return os->major == major && os->minor == minor; };
    if (is(5, 1)) {
        if (sp >= 2)
            return false;
        std::optional<uint32_t> installed = hotfix();
        return installed && *installed != 1;
    }
    if (is(5, 0))
        return sp < 4;
    if (is(5, 2))
        return sp < 1;
    if (is(6, 0) || is(6, 1))
        return false;
    return true;
}

std::optional<uint32_t> ReadUsb2Hotfix() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\KB822603", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key, u"Installed", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        value = 0;
    RegCloseKey(key);
    return value;
}

std::u16string ControllerName(const std::u16string& deviceDesc) {
    size_t semicolon = deviceDesc.rfind(u';');
    if (semicolon == std::u16string::npos || semicolon + 1 == deviceDesc.size())
        return deviceDesc;
    return deviceDesc.substr(semicolon + 1);
}

namespace {

std::vector<std::u16string> subkeys(const std::u16string& path) {
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char16_t name[256] = {};
        DWORD chars = 256;
        if (RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    RegCloseKey(key);
    return names;
}

} // namespace

UsbControllerLists FillUsbHostControllerLists() {
    UsbControllerLists lists;
    const std::u16string pci = u"SYSTEM\\CurrentControlSet\\Enum\\PCI";
    for (const std::u16string& device : subkeys(pci))
        for (const std::u16string& instance : subkeys(pci + u"\\" + device)) {
            const std::u16string path = pci + u"\\" + device + u"\\" + instance;
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
                continue;
            char16_t guid[256] = {};
            DWORD size = sizeof guid - 2, type = 0;
            bool usbClass =
                RegQueryValueExW(key, u"ClassGUID", nullptr, &type, reinterpret_cast<BYTE*>(guid), &size) ==
                    ERROR_SUCCESS &&
                win::equalNoCase(win::fromBuffer(guid), u"{36FC9E60-C465-11CF-8056-444553540000}");
            char16_t ids[256] = {};
            size = 510;
            if (usbClass && RegQueryValueExW(key, u"CompatibleIDs", nullptr, &type,
                                             reinterpret_cast<BYTE*>(ids), &size) == ERROR_SUCCESS) {
                char16_t desc[256] = {};
                DWORD descSize = sizeof desc - 2;
                RegQueryValueExW(key, u"DeviceDesc", nullptr, &type, reinterpret_cast<BYTE*>(desc),
                                 &descSize);
                const std::u16string name = ControllerName(win::fromBuffer(desc));
                for (const char16_t* id = ids; *id && id < ids + 255;
                     id += std::char_traits<char16_t>::length(id) + 1) {
                    std::u16string_view compatible(id);
                    if (win::equalNoCase(compatible, u"PCI\\CC_0C0300"))
                        lists.usb10.push_back(name);
                    else if (win::equalNoCase(compatible, u"PCI\\CC_0C0310"))
                        lists.usb11.push_back(name);
                    else if (win::equalNoCase(compatible, u"PCI\\CC_0C0320"))
                        lists.usb20.push_back(name);
                    else if (win::equalNoCase(compatible, u"PCI\\CC_0C0330"))
                        lists.usb30.push_back(name);
                }
            }
            RegCloseKey(key);
        }
    return lists;
}

std::u16string AdapterDisplayName(const std::u16string& description) {
    size_t dash = description.find(u" - ");
    return dash == std::u16string::npos ? description : description.substr(dash + 3);
}
