// The driver's device information as the simulator writes it (bare offsets) and as the manager
// reads it (the field table), tied by name: a camera of distinct values goes through the real
// interface library into a camera entry, and every field the table fills from the device
// information must hold the value the simulator was given for it.
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraEntryLayout.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/tests/ManagerTestSupport.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

const char* const distinctCamera =
    "[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\ndevice_type = 6\n"
    "width = 640\nheight = 480\ncolor = no\n"
    "mac = 02-5A-4B-00-10-01\nip = 10.1.2.3\nmask = 255.255.0.0\ngateway = 10.1.0.254\n"
    "persistent_ip = 10.1.2.50\npersistent_mask = 255.255.255.0\n"
    "adapter_id = 7\nadapter_ip = 10.1.0.1\nadapter_mask = 255.254.0.0\nadapter_mac = 02-00-00-00-0A-07\n"
    "device_status_flags = 0x11223344\ncontrol_status = 0x55667788\ntemperature = 412\n"
    "starter_fw = 1.2.3\nruntime_fw = 2.4.6\ndriver_starter_fw = 1.3.5\ncomport_offset = 3\n"
    "eeprom = ABCDEFGHIJ\nrevisions = 1 2 3 4 5 6 7 0x0708 9 10 11\n";

// What the simulator gives for the camera above, by field name (an array: every value).
struct Expected {
    Expected(uint32_t number) : number(number) {}
    Expected(uint32_t, std::u16string text) : text(std::move(text)) {}
    uint32_t number = 0;
    std::u16string text;
};

const std::map<std::u16string_view, Expected>& expectedFields() {
    static const std::map<std::u16string_view, Expected> fields = {
        {u"DeviceType", {6}},
        {u"DeviceSizeImgMem_MB", {64}},
        {u"DeviceStarterFirmwareVersion", {0x01020003}},
        {u"DeviceRuntimeFirmwareVersion", {0x02040006}},
        {u"DeviceStatusFlags", {0x11223344}},
        {u"DeviceHousingHeartbeat", {0}},
        {u"DeviceRevisionTimingBoard", {0x0708}},
        {u"DeviceTemperature", {412}},
        {u"DeviceLinkInfo", {1000}},
        {u"DeviceMacAddress", {0, u"02-5A-4B-00-10-01"}},
        {u"DeviceComportOffset", {3}},
        {u"DevicePersistentIpAddress", {0, u"10.1.2.50"}},
        {u"DevicePersistentIpSubnetmask", {0, u"255.255.255.0"}},
        {u"DevicePersistentIpGateway", {0, u"0.0.0.0"}},
        {u"DeviceCurrentIpAddress", {0, u"10.1.2.3"}},
        {u"DeviceCurrentIpSubnetmask", {0, u"255.255.0.0"}},
        {u"DeviceCurrentIpGateway", {0, u"10.1.0.254"}},
        {u"DevicePairedMacAddress", {0, u"02-00-00-00-0A-07"}},
        {u"DeviceIpPairedHost", {0, u"10.1.0.1"}},
        {u"DeviceIpRangeBegin", {0, u"0.0.0.0"}},
        {u"DeviceIpRangeEnd", {0, u"0.0.0.0"}},
        {u"DeviceUserSpace", {0, u"ABCDEFGH"}},
        {u"DeviceTempSensorSerNo", {0, u"0x025A4B001001"}},
        {u"DeviceCPLDVersion", {0x0102}},
        {u"DeviceFPGAType", {1}},
        {u"DevicePhyType", {1}},
        {u"DeviceIoVersion", {1}},
        {u"DeviceGeneralBoardVersion", {1}},
        {u"DHCP_Status", {0}},
        {u"DHCP_FSM_State", {0}},
        {u"DHCP_Server_IP", {0, u"0.0.0.0"}},
        {u"DHCP_Lease_Time", {0}},
        {u"DeviceFailsafeFirmwareVersion", {0x01030005}},
        {u"DeviceInfoFlags", {0}},
        {u"Transfer_ImgDelay", {0}},
        {u"Transfer_ImgTime", {0}},
        {u"Transfer_SendWindowSize", {8}},
        {u"Transfer_SendWindowDelay", {8}},
        {u"Transfer_BurstSize", {4}},
        {u"Transfer_PacketClock_us", {0}},
        {u"DHCP_T1_TimeToExpiration", {0}},
        {u"DHCP_T2_TimeToExpiration", {0}},
        {u"DeviceHeartbeatPeriod_ms", {1000}},
        {u"DeviceHeartbeatWatchdogLevel", {5}},
        {u"DebugDeviceStatistics", {0}},
        {u"DebugReservedHeartbeat", {0}},
        {u"DeviceControlStatus", {0x55667788}},
        {u"DeviceLastReceivedMsgId", {0}},
        {u"DeviceLastReceivedHeartbeatMsgId", {0}},
        {u"DeviceLastAcknowledgedMsgId", {0}},
        {u"DeviceRefFlags", {0}},
        {u"DeviceMissedHeartbeatCnt", {0}},
        {u"DeviceAtomicRefCnt", {0}},
        {u"DeviceWatchdogSkip", {0}},
        {u"DeviceWatchdogSkipCounter", {0}},
        {u"DebugReservedDevice", {0}},
        {u"AdapterId", {7}},
        {u"AdapterIpAddress", {0, u"10.1.0.1"}},
        {u"AdapterIpSubnetmask", {0, u"255.254.0.0"}},
        {u"AdapterIpGateway", {0, u"0.0.0.0"}},
        {u"AdapterMacAddress", {0, u"02-00-00-00-0A-07"}},
        {u"AdapterDHCPEnabled", {0}},
        {u"AdapterAutoCfgRangeBegin", {0, u"0.0.0.0"}},
        {u"AdapterAutoCfgRangeEnd", {0, u"0.0.0.0"}},
        {u"AdapterProbeTimeout", {100}},
        {u"AdapterAutoCfgRangeValid", {0}},
        {u"AdapterDevicesKnown", {1}},
        {u"AdapterDevicesPaired", {1}},
        {u"AdapterIncomingPacketFilter", {0}},
        {u"AdapterWatchdogLevelPipFactor", {2}},
        {u"AdapterWatchdogLevel", {8}},
        {u"AdapterPortBase", {50000}},
        {u"AdapterPortCommand", {50001}},
        {u"AdapterPortUpload", {50002}},
        {u"AdapterPortMessage", {50003}},
        {u"AdapterPortStream", {50004}},
        {u"AdapterMaxPcktSizeDown", {1450}},
        {u"AdapterMaxPcktSizeUp", {1450}},
        {u"AdapterWatchdogLevelDevice", {5}},
        {u"AdapterPairingRefreshPeriod", {1000}},
        {u"AdapterWatchdogLevelFupFactor", {2}},
        {u"AdapterMaxFrameSize", {640 * 480}},
        {u"DebugReservedAdapter", {0}},
        {u"DriverMinStarterFirmwareVersion", {0x01000000}},
        {u"DriverMaxStarterFirmwareVersion", {0x01FFFFFF}},
        {u"DriverHeartbeatPeriod_ms", {1000}},
        {u"DriverEthVer", {0x031F0000}},
        {u"DriverIncludedStarterFirmware", {0x01030005}},
        {u"DriverIncludedRuntimeFirmware", {0x02040006}},
        {u"DebugReservedDriver", {0}},
    };
    return fields;
}

std::string narrow(std::u16string_view name) {
    return std::string(name.begin(), name.end());
}

// The bytes of the device information a source takes.
size_t sourceBytes(const EthSource& source) {
    switch (source.decode) {
    case EthDecode::None:
        return 0;
    case EthDecode::U8:
        return 1;
    case EthDecode::U16:
        return 2;
    case EthDecode::U32:
    case EthDecode::Ip:
        return 4;
    case EthDecode::U32s:
        return 4 * size_t(source.count);
    case EthDecode::Mac:
    case EthDecode::SensorSerial:
        return 6;
    case EthDecode::Ansi:
        return source.count;
    }
    return 0;
}

class DriverRecordTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        useCameras(distinctCamera);
    }
};

// Both ways by name: every field the table fills from the device information has a value the
// simulator gave, and the entry read through the table holds it; every field named here is one
// of the table's.
TEST_F(DriverRecordTest, EveryDriverFieldReachesTheEntryByName) {
    CameraList list;
    ASSERT_TRUE(FillCameraList(list, FillGigE));
    ASSERT_EQ(list.GetCount(), 1u);
    const CameraEntry& entry = *list.At(0);
    ASSERT_EQ(entry.GetEthInfoResult(), 0u);

    std::set<std::u16string_view> filled;
    for (const CameraField& f : CameraEntryLayout::fields) {
        if (f.eth[0].decode == EthDecode::None)
            continue;
        filled.insert(f.name);
        const auto it = expectedFields().find(f.name);
        if (it == expectedFields().end()) {
            ADD_FAILURE() << narrow(f.name) << " is filled from the device information but not checked";
            continue;
        }
        if (f.type == FieldType::Text) {
            EXPECT_EQ(std::u16string(CameraEntryLayout::Text(entry, f)), it->second.text) << narrow(f.name);
            continue;
        }
        const size_t values = f.type == FieldType::U32Array ? f.units : 1;
        for (size_t i = 0; i < values; ++i) {
            EXPECT_EQ(CameraEntryLayout::Number(entry, f, i), it->second.number)
                << narrow(f.name) << "[" << i << "]";
        }
    }
    for (const auto& [name, value] : expectedFields()) {
        EXPECT_TRUE(filled.count(name)) << narrow(name) << " is not filled from the device information";
    }
}

// The other way round: nothing the simulator writes lies where no field of the table reads.
TEST_F(DriverRecordTest, EveryByteTheSimulatorWritesIsReadByAField) {
    CameraList list;
    ASSERT_TRUE(FillCameraList(list, FillGigE));
    ASSERT_EQ(list.GetCount(), 1u);
    std::vector<uint8_t> info(ethDeviceInfoSize, 0);
    ASSERT_EQ(ZekoApi::zk_GetEthDeviceInfo(list.At(0)->GetDeviceId() | ZK_USE_DEVICE_ID, info.data(),
                                           uint32_t(info.size())),
              0);
    std::vector<bool> read(info.size(), false);
    for (const CameraField& f : CameraEntryLayout::fields)
        for (const EthSource& source : f.eth)
            for (size_t i = 0; i < sourceBytes(source) && source.offset + i < read.size(); ++i)
                read[source.offset + i] = true;
    for (size_t at = 0; at < info.size(); ++at) {
        if (info[at]) {
            EXPECT_TRUE(read[at]) << "byte " << at << " holds " << int(info[at]) << " but no field reads it";
        }
    }
}

// The device information laid out by hand from the interface library's description (not from
// the field table), every field with a value of its own: a field read from a neighbour's offset,
// or two fields swapped, gets the other's value.
enum class Kind { U8, U16, U32, Ip, Mac, Serial, Ansi8 };
struct Layout {
    const char16_t* name;
    size_t offset;
    Kind kind;
    size_t count = 1; // u32 values of an array part
    size_t first = 0; // the array part's first index
};
const Layout documentedLayout[] = {
    {u"DeviceType", 12, Kind::U8},
    {u"DeviceSizeImgMem_MB", 16, Kind::U16},
    {u"DHCP_Status", 19, Kind::U8},
    {u"DeviceStarterFirmwareVersion", 20, Kind::U32},
    {u"DeviceRuntimeFirmwareVersion", 24, Kind::U32},
    {u"DeviceStatusFlags", 28, Kind::U32},
    {u"DeviceHousingHeartbeat", 32, Kind::U16},
    {u"DeviceRevisionTimingBoard", 34, Kind::U16},
    {u"DeviceTemperature", 36, Kind::U16},
    {u"DeviceLinkInfo", 38, Kind::U16},
    {u"DeviceMacAddress", 40, Kind::Mac},
    {u"DeviceComportOffset", 46, Kind::U16},
    {u"DevicePersistentIpAddress", 48, Kind::Ip},
    {u"DevicePersistentIpSubnetmask", 52, Kind::Ip},
    {u"DevicePersistentIpGateway", 56, Kind::Ip},
    {u"DeviceCurrentIpAddress", 60, Kind::Ip},
    {u"DeviceCurrentIpSubnetmask", 64, Kind::Ip},
    {u"DeviceCurrentIpGateway", 68, Kind::Ip},
    {u"DevicePairedMacAddress", 72, Kind::Mac},
    {u"DHCP_FSM_State", 79, Kind::U8},
    {u"DeviceIpPairedHost", 80, Kind::Ip},
    {u"DeviceIpRangeBegin", 84, Kind::Ip},
    {u"DeviceIpRangeEnd", 88, Kind::Ip},
    {u"DeviceUserSpace", 92, Kind::Ansi8},
    {u"DeviceTempSensorSerNo", 100, Kind::Serial},
    {u"DeviceCPLDVersion", 106, Kind::U16},
    {u"DeviceFPGAType", 108, Kind::U8},
    {u"DevicePhyType", 109, Kind::U8},
    {u"DeviceIoVersion", 110, Kind::U8},
    {u"DeviceGeneralBoardVersion", 111, Kind::U8},
    {u"DHCP_Server_IP", 112, Kind::Ip},
    {u"DHCP_Lease_Time", 116, Kind::U32},
    {u"DeviceFailsafeFirmwareVersion", 120, Kind::U32},
    {u"DeviceInfoFlags", 124, Kind::U32},
    {u"Transfer_ImgDelay", 128, Kind::U32},
    {u"Transfer_ImgTime", 132, Kind::U32},
    {u"Transfer_SendWindowSize", 136, Kind::U16},
    {u"Transfer_SendWindowDelay", 136, Kind::U16}, // the same value: no field of its own is known
    {u"Transfer_BurstSize", 138, Kind::U16},
    {u"Transfer_PacketClock_us", 140, Kind::U32},
    {u"DHCP_T1_TimeToExpiration", 144, Kind::U32},
    {u"DHCP_T2_TimeToExpiration", 148, Kind::U32},
    {u"DeviceHeartbeatPeriod_ms", 152, Kind::U16},
    {u"DeviceHeartbeatWatchdogLevel", 154, Kind::U16},
    {u"DebugDeviceStatistics", 160, Kind::U32, 8, 0},
    {u"DebugReservedHeartbeat", 192, Kind::U32, 14},
    {u"DeviceControlStatus", 252, Kind::U32},
    {u"DeviceLastReceivedMsgId", 256, Kind::U16},
    {u"DeviceLastReceivedHeartbeatMsgId", 258, Kind::U16},
    {u"DeviceLastAcknowledgedMsgId", 260, Kind::U16},
    {u"DeviceRefFlags", 262, Kind::U16},
    {u"DeviceMissedHeartbeatCnt", 264, Kind::U32},
    {u"DeviceAtomicRefCnt", 268, Kind::U32},
    {u"DebugDeviceStatistics", 272, Kind::U32, 16, 8},
    {u"DeviceWatchdogSkip", 336, Kind::U8},
    {u"DeviceWatchdogSkipCounter", 337, Kind::U8},
    {u"DebugReservedDevice", 340, Kind::U32, 14},
    {u"AdapterId", 400, Kind::U32},
    {u"AdapterIpAddress", 408, Kind::Ip},
    {u"AdapterIpSubnetmask", 412, Kind::Ip},
    {u"AdapterIpGateway", 416, Kind::Ip},
    {u"AdapterMacAddress", 420, Kind::Mac},
    {u"AdapterDHCPEnabled", 428, Kind::U32},
    {u"AdapterAutoCfgRangeBegin", 432, Kind::Ip},
    {u"AdapterAutoCfgRangeEnd", 436, Kind::Ip},
    {u"AdapterProbeTimeout", 440, Kind::U32},
    {u"AdapterAutoCfgRangeValid", 444, Kind::U32},
    {u"AdapterDevicesKnown", 448, Kind::U32},
    {u"AdapterDevicesPaired", 452, Kind::U32},
    {u"AdapterIncomingPacketFilter", 456, Kind::U16},
    {u"AdapterWatchdogLevelPipFactor", 458, Kind::U16},
    {u"AdapterWatchdogLevel", 460, Kind::U32},
    {u"AdapterPortBase", 464, Kind::U32},
    {u"AdapterPortCommand", 468, Kind::U32},
    {u"AdapterPortUpload", 472, Kind::U32},
    {u"AdapterPortMessage", 476, Kind::U32},
    {u"AdapterPortStream", 480, Kind::U32},
    {u"AdapterMaxPcktSizeDown", 484, Kind::U32},
    {u"AdapterMaxPcktSizeUp", 488, Kind::U32},
    {u"AdapterWatchdogLevelDevice", 492, Kind::U16},
    {u"AdapterPairingRefreshPeriod", 494, Kind::U16},
    {u"AdapterWatchdogLevelFupFactor", 496, Kind::U16},
    {u"AdapterMaxFrameSize", 500, Kind::U32},
    {u"DebugReservedAdapter", 504, Kind::U32, 14},
    {u"DriverMinStarterFirmwareVersion", 560, Kind::U32},
    {u"DriverMaxStarterFirmwareVersion", 564, Kind::U32},
    {u"DriverHeartbeatPeriod_ms", 568, Kind::U16},
    {u"DriverEthVer", 572, Kind::U32},
    {u"DriverIncludedStarterFirmware", 576, Kind::U32},
    {u"DriverIncludedRuntimeFirmware", 580, Kind::U32},
    {u"DebugReservedDriver", 584, Kind::U32, 14},
};

std::u16string wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Both ways: every documented field reaches the entry field of its name with its own value, and
// every field the table fills from the device information is documented.
TEST(DriverRecordLayoutTest, EveryDocumentedFieldHasItsOwnValueInTheEntry) {
    std::vector<uint8_t> info(ethDeviceInfoSize, 0);
    std::map<std::u16string, std::vector<uint32_t>> numbers; // by name, array values by index
    std::map<std::u16string, std::u16string> texts;
    uint32_t next = 1;
    for (const Layout& field : documentedLayout) {
        const uint32_t n = field.name == std::u16string_view(u"Transfer_SendWindowDelay") ? next - 1 : next++;
        uint8_t* at = info.data() + field.offset;
        char text[32];
        switch (field.kind) {
        case Kind::U8:
            at[0] = uint8_t(0x10 + n); // below 0x80: the device type is signed
            numbers[field.name] = {0x10 + n};
            break;
        case Kind::U16:
            at[0] = uint8_t(n);
            at[1] = 0x20;
            numbers[field.name] = {0x2000 + n};
            break;
        case Kind::U32: {
            std::vector<uint32_t>& values = numbers[field.name];
            values.resize(field.first + field.count);
            for (size_t i = 0; i < field.count; ++i) {
                const uint32_t value = 0x31000000u + (n << 8) + uint32_t(i);
                std::memcpy(at + 4 * i, &value, 4);
                values[field.first + i] = value;
            }
            break;
        }
        case Kind::Ip:
            at[0] = 10;
            at[1] = uint8_t(n);
            at[2] = 2;
            at[3] = 3;
            std::snprintf(text, sizeof text, "10.%u.2.3", n);
            texts[field.name] = wide(text);
            break;
        case Kind::Mac:
        case Kind::Serial: {
            const uint8_t bytes[6] = {0x02, uint8_t(n), 0xA4, 0x0B, 0xC5, 0x6D};
            std::memcpy(at, bytes, 6);
            if (field.kind == Kind::Mac)
                std::snprintf(text, sizeof text, "02-%02X-A4-0B-C5-6D", n);
            else
                std::snprintf(text, sizeof text, "0x02%02XA40BC56D", n);
            texts[field.name] = wide(text);
            break;
        }
        case Kind::Ansi8:
            std::memcpy(at, "UsrSpace", 8);
            texts[field.name] = u"UsrSpace";
            break;
        }
    }
    CameraEntry entry;
    CameraEntryBuilder::FromEthInfo(entry, info.data());

    std::set<std::u16string> filled;
    for (const CameraField& f : CameraEntryLayout::fields) {
        if (f.eth[0].decode == EthDecode::None)
            continue;
        const std::u16string name(f.name);
        filled.insert(name);
        if (f.type == FieldType::Text) {
            const auto it = texts.find(name);
            if (it == texts.end())
                ADD_FAILURE() << narrow(name) << " is read as text but documented as a number or not at all";
            else
                EXPECT_EQ(std::u16string(CameraEntryLayout::Text(entry, f)), it->second) << narrow(name);
            continue;
        }
        const auto it = numbers.find(name);
        if (it == numbers.end()) {
            ADD_FAILURE() << narrow(name) << " is read as a number but documented as text or not at all";
            continue;
        }
        const size_t values = f.type == FieldType::U32Array ? f.units : 1;
        EXPECT_EQ(values, it->second.size()) << narrow(name);
        for (size_t i = 0; i < values && i < it->second.size(); ++i)
            EXPECT_EQ(CameraEntryLayout::Number(entry, f, i), it->second[i])
                << narrow(name) << "[" << i << "]";
    }
    for (const Layout& field : documentedLayout)
        EXPECT_TRUE(filled.count(field.name)) << narrow(field.name) << " is documented but never read";
}

} // namespace
