#include "camera_manager/core/rules/NetworkServiceRules.h"
#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using namespace NetworkServiceRules;
using cmtest::ManagerTest;

// Machine registry values the tests lay out.
void setText(const std::u16string& path, const char16_t* name, const std::u16string& text) {
    cmtest::setRegistryString(HKEY_LOCAL_MACHINE, path, name, text);
}

void setDword(const std::u16string& path, const char16_t* name, DWORD value) {
    cmtest::setRegistryDword(HKEY_LOCAL_MACHINE, path, name, value);
}

const std::u16string enumKey = u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_10D3\\4&1&0";
const std::u16string classKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\0007";
const std::u16string interfaceKey =
    u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{A1}";

class NetworkServiceRulesTest : public ManagerTest {};

TEST_F(NetworkServiceRulesTest, StatusNamesTheEnabledBindingsOrAsksForOne) {
    const ServiceStatus none = BindingStatus(0);
    EXPECT_EQ(none.code, u"1");
    EXPECT_EQ(none.text.rfind(u"The Gigabit Ethernet Zeko network service is not bound", 0), 0u);
    const ServiceStatus one = BindingStatus(1);
    EXPECT_EQ(one.code, u"0");
    EXPECT_EQ(one.text, u"The Gigabit Ethernet Zeko network service is bound to 1 network adapter. "
                        u"Choose a network adapter to see or change its settings.");
    EXPECT_EQ(BindingStatus(3).text.substr(0, 76),
              u"The Gigabit Ethernet Zeko network service is bound to 3 network adapters. Ch");
}

TEST_F(NetworkServiceRulesTest, AddressWarnings) {
    for (const char16_t* fine : {u"192.168.1.10", u"169.254.1.7", u"10.0.0.0", u"00.1.2.3"})
        EXPECT_FALSE(IpWarning(fine)) << ToUtf8(fine);
    for (const char16_t* odd : {u"-1", u"0.0.0.0", u"0.1.2.3", u"", u"1.2.3", u"a.b.c.d"})
        EXPECT_TRUE(IpWarning(odd)) << ToUtf8(odd);
    for (const char16_t* fine : {u"255.255.255.0", u"255.255.0.0", u"255.128.0.0"})
        EXPECT_FALSE(MaskWarning(fine)) << ToUtf8(fine);
    for (const char16_t* odd : {u"255.0.0.0", u"0.255.255.0", u"0.0.0.0", u"-1", u"255.255"})
        EXPECT_TRUE(MaskWarning(odd)) << ToUtf8(odd);
}

TEST_F(NetworkServiceRulesTest, MacTextForms) {
    const auto mac = ParseColonMac(u"00:1b:21:AB:cd:07 (primary)");
    ASSERT_TRUE(mac);
    EXPECT_EQ(*mac, (std::array<uint8_t, 6>{0x00, 0x1B, 0x21, 0xAB, 0xCD, 0x07}));
    for (const char16_t* bad :
         {u"00-1B-21-AB-CD-07", u"00:1B:21:AB:CD", u"0G:1B:21:AB:CD:07", u" 00:1B:21:AB:CD:07", u""})
        EXPECT_FALSE(ParseColonMac(bad)) << ToUtf8(bad);
    EXPECT_EQ(MacDisplayText(u"00:1B:21:AB:CD:07"), u"00 - 1B - 21 - AB - CD - 07");
}

TEST_F(NetworkServiceRulesTest, DhcpReadsTheLeaseOrTheAutomaticAddress) {
    std::map<std::u16string, std::u16string> values = {{u"IPAddress", u"10.0.0.5"},
                                                       {u"SubnetMask", u"255.0.0.0"},
                                                       {u"DhcpIPAddress", u"172.16.0.9"},
                                                       {u"DhcpSubnetMask", u"255.255.0.0"},
                                                       {u"IPAutoconfigurationAddress", u"169.254.1.7"},
                                                       {u"IPAutoconfigurationMask", u"255.255.0.0"}};
    const ValueReader read = [&](const char16_t* name) -> std::optional<std::u16string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    };
    AdapterAddresses a = SelectAddresses(false, read);
    EXPECT_EQ(a.ip, u"10.0.0.5");
    EXPECT_EQ(a.mask, u"255.0.0.0");
    a = SelectAddresses(true, read);
    EXPECT_EQ(a.ip, u"172.16.0.9");
    EXPECT_TRUE(a.dhcp);
    values[u"DhcpSubnetMask"] = u"0.0.0.0"; // either lease text at zero
    a = SelectAddresses(true, read);
    EXPECT_EQ(a.ip, u"169.254.1.7");
    EXPECT_EQ(a.mask, u"255.255.0.0");
    values.erase(u"SubnetMask");
    a = SelectAddresses(false, read);
    EXPECT_EQ(a.ip, u"10.0.0.5");
    EXPECT_EQ(a.mask, u"-1");
}

TEST_F(NetworkServiceRulesTest, RegistryPathFromDeviceInstanceToAddresses) {
    AdapterRegistryInfo info;
    EXPECT_FALSE(ReadAdapterRegistry(u"PCI\\VEN_8086&DEV_10D3\\4&1&0", info));
    setText(enumKey, u"Driver", u"{4D36E972-E325-11CE-BFC1-08002bE10318}\\0007");
    ASSERT_TRUE(ReadAdapterRegistry(u"PCI\\VEN_8086&DEV_10D3\\4&1&0", info));
    EXPECT_EQ(info.index, 7);
    EXPECT_EQ(info.instanceId, u"");
    EXPECT_EQ(info.addresses.ip, u"-1");
    setText(classKey, u"NetCfgInstanceId", u"{A1}");
    setText(interfaceKey, u"IPAddress", u"192.168.3.4");
    setText(interfaceKey, u"SubnetMask", u"255.255.255.0");
    setText(interfaceKey, u"DhcpIPAddress", u"0.0.0.0");
    setText(interfaceKey, u"IPAutoconfigurationAddress", u"169.254.3.4");
    ASSERT_TRUE(ReadAdapterRegistry(u"PCI\\VEN_8086&DEV_10D3\\4&1&0", info));
    EXPECT_EQ(info.instanceId, u"{A1}");
    EXPECT_FALSE(info.addresses.dhcp);
    EXPECT_EQ(info.addresses.ip, u"192.168.3.4");
    setDword(interfaceKey, u"EnableDHCP", 1);
    ASSERT_TRUE(ReadAdapterRegistry(u"PCI\\VEN_8086&DEV_10D3\\4&1&0", info));
    EXPECT_TRUE(info.addresses.dhcp);
    EXPECT_EQ(info.addresses.ip, u"169.254.3.4");
    EXPECT_EQ(info.addresses.mask, u"-1"); // no automatic mask stored
}

TEST_F(NetworkServiceRulesTest, AdapterInUseOnlyByCamerasInUseOnIt) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "adapter_mac = 00-1B-21-AB-00-07\ndevice_status_flags = 0x1\n"
               "[camera]\ndevice_id = 1002\nserial = S1002\nsensor = ZK5240-M\nmac = 02-00-00-00-00-02\n"
               "adapter_mac = 00-1B-21-AB-00-08\ndevice_status_flags = 0x101\n");
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 2u);
    const uint8_t used[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x07};
    const uint8_t notUsed[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x08}; // its camera has 0x100
    const uint8_t other[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x09};
    EXPECT_TRUE(IsAdapterInUseByCamera(used, gige));
    EXPECT_FALSE(IsAdapterInUseByCamera(notUsed, gige));
    EXPECT_FALSE(IsAdapterInUseByCamera(other, gige));
    EXPECT_FALSE(IsAdapterInUseByCamera(used, CameraList()));
}

TEST_F(NetworkServiceRulesTest, AddressesAppearedAndJumboState) {
    EXPECT_TRUE(AddressesAppeared(u"-1", u"-1", u"10.0.0.5", u"-1"));
    EXPECT_TRUE(AddressesAppeared(u"10.0.0.5", u"0.0.0.0", u"10.0.0.5", u"255.0.0.0"));
    EXPECT_TRUE(AddressesAppeared(u"0.0.0.0", u"255.0.0.0", u"-1", u"255.0.0.0"));
    EXPECT_FALSE(AddressesAppeared(u"-2", u"-2", u"10.0.0.5", u"255.0.0.0")); // first look after a selection
    EXPECT_FALSE(AddressesAppeared(u"-1", u"0.0.0.0", u"-1", u"0.0.0.0"));
    EXPECT_FALSE(AddressesAppeared(u"10.0.0.5", u"255.0.0.0", u"10.0.0.6", u"255.0.0.0"));
    EXPECT_FALSE(JumboChecked(1450));
    EXPECT_TRUE(JumboChecked(1451));
    EXPECT_TRUE(JumboChecked(JumboMaxPacket));
}

TEST_F(NetworkServiceRulesTest, BindingTokenCopyStaysInsideItsField) {
    struct {
        char16_t field[255];
        char16_t guard[4];
    } buffer;
    std::fill(std::begin(buffer.guard), std::end(buffer.guard), u'#');
    CopyBindingToken(buffer.field, 255, std::u16string(400, u'x'));
    EXPECT_EQ(std::u16string(buffer.field), std::u16string(254, u'x'));
    EXPECT_EQ(std::u16string(buffer.guard, 4), u"####");
    CopyBindingToken(buffer.field, 255, u"zk_eth->{A1}");
    EXPECT_EQ(std::u16string(buffer.field), u"zk_eth->{A1}");
}

} // namespace
