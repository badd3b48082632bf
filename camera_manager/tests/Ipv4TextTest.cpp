#include "camera_manager/core/rules/Ipv4Text.h"

#include <gtest/gtest.h>

TEST(Ipv4Text, OnlyFourDecimalNumbersUpTo255AreAddresses) {
    EXPECT_EQ(ParseIpv4("192.168.1.20"), 0xC0A80114u);
    EXPECT_EQ(ParseIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    for (const char* text : {"", "Transfer failed", "1.2.3", "1.2.3.256", " 1.2.3.4", "1.2.3.4 ", "1.2.3.4.5",
                             "0x1.2.3.4", "-1.2.3.4", "1..2.3", "1.2.3.4\n"})
        EXPECT_FALSE(ParseIpv4(text).has_value()) << text;
    EXPECT_FALSE(ParseIpv4(std::u16string_view(u"1.2.3.\u0664")).has_value());
    EXPECT_EQ(ParseIpv4(std::u16string_view(u"10.0.0.1")), 0x0A000001u);
}

TEST(Ipv4Text, FormatsWhatItParses) {
    for (uint32_t a : {0u, 1u, 0x0A000001u, 0xC0A80114u, 0xFFFFFFFFu})
        EXPECT_EQ(ParseIpv4(FormatIpv4(a)), a);
    EXPECT_EQ(FormatIpv4(0xC0A80114u), "192.168.1.20");
}
