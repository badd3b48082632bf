#include "camera_manager/diagnostics/records/SupportFileCollector.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/DeviceLookup.h"
#include "camera_manager/core/records/HostAdapters.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/res/StringIds.h"
#include "platform/common/FileReplacement.h"
#include "platform/win/Adapters.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/System.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t versionChars = 19;
const char16_t* const usbEnumKey = u"SYSTEM\\CurrentControlSet\\Enum\\USB";
const char16_t* const pciEnumKey = u"SYSTEM\\CurrentControlSet\\Enum\\PCI";

std::u16string notFound() {
    return LoadResourceString(ids::NotFound).substr(0, versionChars);
}

std::u16string versionOrNotFound(const std::u16string& path) {
    WCHAR buffer[32] = {};
    if (path.empty() || !GetFileVersionString(path, buffer, sizeof buffer))
        return notFound();
    return WideField(buffer, 32).substr(0, versionChars);
}

std::vector<std::u16string> splitPath(const std::u16string& text) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : text) {
        if (c == u'\\' || c == u'/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The entry of the folder whose name equals part without case (the exact name first).
std::string matchEntry(const std::string& folder, const std::string& part) {
    if (access((folder + "/" + part).c_str(), F_OK) == 0)
        return part;
    std::string found = part;
    if (DIR* dir = opendir(folder.c_str())) {
        const std::u16string wanted = win::fromUtf8(part);
        while (dirent* entry = readdir(dir))
            if (win::equalNoCase(win::fromUtf8(entry->d_name), wanted)) {
                found = entry->d_name;
                break;
            }
        closedir(dir);
    }
    return found;
}

// An environment folder joined with "/" to the parts; empty when the variable is unset.
std::u16string environmentFile(const char* variable, std::initializer_list<std::u16string> parts) {
    const char* value = std::getenv(variable);
    if (!value || !*value || std::strlen(value) >= 261)
        return {};
    std::u16string path = win::fromUtf8(value);
    for (const std::u16string& part : parts)
        path += u"/" + part;
    return path;
}

// A REG_SZ or REG_MULTI_SZ value read into 510 bytes, always terminated inside them.
bool readValue(HKEY key, const char16_t* name, std::u16string& value) {
    WCHAR buffer[256] = {};
    DWORD size = 510;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    buffer[255] = 0;
    value.assign(buffer, std::min<size_t>(size / 2, 255));
    return true;
}

std::u16string readMachineString(const std::u16string& keyPath, const char16_t* name, bool& found) {
    HKEY key = nullptr;
    std::u16string value;
    found = false;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        found = readValue(key, name, value);
        RegCloseKey(key);
    }
    const size_t end = value.find(u'\0');
    return end == std::u16string::npos ? value : value.substr(0, end);
}

std::u16string cutBeforeLastSeparator(const std::u16string& path) {
    const size_t last = path.find_last_of(u"\\/");
    return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

std::u16string neuroCheckVersion(const std::u16string& fileName) {
    bool found = false;
    const std::u16string clsid =
        readMachineString(u"SOFTWARE\\Classes\\NeuroCheck.Application\\CLSID\\", u"", found);
    if (!found || clsid.empty())
        return notFound();
    const std::u16string server =
        readMachineString(u"SOFTWARE\\Classes\\CLSID\\" + clsid + u"\\LocalServer32", u"", found);
    if (!found || server.empty())
        return notFound();
    return versionOrNotFound(cutBeforeLastSeparator(server) + u"/" + fileName);
}

std::u16string cognexVersion() {
    bool found = false;
    const std::u16string library =
        readMachineString(u"SOFTWARE\\Cognex\\AIK\\AdapterZeko", u"LibName", found);
    return found && !library.empty() ? versionOrNotFound(library) : notFound();
}

std::u16string bounded(const WCHAR* buffer, size_t units) {
    return WideField(buffer, units);
}

} // namespace

std::u16string WindowsFolderFile(const std::u16string& relative) {
    std::string path = win::windowsFolder();
    for (const std::u16string& part : splitPath(relative)) {
        const std::string entry = matchEntry(path, win::toUtf8(part));
        path.push_back('/');
        path.append(entry);
    }
    return win::fromUtf8(path);
}

std::u16string GetDriverFileVersion(const std::u16string& name) {
    return versionOrNotFound(WindowsFolderFile(LoadResourceString(ids::FolderDrivers) + name));
}

std::u16string GetSystemDllVersion(const std::u16string& name, int bits) {
    if (bits != 32 && bits != 64)
        return notFound();
    return versionOrNotFound(
        WindowsFolderFile(LoadResourceString(bits == 64 ? ids::FolderSystem32 : ids::FolderSysWow64) + name));
}

void CollectInstalledDriverVersions(std::array<std::u16string, supportDriverCount>& d) {
    auto s = [](unsigned id) { return LoadResourceString(id); };
    d[0] = GetDriverFileVersion(s(ids::FileUsbDriver32));
    d[1] = GetDriverFileVersion(s(ids::FileUsbDriver));
    d[2] = GetDriverFileVersion(s(ids::FileBootDriver32));
    d[3] = GetDriverFileVersion(s(ids::FileBootDriver));
    d[4] = GetDriverFileVersion(s(ids::FileEthDriver32));
    d[5] = GetDriverFileVersion(s(ids::FileEthDriver));
    d[6] = GetDriverFileVersion(s(ids::FileComDriver32));
    d[7] = GetDriverFileVersion(s(ids::FileComDriver));
    d[8] = GetSystemDllVersion(s(ids::FileApiDll32), 32);
    d[9] = GetSystemDllVersion(s(ids::InterfaceLibraryFile), 64);
    d[10] = GetSystemDllVersion(s(ids::FileToolsDll32), 32);
    d[11] = GetSystemDllVersion(s(ids::FileToolsDll), 64);
    d[12] = GetSystemDllVersion(s(ids::FileActiveX), 32);
    d[13] = GetSystemDllVersion(s(ids::FileActiveX), 64);
    d[14] = GetSystemDllVersion(s(ids::FileDirectShow), 32);
    d[15] = GetSystemDllVersion(s(ids::FileDirectShow), 64);
    d[16] = versionOrNotFound(WindowsFolderFile(s(ids::FolderTwain32) + s(ids::FileTwain)));
    d[17] = versionOrNotFound(environmentFile("HALCONROOT", {u"bin", u"x64-win64", s(ids::FileHalconDll)}));
    d[18] = versionOrNotFound(
        environmentFile("HALCONROOT", {u"bin", u"x64-win64", s(ids::FileHalconParallelDll)}));
    d[19] = versionOrNotFound(environmentFile("HALCONROOT", {u"bin", u"x64-win64", s(ids::FileHalconXlDll)}));
    d[20] = GetSystemDllVersion(s(ids::FileLabViewDll32), 32);
    d[21] = GetSystemDllVersion(s(ids::FileLabViewDll), 64);
    d[22] = versionOrNotFound(environmentFile("CVB", {u"Drivers", s(ids::FileCvbDriver)}));
    d[23] = neuroCheckVersion(s(ids::FileNeuroCheckDll));
    d[24] = cognexVersion();
    d[25] = versionOrNotFound(
        environmentFile("GENICAM_ROOT_V1_1", {u"bin", u"win32_i86", u"TLIs", s(ids::FileGenICamProducer)}));
}

std::u16string CutAtSemicolon(const std::u16string& text) {
    const size_t last = text.rfind(u';');
    if (last == std::u16string::npos || last + 1 == text.size())
        return text;
    return text.substr(last + 1);
}

void CollectUsbPath(uint32_t enumIndex, std::vector<std::u16string>& hubs,
                    std::optional<std::u16string>& controller) {
    hubs.clear();
    controller.reset();
    WCHAR prefix[256] = {}, port[16] = {};
    if (!FindUsbDeviceInstance(enumIndex, prefix, sizeof prefix, port, sizeof port))
        return;
    std::u16string childPrefix = bounded(prefix, 256), childPort = bounded(port, 16);
    std::set<std::u16string> seen{childPrefix};
    auto description = [](const std::u16string& keyPath) {
        WCHAR text[256] = {};
        if (!ReadRegistryString(keyPath, u"DeviceDesc", text, sizeof text))
            return LoadResourceString(ids::NotAvailable);
        return CutAtSemicolon(bounded(text, 256));
    };
    constexpr size_t maxHubs = 16;
    while (hubs.size() < maxHubs) {
        WCHAR ownPrefix[256] = {}, ownPort[16] = {}, keyPath[512] = {};
        if (!FindDeviceByParentIdPrefix(usbEnumKey, childPrefix, ownPrefix, sizeof ownPrefix, ownPort,
                                        sizeof ownPort, keyPath, sizeof keyPath))
            break;
        hubs.push_back(description(bounded(keyPath, 512)) + u" (Port " + childPort + u")");
        childPrefix = bounded(ownPrefix, 256);
        childPort = bounded(ownPort, 16);
        if (!seen.insert(childPrefix).second)
            return; // the registry's hub data loops
    }
    WCHAR ownPrefix[256] = {}, ownPort[16] = {}, keyPath[512] = {};
    if (FindDeviceByParentIdPrefix(pciEnumKey, childPrefix, ownPrefix, sizeof ownPrefix, ownPort,
                                   sizeof ownPort, keyPath, sizeof keyPath))
        controller = description(bounded(keyPath, 512));
}

std::array<std::vector<std::u16string>, 4> CollectUsbControllers() {
    std::array<std::vector<std::u16string>, 4> lists;
    static const char16_t* const ids[4] = {u"PCI\\CC_0C0300", u"PCI\\CC_0C0310", u"PCI\\CC_0C0320",
                                           u"PCI\\CC_0C0330"};
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pciEnumKey, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return lists;
    auto enumerate = [](HKEY key, DWORD index, std::u16string& name) {
        WCHAR buffer[256] = {};
        DWORD chars = 256;
        if (RegEnumKeyExW(key, index, buffer, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        name = bounded(buffer, 256);
        return true;
    };
    std::u16string device, instance;
    for (DWORD i = 0; enumerate(root, i, device); ++i) {
        const std::u16string devicePath = std::u16string(pciEnumKey) + u"\\" + device;
        HKEY deviceKey = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, devicePath.c_str(), 0, KEY_READ, &deviceKey) != ERROR_SUCCESS)
            continue;
        for (DWORD j = 0; enumerate(deviceKey, j, instance); ++j) {
            HKEY key = nullptr;
            const std::u16string path = devicePath + u"\\" + instance;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
                continue;
            std::u16string classGuid, compatible, desc;
            if (readValue(key, u"ClassGUID", classGuid) &&
                win::equalNoCase(classGuid.substr(0, classGuid.find(u'\0')),
                                 u"{36FC9E60-C465-11CF-8056-444553540000}") &&
                readValue(key, u"CompatibleIDs", compatible)) {
                if (!readValue(key, u"DeviceDesc", desc))
                    desc.clear();
                desc = CutAtSemicolon(desc.substr(0, desc.find(u'\0')));
                size_t start = 0;
                while (start < compatible.size() && compatible[start] != 0) {
                    size_t end = compatible.find(u'\0', start);
                    if (end == std::u16string::npos)
                        end = compatible.size();
                    const std::u16string_view id(compatible.data() + start, end - start);
                    for (size_t kind = 0; kind < 4; ++kind)
                        if (win::equalNoCase(id, ids[kind]))
                            lists[kind].push_back(desc.substr(0, 199));
                    start = end + 1;
                }
            }
            RegCloseKey(key);
        }
        RegCloseKey(deviceKey);
    }
    RegCloseKey(root);
    return lists;
}

std::optional<std::vector<SupportAdapter>> CollectAdapters() {
    std::vector<uint64_t> storage(704 / sizeof(uint64_t));
    DWORD size = 704;
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()), &size);
    if (result == DWORD(ERROR_BUFFER_OVERFLOW)) {
        storage.assign(size / sizeof(uint64_t) + 1, 0);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()), &size);
    }
    if (result != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<SupportAdapter> adapters;
    const std::u16string unknown = LoadResourceString(ids::Unknown).substr(0, versionChars);
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(storage.data()); a; a = a->Next) {
        SupportAdapter s;
        s.name = AdapterDesignation(MultiByteToWide(a->Description, sizeof a->Description)).substr(0, 199);
        s.macAddress = MacText(a->Address);
        s.ipAddress = MultiByteToWide(a->IpAddressList.IpAddress, sizeof a->IpAddressList.IpAddress);
        s.ipSubnetmask = MultiByteToWide(a->IpAddressList.IpMask, sizeof a->IpAddressList.IpMask);
        s.dhcp = a->DhcpEnabled ? 1 : 0;
        s.driverVersion = s.driverDate = unknown;
        std::u16string version, date;
        if (GetNetAdapterDriverInfo(MultiByteToWide(a->AdapterName, sizeof a->AdapterName), version, date)) {
            if (!version.empty())
                s.driverVersion = version.substr(0, versionChars);
            if (!date.empty())
                s.driverDate = date.substr(0, versionChars);
        }
        adapters.push_back(std::move(s));
    }
    return adapters;
}

SupportSystemInfo CollectSystemInfo() {
    SupportSystemInfo s;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExW(&version)) {
        s.majorVersion = version.dwMajorVersion;
        s.minorVersion = version.dwMinorVersion;
        s.buildNumber = version.dwBuildNumber;
        s.platformId = version.dwPlatformId;
        s.csdVersion = bounded(version.szCSDVersion, 128);
    }
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    s.processorArchitecture = info.wProcessorArchitecture;
    s.activeProcessorMask = uint32_t(info.dwActiveProcessorMask);
    s.numberOfProcessors = info.dwNumberOfProcessors;
    return s;
}

std::vector<int> SupportProgressSteps(size_t total) {
    std::vector<int> steps;
    if (total < 2)
        return steps;
    for (size_t k = 0; k < total; ++k)
        steps.push_back(int(k * 100 / total));
    steps.push_back(100);
    return steps;
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string& reason) {
    FileReplacement file;
    if (FileReplacement::replace(path, bytes, {}, &file))
        return true;
    const char* what = "cannot write the file";
    if (file.failedStep() == FileReplacement::Step::Create ||
        file.failedStep() == FileReplacement::Step::NoFileName)
        what = "cannot create a file in the folder";
    else if (file.failedStep() == FileReplacement::Step::Rename)
        what = "cannot replace the file";
    reason = std::string(what) + ": " + std::strerror(file.failedErrno());
    return false;
}

SupportFileContent GatherSupportFileContent(SupportFileSource& source,
                                            const std::function<void(int)>& progress) {
    SupportFileContent content;
    WCHAR version[30] = {};
    GetProgramVersionString(version, sizeof version);
    content.programVersion = WideField(version, 30);
    content.hubLabel = LoadResourceString(ids::Hub);
    content.controllerLabel = LoadResourceString(ids::Controller);
    const size_t total =
        size_t(source.ListedCameras(0).GetCount()) + size_t(source.ListedCameras(1).GetCount());
    size_t k = 0;
    for (int list = 0; list < 2; ++list) {
        auto& cameras = list == 0 ? content.usbCameras : content.ethCameras;
        for (size_t n = 0; n < size_t(source.ListedCameras(list).GetCount()); ++n, ++k) {
            if (total >= 2 && progress)
                progress(int(k * 100 / total));
            CameraEntry* entry = source.ListedCameras(list).At(n);
            std::u16string name, driverVersion, driverDate;
            source.GetHostAdapterByMac(WideField(entry->GetAdapterMacAddress(), 20), name, driverVersion,
                                       driverDate);
            entry->SetAdapterName(name);
            entry->SetAdapterDriverVersion(driverVersion);
            entry->SetAdapterDriverDate(driverDate);
            SupportCamera camera;
            // A fresh record per camera: a camera whose query fails never shows another's values.
            source.ReadCamInfo(entry, &camera.info);
            if (list == 0)
                CollectUsbPath(entry->GetUsbEnumIndex(), camera.hubs, camera.controller);
            camera.entry = *entry;
            cameras.push_back(std::move(camera));
        }
    }
    CollectInstalledDriverVersions(content.drivers);
    content.system = CollectSystemInfo();
    content.adapters = CollectAdapters();
    content.controllers = CollectUsbControllers();
    if (total >= 2 && progress)
        progress(100);
    return content;
}
