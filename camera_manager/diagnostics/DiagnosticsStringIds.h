#pragma once

// Numbers of the resource strings of the general-information and additional-functions dialogs
// (camera_manager/res/StringTable.cpp).

#include <cstdint>

namespace ids {

// Update check
constexpr uint32_t NotFound = 176;
constexpr uint32_t UrlNotConnected = 523;
constexpr uint32_t InternetNotConnected = 524;
constexpr uint32_t DriversOutOfDate = 527;
constexpr uint32_t InstallDirectX = 595;
// A text of our own: the download is no update list.
constexpr uint32_t NotAnUpdateList = 3223;

// Virtual COM ports
constexpr uint32_t PortUsed = 480;
constexpr uint32_t InstallComPort = 475;
constexpr uint32_t ComPortConnected = 486;
constexpr uint32_t ComPortDefault = 487;
constexpr uint32_t ComPortMissingOnComputer = 488;
constexpr uint32_t DeleteComPort = 489;
constexpr uint32_t BroadcastInstalledStart = 490;
constexpr uint32_t BroadcastFailedStart = 491;
constexpr uint32_t ComPortDeletedInCamera = 492;
constexpr uint32_t ComPortNotDeletedInCamera = 493;
constexpr uint32_t ComPortSavedInCamera = 494;
constexpr uint32_t ComPortNotSavedInCamera = 495;
constexpr uint32_t ComPortDeletedOnComputer = 496;
constexpr uint32_t ComPortNotDeletedOnComputer = 497;
constexpr uint32_t ComPortInstalled = 498;
constexpr uint32_t ComPortNotInstalled = 499;
constexpr uint32_t SaveComPort = 500;
constexpr uint32_t DeleteComPortOnComputer = 501;
constexpr uint32_t DeleteComPortInCamera = 502;
constexpr uint32_t BroadcastInstalledEnd = 525;
constexpr uint32_t BroadcastFailedEnd = 526;
constexpr uint32_t OldStarterFirmware = 554;
constexpr uint32_t InvalidComPortInCamera = 556;

// Additional functions
constexpr uint32_t ComPortUnsupportedCamera = 540;
constexpr uint32_t ComPortWow64 = 605;
constexpr uint32_t IdleStateRebootHint = 631;

} // namespace ids
