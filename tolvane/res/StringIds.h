#pragma once

// Names of the viewer's texts in its string table (tolvane/res/Tolvane.xml, namespace "Tolvane").

#include "tolvane_model/StringIds.h"

#include <cstdint>

namespace Tolvane::ids {

// Menus, tool bar and status bar of the main window.
constexpr uint32_t MenuFile = 0;
constexpr uint32_t MenuHelp = 1;
constexpr uint32_t Quit = 2;
constexpr uint32_t About = 3;
constexpr uint32_t MenuLanguage = 6;
constexpr uint32_t QuitHelp = 7;
constexpr uint32_t AboutHelp = 8;
constexpr uint32_t Live = 9;
constexpr uint32_t LiveHelp = 10;
constexpr uint32_t MenuCamera = 11;
constexpr uint32_t Properties = 14;
constexpr uint32_t PropertiesHelp = 15;
constexpr uint32_t Grab = 24;
constexpr uint32_t GrabHelp = 25;
constexpr uint32_t Record = 51;
constexpr uint32_t RecordHelp = 52;
constexpr uint32_t FilmFiles = 111;
constexpr uint32_t HelpContents = 73;
constexpr uint32_t HelpContentsHelp = 74;
constexpr uint32_t CameraStopped = 4;
constexpr uint32_t PleaseWait = 62;
constexpr uint32_t FrameRate = 58;
constexpr uint32_t FramesPerSecond = 59;
constexpr uint32_t AboutDescription = 5;

// Picture windows.
constexpr uint32_t Picture = 35;
constexpr uint32_t SavePicture = 26;
constexpr uint32_t SavePictureHelp = 27;
constexpr uint32_t CopyPicture = 41;
constexpr uint32_t CopyPictureHelp = 42;
constexpr uint32_t ZoomFit = 44;
constexpr uint32_t SaveAs = 29;
constexpr uint32_t PictureNotSaved = 103;
using Tolvane_model::ids::InvalidFileName;

// Recording dialogs.
constexpr uint32_t Pause = 70;
constexpr uint32_t Stop = 71;
constexpr uint32_t RecordingParameters = 66;
constexpr uint32_t RecordLength = 67;
constexpr uint32_t RecordFrameRate = 68;
constexpr uint32_t RecordMaxSize = 69;
constexpr uint32_t ReplayFrameRate = 84;
constexpr uint32_t AdvancedParameters = 83;
constexpr uint32_t SaveSettings = 78;
constexpr uint32_t SaveSettingsHint = 79;
constexpr uint32_t SettingsSaved = 80;
constexpr uint32_t SettingsNotSaved = 81;
constexpr uint32_t RemoveSettingsHint = 82;
constexpr uint32_t Apply = 61;

// Properties dialog and its tabs.
constexpr uint32_t PropertiesTitle = 16;
constexpr uint32_t Gain = 17;
constexpr uint32_t MasterGain = 18;
constexpr uint32_t RedGain = 19;
constexpr uint32_t GreenGain = 20;
constexpr uint32_t BlueGain = 21;
constexpr uint32_t AutomaticGain = 43;
constexpr uint32_t Brightness = 46;
constexpr uint32_t Defaults = 23;
constexpr uint32_t WhiteBalance = 37;
constexpr uint32_t WhiteBalanceHint = 53;
constexpr uint32_t Start = 72;
constexpr uint32_t Timing = 39;
constexpr uint32_t ImageSize = 40;
constexpr uint32_t Width = 47;
constexpr uint32_t Height = 48;
constexpr uint32_t Rate = 60;
constexpr uint32_t ExposureTime = 65;
constexpr uint32_t OptimiseClock = 76;
constexpr uint32_t Optimising = 77;
// The button that closes a dialog whose changes apply at once.
constexpr uint32_t Close = 105;

// Messages; the camera library's own are named beside it.
using Tolvane_model::ids::CameraError;
using Tolvane_model::ids::CameraGone;
using Tolvane_model::ids::CharacterNotInName;
using Tolvane_model::ids::DiskFull;
using Tolvane_model::ids::FolderNotWritable;
using Tolvane_model::ids::NoFreeCamera;
using Tolvane_model::ids::SettingsFileError;
using Tolvane_model::ids::SettingsNotWritten;
// "%s" takes the file's path.
constexpr uint32_t ReplaceQuestion = 100;
constexpr uint32_t ReplaceCaption = 101;
constexpr uint32_t HelpViewerMissing = 102;

} // namespace Tolvane::ids
