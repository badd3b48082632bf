#include "platform/common/tests/SameBytes.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using zeko::test::sameBytes;

std::string message(const ::testing::AssertionResult& result) {
    return result.message();
}

TEST(SameBytes, BigContentsFailWithAShortAccount) {
    const std::string expected(16 << 20, 'x');
    EXPECT_TRUE(sameBytes(expected, std::string(expected)));

    // A download appended to the previous one instead of replacing it.
    const auto appended = sameBytes(expected + expected, expected);
    ASSERT_FALSE(appended);
    EXPECT_LT(message(appended).size(), 300u);
    EXPECT_NE(message(appended).find("33554432 bytes"), std::string::npos) << message(appended);
    EXPECT_NE(message(appended).find("offset 16777216"), std::string::npos) << message(appended);

    std::string flipped = expected;
    flipped[10000001] = 'y';
    const auto one = sameBytes(flipped, expected);
    ASSERT_FALSE(one);
    EXPECT_LT(message(one).size(), 300u);
    EXPECT_NE(message(one).find("offset 10000001 (0x79 against 0x78)"), std::string::npos) << message(one);
    // Same size, so only the digests and the offset tell them apart.
    EXPECT_NE(message(one).find("SHA-256 "), std::string::npos);
}

TEST(SameBytes, EmptyAndShortContents) {
    EXPECT_TRUE(sameBytes("", ""));
    EXPECT_NE(message(sameBytes("", "a")).find("offset 0"), std::string::npos);
    EXPECT_NE(message(sameBytes("ab", "a")).find("offset 1"), std::string::npos);
    EXPECT_FALSE(sameBytes(std::string("a\0b", 3), std::string("a\0c", 3)));
}

} // namespace
