#pragma once

// Fills a CameraEntry from the interface library's records, field by field. The records are
// read as bytes at their documented offsets (little-endian), so no layout of ours is assumed.

#include "camera_manager/core/records/CameraEntry.h"

#include <array>
#include <cstdint>
#include <optional>

// Sizes of the interface library's records.
constexpr size_t cameraListRecordSize = 112;
constexpr size_t ethDeviceInfoSize = 640;

class CameraEntryBuilder {
public:
    // The camera's line of the camera list; index is stored as UsbEnumIndex.
    static void FromListRecord(CameraEntry& entry, const uint8_t* record, uint32_t index);
    // The GigE device information of a successful call.
    static void FromEthInfo(CameraEntry& entry, const uint8_t* info);
    // What a failed device-information call leaves: the texts of string 174, "0" for the sensor
    // serial and the user space, empty adapter texts, packet filter 0xFFFF, every other number 0.
    static void EthInfoFailed(CameraEntry& entry, uint32_t result);
};

// Builds the entry from a list record: for a GigE camera (device id 1000 or above) it also asks
// for the device information (device id | 0x8000) and stores the call's result in EthInfoResult.
void BuildCameraEntry(CameraEntry& entry, const uint8_t* record, uint32_t index);

// Text forms of the records' network values, from the bytes in memory order.
std::u16string IpText(const uint8_t* bytes);
std::u16string MacText(const uint8_t* bytes);
// The six bytes of a text that starts "hh<s>hh<s>hh<s>hh<s>hh<s>hh" (s the separator, hex digits
// of either case); whatever follows is ignored. None for anything else.
std::optional<std::array<uint8_t, 6>> ParseMacText(const std::u16string& text, char16_t separator);
std::u16string SensorSerialText(const uint8_t* bytes);
