#include "camera_manager/diagnostics/records/DriverSettings.h"
#include "ManagerTestSupport.h"

#include <fstream>
#include <map>
#include <set>

namespace {

// A driver whose commands can be told to fail; it keeps flags and set as the real one does.
struct FakeDriver {
    uint32_t capabilities = 0x4, options = 0x3, flags = 0, set = 0;
    std::set<uint32_t> failing;
    std::vector<uint32_t> calls;
    ConfigurationCall call() {
        return [this](uint32_t command, uint32_t* value) {
            calls.push_back(command);
            if (failing.count(command))
                return 125;
            switch (command) {
            case 1:
                *value = capabilities;
                return 0;
            case 2:
                *value = options;
                return 0;
            case 4:
                flags = *value;
                return 0;
            case 5:
                *value = flags;
                return 0;
            case 9:
                if (*value > 2)
                    return 125;
                set = *value;
                return 0;
            case 10:
                *value = set;
                return 0;
            }
            return 125;
        };
    }
};

TEST(ComPanelGateTest, CameraKindAndWow64DecideThePanel) {
    EXPECT_EQ(DecideComPanel(false, 0, 0, false), ComPanelGate::Disabled);
    EXPECT_EQ(DecideComPanel(false, 0, 0, true), ComPanelGate::Disabled);
    EXPECT_EQ(DecideComPanel(true, 1000, 0, true), ComPanelGate::Wow64);
    EXPECT_EQ(DecideComPanel(true, 999, 0, false), ComPanelGate::UnsupportedCamera);
    EXPECT_EQ(DecideComPanel(true, 1000, 0x81, false), ComPanelGate::UnsupportedCamera);
    EXPECT_EQ(DecideComPanel(true, 1000, 0x80, false), ComPanelGate::Available);
    EXPECT_FALSE(HiddenButtonAllowed(false, 2000, 0));
    EXPECT_FALSE(HiddenButtonAllowed(true, 1000, 0));
    EXPECT_TRUE(HiddenButtonAllowed(true, 1001, 0));
    EXPECT_FALSE(HiddenButtonAllowed(true, 1001, 0x81));
}

TEST(IdleStateTest, OptionsAndFlagsGiveTheBoxes) {
    FakeDriver driver;
    driver.options = 0x1;
    driver.flags = 0x3;
    IdleStateView view = ReadIdleStateSettings(driver.call());
    EXPECT_TRUE(view.mainsEnabled);
    EXPECT_FALSE(view.batteryEnabled);
    EXPECT_TRUE(view.mainsTicked);
    EXPECT_FALSE(view.batteryTicked); // set in the flags but not supported

    driver.failing = {2};
    view = ReadIdleStateSettings(driver.call());
    EXPECT_TRUE(view.mainsEnabled && view.batteryEnabled);
    EXPECT_FALSE(view.mainsTicked || view.batteryTicked);

    driver.failing = {5};
    driver.options = 0x2;
    view = ReadIdleStateSettings(driver.call());
    EXPECT_FALSE(view.mainsEnabled);
    EXPECT_TRUE(view.batteryEnabled);
    EXPECT_FALSE(view.batteryTicked);
}

TEST(IdleStateTest, FailedWriteKeepsTheOldFlags) {
    FakeDriver driver;
    uint32_t flags = 0x1;
    EXPECT_TRUE(WriteIdleState(driver.call(), flags, idleBatteryBit, true));
    EXPECT_EQ(flags, 0x3u);
    EXPECT_EQ(driver.flags, 0x3u);
    driver.failing = {4};
    EXPECT_FALSE(WriteIdleState(driver.call(), flags, idleMainsBit, false));
    EXPECT_EQ(flags, 0x3u);
    driver.failing.clear();
    EXPECT_TRUE(WriteIdleState(driver.call(), flags, idleMainsBit, false));
    EXPECT_EQ(driver.flags, 0x2u);
}

TEST(ParameterSetTest, CapabilityAndReadsDecideTheRadios) {
    FakeDriver driver;
    driver.set = 2;
    ParameterSetView view = ReadParameterSetSetting(driver.call());
    EXPECT_EQ(view.selected, 2);
    EXPECT_TRUE(view.enabled);

    driver.set = 3;
    view = ReadParameterSetSetting(driver.call());
    EXPECT_EQ(view.selected, -1);
    EXPECT_TRUE(view.enabled);

    for (auto setup : {std::function<void(FakeDriver&)>([](FakeDriver& d) { d.capabilities = 0; }),
                       std::function<void(FakeDriver&)>([](FakeDriver& d) { d.failing = {1}; }),
                       std::function<void(FakeDriver&)>([](FakeDriver& d) { d.failing = {10}; })}) {
        FakeDriver other;
        setup(other);
        view = ReadParameterSetSetting(other.call());
        EXPECT_EQ(view.selected, 0);
        EXPECT_FALSE(view.enabled);
    }
}

TEST(ParameterSetTest, RefusedWriteShowsWhatTheDriverHolds) {
    FakeDriver driver;
    driver.set = 1;
    EXPECT_EQ(WriteParameterSet(driver.call(), 2).selected, 2);
    driver.failing = {9};
    ParameterSetView view = WriteParameterSet(driver.call(), 0);
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(driver.set, 2u);
}

TEST(KeyRingTest, OnlyTheLastNineKeysInOrderMatch) {
    KeyRing ring;
    for (char c : std::string("XXZEKOCOMD"))
        ring.Add(static_cast<uint32_t>(c));
    EXPECT_FALSE(ring.Matches());
    ring.Add('A');
    EXPECT_TRUE(ring.Matches());
    ring.Add('B');
    EXPECT_FALSE(ring.Matches());
    ring.Clear();
    for (char c : std::string("ZEKOCOMDA"))
        ring.Add(static_cast<uint32_t>(c));
    EXPECT_TRUE(ring.Matches());
}

class DriverSettingsSimTest : public cmtest::ManagerTest {};

TEST_F(DriverSettingsSimTest, WorksAgainstTheDriverConfiguration) {
    zksim_SetDriverCapabilities(0x4, 0x1);
    IdleStateView view = ReadIdleStateSettings(DriverConfiguration());
    EXPECT_TRUE(view.mainsEnabled);
    EXPECT_FALSE(view.batteryEnabled);
    uint32_t flags = view.flags;
    ASSERT_TRUE(WriteIdleState(DriverConfiguration(), flags, idleMainsBit, true));
    EXPECT_TRUE(ReadIdleStateSettings(DriverConfiguration()).mainsTicked);
    EXPECT_FALSE(WriteIdleState(DriverConfiguration(), flags, idleBatteryBit, true)); // not an option
    EXPECT_EQ(flags, idleMainsBit);

    EXPECT_EQ(WriteParameterSet(DriverConfiguration(), 1).selected, 1);
    zksim_InjectFailure("zk_Configuration", 125, 1);
    EXPECT_EQ(WriteParameterSet(DriverConfiguration(), 2).selected, 1);
    EXPECT_EQ(ReadParameterSetSetting(DriverConfiguration()).selected, 1);

    zksim_SetDriverCapabilities(0x0, 0x3);
    ParameterSetView set = ReadParameterSetSetting(DriverConfiguration());
    EXPECT_EQ(set.selected, 0);
    EXPECT_FALSE(set.enabled);
}

} // namespace
