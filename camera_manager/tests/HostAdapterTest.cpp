#include "camera_manager/core/records/HostAdapters.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Adapters.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>

namespace {

using cmtest::ManagerTest;

const std::u16string classKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";

win::AdapterRecord adapter(const char* name, const char* description, uint8_t last) {
    win::AdapterRecord a;
    a.name = name;
    a.description = description;
    const uint8_t mac[6] = {0x00, 0x1B, 0x21, 0xAB, 0xCD, last};
    std::copy(mac, mac + 6, a.mac);
    return a;
}

// Machine registry values the tests lay out.
void setText(const std::u16string& path, const char16_t* name, const std::u16string& text) {
    cmtest::setRegistryString(HKEY_LOCAL_MACHINE, path, name, text);
}

class HostAdapterTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        win::SetAdapterSource([] {
            // More adapters than a 704-byte buffer holds; two share one address.
            return std::vector<win::AdapterRecord>{adapter("eth0", "Foo Adapter - Bar", 0x01),
                                                   adapter("eth1", "Intel(R) Gigabit - CT - Desktop", 0x02),
                                                   adapter("eth2", "Plain", 0x03),
                                                   adapter("eth3", "Second with the same address", 0x02)};
        });
    }
    void TearDown() override {
        win::SetAdapterSource({});
        ManagerTest::TearDown();
    }
};

TEST_F(HostAdapterTest, DesignationIsTheDescriptionBeforeItsLastDash) {
    EXPECT_EQ(AdapterDesignation(u"Foo Adapter - Bar"), u"Foo Adapter");
    EXPECT_EQ(AdapterDesignation(u"A - B - C"), u"A - B");
    EXPECT_EQ(AdapterDesignation(u"Plain"), u"Plain");
    std::u16string name = u"Unknown", version = u"Unknown", date = u"Unknown";
    ASSERT_TRUE(GetHostAdapterByMac(u"00-1B-21-AB-CD-01", name, version, date));
    EXPECT_EQ(name, u"Foo Adapter");
    EXPECT_EQ(version, u"Unknown"); // nothing in the registry for it
    EXPECT_EQ(date, u"Unknown");
}

TEST_F(HostAdapterTest, TheLastMatchWinsAndNoMatchChangesNothing) {
    std::u16string name = u"Unknown", version = u"Unknown", date = u"Unknown";
    ASSERT_TRUE(GetHostAdapterByMac(u"00-1B-21-AB-CD-02", name, version, date));
    EXPECT_EQ(name, u"Second with the same address");
    name = u"kept";
    EXPECT_FALSE(GetHostAdapterByMac(u"00-1b-21-ab-cd-01", name, version, date)); // upper case only
    EXPECT_FALSE(GetHostAdapterByMac(u"Transfer failed", name, version, date));
    EXPECT_EQ(name, u"kept");
    win::SetAdapterSource([] { return std::vector<win::AdapterRecord>(); });
    EXPECT_FALSE(GetHostAdapterByMac(u"00-1B-21-AB-CD-01", name, version, date));
    EXPECT_EQ(name, u"kept");
}

TEST_F(HostAdapterTest, DriverVersionAndDateComeFromTheNetworkClassKey) {
    setText(classKey + u"\\0001", u"NetCfgInstanceId", u"eth0");
    setText(classKey + u"\\0001", u"DriverVersion", u"12.15.22.6");
    setText(classKey + u"\\0001", u"DriverDate", u"3-5-2021");
    setText(classKey + u"\\0002", u"NetCfgInstanceId", u"ETH0"); // compared with case
    setText(classKey + u"\\0002", u"DriverVersion", u"wrong");
    setText(classKey + u"\\0003", u"NetCfgInstanceId", u"eth1");
    setText(classKey + u"\\0003", u"DriverDate", u"1-1-2020");
    std::u16string name, version = u"Unknown", date = u"Unknown";
    ASSERT_TRUE(GetHostAdapterByMac(u"00-1B-21-AB-CD-01", name, version, date));
    EXPECT_EQ(version, u"12.15.22.6");
    EXPECT_EQ(date, u"3-5-2021");
    version = date = u"";
    ASSERT_TRUE(GetNetAdapterDriverInfo(u"eth1", version, date));
    EXPECT_EQ(version, u""); // set only when the key holds it
    EXPECT_EQ(date, u"1-1-2020");
    EXPECT_FALSE(GetNetAdapterDriverInfo(u"eth9", version, date));
}

} // namespace
