#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraEntryLayout.h"
#include "camera_manager/res/StringTable.h"
#include "camera_manager/tests/ManagerTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace {

using cmtest::setAt;

std::vector<uint8_t> listRecord() {
    std::vector<uint8_t> r(112, 0);
    setAt<uint32_t>(r.data(), 0, 12);
    setAt<uint32_t>(r.data(), 4, 1001);
    setAt<uint32_t>(r.data(), 8, 5);
    setAt<uint32_t>(r.data(), 12, 1);
    std::memcpy(r.data() + 16, "1234567890ABCDEF", 16); // no terminator
    std::memcpy(r.data() + 32, "ZK5240CP-\x80", 10);
    setAt<uint32_t>(r.data(), 48, 3);
    r[52] = 0x81;
    setAt<uint16_t>(r.data(), 54, 0xBEEF);
    return r;
}

// Every byte of the device information holds its own offset's low byte.
std::vector<uint8_t> patternInfo() {
    std::vector<uint8_t> info(640);
    for (size_t i = 0; i < info.size(); ++i)
        info[i] = uint8_t(i);
    return info;
}

std::vector<uint8_t> bytesOf(const CameraEntry& entry) {
    std::vector<uint8_t> bytes(sizeof entry);
    std::memcpy(bytes.data(), &entry, sizeof entry);
    return bytes;
}

std::u16string utf16At(const std::vector<uint8_t>& bytes, size_t offset) {
    std::u16string text;
    for (size_t i = offset; bytes[i] || bytes[i + 1]; i += 2)
        text += char16_t(bytes[i] | bytes[i + 1] << 8);
    return text;
}

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

class CameraEntryTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramResourceStrings(managerStrings, managerStringCount); }
};

// The field table against the record itself: each row where its member is and as wide, the rows
// one after the other covering all 1672 bytes, and what the device information gives for a
// field inside that record.
TEST_F(CameraEntryTest, FieldTableMatchesTheRecordByteForByte) {
    ASSERT_EQ(sizeof(CameraEntry), 1672u);
    size_t next = 0;
    std::set<std::u16string_view> names;
    for (const CameraField& f : CameraEntryLayout::fields) {
        const std::string name(f.name.begin(), f.name.end());
        EXPECT_EQ(f.offset, next) << name;
        EXPECT_EQ(f.offset, f.memberOffset) << name;
        EXPECT_EQ(f.size(), f.memberSize) << name;
        next = f.offset + f.size();
        if (f.type == FieldType::Reserved)
            continue;
        EXPECT_TRUE(names.insert(f.name).second) << name;
        EXPECT_EQ(CameraEntryLayout::find(f.name), &f) << name;
        EXPECT_EQ(f.width, f.type == FieldType::Text       ? 2
                           : f.type == FieldType::U32Array ? 4
                                                           : f.size())
            << name;
        EXPECT_EQ(f.display == FieldDisplay::None, f.stringId == 0) << name;
        size_t values = 0;
        for (const EthSource& source : f.eth) {
            const size_t widths[] = {0, 1, 2, 4, 4, 4, 6, 6, 1}; // by EthDecode
            const size_t bytes =
                widths[size_t(source.decode)] *
                (source.decode == EthDecode::U32s || source.decode == EthDecode::Ansi ? source.count : 1);
            if (source.decode != EthDecode::None) {
                EXPECT_LE(source.offset + bytes, ethDeviceInfoSize) << name;
            }
            values += source.decode == EthDecode::U32s ? source.count : 0;
        }
        if (f.type == FieldType::U32Array) {
            EXPECT_EQ(values, f.units) << name;
        }
    }
    EXPECT_EQ(next, sizeof(CameraEntry));
}

TEST_F(CameraEntryTest, ListRecordFieldsLandAtTheirOffsets) {
    CameraEntry entry;
    CameraEntryBuilder::FromListRecord(entry, listRecord().data(), 4);
    EXPECT_EQ(entry.GetDeviceId(), 1001u);
    EXPECT_EQ(entry.GetDeviceCameraId(), 12u);
    EXPECT_EQ(entry.GetDeviceSensorId(), 5u);
    EXPECT_EQ(entry.GetDeviceUsed(), 1u);
    EXPECT_EQ(std::u16string(entry.GetDeviceSerNo()), u"1234567890ABCDE"); // terminated inside its width
    EXPECT_EQ(std::u16string(entry.GetDeviceModel()), u"ZK5240CP-\u20ac");
    EXPECT_EQ(entry.GetDeviceStatus(), 3u);
    EXPECT_EQ(int8_t(entry.GetDeviceTypeFromCameraList()), -127);
    EXPECT_EQ(entry.GetDeviceHousing(), 0xBEEF);
    const std::vector<uint8_t> b = bytesOf(entry);
    EXPECT_EQ(u32At(b, 0), 1001u);
    EXPECT_EQ(u32At(b, 4), 12u);
    EXPECT_EQ(utf16At(b, 16), u"1234567890ABCDE");
    EXPECT_EQ(b[46] | b[47], 0); // the serial's last unit is its terminator
    EXPECT_EQ(b[81], 0x81);
    EXPECT_EQ(b[788] | b[789] << 8, 0xBEEF);
    EXPECT_EQ(u32At(b, 1564), 4u);
}

TEST_F(CameraEntryTest, DeviceInformationFillsEveryFieldByName) {
    CameraEntry entry;
    CameraEntryBuilder::FromListRecord(entry, listRecord().data(), 0);
    CameraEntryBuilder::FromEthInfo(entry, patternInfo().data());
    EXPECT_EQ(entry.GetDeviceType(), 12);
    EXPECT_EQ(std::u16string(entry.GetDevicePersistentIpAddress()), u"48.49.50.51");
    EXPECT_EQ(std::u16string(entry.GetDevicePersistentIpSubnetmask()), u"52.53.54.55");
    EXPECT_EQ(std::u16string(entry.GetDevicePersistentIpGateway()), u"56.57.58.59");
    EXPECT_EQ(std::u16string(entry.GetDeviceCurrentIpAddress()), u"60.61.62.63");
    EXPECT_EQ(std::u16string(entry.GetDeviceCurrentIpSubnetmask()), u"64.65.66.67");
    EXPECT_EQ(std::u16string(entry.GetDeviceCurrentIpGateway()), u"68.69.70.71");
    EXPECT_EQ(std::u16string(entry.GetDeviceMacAddress()), u"28-29-2A-2B-2C-2D");
    EXPECT_EQ(std::u16string(entry.GetDevicePairedMacAddress()), u"48-49-4A-4B-4C-4D");
    EXPECT_EQ(std::u16string(entry.GetDeviceIpPairedHost()), u"80.81.82.83");
    EXPECT_EQ(std::u16string(entry.GetDeviceIpRangeBegin()), u"84.85.86.87");
    EXPECT_EQ(std::u16string(entry.GetDeviceIpRangeEnd()), u"88.89.90.91");
    EXPECT_EQ(std::u16string(entry.GetDeviceUserSpace()), u"\\]^_`abc");
    EXPECT_EQ(std::u16string(entry.GetDeviceTempSensorSerNo()), u"0x646566676869");
    EXPECT_EQ(std::u16string(entry.GetDHCP_Server_IP()), u"112.113.114.115");
    EXPECT_EQ(entry.GetDeviceStarterFirmwareVersion(), 0x17161514u);
    EXPECT_EQ(entry.GetDeviceRuntimeFirmwareVersion(), 0x1B1A1918u);
    EXPECT_EQ(entry.GetDeviceComportOffset(), 0x2F2E);
    EXPECT_EQ(entry.GetDeviceLastReceivedMsgId(), 0x0100);
    EXPECT_EQ(entry.GetDeviceLastReceivedHeartbeatMsgId(), 0x0302);
    EXPECT_EQ(entry.GetDeviceLastAcknowledgedMsgId(), 0x0504);
    EXPECT_EQ(entry.GetDebugDeviceStatistics()[0], 0xA3A2A1A0u);
    EXPECT_EQ(entry.GetDebugDeviceStatistics()[7], 0xBFBEBDBCu);
    EXPECT_EQ(entry.GetDebugDeviceStatistics()[8], 0x13121110u);
    EXPECT_EQ(entry.GetDebugDeviceStatistics()[23], 0x4F4E4D4Cu);
    EXPECT_EQ(std::u16string(entry.GetAdapterIpAddress()), u"152.153.154.155");
    EXPECT_EQ(std::u16string(entry.GetAdapterIpSubnetmask()), u"156.157.158.159");
    EXPECT_EQ(std::u16string(entry.GetAdapterIpGateway()), u"160.161.162.163");
    EXPECT_EQ(std::u16string(entry.GetAdapterMacAddress()), u"A4-A5-A6-A7-A8-A9");
    EXPECT_EQ(std::u16string(entry.GetAdapterAutoCfgRangeBegin()), u"176.177.178.179");
    EXPECT_EQ(std::u16string(entry.GetAdapterAutoCfgRangeEnd()), u"180.181.182.183");
    EXPECT_EQ(entry.GetAdapterProbeTimeout(), 0xBBBAB9B8u);
    EXPECT_EQ(entry.GetAdapterAutoCfgRangeValid(), 0xBFBEBDBCu);
    EXPECT_EQ(entry.GetAdapterIncomingPacketFilter(), 0xC9C8);
    EXPECT_EQ(entry.GetAdapterWatchdogLevelPipFactor(), 0xCBCAu);
    EXPECT_EQ(entry.GetAdapterPortBase(), 0xD3D2D1D0u);
    EXPECT_EQ(entry.GetAdapterPortCommand(), 0xD7D6D5D4u);
    EXPECT_EQ(entry.GetAdapterPortUpload(), 0xDBDAD9D8u);
    EXPECT_EQ(entry.GetAdapterPortMessage(), 0xDFDEDDDCu);
    EXPECT_EQ(entry.GetAdapterPortStream(), 0xE3E2E1E0u);
    EXPECT_EQ(entry.GetTransfer_SendWindowSize(), 0x8988);
    EXPECT_EQ(entry.GetTransfer_SendWindowDelay(), 0x8988u);
    EXPECT_EQ(entry.GetDriverMinStarterFirmwareVersion(), 0x33323130u);
    EXPECT_EQ(entry.GetDriverHeartbeatPeriod_ms(), 0x3938);
    EXPECT_EQ(entry.GetDriverEthVer(), 0x3F3E3D3Cu);
    EXPECT_EQ(entry.GetDebugReservedDriver()[13], 0x7F7E7D7Cu);
    const std::vector<uint8_t> b = bytesOf(entry);
    EXPECT_EQ(utf16At(b, 88), u"60.61.62.63");
    EXPECT_EQ(utf16At(b, 120), u"68.69.70.71"); // gateway before mask in the entry
    EXPECT_EQ(u32At(b, 360), 0x1B1A1918u);      // runtime before starter
    EXPECT_EQ(u32At(b, 1208), 0xD3D2D1D0u);
    EXPECT_EQ(u32At(b, 1224), 0xDBDAD9D8u); // upload last
    EXPECT_EQ(u32At(b, 1568), 0u);
}

TEST_F(CameraEntryTest, FailedDeviceInformationMarksEveryAddress) {
    CameraEntry entry;
    CameraEntryBuilder::FromListRecord(entry, listRecord().data(), 0);
    CameraEntryBuilder::FromEthInfo(entry, patternInfo().data());
    CameraEntryBuilder::EthInfoFailed(entry, 141);
    for (const char16_t* text :
         {entry.GetDeviceCurrentIpAddress(), entry.GetDeviceCurrentIpGateway(),
          entry.GetDeviceCurrentIpSubnetmask(), entry.GetDevicePersistentIpAddress(),
          entry.GetDevicePersistentIpGateway(), entry.GetDevicePersistentIpSubnetmask(),
          entry.GetDeviceMacAddress(), entry.GetDevicePairedMacAddress(), entry.GetDeviceIpRangeBegin(),
          entry.GetDeviceIpRangeEnd(), entry.GetDeviceIpPairedHost(), entry.GetDHCP_Server_IP(),
          entry.GetAdapterMacAddress(), entry.GetAdapterIpAddress(), entry.GetAdapterIpSubnetmask(),
          entry.GetAdapterIpGateway(), entry.GetAdapterAutoCfgRangeBegin(),
          entry.GetAdapterAutoCfgRangeEnd()})
        EXPECT_EQ(std::u16string(text), u"Transfer failed");
    EXPECT_EQ(std::u16string(entry.GetDeviceTempSensorSerNo()), u"0");
    EXPECT_EQ(std::u16string(entry.GetDeviceUserSpace()), u"0");
    EXPECT_EQ(std::u16string(entry.GetAdapterName()), u"");
    EXPECT_EQ(entry.GetAdapterIncomingPacketFilter(), 0xFFFF);
    EXPECT_EQ(entry.GetAdapterPortBase(), 0u);
    EXPECT_EQ(entry.GetDebugDeviceStatistics()[8], 0u);
    EXPECT_EQ(entry.GetDeviceType(), 0);
    EXPECT_EQ(entry.GetEthInfoResult(), 141u);
    EXPECT_EQ(entry.GetDeviceId(), 1001u); // the list's part stays
    EXPECT_EQ(std::u16string(entry.GetDeviceModel()), u"ZK5240CP-\u20ac");
}

TEST_F(CameraEntryTest, AdapterTextsAreCutToTheirFields) {
    CameraEntry entry;
    entry.SetAdapterName(std::u16string(80, u'n'));
    entry.SetAdapterDriverVersion(u"10.1.2.3");
    entry.SetAdapterDriverDate(std::u16string(25, u'd'));
    entry.SetDeviceComportOffset(-1);
    EXPECT_EQ(std::u16string(entry.GetAdapterName()), std::u16string(49, u'n'));
    EXPECT_EQ(std::u16string(entry.GetAdapterDriverDate()), std::u16string(19, u'd'));
    const std::vector<uint8_t> b = bytesOf(entry);
    EXPECT_EQ(utf16At(b, 1348), u"10.1.2.3");
    EXPECT_EQ(b[1248 + 98] | b[1249 + 98], 0);
    EXPECT_EQ(b[664], 0xFF);
    EXPECT_EQ(b[665], 0xFF);
    EXPECT_EQ(entry.GetDeviceComportOffset() + 100, 99);
}

} // namespace
