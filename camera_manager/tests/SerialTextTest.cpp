#include "camera_manager/diagnostics/SerialText.h"
#include "camera_manager/diagnostics/ReceiveDecoder.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

std::string asString(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Runs a test body under the C.UTF-8 locale and puts the previous one back.
class Utf8Locale {
public:
    Utf8Locale() : previous_(std::setlocale(LC_ALL, nullptr)) { std::setlocale(LC_ALL, "C.UTF-8"); }
    ~Utf8Locale() { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

} // namespace

TEST(SerialText, CameraPortNamesFollowTheSignedOffset) {
    EXPECT_EQ(serial::CameraComPort(0), 100);
    EXPECT_EQ(serial::CameraComPort(5), 105);
    EXPECT_EQ(serial::CameraComPort(-99), 1);
    EXPECT_EQ(serial::ComPortName(105), "\\\\.\\COM105");
    EXPECT_EQ(serial::LineSettingsText("115200"), "baud=115200 parity=N data=8 stop=1");
}

TEST(SerialText, LineEndsAreAppendedByIndex) {
    EXPECT_EQ(asString(serial::SendBytes(L"", 0)), "");
    EXPECT_EQ(asString(serial::SendBytes(L"", 3)), "\r\n");
    EXPECT_EQ(asString(serial::SendBytes(L"ab", 1)), "ab\r");
    EXPECT_EQ(asString(serial::SendBytes(L"ab", 2)), "ab\n");
}

TEST(SerialText, LongLinesAreCutAt126BytesBeforeTheLineEnd) {
    const auto bytes = serial::SendBytes(std::wstring(100, L'x') + std::wstring(40, L'y'), 3);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes[125], 'y');
    EXPECT_EQ(bytes[126], '\r');
    EXPECT_EQ(bytes[127], '\n');
}

TEST(SerialText, MultibyteCharactersAreNeverSplitByTheCut) {
    Utf8Locale utf8;
    // 63 two-byte characters fill 126 bytes; one more does not fit.
    EXPECT_EQ(serial::SendBytes(std::wstring(64, L'\u00e9'), 0).size(), 126u);
    // 'a' then 42 three-byte characters: 1 + 41 * 3 = 124, the 42nd would make 127.
    EXPECT_EQ(serial::SendBytes(L"a" + std::wstring(42, L'\u20ac'), 1).size(), 125u);
}

TEST(SerialText, UnconvertibleCharacterEndsTheLine) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string keep = previous ? previous : "C";
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(asString(serial::SendBytes(L"ab\u20accd", 2)), "ab\n");
    std::setlocale(LC_ALL, keep.c_str());
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
    Utf8Locale utf8;
    ReceiveDecoder decoder;
    const std::string text = "x\xe2\x82\xac"; // x€
    EXPECT_EQ(decoder.decode(text.data(), 2), L"x");
    EXPECT_EQ(decoder.decode(text.data() + 2, 2), L"\u20ac");
}

TEST(ReceiveDecoder, BadBytesShowAsReplacementAndDecodingGoesOn) {
    Utf8Locale utf8;
    ReceiveDecoder decoder;
    EXPECT_EQ(decoder.decode("a\xff"
                             "b",
                             3),
              L"a\ufffdb");
}

TEST(ReceiveDecoder, ZeroByteCutsThePiece) {
    ReceiveDecoder decoder;
    EXPECT_EQ(decoder.decode("ab\0cd", 5), L"ab");
    EXPECT_EQ(decoder.decode("ef", 2), L"ef");
}
