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

// Captions of the sub-dialogs (what a localised dialog template would give them).
constexpr uint32_t Progress = 5162;
constexpr uint32_t CaptionCancel = 3300;
constexpr uint32_t CaptionUsbRevision = 3301;
constexpr uint32_t CaptionUserEeprom = 3302;
constexpr uint32_t CaptionAdapterSettings = 3303;
constexpr uint32_t CaptionCameraSettings = 3304;
constexpr uint32_t CaptionPersistentIp = 3305;
constexpr uint32_t CaptionSubnetmask = 3306;
constexpr uint32_t CaptionSuggest = 3307;
constexpr uint32_t CaptionEnable = 3308;
constexpr uint32_t CaptionStatus = 3309;
constexpr uint32_t CaptionApply = 3310;
constexpr uint32_t CaptionMilliseconds = 3311;
constexpr uint32_t CaptionChooseAdapter = 3312;
constexpr uint32_t CaptionMacAddress = 3313;
constexpr uint32_t CaptionIpAddress = 3314;
constexpr uint32_t CaptionIpSubnetmask = 3315;
constexpr uint32_t CaptionDhcpEnabled = 3316;
constexpr uint32_t CaptionJumboPackets = 3317;
constexpr uint32_t CaptionChangeService = 3318;
constexpr uint32_t CaptionApplyChanges = 3319;
constexpr uint32_t CaptionEnableDhcp = 3320;

} // namespace ids
