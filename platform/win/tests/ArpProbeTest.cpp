#include "platform/win/ArpProbe.h"

#include <gtest/gtest.h>

namespace {

TEST(ArpProbe, RequestAsksForTheTargetFromTheSender) {
    const std::array<uint8_t, 6> mac{0x02, 0x5A, 0x4B, 0x00, 0x00, 0x01};
    const auto p = win::BuildArpRequest(mac, 0xC0A80A01, 0xC0A80A15);
    const std::array<uint8_t, 28> expected{0x00, 0x01, 0x08, 0x00, 6,    4,    0x00, 0x01, 0x02, 0x5A,
                                           0x4B, 0x00, 0x00, 0x01, 0xC0, 0xA8, 0x0A, 0x01, 0,    0,
                                           0,    0,    0,    0,    0xC0, 0xA8, 0x0A, 0x15};
    EXPECT_EQ(p, expected);
}

TEST(ArpProbe, OnlyAReplyFromTheAskedAddressCounts) {
    const std::array<uint8_t, 6> mac{2, 0, 0, 0, 0, 9};
    // A reply is a request with operation 2 whose sender is the address asked for.
    auto reply = win::BuildArpRequest(mac, 0x0A000005, 0x0A000001);
    reply[7] = 2;
    EXPECT_TRUE(win::IsArpReplyFrom(reply.data(), reply.size(), 0x0A000005));
    EXPECT_FALSE(win::IsArpReplyFrom(reply.data(), reply.size(), 0x0A000006));
    EXPECT_FALSE(win::IsArpReplyFrom(reply.data(), 27, 0x0A000005));
    auto request = win::BuildArpRequest(mac, 0x0A000005, 0x0A000001);
    EXPECT_FALSE(win::IsArpReplyFrom(request.data(), request.size(), 0x0A000005));
    reply[2] = 0x86; // not IPv4
    EXPECT_FALSE(win::IsArpReplyFrom(reply.data(), reply.size(), 0x0A000005));
}

TEST(ArpProbe, TheInterfaceOfTheTargetNetworkIsChosen) {
    std::vector<win::ArpInterface> interfaces(2);
    interfaces[0].name = "eth0", interfaces[0].address = 0xC0A80A01, interfaces[0].mask = 0xFFFFFF00;
    interfaces[1].name = "eth1", interfaces[1].address = 0x0A000001, interfaces[1].mask = 0xFF000000;
    EXPECT_EQ(win::InterfaceForAddress(interfaces, 0xC0A80AFE)->name, "eth0");
    EXPECT_EQ(win::InterfaceForAddress(interfaces, 0x0AFF0001)->name, "eth1");
    EXPECT_FALSE(win::InterfaceForAddress(interfaces, 0xC0A80B01).has_value());
}

TEST(ArpProbe, TheRealProberNeverCallsAnUnknownAnswerFree) {
    win::RawSocketArpProber prober(50);
    // 192.0.0.170 is reserved and not a network of any host.
    EXPECT_EQ(prober.Probe(0xC00000AA), win::ArpAnswer::Unavailable);
    EXPECT_NE(prober.Reason(), "");
    // This host's own addresses are in use without asking the network.
    for (const win::ArpInterface& i : win::ArpInterfaces())
        EXPECT_EQ(prober.Probe(i.address), win::ArpAnswer::Reply) << i.name;
}

TEST(ArpProbe, TheProcessProberCanBeReplacedAndRestored) {
    auto fixed = std::make_shared<win::FixedArpProber>(std::set<uint32_t>{0x0A000001});
    win::SetArpProber(fixed);
    EXPECT_EQ(win::CurrentArpProber(), fixed);
    EXPECT_EQ(win::CurrentArpProber()->Probe(0x0A000001), win::ArpAnswer::Reply);
    EXPECT_EQ(win::CurrentArpProber()->Probe(0x0A000002), win::ArpAnswer::NoReply);
    EXPECT_EQ(fixed->probed, (std::vector<uint32_t>{0x0A000001, 0x0A000002}));
    win::SetArpProber(nullptr);
    EXPECT_NE(dynamic_cast<win::RawSocketArpProber*>(win::CurrentArpProber().get()), nullptr);
    win::FixedArpProber refused({}, false);
    EXPECT_EQ(refused.Probe(0x0A000002), win::ArpAnswer::Unavailable);
    EXPECT_NE(refused.Reason(), "");
}

} // namespace
