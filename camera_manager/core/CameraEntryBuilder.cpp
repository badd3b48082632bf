#include "camera_manager/core/CameraEntryBuilder.h"

#include "camera_manager/core/BoundedText.h"
#include "camera_manager/core/CameraInterfaceLibrary.h"
#include "camera_manager/core/StringIds.h"
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
void u32s(uint32_t* target, const uint8_t* p, size_t offset, size_t count) {
    for (size_t i = 0; i < count; ++i)
        target[i] = u32(p, offset + 4 * i);
}

template <size_t N> void setText(char16_t (&field)[N], const std::u16string& text) {
    SafeCStringToWide(field, sizeof field, text);
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
    e.DeviceType_ = u8(p, 12);
    e.DeviceSizeImgMem_MB_ = u16(p, 16);
    e.DHCP_Status_ = u8(p, 19);
    e.DeviceStarterFirmwareVersion_ = u32(p, 20);
    e.DeviceRuntimeFirmwareVersion_ = u32(p, 24);
    e.DeviceStatusFlags_ = u32(p, 28);
    e.DeviceHousingHeartbeat_ = u16(p, 32);
    e.DeviceRevisionTimingBoard_ = u16(p, 34);
    e.DeviceTemperature_ = u16(p, 36);
    e.DeviceLinkInfo_ = u16(p, 38);
    setText(e.DeviceMacAddress_, MacText(p + 40));
    e.DeviceComportOffset_ = int16_t(u16(p, 46));
    setText(e.DevicePersistentIpAddress_, IpText(p + 48));
    setText(e.DevicePersistentIpSubnetmask_, IpText(p + 52));
    setText(e.DevicePersistentIpGateway_, IpText(p + 56));
    setText(e.DeviceCurrentIpAddress_, IpText(p + 60));
    setText(e.DeviceCurrentIpSubnetmask_, IpText(p + 64));
    setText(e.DeviceCurrentIpGateway_, IpText(p + 68));
    setText(e.DevicePairedMacAddress_, MacText(p + 72));
    e.DHCP_FSM_State_ = u8(p, 79);
    setText(e.DeviceIpPairedHost_, IpText(p + 80));
    setText(e.DeviceIpRangeBegin_, IpText(p + 84));
    setText(e.DeviceIpRangeEnd_, IpText(p + 88));
    // Eight bytes of user space: read no further than they go, keep eight characters.
    SafeAnsiToWideBounded(e.DeviceUserSpace_, sizeof e.DeviceUserSpace_,
                          reinterpret_cast<const char*>(p + 92), 8);
    setText(e.DeviceTempSensorSerNo_, SensorSerialText(p + 100));
    e.DeviceCPLDVersion_ = u16(p, 106);
    e.DeviceFPGAType_ = u8(p, 108);
    e.DevicePhyType_ = u8(p, 109);
    e.DeviceIoVersion_ = u8(p, 110);
    e.DeviceGeneralBoardVersion_ = u8(p, 111);
    setText(e.DHCP_Server_IP_, IpText(p + 112));
    e.DHCP_Lease_Time_ = u32(p, 116);
    e.DeviceFailsafeFirmwareVersion_ = u32(p, 120);
    e.DeviceInfoFlags_ = u32(p, 124);
    e.Transfer_ImgDelay_ = u32(p, 128);
    e.Transfer_ImgTime_ = u32(p, 132);
    e.Transfer_SendWindowSize_ = u16(p, 136);
    e.Transfer_SendWindowDelay_ = u16(p, 136);
    e.Transfer_BurstSize_ = u16(p, 138);
    e.Transfer_PacketClock_us_ = u32(p, 140);
    e.DHCP_T1_TimeToExpiration_ = u32(p, 144);
    e.DHCP_T2_TimeToExpiration_ = u32(p, 148);
    e.DeviceHeartbeatPeriod_ms_ = u16(p, 152);
    e.DeviceHeartbeatWatchdogLevel_ = u16(p, 154);
    u32s(e.DebugDeviceStatistics_, p, 160, 8);
    u32s(e.DebugReservedHeartbeat_, p, 192, 14);
    e.DeviceControlStatus_ = u32(p, 252);
    e.DeviceLastReceivedMsgId_ = u16(p, 256);
    e.DeviceLastReceivedHeartbeatMsgId_ = u16(p, 258);
    e.DeviceLastAcknowledgedMsgId_ = u16(p, 260);
    e.DeviceRefFlags_ = u16(p, 262);
    e.DeviceMissedHeartbeatCnt_ = u32(p, 264);
    e.DeviceAtomicRefCnt_ = u32(p, 268);
    u32s(e.DebugDeviceStatistics_ + 8, p, 272, 16);
    e.DeviceWatchdogSkip_ = u8(p, 336);
    e.DeviceWatchdogSkipCounter_ = u8(p, 337);
    u32s(e.DebugReservedDevice_, p, 340, 14);
    e.AdapterId_ = u32(p, 400);
    setText(e.AdapterIpAddress_, IpText(p + 408));
    setText(e.AdapterIpSubnetmask_, IpText(p + 412));
    setText(e.AdapterIpGateway_, IpText(p + 416));
    setText(e.AdapterMacAddress_, MacText(p + 420));
    e.AdapterDHCPEnabled_ = u32(p, 428);
    setText(e.AdapterAutoCfgRangeBegin_, IpText(p + 432));
    setText(e.AdapterAutoCfgRangeEnd_, IpText(p + 436));
    e.AdapterProbeTimeout_ = u32(p, 440);
    e.AdapterAutoCfgRangeValid_ = u32(p, 444);
    e.AdapterDevicesKnown_ = u32(p, 448);
    e.AdapterDevicesPaired_ = u32(p, 452);
    e.AdapterIncomingPacketFilter_ = u16(p, 456);
    e.AdapterWatchdogLevelPipFactor_ = u16(p, 458);
    e.AdapterWatchdogLevel_ = u32(p, 460);
    e.AdapterPortBase_ = u32(p, 464);
    e.AdapterPortCommand_ = u32(p, 468);
    e.AdapterPortUpload_ = u32(p, 472);
    e.AdapterPortMessage_ = u32(p, 476);
    e.AdapterPortStream_ = u32(p, 480);
    e.AdapterMaxPcktSizeDown_ = u32(p, 484);
    e.AdapterMaxPcktSizeUp_ = u32(p, 488);
    e.AdapterWatchdogLevelDevice_ = u16(p, 492);
    e.AdapterPairingRefreshPeriod_ = u16(p, 494);
    e.AdapterWatchdogLevelFupFactor_ = u16(p, 496);
    e.AdapterMaxFrameSize_ = u32(p, 500);
    u32s(e.DebugReservedAdapter_, p, 504, 14);
    e.DriverMinStarterFirmwareVersion_ = u32(p, 560);
    e.DriverMaxStarterFirmwareVersion_ = u32(p, 564);
    e.DriverHeartbeatPeriod_ms_ = u16(p, 568);
    e.DriverEthVer_ = u32(p, 572);
    e.DriverIncludedStarterFirmware_ = u32(p, 576);
    e.DriverIncludedRuntimeFirmware_ = u32(p, 580);
    u32s(e.DebugReservedDriver_, p, 584, 14);
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
    for (char16_t* field :
         {e.DeviceCurrentIpAddress_, e.DeviceCurrentIpGateway_, e.DeviceCurrentIpSubnetmask_,
          e.DevicePersistentIpAddress_, e.DevicePersistentIpGateway_, e.DevicePersistentIpSubnetmask_,
          e.DeviceIpRangeBegin_, e.DeviceIpRangeEnd_, e.DeviceIpPairedHost_, e.DHCP_Server_IP_,
          e.AdapterIpAddress_, e.AdapterIpSubnetmask_, e.AdapterIpGateway_, e.AdapterAutoCfgRangeBegin_,
          e.AdapterAutoCfgRangeEnd_})
        SafeCStringToWide(field, 16 * sizeof(char16_t), failed);
    setText(e.DeviceMacAddress_, failed);
    setText(e.DevicePairedMacAddress_, failed);
    setText(e.AdapterMacAddress_, failed);
    setText(e.DeviceTempSensorSerNo_, u"0");
    setText(e.DeviceUserSpace_, u"0");
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
