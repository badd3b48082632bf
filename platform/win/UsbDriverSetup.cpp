#include "platform/win/UsbDriverSetup.h"

#include "platform/win/RegistryStore.h"
#include "platform/win/WideText.h"

#include <algorithm>
#include <cstdio>

namespace win {

const char16_t usbHubDescription[] = u"USB Root Hub (USB 3.0)";
const char16_t usbControllerDescription[] = u"USB xHCI Compliant Host Controller";

namespace {

const char16_t enumKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum";
const char16_t cameraDevice[] = u"USB\\VID_5C2E&PID_0100";
const char16_t hubDevice[] = u"USB\\ROOT_HUB30";
const char16_t controllerInstance[] = u"PCI\\VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10\\3&11583659&0&A0";
const char16_t controllerPrefix[] = u"4&2C5B1E7&0";
const char16_t usbClassGuid[] = u"{36FC9E60-C465-11CF-8056-444553540000}";
const char16_t deviceRoot[] = u"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr unsigned portsPerHub = 15;
constexpr unsigned hubs = 16;

RegistryStore& machine() {
    return RegistryStore::instance(RegistryStore::Hive::LocalMachine);
}

std::u16string hexDigit(unsigned n) {
    return std::u16string(1, u"0123456789ABCDEF"[n & 15]);
}

// The hub's own parent-id prefix, which its children's instance names begin with.
std::u16string hubPrefix(unsigned hub) {
    return u"5&1A2B3C" + hexDigit(hub) + u"&0";
}

RegistryStore::Value multiText(std::u16string name, const std::u16string& text) {
    RegistryStore::Value value = RegistryStore::textValue(std::move(name), text);
    value.type = 7;
    value.data.push_back(0); // the list's closing empty text
    value.data.push_back(0);
    return value;
}

// Writes the value unless the key holds it already.
bool ensure(const std::u16string& key, const RegistryStore::Value& value) {
    RegistryStore::Value stored;
    if (machine().getValue(key, value.name, stored) && stored.type == value.type && stored.data == value.data)
        return true;
    return machine().setValue(key, value);
}

bool registerController() {
    const std::u16string key = deviceRoot + std::u16string(controllerInstance);
    return ensure(key, RegistryStore::textValue(u"ParentIdPrefix", controllerPrefix)) &&
           ensure(key, RegistryStore::textValue(u"DeviceDesc", usbControllerDescription)) &&
           ensure(key, RegistryStore::textValue(u"ClassGUID", usbClassGuid)) &&
           ensure(key, multiText(u"CompatibleIDs", u"PCI\\CC_0C0330"));
}

bool registerHub(unsigned hub) {
    const std::u16string key =
        deviceRoot + std::u16string(hubDevice) + u"\\" + controllerPrefix + u"&" + hexDigit(hub);
    return ensure(key, RegistryStore::textValue(u"ParentIdPrefix", hubPrefix(hub))) &&
           ensure(key, RegistryStore::textValue(u"DeviceDesc", usbHubDescription));
}

} // namespace

bool RegisterUsbCameras(const std::vector<UsbCameraSlot>& cameras) {
    const size_t count = std::min<size_t>(cameras.size(), size_t(portsPerHub) * hubs);
    if (count > 0 && !registerController())
        return false;
    std::vector<std::u16string> names;
    for (size_t n = 0; n < count; ++n) {
        const unsigned hub = unsigned(n / portsPerHub);
        if (n % portsPerHub == 0 && !registerHub(hub))
            return false;
        const std::u16string instance = hubPrefix(hub) + u"&" + hexDigit(unsigned(n % portsPerHub) + 1);
        const std::u16string device = std::u16string(cameraDevice) + u"\\" + instance;
        const std::u16string deviceKey = deviceRoot + device;
        char camera[32];
        std::snprintf(camera, sizeof camera, "Zeko USB camera %u", unsigned(cameras[n].deviceId));
        names.push_back(fromUtf8(std::to_string(cameras[n].index)));
        if (!ensure(deviceKey, RegistryStore::textValue(u"DeviceDesc", fromUtf8(camera))) ||
            !ensure(deviceKey, RegistryStore::textValue(u"Service", u"Zeko")) ||
            !ensure(enumKey, RegistryStore::textValue(names.back(), device)))
            return false;
    }
    if ((count > 0 || machine().keyExists(enumKey)) &&
        !ensure(enumKey, RegistryStore::dwordValue(u"Count", uint32_t(count))))
        return false;
    // The instances of cameras that are gone (numbered values only; a list position is below
    // the number of cameras, which stays far below 1000).
    std::vector<std::u16string> stale;
    for (size_t index = 0; index < 1000; ++index) {
        const std::u16string name = fromUtf8(std::to_string(index));
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            RegistryStore::Value unused;
            if (machine().getValue(enumKey, name, unused))
                stale.push_back(name);
        }
    }
    for (const std::u16string& name : stale) {
        bool found = false;
        if (!machine().deleteValue(enumKey, name, &found) && found)
            return false;
    }
    return true;
}

} // namespace win
