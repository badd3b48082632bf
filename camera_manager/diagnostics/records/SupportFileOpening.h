#pragma once

// Opening a support file: telling its two forms apart by the scrambled version header, decoding
// the text form and reading the binary form's records. Everything here works on bytes in
// memory, so damaged or hostile files are checked against their real size.

#include "camera_manager/core/records/CameraEntry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class SupportFileForm { Text, Binary, Foreign };

constexpr size_t supportHeaderSize = 60;
constexpr size_t supportCameraRecordSize = 1672;
constexpr size_t supportCamInfoRecordSize = 1144;
constexpr size_t supportDriversRecordSize = 1560;
constexpr size_t supportSystemRecordSize = 1296;
constexpr size_t supportAdapterRecordSize = 1604;

// The header text of the first 60 bytes (zero-filled when the file is shorter, XOR 0x5E, up to
// the first zero unit or 30 units) and the form it gives: no dotted four-number version is the
// text form, exactly "3.80.0.0" the binary form, any other version a foreign file.
SupportFileForm ClassifySupportFile(std::string_view bytes, std::u16string& header);
// The refusal of a foreign file: strings 255 and 256, the header text and string 257.
std::u16string ForeignVersionMessage(const std::u16string& header);

// The unscrambled support text of a text-form file.
std::u16string DecodeTextSupportFile(std::string_view bytes);
// Whether a text-form file is a support file at all: its text begins with the section every
// support file begins with. An empty file, or one of other bytes, is none.
bool HoldsSupportText(std::string_view bytes);
// Stores the text in a new file of its own in the temporary folder (created exclusively, mode
// 0600, never through a link; UTF-8, LF as CR LF). False when it cannot be written whole.
bool WriteTemporaryProfile(const std::u16string& text, std::string& path);

// Where a support file that was cut short ends (what it holds after that is missing).
enum class SupportFileCut { None, Cameras, Drivers, System, Adapters, Controllers };

// The binary form's records, descrambled. Only records that the file holds whole are kept.
struct BinaryCamera {
    CameraEntry entry;
    std::array<uint8_t, supportCamInfoRecordSize> info{};
};

struct BinarySupportFile {
    std::array<std::vector<BinaryCamera>, 2> groups; // USB, then ETH, as read
    std::array<bool, 2> groupPresent{};              // the group's count was above 0
    bool hasDrivers = false, hasSystem = false;
    std::array<uint8_t, supportDriversRecordSize> drivers{};
    std::array<uint8_t, supportSystemRecordSize> system{};
    std::vector<std::array<uint8_t, supportAdapterRecordSize>> adapters;
    bool incomplete = false;                   // the file ends before its last record is whole
    SupportFileCut cut = SupportFileCut::None; // where it ends then
};

// Message 3240 naming where the file ends.
std::u16string SupportFileIncompleteMessage(SupportFileCut cut);

// Reads items behind the 60-byte header.
BinarySupportFile ReadBinarySupportFile(std::string_view bytes);
