#include "camera_manager/core/records/BoundedText.h"

#include <gtest/gtest.h>

namespace {

TEST(BoundedTextTest, EveryMultibyteCharacterConvertsAndComesBack) {
    for (int b = 1; b < 256; ++b) {
        const char16_t c = MultiByteCharToWide(static_cast<unsigned char>(b));
        char back = 0;
        ASSERT_TRUE(WideCharToMultiByte(c, back)) << b;
        EXPECT_EQ(static_cast<unsigned char>(back), b);
    }
    EXPECT_EQ(MultiByteCharToWide(0x80), u'\u20ac');
    EXPECT_EQ(MultiByteCharToWide(0x81), u'\u0081');
    EXPECT_EQ(MultiByteCharToWide(0x9D), u'\u009d');
    EXPECT_EQ(MultiByteCharToWide(0xE9), u'\u00e9');
    bool lossless = true;
    EXPECT_EQ(WideToMultiByte(u"a\u2603b", &lossless), "a?b");
    EXPECT_FALSE(lossless);
}

TEST(BoundedTextTest, CopiesAreCutTerminatedAndZeroFilled) {
    WCHAR field[4];
    for (auto& c : field)
        c = u'#';
    EXPECT_TRUE(SafeCopyWide(field, sizeof field, u"ab"));
    EXPECT_EQ(field[2], 0);
    EXPECT_EQ(field[3], 0);
    EXPECT_FALSE(SafeCopyWide(field, sizeof field, u"abcd"));
    EXPECT_EQ(std::u16string(field), u"abc");
    // At most size/2 - 1 characters, so the terminator always fits.
    EXPECT_FALSE(SafeAnsiToWide(field, sizeof field, "\x80xyz"));
    EXPECT_EQ(std::u16string(field), u"\u20acxy");
    char narrow[3];
    EXPECT_FALSE(SafeWideToAnsi(narrow, sizeof narrow, u"\u00e9\u20acz"));
    EXPECT_EQ(std::string(narrow), "\xe9\x80");
    EXPECT_FALSE(SafeFormatWide(field, sizeof field, "%d.%d", 10, 20));
    EXPECT_EQ(std::u16string(field), u"10.");
    EXPECT_TRUE(SafeFormatAnsi(narrow, sizeof narrow, "%d", 42));
    // A source without a terminator is read no further than its width.
    const char serial[16] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 'A', 'B', 'C', 'D', 'E', 'F'};
    WCHAR wide[16];
    EXPECT_FALSE(SafeAnsiToWideBounded(wide, sizeof wide, serial, sizeof serial));
    EXPECT_EQ(std::u16string(wide), u"1234567890ABCDE");
}

TEST(BoundedTextTest, ComparisonsAndLengths) {
    EXPECT_EQ(CompareWide(u"abc", u"abd"), -1);
    EXPECT_EQ(CompareWide(u"b", u"a"), 1);
    EXPECT_EQ(CompareWide(nullptr, u""), 0);
    EXPECT_EQ(CompareAnsi("\xe9", "a"), 1); // bytes compare unsigned
    EXPECT_EQ(CompareCStrings(u"x", u"xy"), -1);
    EXPECT_EQ(CompareWideNoCase(u"Camera", u"cAMERA"), 0);
    EXPECT_NE(CompareWideNoCase(u"Camera", u"Camero"), 0);
    const WCHAR field[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(WideLength(field, 3), 3u);
    EXPECT_EQ(WideField(field, 3), u"abc");
    EXPECT_EQ(AnsiLength("abc", 2), 2u);
}

} // namespace
