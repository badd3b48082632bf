#include "camera_manager/core/rules/EthConfigRules.h"
#include "camera_manager/core/rules/Ipv4Text.h"
#include "camera_manager/res/StringIds.h"
#include "camera_manager/res/StringTable.h"

#include <gtest/gtest.h>

namespace {

uint32_t ip(const char* text) {
    return *ParseIpv4(text);
}

class EthConfigRulesTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramResourceStrings(managerStrings, managerStringCount); }
};

TEST_F(EthConfigRulesTest, AdapterHostRangeSpansTheNetworkWithoutItsNetworkAndBroadcastAddresses) {
    EXPECT_EQ(AdapterHostRange(u"192.168.1.10", u"255.255.255.0"),
              (IpRange{ip("192.168.1.1"), ip("192.168.1.254")}));
    EXPECT_EQ(AdapterHostRange(u"10.20.30.40", u"255.255.0.0"),
              (IpRange{ip("10.20.0.1"), ip("10.20.255.254")}));
    EXPECT_EQ(AdapterHostRange(u"172.16.5.6", u"255.255.255.252"),
              (IpRange{ip("172.16.5.5"), ip("172.16.5.6")}));
    // Addresses above 128.0.0.0 and a /1 network need unsigned arithmetic throughout.
    EXPECT_EQ(AdapterHostRange(u"200.1.1.1", u"128.0.0.0"),
              (IpRange{ip("128.0.0.1"), ip("255.255.255.254")}));
}

TEST_F(EthConfigRulesTest, AdapterHostRangeRefusesWhatGivesNoUsableRange) {
    // A failed device-information call, half addresses, the empty address or mask, and
    // networks without a host address (begin above end, or wrapping around).
    for (auto [address, mask] : {std::pair{u"Transfer failed", u"Transfer failed"},
                                 {u"192.168.1.10", u"Transfer failed"},
                                 {u"Transfer failed", u"255.255.255.0"},
                                 {u"192.168.1", u"255.255.255.0"},
                                 {u"", u""},
                                 {u"0.0.0.0", u"255.255.255.0"},
                                 {u"192.168.1.10", u"0.0.0.0"},
                                 {u"192.168.1.10", u"255.255.255.254"},
                                 {u"192.168.1.10", u"255.255.255.255"},
                                 {u"255.255.255.255", u"255.255.255.255"}})
        EXPECT_FALSE(AdapterHostRange(address, mask).has_value())
            << std::string(address, address + std::char_traits<char16_t>::length(address));
}

TEST_F(EthConfigRulesTest, AddressProbesNeverExceedTheNetworkNorOneSlash16) {
    EXPECT_EQ(AddressProbeCount({ip("192.168.1.1"), ip("192.168.1.254")}), 254u);
    EXPECT_EQ(AddressProbeCount({ip("10.20.0.1"), ip("10.20.255.254")}), 65534u);
    EXPECT_EQ(AddressProbeCount({ip("10.0.0.1"), ip("10.255.255.254")}), maxAddressProbes);
    EXPECT_EQ(AddressProbeCount({ip("128.0.0.1"), ip("255.255.255.254")}), maxAddressProbes);
    EXPECT_EQ(AddressProbeCount({ip("10.0.0.5"), ip("10.0.0.5")}), 1u);
    EXPECT_EQ(AddressProbeCount({ip("10.0.0.6"), ip("10.0.0.5")}), 0u);
}

TEST_F(EthConfigRulesTest, TypedRangesAreCheckedAgainstTheAdapterNetwork) {
    const uint32_t m24 = ip("255.255.255.0");
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.1"), ip("10.0.0.254"), m24), RangeCheck::Send);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.7"), ip("10.0.0.7"), m24), RangeCheck::Send);
    EXPECT_EQ(CheckAutoCfgRange(0, 0, m24), RangeCheck::Clear);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.0"), ip("10.0.0.20"), m24), RangeCheck::HostPartZero);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.1"), ip("10.0.0.255"), m24), RangeCheck::EndBroadcast);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.0"), ip("10.0.0.255"), m24),
              RangeCheck::HostPartZeroAndEndBroadcast);
    // Unsigned: 192.x is above 10.x, not a negative number below it.
    EXPECT_EQ(CheckAutoCfgRange(ip("192.168.0.1"), ip("10.0.0.1"), m24), RangeCheck::EndBelowBegin);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.1"), ip("192.168.0.1"), m24), RangeCheck::Send);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.0.0.5"), 0, m24), RangeCheck::EndBelowBegin);
    // A /16 network: x.y.1.0 is a host, x.y.255.255 the broadcast.
    EXPECT_EQ(CheckAutoCfgRange(ip("10.1.1.0"), ip("10.1.255.254"), ip("255.255.0.0")), RangeCheck::Send);
    EXPECT_EQ(CheckAutoCfgRange(ip("10.1.0.0"), ip("10.1.255.255"), ip("255.255.0.0")),
              RangeCheck::HostPartZeroAndEndBroadcast);
}

TEST_F(EthConfigRulesTest, ProbeTimeoutIsLimitedUnsignedAndNeverRefused) {
    EXPECT_EQ(LimitProbeTimeout(0), 0u);
    EXPECT_EQ(LimitProbeTimeout(100), 100u);
    EXPECT_EQ(LimitProbeTimeout(65536), 65536u);
    EXPECT_EQ(LimitProbeTimeout(65537), 65536u);
    EXPECT_EQ(LimitProbeTimeout(70000), 65536u);
    EXPECT_EQ(LimitProbeTimeout(-1), 65536u);
    EXPECT_EQ(LimitProbeTimeout(INT32_MIN), 65536u);
    EXPECT_EQ(LimitProbeTimeout(INT32_MAX), 65536u);
}

TEST_F(EthConfigRulesTest, TimeoutFieldReadsSignedNumbersAndNothingElse) {
    EXPECT_EQ(ReadIntegerText(u"70000"), 70000);
    EXPECT_EQ(ReadIntegerText(u"-5"), -5);
    EXPECT_EQ(ReadIntegerText(u"+7"), 7);
    EXPECT_EQ(ReadIntegerText(u""), 0);
    EXPECT_EQ(ReadIntegerText(u"-"), 0);
    EXPECT_EQ(ReadIntegerText(u"12a"), 0);
    EXPECT_EQ(ReadIntegerText(u" 12"), 0);
    // Beyond the int range: saturated, so the limit still makes 65536 of it.
    EXPECT_EQ(LimitProbeTimeout(ReadIntegerText(u"99999999999999999999")), 65536u);
    EXPECT_EQ(LimitProbeTimeout(ReadIntegerText(u"-99999999999999999999")), 65536u);
    EXPECT_EQ(ReadIntegerText(u"4294967396"), INT32_MAX);
}

TEST_F(EthConfigRulesTest, MessagesCarryTheErrorCodes) {
    EXPECT_EQ(ErrorCodeMessage(ids::RangeNotSet, 141), u"The IP range could not be set!\nErrorcode: 141");
    EXPECT_EQ(ErrorCodeMessage(ids::PersistentIpNotDeleted, -3),
              u"The persistent IP could not be deleted!\nErrorcode: -3");
    EXPECT_EQ(FailedModificationsMessage(0, 0), u"");
    EXPECT_EQ(FailedModificationsMessage(125, 0),
              u"The following modifications could not be made:\n\n"
              u"- Setting of the persistent IP address or subnetmask  (Errorcode 125)\n");
    EXPECT_EQ(FailedModificationsMessage(0, -1),
              u"The following modifications could not be made:\n\n"
              u"- Setting of the automatic configuration range or the probe timeout  (Errorcode -1)\n");
    EXPECT_EQ(FailedModificationsMessage(3, 141),
              u"The following modifications could not be made:\n\n"
              u"- Setting of the persistent IP address or subnetmask  (Errorcode 3)\n"
              u"- Setting of the automatic configuration range or the probe timeout  (Errorcode 141)\n");
}

} // namespace
