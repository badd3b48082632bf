#include "platform/common/Cp1252.h"
#include "platform/common/Utf.h"

#include <gtest/gtest.h>

namespace {

const std::string fffd = "\xEF\xBF\xBD";

TEST(TextCodec, LoneSurrogatesAreReplacedInEveryWidthAndPairsAreJoined) {
    EXPECT_EQ(Utf::toUtf8(u"a\xD800"
                          u"b"),
              "a" + fffd + "b");
    EXPECT_EQ(Utf::toUtf8(u"\xDC00"), fffd);
    EXPECT_EQ(Utf::toUtf8(std::u16string{u'x', char16_t(0xD800)}), "x" + fffd); // high at the end
    EXPECT_EQ(Utf::toUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf::toUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf::toUtf8(std::wstring{L'a', wchar_t(0xDFFF), wchar_t(0x1F600)}),
              "a" + fffd + "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf::toUtf8(std::wstring{wchar_t(0x110000)}), fffd);
    // A caller that must refuse such text later asks for a byte that is never well-formed.
    EXPECT_EQ(Utf::toUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}, "\xFF"), "a\xFF"
                                                                              "b");
}

TEST(TextCodec, IllFormedUtf8IsOneReplacementLenientlyAndRefusedStrictly) {
    const struct {
        std::string bytes;
        std::u16string lenient;
    } cases[] = {
        {"a\x80z", u"a\uFFFDz"},                                     // a continuation byte alone
        {"\xE2\x82", u"\uFFFD"},                                     // cut short
        {"\xE2\x82x", u"\uFFFDx"},                                   // cut by an ASCII byte
        {"\xC0\xAF", u"\uFFFD"},                                     // overlong
        {"\xED\xA0\x80", u"\uFFFD"},                                 // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},                             // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"}, // no such lead byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf::toUtf16(c.bytes), c.lenient) << c.bytes;
        std::wstring wide;
        EXPECT_FALSE(Utf::toWide(c.bytes, wide)) << c.bytes;
        size_t at = 0;
        while (at < c.bytes.size() && Utf::next(c.bytes, at) != Utf::invalid) {
        }
        EXPECT_LT(at, c.bytes.size()) << c.bytes;
    }
}

TEST(TextCodec, EveryScalarValueRoundTrips) {
    for (char32_t c = 1; c <= 0x10FFFF; c += (c < 0x3000 ? 1 : 97)) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        std::string bytes;
        Utf::appendUtf8(bytes, c);
        const std::u16string units = Utf::toUtf16(bytes);
        ASSERT_EQ(Utf::toUtf8(units), bytes) << std::hex << uint32_t(c);
        std::wstring wide;
        ASSERT_TRUE(Utf::toWide(bytes, wide));
        ASSERT_EQ(wide, std::wstring(1, wchar_t(c)));
        size_t at = 0;
        ASSERT_EQ(Utf::next(bytes, at), c);
        ASSERT_EQ(at, bytes.size());
    }
}

TEST(TextCodec, Cp1252HasACharacterForEveryByteAndTheUndefinedFiveAreC1Controls) {
    const unsigned char undefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (unsigned char b : undefined)
        EXPECT_EQ(Cp1252::toUnicode(b), char32_t(b));
    EXPECT_EQ(Cp1252::toUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252::toUnicode(0x9F), U'\u0178');
    EXPECT_EQ(Cp1252::toUnicode(0xE9), U'\u00E9');
    std::string all;
    for (int b = 1; b < 256; ++b) {
        EXPECT_EQ(Cp1252::fromUnicode(Cp1252::toUnicode(static_cast<unsigned char>(b))), b);
        all += static_cast<char>(b);
    }
    std::string back;
    ASSERT_TRUE(Cp1252::fromUtf8(Cp1252::toUtf8(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(Cp1252::fromUnicode(U'\u0100'), -1);
    EXPECT_FALSE(Cp1252::fromUtf8("\xED\xA0\x80", back));
}

} // namespace
