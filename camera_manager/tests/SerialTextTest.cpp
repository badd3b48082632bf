#include "camera_manager/diagnostics/records/SerialText.h"
#include "camera_manager/diagnostics/records/ReceiveDecoder.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

std::string asString(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Runs a test body under a locale and puts the previous one back.
class Locale {
public:
    explicit Locale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, name);
    }
    ~Locale() { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

// The terminal's text must not depend on the locale the program was started in.
const char* const locales[] = {"C", "C.UTF-8", "en_US.UTF-8"};

} // namespace

TEST(SerialText, CameraPortNamesFollowTheSignedOffset) {
    EXPECT_EQ(serial::CameraComPort(0), 100);
    EXPECT_EQ(serial::CameraComPort(5), 105);
    EXPECT_EQ(serial::CameraComPort(-99), 1);
    EXPECT_EQ(serial::ComPortName(105), "\\\\.\\COM105");
    EXPECT_EQ(serial::LineSettingsText("115200"), "baud=115200 parity=N data=8 stop=1");
}

TEST(SerialText, LineEndsAreAppendedByIndex) {
    EXPECT_EQ(asString(serial::SendBytes("", 0)), "");
    EXPECT_EQ(asString(serial::SendBytes("", 3)), "\r\n");
    EXPECT_EQ(asString(serial::SendBytes("ab", 1)), "ab\r");
    EXPECT_EQ(asString(serial::SendBytes("ab", 2)), "ab\n");
}

TEST(SerialText, LongLinesAreCutAt126BytesBeforeTheLineEnd) {
    const auto bytes = serial::SendBytes(std::string(100, 'x') + std::string(40, 'y'), 3);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes[125], 'y');
    EXPECT_EQ(bytes[126], '\r');
    EXPECT_EQ(bytes[127], '\n');
}

TEST(SerialText, MultibyteCharactersAreNeverSplitByTheCut) {
    std::string e, euro;
    for (int i = 0; i < 64; ++i)
        e += "\xc3\xa9"; // é
    for (int i = 0; i < 42; ++i)
        euro += "\xe2\x82\xac"; // €
    // 63 two-byte characters fill 126 bytes; one more does not fit.
    EXPECT_EQ(serial::SendBytes(e, 0).size(), 126u);
    // 'a' then 42 three-byte characters: 1 + 41 * 3 = 124, the 42nd would make 127.
    EXPECT_EQ(serial::SendBytes("a" + euro, 1).size(), 125u);
    // A four-byte character across the limit goes whole or not at all.
    EXPECT_EQ(serial::SendBytes(std::string(124, 'x') + "\xf0\x9f\x98\x80", 0).size(), 124u);
}

TEST(SerialText, NonAsciiTextGoesOutWholeAsUtf8InEveryLocale) {
    const std::string greeting = "Gruesse von B \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac"; // äöü €
    for (const char* name : locales) {
        Locale locale(name);
        EXPECT_EQ(asString(serial::SendBytes(greeting, 2)), greeting + "\n") << name;
    }
}

TEST(SerialText, BlockSizeAndPercent) {
    EXPECT_EQ(serial::TransferBlockSize(7), 128u);  // 38400
    EXPECT_EQ(serial::TransferBlockSize(8), 1024u); // 56000
    EXPECT_EQ(serial::TransferPercent(0, 0), 100);
    EXPECT_EQ(serial::TransferPercent(50, 0), 100); // file grew after its size was taken
    EXPECT_EQ(serial::TransferPercent(128, 1000), 12);
    EXPECT_EQ(serial::TransferPercent(999, 1000), 99);
    EXPECT_EQ(serial::TransferPercent(3ull << 32, 6ull << 32), 50); // beyond 4 GiB
}

TEST(ReceiveDecoder, CharactersSplitAcrossReadsStayWhole) {
    ReceiveDecoder decoder;
    const std::string text = "x\xe2\x82\xac"; // x€
    EXPECT_EQ(decoder.decode(text.data(), 2), u"x");
    EXPECT_EQ(decoder.decode(text.data() + 2, 2), u"\u20ac");
    const std::string face = "\xf0\x9f\x98\x80y"; // U+1F600, one byte at a time
    std::u16string got;
    for (char c : face)
        got += decoder.decode(&c, 1);
    EXPECT_EQ(got, u"\U0001F600y");
}

TEST(ReceiveDecoder, Utf8ArrivesWholeInEveryLocale) {
    const std::string text = "\xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac"; // äöü €
    for (const char* name : locales) {
        Locale locale(name);
        ReceiveDecoder decoder;
        EXPECT_EQ(decoder.decode(text.data(), text.size()), u"\u00e4\u00f6\u00fc \u20ac") << name;
    }
}

TEST(ReceiveDecoder, BadBytesShowAsReplacementAndDecodingGoesOn) {
    ReceiveDecoder decoder;
    EXPECT_EQ(decoder.decode("a\xff"
                             "b",
                             3),
              u"a\ufffdb");
}

TEST(ReceiveDecoder, ZeroByteCutsThePiece) {
    ReceiveDecoder decoder;
    EXPECT_EQ(decoder.decode("ab\0cd", 5), u"ab");
    EXPECT_EQ(decoder.decode("ef", 2), u"ef");
}
