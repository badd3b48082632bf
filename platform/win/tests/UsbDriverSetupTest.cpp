#include "platform/win/UsbDriverSetup.h"
#include "platform/win/RegistryStore.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::u16string enumKey = u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum";
const std::u16string devices = u"SYSTEM\\CurrentControlSet\\Enum\\";
const std::u16string firstCamera = u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&1";
const std::u16string firstHub = u"USB\\ROOT_HUB30\\4&2C5B1E7&0&0";

win::RegistryStore& machine() {
    return win::RegistryStore::instance(win::RegistryStore::Hive::LocalMachine);
}

std::u16string text(const std::u16string& key, const std::u16string& name) {
    win::RegistryStore::Value value;
    if (!machine().getValue(key, name, value))
        return u"<missing>";
    return win::RegistryStore::textOf(value).value_or(u"<not text>");
}

class UsbDriverSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_usbsetup_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
        win::RegistryStore::resetAll();
    }
    void TearDown() override {
        win::RegistryStore::resetAll();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
};

// What an earlier run (or another program) left is brought in line with the cameras plugged in
// now: values that differ are written again, the instances of cameras that are gone removed.
TEST_F(UsbDriverSetupTest, ChangedValuesAreWrittenAgainAndStaleIndexValuesRemoved) {
    ASSERT_TRUE(win::RegisterUsbCameras({{0, 1}, {1, 2}, {2, 3}}));
    ASSERT_EQ(text(enumKey, u"2"), u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&3");

    machine().setValue(enumKey, win::RegistryStore::textValue(u"0", u"USB\\VID_5C2E&PID_0100\\elsewhere"));
    machine().setValue(enumKey, win::RegistryStore::dwordValue(u"Count", 7));
    machine().setValue(enumKey, win::RegistryStore::textValue(u"NextInstance", u"kept"));
    machine().setValue(devices + firstCamera,
                       win::RegistryStore::textValue(u"DeviceDesc", u"Zeko USB camera 9"));
    machine().setValue(devices + firstHub, win::RegistryStore::textValue(u"ParentIdPrefix", u"5&0&0"));
    // The same text stored as another type differs too.
    win::RegistryStore::Value service = win::RegistryStore::textValue(u"Service", u"Zeko");
    service.type = 2;
    machine().setValue(devices + firstCamera, service);

    // Camera 3 is gone.
    ASSERT_TRUE(win::RegisterUsbCameras({{0, 1}, {1, 2}}));
    win::RegistryStore::resetAll(); // read back from the file, not from memory
    EXPECT_EQ(text(enumKey, u"0"), firstCamera);
    EXPECT_EQ(text(enumKey, u"1"), u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&2");
    EXPECT_EQ(text(enumKey, u"2"), u"<missing>");
    win::RegistryStore::Value count;
    ASSERT_TRUE(machine().getValue(enumKey, u"Count", count));
    EXPECT_EQ(count.data, win::RegistryStore::dwordValue(u"Count", 2).data);
    EXPECT_EQ(text(enumKey, u"NextInstance"), u"kept"); // not an index value
    EXPECT_EQ(text(devices + firstCamera, u"DeviceDesc"), u"Zeko USB camera 1");
    win::RegistryStore::Value stored;
    ASSERT_TRUE(machine().getValue(devices + firstCamera, u"Service", stored));
    EXPECT_EQ(stored.type, 1u);
    EXPECT_EQ(text(devices + firstHub, u"ParentIdPrefix"), u"5&1A2B3C0&0");
    EXPECT_EQ(text(devices + firstHub, u"DeviceDesc"), win::usbHubDescription);

    // No camera at all: every index value goes and the count says so.
    ASSERT_TRUE(win::RegisterUsbCameras({}));
    EXPECT_EQ(text(enumKey, u"0"), u"<missing>");
    EXPECT_EQ(text(enumKey, u"1"), u"<missing>");
    ASSERT_TRUE(machine().getValue(enumKey, u"Count", count));
    EXPECT_EQ(count.data, win::RegistryStore::dwordValue(u"Count", 0).data);
}

} // namespace
