#pragma once

// Decisions of the main dialog's commands that need no window: the list's sort order after a
// header click, the starter firmware upload's expected duration and path text, the language
// switch's check of the East-Asian language groups, and the driver check at start.

#include "camera_manager/core/records/ManagerSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace CommandRules {

// A click on a list header: the direction flips whichever column was clicked, and the clicked
// column becomes the sort column.
SortSettings ClickSortColumn(SortSettings current, int column);

// Seconds the progress dialog expects when the driver loads the starter firmware itself
// (device type -124), and when the size of a firmware file cannot be read.
constexpr double starterFirmwareLoadSeconds = 25.0;

// Expected seconds of an upload by the file's size: size x 15 / 569858 for device types -127
// and -124, size x 14 / 388684 for the others; never below one second. No size: 25 s.
double FirmwareExpectedSeconds(int8_t deviceType, std::optional<uint64_t> fileSize);

// The firmware path as the interface library reads it: one byte per character in the camera
// entry's single-byte table. False when a character has no byte there (or is a NUL): such a
// path never reaches the library. The length handed over is bytes.size() + 1 (terminator).
bool FirmwarePathBytes(const std::u16string& path, std::string& bytes);

// Chinese, Japanese and Korean (language indices 10 to 12) need the East-Asian language groups.
bool NeedsLanguageGroupCheck(int languageIndex);
// True when SYSTEM\CurrentControlSet\Control\NLs\Language Groups (machine) holds "1" in each of
// the values "7", "8" and "9".
bool EastAsianLanguageGroupsInstalled();

// What the driver check at start shows: a message (0: none) or, after the setup's first start
// with both drivers, the ETH network service dialog.
struct DriverCheck {
    uint32_t message = 0;
    bool openNetworkService = false;
    bool operator==(const DriverCheck&) const = default;
};
// usb, eth: the driver files have a version; setupEth: the setup installed the GigE part;
// firstStart: the first start after the setup.
DriverCheck DecideDriverCheck(bool usb, bool eth, bool setupEth, bool firstStart);

struct DriverCheckInputs {
    bool usb = false;
    bool eth = false;
    bool setupEth = false;
    bool firstStart = false;
};
// Reads the inputs of the driver check: the two driver files below the Windows folder, the
// setup's "ETH" value, and whether the FirstStart key exists (it is deleted here, so the next
// start is no first start any more).
DriverCheckInputs ReadDriverCheckInputs();

} // namespace CommandRules
