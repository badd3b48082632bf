#pragma once

// Gathers what a support file holds from the machine: driver and interface file versions
// below the Windows folder and the third-party folders, a USB camera's path to its host
// controller, the USB host controllers, the network adapters and the operating system.

#include "camera_manager/diagnostics/records/SupportFileContent.h"
#include "camera_manager/diagnostics/records/SupportFileSource.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The file version "%d.%d.%d.%d" of system32\drivers\<name>, else string 176; at most 19 characters.
std::u16string GetDriverFileVersion(const std::u16string& name);
// The same below system32 (bits 64) or syswow64 (bits 32); any other bits gives string 176.
std::u16string GetSystemDllVersion(const std::u16string& name, int bits);
void CollectInstalledDriverVersions(std::array<std::u16string, supportDriverCount>& drivers);

// The part after the last ";", unless there is none or ";" is the last character.
std::u16string CutAtSemicolon(const std::u16string& text);

// The hubs from the USB camera with the enumeration index towards its host controller, and the
// controller. No entries when the camera's instance is unknown. The climb stops after 16 hubs
// and at a prefix met before, so looping registry data cannot hold it up.
void CollectUsbPath(uint32_t enumIndex, std::vector<std::u16string>& hubs,
                    std::optional<std::u16string>& controller);

std::array<std::vector<std::u16string>, 4> CollectUsbControllers();
// Empty when the adapter list cannot be read.
std::optional<std::vector<SupportAdapter>> CollectAdapters();
SupportSystemInfo CollectSystemInfo();

// A Windows-folder path written with "\" ("system32\drivers\x.sys") as a file below the
// Windows folder, each part matched without case.
std::u16string WindowsFolderFile(const std::u16string& relative);

// Progress positions shown while a file for total cameras is written: one per camera
// (k * 100 / total) and 100; none for fewer than two cameras.
std::vector<int> SupportProgressSteps(size_t total);

// Replaces the file at the path by the bytes (FileReplacement: the old file or the new one stays
// whole). False with the system's reason when anything fails; the old file is then as it was.
bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string& reason);

// Everything the listed cameras and the machine give for a support file; the progress callback
// gets the positions of SupportProgressSteps. Stores the host adapter's name, driver version and
// date into each camera entry.
SupportFileContent GatherSupportFileContent(SupportFileSource& source,
                                            const std::function<void(int)>& progress);
