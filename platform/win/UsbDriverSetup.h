#pragma once

// What the USB camera driver's setup and the plug-and-play manager leave in the machine registry
// for each camera that is plugged in, for a camera manager that runs where no driver is
// installed (the build tree): the driver's list of its device instances, and the chain from the
// camera's device instance through a hub to the host controller. Nothing here touches the host's
// USB devices.

#include <cstdint>
#include <string>
#include <vector>

namespace win {

struct UsbCameraSlot {
    unsigned index;    // the camera's position in the driver's camera list
    uint32_t deviceId; // below 1000
};

// For the USB cameras plugged in now, in list order, writes what is missing or differs:
//   ...\Services\Zeko\enum  "<index>" = "USB\VID_5C2E&PID_0100\<hub prefix>&<port>", "Count"
//   ...\Enum\USB\VID_5C2E&PID_0100\<hub prefix>&<port>  "DeviceDesc", "Service" (the camera)
//   ...\Enum\USB\ROOT_HUB30\<controller prefix>&<hub>  "ParentIdPrefix" = <hub prefix>, "DeviceDesc"
//   ...\Enum\PCI\VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10\3&11583659&0&A0  "ParentIdPrefix" =
//        <controller prefix>, "DeviceDesc", "ClassGUID", "CompatibleIDs"
// Fifteen cameras share a hub (ports 1 to F), up to sixteen hubs. Index values of cameras that
// are gone are removed. False when a write failed.
bool RegisterUsbCameras(const std::vector<UsbCameraSlot>& cameras);

// The texts the chain shows (tests compare with them).
extern const char16_t usbHubDescription[];
extern const char16_t usbControllerDescription[];

} // namespace win
