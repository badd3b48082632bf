// The automatic GigE configuration against the simulator: what reaches the camera library.
#include "camera_manager/core/dialogs/AutomaticEthConfiguration.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/tests/ConfigurationJournal.h"
#include "camera_manager/tests/ManagerTestSupport.h"

#include <string>
#include <vector>

namespace {

using cmtest::ConfigurationCalls;

const char* const pairedCamera =
    "[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\n"
    "mac = 02-00-00-00-00-01\npersistent_ip = 10.0.0.5\npersistent_mask = 255.0.0.0\n"
    "adapter_id = 3\nadapter_ip = 192.168.10.7\nadapter_mask = 255.255.255.0\n";

class AutomaticEthConfigurationTest : public cmtest::ManagerTest {
protected:
    CameraEntry& camera() {
        list_.Clear();
        EXPECT_TRUE(FillCameraList(list_, FillGigE));
        EXPECT_EQ(list_.GetCount(), 1u);
        zksim_JournalClear();
        return *list_.At(0);
    }
    CameraList list_;
};

TEST_F(AutomaticEthConfigurationTest, SetsTheAdapterNetworkAsRangeThenDeletesThePersistentAddress) {
    useCameras(pairedCamera);
    const AutomaticEthOutcome outcome = ConfigureEthAutomatically(camera());
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.message, u"Automatic configuration completed successfully  ");
    const std::vector<cmtest::ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].function, "zk_SetAutoCfgIpRange");
    EXPECT_EQ(calls[0].ints, (std::vector<long long>{3, 0xC0A80A01, 0xC0A80AFE, 100}));
    EXPECT_EQ(calls[1].function, "zk_SetPersistentIpCfg");
    EXPECT_EQ(calls[1].ints, (std::vector<long long>{1001 | 0x8000, 0, 0, 12}));
    // The camera now reports no persistent address and the adapter the new range.
    CameraEntry& after = camera();
    EXPECT_EQ(std::u16string(after.GetDevicePersistentIpAddress()), u"0.0.0.0");
    EXPECT_EQ(std::u16string(after.GetAdapterAutoCfgRangeBegin()), u"192.168.10.1");
    EXPECT_EQ(std::u16string(after.GetAdapterAutoCfgRangeEnd()), u"192.168.10.254");
}

TEST_F(AutomaticEthConfigurationTest, ARangeFailureStopsBeforeThePersistentAddressIsDeleted) {
    useCameras(pairedCamera);
    CameraEntry& entry = camera();
    zksim_InjectFailure("zk_SetAutoCfgIpRange", 141, 1);
    const AutomaticEthOutcome outcome = ConfigureEthAutomatically(entry);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.message, u"The IP range could not be set!\nErrorcode: 141");
    const std::vector<cmtest::ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, "zk_SetAutoCfgIpRange");
    EXPECT_EQ(std::u16string(camera().GetDevicePersistentIpAddress()), u"10.0.0.5");
}

TEST_F(AutomaticEthConfigurationTest, APersistentAddressFailureIsReportedWithItsCode) {
    useCameras(pairedCamera);
    CameraEntry& entry = camera();
    zksim_InjectFailure("zk_SetPersistentIpCfg", 3, 1);
    const AutomaticEthOutcome outcome = ConfigureEthAutomatically(entry);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.message, u"The persistent IP could not be deleted!\nErrorcode: 3");
    EXPECT_EQ(ConfigurationCalls().size(), 2u);
}

TEST_F(AutomaticEthConfigurationTest, AnAdapterWithoutAUsableNetworkSendsNothing) {
    // A failed device-information call ("Transfer failed"), and networks that give no range.
    useCameras(pairedCamera);
    CameraList failed;
    zksim_InjectFailure("zk_GetEthDeviceInfo", 3, 1);
    ASSERT_TRUE(FillCameraList(failed, FillGigE));
    ASSERT_EQ(std::u16string(failed.At(0)->GetAdapterIpAddress()).substr(0, 8), u"Transfer");
    zksim_JournalClear();
    AutomaticEthOutcome outcome = ConfigureEthAutomatically(*failed.At(0));
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.message, u"The IP range could not be set!");

    for (const char* network : {"adapter_ip = 0.0.0.0\nadapter_mask = 255.255.255.0\n",
                                "adapter_ip = 192.168.10.7\nadapter_mask = 0.0.0.0\n",
                                "adapter_ip = 192.168.10.7\nadapter_mask = 255.255.255.255\n",
                                "adapter_ip = 192.168.10.7\nadapter_mask = 255.255.255.254\n"}) {
        useCameras(
            std::string("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\n"
                        "mac = 02-00-00-00-00-01\npersistent_ip = 10.0.0.5\npersistent_mask = 255.0.0.0\n") +
            network);
        outcome = ConfigureEthAutomatically(camera());
        EXPECT_FALSE(outcome.success) << network;
        EXPECT_EQ(outcome.message, u"The IP range could not be set!");
    }
    EXPECT_TRUE(ConfigurationCalls().empty());
    EXPECT_EQ(std::u16string(camera().GetDevicePersistentIpAddress()), u"10.0.0.5");
}

} // namespace
