#pragma once

// Numbers of the camera manager's resource strings (camera_manager/res/StringTable.cpp).

#include <cstdint>

namespace ids {

constexpr uint32_t AppTitle = 543;
constexpr uint32_t TransferFailed = 174;
constexpr uint32_t Unknown = 301;
constexpr uint32_t ResourceLibraryBase = 354;
constexpr uint32_t ResourceLibraryExtension = 355;
constexpr uint32_t CameraInfoIncomplete = 473;
constexpr uint32_t InterfaceLibraryMissing = 549;
constexpr uint32_t InterfaceLibraryIncompatible = 550;
constexpr uint32_t InterfaceLibraryFile = 599;
// The firmware path has a character without a byte in the camera driver's text.
constexpr uint32_t FirmwarePathUnusable = 700;
// A settings file that could not be read was set aside: its path, the problem, the new path.
constexpr uint32_t SettingsFileSetAside = 701;
// Language codes ("en", "de" ...): LanguageCode + index 0 to 12.
constexpr uint32_t LanguageCode = 3000;
// The languages' own names ("English", "Deutsch" ...): LanguageName + index.
constexpr uint32_t LanguageName = 3100;
constexpr int LanguageCount = 13;

// Camera information dialog.
constexpr uint32_t InvalidCameraId = 102;
constexpr uint32_t Errorcode = 192;
constexpr uint32_t DeviceIdCaption = 258;
constexpr uint32_t CameraCannotBeOpened = 275;
constexpr uint32_t EmptyCameraId = 276;
constexpr uint32_t CameraIdNotSet = 277;
constexpr uint32_t EepromNotWritten = 278;
constexpr uint32_t EthRevision = 324;
constexpr uint32_t EepromChangeQuestion = 602;
constexpr uint32_t EepromOld = 603;
constexpr uint32_t EepromNew = 604;

} // namespace ids
