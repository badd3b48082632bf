#pragma once

// What the general-information dialog lists, without its window: the driver and interface
// rows with their versions, the Direct3D rows, the USB 2.0 support rule, the USB host
// controllers from the PCI enumeration and the texts of the adapter branch.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct InfoRow {
    std::u16string file, description, location, version;
};

// An environment lookup: nullopt for unset, empty or too long (260 characters or more).
using EnvironmentLookup = std::function<std::optional<std::u16string>(const char* name)>;
std::optional<std::u16string> ProcessEnvironment(const char* name);

// The 18 driver rows. windowsDir empty: the "c:\windows" defaults.
std::vector<InfoRow> BuildDriverRows(const std::u16string& windowsDir, const EnvironmentLookup& env);
std::vector<InfoRow> BuildDirect3DRows(const std::u16string& windowsDir);

struct OsVersion {
    uint32_t platform = 2; // NT
    uint32_t major = 0, minor = 0;
    std::u16string servicePack;
};
// The system's version as GetVersionExW reports it, the same that the support file records;
// nullopt when it cannot be read.
std::optional<OsVersion> SystemOsVersion();
int GetServicePackNumber(const std::u16string& servicePack);
// hotfixInstalled: nullopt when the hotfix key does not open, else its "Installed" value (0 when
// unreadable). Version 0.0 is a host that is no Windows at all (SystemInfo.h): its own kernel
// drives USB 2.0 host controllers, so support is not missing.
bool IsUsb2SupportMissing(const std::optional<OsVersion>& os,
                          const std::function<std::optional<uint32_t>()>& hotfixInstalled);
// Reads the KB822603 key of the registry.
std::optional<uint32_t> ReadUsb2Hotfix();

struct UsbControllerLists {
    std::vector<std::u16string> usb10, usb11, usb20, usb30;
};
// The controller name of a "DeviceDesc": the text after its last ";", whole when there is none
// or it is the last character.
std::u16string ControllerName(const std::u16string& deviceDesc);
UsbControllerLists FillUsbHostControllerLists();

// An adapter description from the text after the first " - ", whole without one.
std::u16string AdapterDisplayName(const std::u16string& description);
