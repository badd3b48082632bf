#include "camera_manager/core/records/CameraEntryBuilder.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryLayout.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"

#include <cstdio>
#include <cstring>

namespace {

uint8_t u8(const uint8_t* p, size_t offset) {
    return p[offset];
}
uint16_t u16(const uint8_t* p, size_t offset) {
    return uint16_t(p[offset] | p[offset + 1] << 8);
}
uint32_t u32(const uint8_t* p, size_t offset) {
    return uint32_t(p[offset]) | uint32_t(p[offset + 1]) << 8 | uint32_t(p[offset + 2]) << 16 |
           uint32_t(p[offset + 3]) << 24;
}

void setText(CameraEntry& e, const CameraField& field, const std::u16string& text) {
    SafeCStringToWide(CameraEntryLayout::Text(e, field), field.size(), text);
}

} // namespace

std::u16string IpText(const uint8_t* b) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return FromUtf8(text);
}

std::u16string MacText(const uint8_t* b) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
    return FromUtf8(text);
}

std::optional<std::array<uint8_t, 6>> ParseMacText(const std::u16string& text, char16_t separator) {
    auto hex = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    };
    if (text.size() < 17)
        return std::nullopt;
    std::array<uint8_t, 6> mac{};
    for (size_t i = 0; i < 6; ++i) {
        const int high = hex(text[i * 3]), low = hex(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != separator))
            return std::nullopt;
        mac[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return mac;
}

std::u16string SensorSerialText(const uint8_t* b) {
    char text[15];
    std::snprintf(text, sizeof text, "0x%02X%02X%02X%02X%02X%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
    return FromUtf8(text);
}

void CameraEntryBuilder::FromListRecord(CameraEntry& e, const uint8_t* r, uint32_t index) {
    e.UsbEnumIndex_ = index;
    e.DeviceCameraId_ = u32(r, 0);
    e.DeviceId_ = u32(r, 4);
    e.DeviceSensorId_ = u32(r, 8);
    e.DeviceUsed_ = u32(r, 12);
    // The 16 bytes need not end in a zero: read no further, keep the field terminated.
    SafeAnsiToWideBounded(e.DeviceSerNo_, sizeof e.DeviceSerNo_, reinterpret_cast<const char*>(r + 16), 16);
    SafeAnsiToWideBounded(e.DeviceModel_, sizeof e.DeviceModel_, reinterpret_cast<const char*>(r + 32), 16);
    e.DeviceStatus_ = u32(r, 48);
    e.DeviceTypeFromCameraList_ = u8(r, 52);
    e.DeviceHousing_ = u16(r, 54);
}

void CameraEntryBuilder::FromEthInfo(CameraEntry& e, const uint8_t* p) {
    for (const CameraField& f : CameraEntryLayout::fields) {
        size_t index = 0;
        for (const EthSource& source : f.eth) {
            const size_t at = source.offset;
            switch (source.decode) {
            case EthDecode::None:
                break;
            case EthDecode::U8:
                CameraEntryLayout::SetNumber(e, f, u8(p, at));
                break;
            case EthDecode::U16:
                CameraEntryLayout::SetNumber(e, f, u16(p, at));
                break;
            case EthDecode::U32:
                CameraEntryLayout::SetNumber(e, f, u32(p, at));
                break;
            case EthDecode::U32s:
                for (size_t i = 0; i < source.count; ++i)
                    CameraEntryLayout::SetNumber(e, f, u32(p, at + 4 * i), index++);
                break;
            case EthDecode::Ip:
                setText(e, f, IpText(p + at));
                break;
            case EthDecode::Mac:
                setText(e, f, MacText(p + at));
                break;
            case EthDecode::SensorSerial:
                setText(e, f, SensorSerialText(p + at));
                break;
            case EthDecode::Ansi:
                // Read no further than the bytes go; the field keeps them terminated.
                SafeAnsiToWideBounded(CameraEntryLayout::Text(e, f), f.size(),
                                      reinterpret_cast<const char*>(p + at), source.count);
                break;
            }
        }
    }
}

void CameraEntryBuilder::EthInfoFailed(CameraEntry& e, uint32_t result) {
    // Keep what the camera list gave; clear everything the device information fills.
    CameraEntry fresh;
    fresh.DeviceId_ = e.DeviceId_;
    fresh.DeviceCameraId_ = e.DeviceCameraId_;
    fresh.DeviceUsed_ = e.DeviceUsed_;
    fresh.DeviceSensorId_ = e.DeviceSensorId_;
    std::memcpy(fresh.DeviceSerNo_, e.DeviceSerNo_, sizeof e.DeviceSerNo_);
    std::memcpy(fresh.DeviceModel_, e.DeviceModel_, sizeof e.DeviceModel_);
    fresh.DeviceTypeFromCameraList_ = e.DeviceTypeFromCameraList_;
    fresh.DeviceStatus_ = e.DeviceStatus_;
    fresh.DeviceHousing_ = e.DeviceHousing_;
    fresh.UsbEnumIndex_ = e.UsbEnumIndex_;
    e = fresh;

    const std::u16string failed = LoadResourceString(ids::TransferFailed);
    for (const CameraField& f : CameraEntryLayout::fields) {
        const EthDecode decode = f.eth[0].decode;
        if (decode == EthDecode::Ip || decode == EthDecode::Mac)
            setText(e, f, failed);
        else if (decode == EthDecode::SensorSerial || decode == EthDecode::Ansi)
            setText(e, f, u"0");
    }
    e.AdapterIncomingPacketFilter_ = 0xFFFF;
    e.EthInfoResult_ = result;
}

void BuildCameraEntry(CameraEntry& entry, const uint8_t* record, uint32_t index) {
    CameraEntryBuilder::FromListRecord(entry, record, index);
    if (entry.GetDeviceId() < 1000)
        return;
    uint8_t info[ethDeviceInfoSize] = {};
    const int result =
        ZekoApi::zk_GetEthDeviceInfo(entry.GetDeviceId() | ZK_USE_DEVICE_ID, info, sizeof info);
    if (result == 0) {
        CameraEntryBuilder::FromEthInfo(entry, info);
        return;
    }
    CameraEntryBuilder::EthInfoFailed(entry, uint32_t(result));
}
