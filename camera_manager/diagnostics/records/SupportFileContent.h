#pragma once

// Everything a support file holds, gathered before it is laid out as text.

#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraEntry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SupportCamera {
    CameraEntry entry;
    CamInfoRecord info{};
    // USB cameras: the hubs from the camera towards the host ("description (Port n)"), then the
    // host controller's description when it was found.
    std::vector<std::u16string> hubs;
    std::optional<std::u16string> controller;
};

struct SupportAdapter {
    std::u16string name, macAddress, ipAddress, ipSubnetmask;
    uint32_t dhcp = 0;
    std::u16string driverVersion, driverDate;
};

struct SupportSystemInfo {
    uint32_t buildNumber = 0, majorVersion = 0, minorVersion = 0, platformId = 0;
    uint32_t activeProcessorMask = 0, numberOfProcessors = 0, processorArchitecture = 0;
    std::u16string csdVersion;
};

constexpr size_t supportDriverCount = 26;
// Keys of the "Installed drivers" section, in file order.
extern const std::array<const char16_t*, supportDriverCount> supportDriverKeys;
// Sections of the USB host controller kinds, in file order.
extern const std::array<const char16_t*, 4> supportControllerKinds;
// The key each camera's section ends with, USB then GigE: a text cut after it holds the camera
// whole.
extern const std::array<const char16_t*, 2> supportCameraLastKeys;

struct SupportFileContent {
    std::u16string programVersion;
    std::vector<SupportCamera> usbCameras, ethCameras;
    std::array<std::u16string, supportDriverCount> drivers;
    SupportSystemInfo system;
    // Empty when the adapter list could not be read.
    std::optional<std::vector<SupportAdapter>> adapters;
    std::array<std::vector<std::u16string>, 4> controllers;
    // Labels of the USB path keys ("%d. %s"): strings 296 and 297 of the current language.
    std::u16string hubLabel, controllerLabel;
};

// The support text of the content, unscrambled.
std::u16string BuildSupportText(const SupportFileContent& content);
