#include "camera_manager/core/records/HostAdapters.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "platform/win/Adapters.h"
#include "platform/win/Registry.h"

#include <cstdlib>
#include <vector>

namespace {

const char16_t networkClassKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";

// A REG_SZ value of an open key read into 510 bytes; false when it is missing.
bool readText(HKEY key, const char16_t* name, std::u16string& text) {
    WCHAR buffer[255] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    text = WideField(buffer, 255);
    return true;
}

} // namespace

std::u16string AdapterDesignation(const std::u16string& description) {
    const size_t cut = description.rfind(u" - ");
    return cut == std::u16string::npos ? description : description.substr(0, cut);
}

bool GetNetAdapterDriverInfo(const std::u16string& adapterName, std::u16string& driverVersion,
                             std::u16string& driverDate) {
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, networkClassKey, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return false;
    bool found = false;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD chars = 256;
        const LONG result = RegEnumKeyExW(root, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        const std::u16string path = std::u16string(networkClassKey) + u"\\" + name;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        std::u16string id;
        if (readText(key, u"NetCfgInstanceId", id) && id == adapterName) {
            found = true;
            std::u16string text;
            if (readText(key, u"DriverVersion", text))
                driverVersion = text;
            if (readText(key, u"DriverDate", text))
                driverDate = text;
        }
        RegCloseKey(key);
    }
    RegCloseKey(root);
    return found;
}

bool GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                         std::u16string& driverVersion, std::u16string& driverDate) {
    DWORD size = 704;
    std::vector<uint8_t> buffer(size);
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result == DWORD(ERROR_BUFFER_OVERFLOW)) {
        buffer.assign(size, 0);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS)
        return false;
    const IP_ADAPTER_INFO* match = nullptr;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); adapter;
         adapter = adapter->Next)
        if (adapter->AddressLength >= 6 && MacText(adapter->Address) == mac)
            match = adapter;
    if (!match)
        return false;
    designation = AdapterDesignation(MultiByteToWide(match->Description, sizeof match->Description));
    GetNetAdapterDriverInfo(MultiByteToWide(match->AdapterName, sizeof match->AdapterName), driverVersion,
                            driverDate);
    return true;
}
