#pragma once

// The camera record's fields, listed once: where each lies in the 1672-byte record, how wide it
// is, where the driver's device information holds it, how the support-file pages label and show
// it. The record's offset checks, CameraEntryBuilder, the support-file text and the support-file
// pages all work from this table; the name is the member's (without "_") and the support file's
// key ("<name>_<i>" for the values of an array).

#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/res/StringIds.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class FieldType : uint8_t { U8, U16, I16, U32, Text, U32Array, Reserved };

// How a support-file page shows a value.
enum class FieldDisplay : uint8_t {
    None, // not shown on a page
    Decimal,
    Text,
    Hex4,
    Hex8,
    Firmware,
    Cpld,
    Millis,
    Seconds,
    Micros,
    Megabytes,
    Mbits,
    YesNo,
    Ip,            // "0.0.0.0" as "-"
    IpOrAutomatic, // "0.0.0.0" as string 268
    Model,
    Temperature,
    Eeprom,
    ComPort,
    Mac,
    PairedMac,
    PacketFilter,
    Statistics, // an array: one decimal row per value, labelled by strings 20000 and on
    Reserved    // an array: one "[nn]" row per value, "%d - %#010x"
};

// How the driver's device information (ethDeviceInfoSize bytes) holds a value: little-endian
// numbers, addresses as text, the sensor serial as "0x" and twelve hex digits, narrow text of
// count bytes, count 32-bit values.
enum class EthDecode : uint8_t { None, U8, U16, U32, U32s, Ip, Mac, SensorSerial, Ansi };

struct EthSource {
    uint16_t offset = 0;
    EthDecode decode = EthDecode::None;
    uint8_t count = 0;
};

struct CameraField {
    std::u16string_view name;
    FieldType type;
    uint16_t offset;
    uint8_t width;     // bytes of one value: 1, 2 or 4 (text: 2 per UTF-16 unit)
    uint8_t units;     // text: UTF-16 units, terminator included; array: values; number: 1
    uint16_t stringId; // the page's label (an array: its group's); 0 when not shown
    FieldDisplay display;
    EthSource eth[2]; // an array may come from two places, the second going on after the first
    // The member's own offset and size, which the checks compare with the columns above.
    size_t memberOffset;
    size_t memberSize;

    constexpr size_t size() const { return size_t(width) * units; }
    constexpr bool isNumber() const { return type <= FieldType::U32; }
};

#define CAMERA_FIELD(member, type, offset, width, units, id, display, ...)                                   \
    CameraField {                                                                                            \
        u## #member, FieldType::type, offset, width, units, id, FieldDisplay::display, {__VA_ARGS__},        \
            offsetof(CameraEntry, member##_), sizeof(CameraEntry::member##_)                                 \
    }
#define CAMERA_RESERVED(member, offset, bytes)                                                               \
    CameraField {                                                                                            \
        u"", FieldType::Reserved, offset, 1, bytes, 0, FieldDisplay::None, {},                               \
            offsetof(CameraEntry, member##_), sizeof(CameraEntry::member##_)                                 \
    }

struct CameraEntryLayout {
    // In record order, every byte of the record in exactly one row: member, type, offset, width,
    // units, string id, display, where the device information holds it.
    static constexpr CameraField fields[] = {
        CAMERA_FIELD(DeviceId, U32, 0, 4, 1, 0, None),
        CAMERA_FIELD(DeviceCameraId, U32, 4, 4, 1, ids::CameraIdLabel, Decimal),
        CAMERA_FIELD(DeviceUsed, U32, 8, 4, 1, 0, None),
        CAMERA_FIELD(DeviceSensorId, U32, 12, 4, 1, ids::SensorId, Decimal),
        CAMERA_FIELD(DeviceSerNo, Text, 16, 2, 16, ids::ColumnSerialNumber, Text),
        CAMERA_FIELD(DeviceModel, Text, 48, 2, 16, ids::Model, Model),
        CAMERA_FIELD(DeviceType, U8, 80, 1, 1, ids::DeviceType, Decimal, {12, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceTypeFromCameraList, U8, 81, 1, 1, 0, None),
        CAMERA_RESERVED(reserved82, 82, 2),
        CAMERA_FIELD(DeviceStatus, U32, 84, 4, 1, 0, None),
        CAMERA_FIELD(DeviceCurrentIpAddress, Text, 88, 2, 16, ids::CurrentIpAddress, Ip,
                     {60, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceCurrentIpGateway, Text, 120, 2, 16, ids::CurrentIpGateway, Ip,
                     {68, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceCurrentIpSubnetmask, Text, 152, 2, 16, ids::CurrentIpSubnetmask, Ip,
                     {64, EthDecode::Ip, 1}),
        CAMERA_FIELD(DevicePersistentIpAddress, Text, 184, 2, 16, ids::PersistentIpAddress, Ip,
                     {48, EthDecode::Ip, 1}),
        CAMERA_FIELD(DevicePersistentIpGateway, Text, 216, 2, 16, ids::PersistentIpGateway, Ip,
                     {56, EthDecode::Ip, 1}),
        CAMERA_FIELD(DevicePersistentIpSubnetmask, Text, 248, 2, 16, ids::PersistentIpSubnetmask, Ip,
                     {52, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceMacAddress, Text, 280, 2, 20, ids::MacAddress, Mac, {40, EthDecode::Mac, 1}),
        CAMERA_FIELD(DevicePairedMacAddress, Text, 320, 2, 20, ids::PairedHostMac, PairedMac,
                     {72, EthDecode::Mac, 1}),
        CAMERA_FIELD(DeviceRuntimeFirmwareVersion, U32, 360, 4, 1, ids::RuntimeFirmwareVersion, Firmware,
                     {24, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceStarterFirmwareVersion, U32, 364, 4, 1, ids::StarterFirmwareVersion, Firmware,
                     {20, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceIpRangeBegin, Text, 368, 2, 16, ids::IpRangeBegin, Ip, {84, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceIpRangeEnd, Text, 400, 2, 16, ids::IpRangeEnd, Ip, {88, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceIpPairedHost, Text, 432, 2, 16, ids::PairedHostIp, Ip, {80, EthDecode::Ip, 1}),
        CAMERA_FIELD(DeviceTemperature, U16, 464, 2, 1, ids::CameraTemperature, Temperature,
                     {36, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceLinkInfo, U16, 466, 2, 1, ids::Link, Mbits, {38, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceInfoFlags, U32, 468, 4, 1, ids::DeviceInfoflags, Hex8, {124, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceStatusFlags, U32, 472, 4, 1, ids::DeviceStatusflags, Hex8,
                     {28, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceControlStatus, U32, 476, 4, 1, ids::ControlStatus, Hex8, {252, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceHeartbeatPeriod_ms, U16, 480, 2, 1, ids::DeviceHeartbeatPeriod, Millis,
                     {152, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceHeartbeatWatchdogLevel, U16, 482, 2, 1, ids::DeviceWatchdogLevel, Decimal,
                     {154, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceAtomicRefCnt, U32, 484, 4, 1, ids::ReferenceCounter, Decimal,
                     {268, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceLastAcknowledgedMsgId, U16, 488, 2, 1, ids::LastAcknowledgedMessageId, Decimal,
                     {260, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceLastReceivedHeartbeatMsgId, U16, 490, 2, 1, ids::LastReceivedHeartbeatId, Decimal,
                     {258, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceLastReceivedMsgId, U16, 492, 2, 1, ids::LastReceivedMessageId, Decimal,
                     {256, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved494, 494, 2),
        CAMERA_FIELD(DeviceMissedHeartbeatCnt, U32, 496, 4, 1, ids::MissedHeartbeatCounter, Decimal,
                     {264, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceTempSensorSerNo, Text, 500, 2, 20, ids::TempSensorSerialNumber, Text,
                     {100, EthDecode::SensorSerial, 1}),
        CAMERA_FIELD(DeviceFPGAType, U8, 540, 1, 1, ids::FpgaType, Decimal, {108, EthDecode::U8, 1}),
        CAMERA_FIELD(DevicePhyType, U8, 541, 1, 1, ids::PhyType, Decimal, {109, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceIoVersion, U8, 542, 1, 1, ids::IoUnitVersion, Decimal, {110, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceGeneralBoardVersion, U8, 543, 1, 1, ids::GeneralBoardRevision, Decimal,
                     {111, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceSizeImgMem_MB, U16, 544, 2, 1, ids::ImageMemorySize, Megabytes,
                     {16, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved546, 546, 2),
        CAMERA_FIELD(DeviceFailsafeFirmwareVersion, U32, 548, 4, 1, ids::FailsafeFirmwareVersion, Firmware,
                     {120, EthDecode::U32, 1}),
        CAMERA_FIELD(DeviceUserSpace, Text, 552, 2, 9, ids::UserEeprom, Eeprom, {92, EthDecode::Ansi, 8}),
        CAMERA_FIELD(DeviceCPLDVersion, U16, 570, 2, 1, ids::CpldVersion, Cpld, {106, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved572, 572, 88),
        CAMERA_FIELD(DeviceRefFlags, U16, 660, 2, 1, ids::ReferenceFlags, Hex8, {262, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceWatchdogSkip, U8, 662, 1, 1, ids::WatchdogSkip, Decimal, {336, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceWatchdogSkipCounter, U8, 663, 1, 1, ids::WatchdogSkipCounter, Decimal,
                     {337, EthDecode::U8, 1}),
        CAMERA_FIELD(DeviceComportOffset, I16, 664, 2, 1, ids::ComPortNumber, ComPort,
                     {46, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved666, 666, 2),
        CAMERA_FIELD(DebugDeviceStatistics, U32Array, 668, 4, 24, ids::Statistics, Statistics,
                     {160, EthDecode::U32s, 8}, {272, EthDecode::U32s, 16}),
        CAMERA_RESERVED(reserved764, 764, 24),
        CAMERA_FIELD(DeviceHousing, U16, 788, 2, 1, 0, None),
        CAMERA_FIELD(DeviceHousingHeartbeat, U16, 790, 2, 1, ids::Housing, Hex4, {32, EthDecode::U16, 1}),
        CAMERA_FIELD(DeviceRevisionTimingBoard, U16, 792, 2, 1, ids::TimingBoard, Hex4,
                     {34, EthDecode::U16, 1}),
        CAMERA_FIELD(DHCP_Status, U8, 794, 1, 1, ids::DhcpStatus, Hex4, {19, EthDecode::U8, 1}),
        CAMERA_FIELD(DHCP_FSM_State, U8, 795, 1, 1, ids::DhcpFsmState, Hex4, {79, EthDecode::U8, 1}),
        CAMERA_FIELD(DHCP_Server_IP, Text, 796, 2, 16, ids::DhcpServerIp, Ip, {112, EthDecode::Ip, 1}),
        CAMERA_FIELD(DHCP_Lease_Time, U32, 828, 4, 1, ids::DhcpLeaseTime, Seconds, {116, EthDecode::U32, 1}),
        CAMERA_FIELD(DHCP_T1_TimeToExpiration, U32, 832, 4, 1, ids::DhcpTimeToExpiration1, Seconds,
                     {144, EthDecode::U32, 1}),
        CAMERA_FIELD(DHCP_T2_TimeToExpiration, U32, 836, 4, 1, ids::DhcpTimeToExpiration2, Seconds,
                     {148, EthDecode::U32, 1}),
        CAMERA_FIELD(Transfer_ImgDelay, U32, 840, 4, 1, ids::TransferImageDelay, Micros,
                     {128, EthDecode::U32, 1}),
        CAMERA_FIELD(Transfer_ImgTime, U32, 844, 4, 1, ids::TransferImageTime, Micros,
                     {132, EthDecode::U32, 1}),
        CAMERA_FIELD(Transfer_SendWindowSize, U16, 848, 2, 1, ids::SendWindowSize, Decimal,
                     {136, EthDecode::U16, 1}),
        CAMERA_FIELD(Transfer_BurstSize, U16, 850, 2, 1, ids::BurstSize, Decimal, {138, EthDecode::U16, 1}),
        CAMERA_FIELD(Transfer_PacketClock_us, U32, 852, 4, 1, ids::TransferPacketClock, Micros,
                     {140, EthDecode::U32, 1}),
        CAMERA_FIELD(Transfer_SendWindowDelay, U32, 856, 4, 1, ids::SendWindowDelay, Micros,
                     {136, EthDecode::U16, 1}),
        CAMERA_FIELD(DebugReservedHeartbeat, U32Array, 860, 4, 14, ids::ReservedHeartbeat, Reserved,
                     {192, EthDecode::U32s, 14}),
        CAMERA_FIELD(DebugReservedDevice, U32Array, 916, 4, 14, ids::ReservedDevice, Reserved,
                     {340, EthDecode::U32s, 14}),
        CAMERA_FIELD(AdapterMacAddress, Text, 972, 2, 20, ids::AdapterMacAddress, Text,
                     {420, EthDecode::Mac, 1}),
        CAMERA_FIELD(AdapterIpAddress, Text, 1012, 2, 16, ids::AdapterIpAddress, IpOrAutomatic,
                     {408, EthDecode::Ip, 1}),
        CAMERA_FIELD(AdapterIpSubnetmask, Text, 1044, 2, 16, ids::AdapterIpSubnetmask, IpOrAutomatic,
                     {412, EthDecode::Ip, 1}),
        CAMERA_FIELD(AdapterIpGateway, Text, 1076, 2, 16, ids::AdapterIpGateway, IpOrAutomatic,
                     {416, EthDecode::Ip, 1}),
        CAMERA_FIELD(AdapterAutoCfgRangeBegin, Text, 1108, 2, 16, ids::AdapterIpRangeBegin, IpOrAutomatic,
                     {432, EthDecode::Ip, 1}),
        CAMERA_FIELD(AdapterAutoCfgRangeEnd, Text, 1140, 2, 16, ids::AdapterIpRangeEnd, IpOrAutomatic,
                     {436, EthDecode::Ip, 1}),
        CAMERA_FIELD(AdapterAutoCfgRangeValid, U32, 1172, 4, 1, ids::AdapterIpRangeValid, YesNo,
                     {444, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterIncomingPacketFilter, U16, 1176, 2, 1, ids::PacketFilter, PacketFilter,
                     {456, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved1178, 1178, 2),
        CAMERA_FIELD(AdapterProbeTimeout, U32, 1180, 4, 1, ids::IpProbeTimeout, Millis,
                     {440, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterDevicesKnown, U32, 1184, 4, 1, ids::KnownDevices, Decimal,
                     {448, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterDevicesPaired, U32, 1188, 4, 1, ids::PairedDevices, Decimal,
                     {452, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterWatchdogLevel, U32, 1192, 4, 1, ids::AdapterWatchdogLevel, Decimal,
                     {460, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterWatchdogLevelPipFactor, U32, 1196, 4, 1, ids::WatchdogPipFactor, Decimal,
                     {458, EthDecode::U16, 1}),
        CAMERA_FIELD(AdapterWatchdogLevelFupFactor, U16, 1200, 2, 1, ids::WatchdogFupFactor, Decimal,
                     {496, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved1202, 1202, 2),
        CAMERA_FIELD(AdapterId, U32, 1204, 4, 1, 0, None, {400, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterPortBase, U32, 1208, 4, 1, ids::PortBase, Decimal, {464, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterPortCommand, U32, 1212, 4, 1, ids::PortCommand, Decimal,
                     {468, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterPortMessage, U32, 1216, 4, 1, ids::PortMessage, Decimal,
                     {476, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterPortStream, U32, 1220, 4, 1, ids::PortStream, Decimal, {480, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterPortUpload, U32, 1224, 4, 1, ids::PortUpload, Decimal, {472, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterDHCPEnabled, U32, 1228, 4, 1, ids::DhcpEnabled, YesNo, {428, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterMaxPcktSizeDown, U32, 1232, 4, 1, ids::MaxPacketSizeDownGet, Decimal,
                     {484, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterMaxPcktSizeUp, U32, 1236, 4, 1, ids::MaxPacketSizeUpGet, Decimal,
                     {488, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterMaxFrameSize, U32, 1240, 4, 1, ids::MaxPacketSizeDownNic, Decimal,
                     {500, EthDecode::U32, 1}),
        CAMERA_FIELD(AdapterWatchdogLevelDevice, U16, 1244, 2, 1, ids::WatchdogLevelDevice, Decimal,
                     {492, EthDecode::U16, 1}),
        CAMERA_FIELD(AdapterPairingRefreshPeriod, U16, 1246, 2, 1, ids::PairingRefreshPeriod, Millis,
                     {494, EthDecode::U16, 1}),
        CAMERA_FIELD(AdapterName, Text, 1248, 2, 50, ids::Designation, Text),
        CAMERA_FIELD(AdapterDriverVersion, Text, 1348, 2, 20, ids::DriverVersion, Text),
        CAMERA_FIELD(AdapterDriverDate, Text, 1388, 2, 20, ids::DriverDate, Text),
        CAMERA_FIELD(DebugReservedAdapter, U32Array, 1428, 4, 14, ids::ReservedAdapter, Reserved,
                     {504, EthDecode::U32s, 14}),
        CAMERA_FIELD(DriverHeartbeatPeriod_ms, U16, 1484, 2, 1, ids::DriverHeartbeatPeriod, Millis,
                     {568, EthDecode::U16, 1}),
        CAMERA_RESERVED(reserved1486, 1486, 2),
        CAMERA_FIELD(DriverEthVer, U32, 1488, 4, 1, ids::EthVersion, Firmware, {572, EthDecode::U32, 1}),
        CAMERA_FIELD(DriverMinStarterFirmwareVersion, U32, 1492, 4, 1, ids::MinStarterFirmware, Firmware,
                     {560, EthDecode::U32, 1}),
        CAMERA_FIELD(DriverMaxStarterFirmwareVersion, U32, 1496, 4, 1, ids::MaxStarterFirmware, Firmware,
                     {564, EthDecode::U32, 1}),
        CAMERA_FIELD(DriverIncludedStarterFirmware, U32, 1500, 4, 1, ids::IncludedStarterFirmware, Firmware,
                     {576, EthDecode::U32, 1}),
        CAMERA_FIELD(DriverIncludedRuntimeFirmware, U32, 1504, 4, 1, ids::IncludedRuntimeFirmware, Firmware,
                     {580, EthDecode::U32, 1}),
        CAMERA_FIELD(DebugReservedDriver, U32Array, 1508, 4, 14, ids::ReservedDriver, Reserved,
                     {584, EthDecode::U32s, 14}),
        CAMERA_FIELD(UsbEnumIndex, U32, 1564, 4, 1, 0, None),
        CAMERA_FIELD(EthInfoResult, U32, 1568, 4, 1, 0, None),
        CAMERA_RESERVED(reserved1572, 1572, 100),
    };

    static constexpr size_t count = sizeof fields / sizeof fields[0];
    // The row of the name; count when there is none.
    static constexpr size_t indexOf(std::u16string_view name) {
        for (size_t i = 0; i < count; ++i)
            if (fields[i].type != FieldType::Reserved && fields[i].name == name)
                return i;
        return count;
    }
    // The field of the name, or null.
    static const CameraField* find(std::u16string_view name);
    // Every row where its member is, as wide as it, one after the other to the record's end.
    static constexpr bool consistent() {
        size_t next = 0;
        for (const CameraField& f : fields) {
            if (f.offset != next || f.offset != f.memberOffset || f.size() != f.memberSize)
                return false;
            next += f.size();
        }
        return next == sizeof(CameraEntry);
    }

    // A number field's value (array: the value at index), zero-extended.
    static uint32_t Number(const CameraEntry& entry, const CameraField& field, size_t index = 0);
    // Stores a number field's value (array: at index), cut to its width.
    static void SetNumber(CameraEntry& entry, const CameraField& field, uint32_t value, size_t index = 0);
    // A text field's units.
    static const char16_t* Text(const CameraEntry& entry, const CameraField& field);
    static char16_t* Text(CameraEntry& entry, const CameraField& field);
};

#undef CAMERA_FIELD
#undef CAMERA_RESERVED

// The field of a name written in the code, checked when compiling.
consteval const CameraField& cameraField(std::u16string_view name) {
    const size_t index = CameraEntryLayout::indexOf(name);
    if (index == CameraEntryLayout::count)
        throw "no such camera field";
    return CameraEntryLayout::fields[index];
}

// A field named in the code, as a list of them takes it; the name is looked up when compiling.
struct CameraFieldName {
    consteval CameraFieldName(const char16_t* name) : field(&cameraField(name)) {}
    const CameraField* field;
};
