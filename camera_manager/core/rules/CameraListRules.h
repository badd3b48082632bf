#pragma once

// What the main dialog shows for the cameras, decided without a window: the rows of the camera
// list, the camera picture, the button states and the status line of the selected camera, and
// the snapshots that tell whether the list changed between two ticks.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Resource string by number (the dialog passes its string table).
using StringLookup = std::function<std::u16string(int id)>;

namespace CameraListRules {

// The camera line's two-letter model prefix.
extern const std::u16string modelPrefix;

// The list column that holds the device id.
constexpr int cameraIdColumn = 3;
constexpr int deviceIdColumn = 4;

// What the rules read of one camera entry.
struct CameraState {
    uint32_t deviceId = 0;
    uint32_t cameraId = 0;
    uint32_t used = 0;
    uint32_t sensorId = 0;
    uint32_t status = 0;   // from the camera list: bits 0 and 1 mark an unusable USB camera
    int8_t deviceType = 0; // GigE device information
    int8_t deviceTypeFromList = 0;
    uint16_t housing = 0;
    uint32_t statusFlags = 0;
    uint32_t controlStatus = 0;
    uint32_t starterFirmware = 0;
    uint32_t driverIncludedStarterFirmware = 0;
    uint32_t ethInfoResult = 0;
    std::u16string serial;
    std::u16string model;
    bool IsGigE() const { return deviceId >= 1000; }
};

struct RowTexts {
    std::array<std::u16string, 7> columns; // Free, Avail., Type, Cam.ID, Dev.ID, Model, SerNo.
    int image = 0;
};

// True unless a camera of device type -127 or -124 carries another starter firmware than the
// driver includes.
bool FirmwareOk(const CameraState& camera);

// The model column: a model of the form prefix, three hex digits, a letter or digit and at least
// one more character is written prefix "-" rest; any other model as it is.
std::u16string ModelColumn(const std::u16string& model);

RowTexts MakeRow(const CameraState& camera, const StringLookup& text);

// The camera picture shown for the selected camera (one of the left slot's bitmap statics).
int PictureFor(const CameraState& camera);
// Every picture of the left slot.
extern const std::array<int, 8> pictures;

// The four camera buttons: camera information, starter firmware upload, automatic and manual
// ETH configuration.
extern const std::array<int, 4> cameraButtons;

struct StatusDecision {
    int picture = 0;               // 0: none shown
    std::array<bool, 4> enabled{}; // in the order of cameraButtons
    bool keepStatus = false;       // leave the status line as it is
    std::u16string text;           // the status text
    int code = 0;                  // 0 black, 1 red, 2 green
};

// Buttons, picture and status for the selected camera; none selected when `camera` is null.
// `selectionChanged` tells that the status line was last written for another camera: a state
// that would keep the status then empties it instead.
StatusDecision DecideStatus(const CameraState* camera, bool expertMode, bool selectionChanged,
                            const StringLookup& text);

// A printf-formatted text of ASCII characters (numbers and their punctuation) as UTF-16.
std::u16string FormatAscii(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Firmware version text "%d.%02d.%04d".
std::u16string FirmwareVersionText(uint32_t version);

// One snapshot record per listed camera, as compared between ticks.
struct Snapshot {
    uint32_t deviceId;
    uint32_t cameraId;
    uint32_t used;
    uint32_t sensorId;
    char16_t serial[16];
    char16_t model[16];
    uint32_t status;
    uint32_t statusFlags;
    uint32_t controlStatus;
};
static_assert(sizeof(Snapshot) == 92, "snapshot record size");

Snapshot MakeSnapshot(const CameraState& camera);
// True when the two lists differ in count or in any compared field, in order.
bool SnapshotsDiffer(const std::vector<Snapshot>& a, const std::vector<Snapshot>& b);

// Comparison of two rows' texts in a sort column: camera ID and device id as integers, other
// columns unit by unit; negated for descending order.
int CompareRows(const std::u16string& a, const std::u16string& b, int column, bool ascending);

} // namespace CameraListRules
