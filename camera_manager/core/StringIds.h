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

// Captions of the tool dialogs: general information, additional functions, serial terminal and
// About box. Texts the table already held keep their numbers (358 "Close", 363 "Additional
// functions", 531 "Send file", 5162 "Progress", 3300 "Cancel").
constexpr uint32_t CaptionClose = 358;
constexpr uint32_t CaptionAdditionalFunctions = 363;
constexpr uint32_t CaptionGeneralInformation = 3400;
constexpr uint32_t CaptionProgramVersion = 3401;
constexpr uint32_t CaptionDriversAndInterfaces = 3402;
constexpr uint32_t CaptionDirect3DDlls = 3403;
constexpr uint32_t CaptionControllersAndAdapters = 3404;
constexpr uint32_t CaptionNoUsb2Controller = 3405;
constexpr uint32_t CaptionCheckUpdates = 3406;
constexpr uint32_t CaptionDownloadUpdates = 3407;
constexpr uint32_t CaptionVirtualComPort = 3408;
constexpr uint32_t CaptionComPort = 3409;
constexpr uint32_t CaptionInstall = 3410;
constexpr uint32_t CaptionSave = 3411;
constexpr uint32_t CaptionDelete = 3412;
constexpr uint32_t CaptionSendReceive = 3413;
constexpr uint32_t CaptionDeleteAllComPorts = 3414;
constexpr uint32_t CaptionCpuIdleStates = 3415;
constexpr uint32_t CaptionDisableMains = 3416;
constexpr uint32_t CaptionDisableBattery = 3417;
constexpr uint32_t CaptionParameterSetOnOpen = 3418;
constexpr uint32_t CaptionDefault = 3419;
constexpr uint32_t CaptionParameterSet1 = 3420;
constexpr uint32_t CaptionParameterSet2 = 3421;
constexpr uint32_t CaptionSerialPortCom1 = 3422;
constexpr uint32_t CaptionBaudRate = 3423;
constexpr uint32_t CaptionDataBits = 3424;
constexpr uint32_t CaptionStopBits = 3425;
constexpr uint32_t CaptionParity = 3426;
constexpr uint32_t CaptionBroadcastComPort = 3427;
constexpr uint32_t CaptionSend = 3428;
constexpr uint32_t CaptionAppend = 3429;
constexpr uint32_t CaptionClear = 3430;
constexpr uint32_t CaptionBrowse = 3431;
constexpr uint32_t CaptionSource = 3432;
constexpr uint32_t CaptionDestination = 3433;
constexpr uint32_t CaptionDirection = 3434;
constexpr uint32_t CaptionSourceCount = 3435;
constexpr uint32_t CaptionDestinationCount = 3436;
constexpr uint32_t CaptionAbout = 3437;

} // namespace ids
