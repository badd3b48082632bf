#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/tests/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using cmtest::ManagerTest;

class CameraListTest : public ManagerTest {};

TEST_F(CameraListTest, DefaultCamerasFillTheUsbAndGigELists) {
    CameraList usb, gige;
    ASSERT_TRUE(FillCameraList(usb, FillUsb));
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(usb.GetCount(), 1u);
    ASSERT_EQ(gige.GetCount(), 1u);
    const CameraEntry* u = usb.At(0);
    EXPECT_EQ(u->GetDeviceId(), 1u);
    EXPECT_EQ(std::u16string(u->GetDeviceModel()), u"ZK1480LE-C");
    EXPECT_EQ(std::u16string(u->GetDeviceSerNo()), u"4102812345");
    EXPECT_EQ(u->GetUsbEnumIndex(), 0u);
    EXPECT_EQ(std::u16string(u->GetDeviceCurrentIpAddress()), u""); // USB: no device information
    const CameraEntry* g = gige.At(0);
    EXPECT_EQ(g->GetDeviceId(), 1001u);
    EXPECT_EQ(std::u16string(g->GetDeviceModel()), u"ZK5240CP-M");
    EXPECT_EQ(g->GetEthInfoResult(), 0u);
    EXPECT_EQ(std::u16string(g->GetDeviceMacAddress()), u"02-5A-4B-00-10-01");
    EXPECT_EQ(zksim_JournalCount("zk_GetCameraList"), 4);
    ZkSimCall call{};
    bool asked = false;
    for (int i = 0; i < zksim_JournalSize(); ++i)
        if (zksim_JournalEntry(i, &call) == 0 && std::string(call.function) == "zk_GetEthDeviceInfo")
            asked = call.ints[0] == (1001 | 0x8000) && call.ints[1] == 640;
    EXPECT_TRUE(asked);
}

TEST_F(CameraListTest, DeviceIds999And1000SeparateTheKinds) {
    useCameras("[camera]\ndevice_id = 999\nserial = S999\nsensor = ZK1480-C\n"
               "[camera]\ndevice_id = 1000\nserial = S1000\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "[camera]\ndevice_id = 2\nserial = S2\nsensor = ZK1480-C\n");
    CameraList usb, gige;
    ASSERT_TRUE(FillCameraList(usb, FillUsb));
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(usb.GetCount(), 2u);
    ASSERT_EQ(gige.GetCount(), 1u);
    EXPECT_EQ(usb.At(0)->GetDeviceId(), 999u);
    EXPECT_EQ(usb.At(1)->GetUsbEnumIndex(), 2u); // position in the whole list
    EXPECT_EQ(gige.At(0)->GetDeviceId(), 1000u);
    EXPECT_EQ(gige.At(0)->GetUsbEnumIndex(), 0u);
}

TEST_F(CameraListTest, FailedDeviceInformationStillListsTheCamera) {
    zksim_InjectFailure("zk_GetEthDeviceInfo", ZK_IO_REQUEST_FAILED, 1);
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1u);
    EXPECT_EQ(gige.At(0)->GetEthInfoResult(), uint32_t(ZK_IO_REQUEST_FAILED));
    EXPECT_EQ(std::u16string(gige.At(0)->GetDeviceCurrentIpAddress()), u"Transfer failed");
    EXPECT_EQ(gige.At(0)->GetAdapterIncomingPacketFilter(), 0xFFFF);
}

TEST_F(CameraListTest, NoCameraGivesAnEmptyListAndAFailedCallKeepsTheList) {
    zksim_SetCameraConnected(1, 0);
    zksim_SetCameraConnected(1001, 0);
    CameraList usb;
    EXPECT_TRUE(FillCameraList(usb, FillUsb));
    EXPECT_EQ(usb.GetCount(), 0u);
    zksim_SetCameraConnected(1, 1);
    ASSERT_TRUE(FillCameraList(usb, FillUsb));
    zksim_InjectFailure("zk_GetCameraList", ZK_NO_CAMERA_FOUND, 1);
    EXPECT_FALSE(FillCameraList(usb, FillUsb));
    EXPECT_EQ(usb.GetCount(), 1u);
}

// A list function whose count grows between the calls and then claims more than it was given.
int growingList(void* list) {
    static uint32_t calls = 0;
    uint32_t room;
    std::memcpy(&room, list, 4);
    const uint32_t claimed = room == 0 ? 1 : 1000000;
    for (uint32_t i = 0; i < room; ++i) {
        uint8_t* r = static_cast<uint8_t*>(list) + 4 + 112 * i;
        std::memset(r, 0, 112);
        const uint32_t id = 10 + i;
        std::memcpy(r + 4, &id, 4);
        std::memset(r + 16, 'S', 16);
    }
    std::memcpy(list, &claimed, 4);
    ++calls;
    return 0;
}

TEST_F(CameraListTest, ACountThatGrowsPastTheRoomReadsOnlyTheRoom) {
    CameraList usb;
    ASSERT_TRUE(FillCameraList(usb, FillUsb, growingList));
    ASSERT_EQ(usb.GetCount(), 1u);
    EXPECT_EQ(usb.At(0)->GetDeviceId(), 10u);
    EXPECT_EQ(std::u16string(usb.At(0)->GetDeviceSerNo()), std::u16string(15, u'S'));
}

TEST_F(CameraListTest, FindByDeviceIdTakesTheFirstMatch) {
    CameraList list;
    CameraEntry* found = nullptr;
    EXPECT_FALSE(list.FindByDeviceId(1, &found));
    uint8_t record[112] = {};
    for (uint32_t camera : {1u, 2u}) {
        cmtest::setAt<uint32_t>(record, 0, camera);
        cmtest::setAt<uint32_t>(record, 4, 7);
        auto entry = std::make_unique<CameraEntry>();
        CameraEntryBuilder::FromListRecord(*entry, record, 0);
        list.Append(std::move(entry));
    }
    ASSERT_TRUE(list.FindByDeviceId(7, &found));
    EXPECT_EQ(found->GetDeviceCameraId(), 1u);
    EXPECT_FALSE(list.FindByDeviceId(8, &found));
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(CameraListTest, CameraInformationAndRevisionsOfAnOpenableCamera) {
    CamInfoRecord record{};
    ASSERT_TRUE(ReadCameraInformation(1, record));
    EXPECT_NE(std::u16string(record.Manufacturer), u"Unknown");
    EXPECT_EQ(zksim_JournalCount("zk_ExitCamera"), 1);
    // A failed information call leaves no revisions of an earlier camera behind.
    record.LogicBoard = 77;
    record.Blackfin = 5;
    zksim_InjectFailure("zk_GetCameraInfoEx", ZK_IO_REQUEST_FAILED, 1);
    ASSERT_TRUE(ReadCameraInformation(1, record));
    EXPECT_EQ(std::u16string(record.Version), u"Unknown");
    EXPECT_EQ(record.LogicBoard, 0);
    EXPECT_EQ(record.Blackfin, 0u);
}

TEST_F(CameraListTest, CameraThatCannotBeOpenedGivesUnknownTexts) {
    uint32_t handle = 1 | ZK_USE_DEVICE_ID;
    ASSERT_EQ(ZekoApi::zk_InitCamera(&handle, nullptr), 0); // held by another handle
    CamInfoRecord record{};
    record.Housing = 3;
    EXPECT_FALSE(ReadCameraInformation(1, record));
    EXPECT_EQ(std::u16string(record.DateOfQC), u"Unknown");
    EXPECT_EQ(std::u16string(record.Manufacturer), u"Unknown");
    EXPECT_EQ(record.Housing, 0);
    ZekoApi::zk_ExitCamera(handle);
}

TEST_F(CameraListTest, AnInterfaceLibraryLackingFunctionsAnswersEveryCallItCannotMake) {
    useWindowsFolder("zeko_cm_test_api_partial");
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1u);
    EXPECT_EQ(int32_t(gige.At(0)->GetEthInfoResult()), ZekoApi::notCallable);
    uint32_t handle = 0;
    EXPECT_NE(ZekoApi::zk_InitCamera(&handle, nullptr), 0);
    EXPECT_TRUE(ZekoApi::IsLoaded());
}

TEST_F(CameraListTest, AnInterfaceLibraryThatDoesNotLoadFailsEveryCall) {
    useWindowsFolder("zeko_cm_test_api_unloadable");
    CameraList usb;
    EXPECT_FALSE(FillCameraList(usb, FillUsb));
    EXPECT_FALSE(ZekoApi::IsLoaded());
    EXPECT_NE(ZekoApi::zk_FetchTCPIP_Setup(), 0);
}

} // namespace
