#include "camera_manager/core/rules/CameraInfoRules.h"

#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace CameraInfoRules;

class CameraInfoRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramResourceStrings(managerStrings, managerStringCount);
        AfxSetResourceHandle(nullptr);
    }
};

TEST(CameraIdField, AcceptsDecimalNumbersFromOneTo254) {
    EXPECT_EQ(ParseCameraId(u"1").id, 1);
    EXPECT_EQ(ParseCameraId(u"254").status, CameraIdStatus::Valid);
    EXPECT_EQ(ParseCameraId(u"254").id, 254);
    EXPECT_EQ(ParseCameraId(u"017").id, 17);
    EXPECT_EQ(ParseCameraId(u"000254").id, 254);
}

TEST(CameraIdField, RefusesNumbersOutsideTheRangeAndAnythingButDigits) {
    for (const char16_t* text :
         {u"0", u"255", u"000", u"999999", u"99999999999999999999999", u"12a", u" 12", u"12 ", u"-5", u"+5",
          u"1.5", u"0x10", u"\uff11\uff12" /* full-width digits */}) {
        const CameraIdInput input = ParseCameraId(text);
        EXPECT_EQ(input.status, CameraIdStatus::Invalid)
            << std::string(text, text + std::char_traits<char16_t>::length(text));
        EXPECT_EQ(CameraIdRefusal(input.status), 102u);
    }
    EXPECT_EQ(ParseCameraId(u"").status, CameraIdStatus::Empty);
    EXPECT_EQ(CameraIdRefusal(CameraIdStatus::Empty), 276u);
}

TEST(EepromText, EveryByteFromOneTo255ReadsAndWritesBackUnchanged) {
    // Four EEPROM images of 64 bytes cover 1..255 (the last one shorter, ending in zeros).
    for (int first = 1; first <= 255; first += EepromBytes) {
        char image[EepromBytes] = {};
        for (int i = 0; i < EepromBytes && first + i <= 255; ++i)
            image[i] = char(first + i);
        const std::u16string text = EepromTextFromBytes(image);
        EepromBuffer back;
        ASSERT_TRUE(EepromBytesFromText(text, back)) << "from byte " << first;
        EXPECT_EQ(std::memcmp(back.data(), image, EepromBytes), 0) << "from byte " << first;
        EXPECT_EQ(back[EepromBytes], 0);
    }
}

TEST(EepromText, ReadsWindows1252IncludingItsUndefinedBytes) {
    const char image[EepromBytes] = "\x80 caf\xe9 \x81\x8d\x8f\x90\x9d \x9f";
    EXPECT_EQ(EepromTextFromBytes(image), u"\u20ac caf\u00e9 \u0081\u008d\u008f\u0090\u009d \u0178");
}

TEST(EepromText, EndsAtTheFirstZeroOrAfter64BytesWithoutOne) {
    char image[EepromBytes + 8];
    std::memset(image, 'x', sizeof image); // bytes past the EEPROM must never be read as text
    EXPECT_EQ(EepromTextFromBytes(image), std::u16string(EepromBytes, u'x'));
    image[5] = 0;
    EXPECT_EQ(EepromTextFromBytes(image), u"xxxxx");
    std::memset(image, 0, sizeof image);
    EXPECT_EQ(EepromTextFromBytes(image), u"");
}

TEST(EepromText, WritesZeroFilledBytesOfUpTo64Characters) {
    EepromBuffer bytes;
    bytes.fill('#');
    ASSERT_TRUE(EepromBytesFromText(u"Line 3 \u20ac", bytes));
    EXPECT_EQ(std::string(bytes.data()), "Line 3 \x80");
    for (size_t i = 8; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0) << i;

    ASSERT_TRUE(EepromBytesFromText(std::u16string(EepromBytes, u'\u00e9'), bytes));
    EXPECT_EQ(std::string(bytes.data()), std::string(EepromBytes, '\xe9'));
    ASSERT_TRUE(EepromBytesFromText(u"", bytes));
    EXPECT_EQ(bytes, EepromBuffer{});
}

TEST(EepromText, RefusesTextsThatWouldReachTheCameraChanged) {
    EepromBuffer bytes;
    // Too long: cutting it would store another text.
    EXPECT_FALSE(EepromBytesFromText(std::u16string(EepromBytes + 1, u'a'), bytes));
    // Characters without a byte: substituting '?' would store another text.
    EXPECT_FALSE(EepromBytesFromText(u"camera \u65e5\u672c", bytes));
    EXPECT_FALSE(EepromBytesFromText(u"\u0100", bytes));
    EXPECT_FALSE(EepromBytesFromText(u"smile \xd83d\xde00", bytes)); // a pair of surrogates
    // A zero would end the text early.
    EXPECT_FALSE(EepromBytesFromText(std::u16string(u"ab\0cd", 5), bytes));
    EXPECT_EQ(bytes, EepromBuffer{}) << "a refused text leaves nothing to write";
    EXPECT_NE(UnconvertibleTextCode(), 0);
}

TEST(Confirmation, ChangesOnlyWhatDiffersFromTheStart) {
    EXPECT_FALSE(CompareWithInitial(7, u"abc", 7, u"abc").any());
    const Changes id = CompareWithInitial(7, u"abc", 8, u"abc");
    EXPECT_TRUE(id.cameraId);
    EXPECT_FALSE(id.eeprom);
    const Changes text = CompareWithInitial(7, u"abc", 7, u"abC");
    EXPECT_FALSE(text.cameraId);
    EXPECT_TRUE(text.eeprom);
    EXPECT_TRUE(CompareWithInitial(7, u"", 7, u" ").eeprom);
}

TEST(CameraInformationRecord, TextsEndAtTheirFieldsEvenWithoutATerminator) {
    uint8_t record[64];
    std::memset(record, 'Z', sizeof record);
    std::memcpy(record + 12, "Maker", 6);
    const CameraInfoTexts full = TextsFromCameraInfo(record);
    EXPECT_EQ(full.manufacturer, u"Maker");
    EXPECT_EQ(full.version, std::u16string(10, u'Z'));
    EXPECT_EQ(full.qcDate, std::u16string(12, u'Z'));

    std::memset(record, 0, sizeof record);
    std::memcpy(record + 32, "V1.00", 5);
    std::memcpy(record + 42, "2026-01-\xb5", 9);
    const CameraInfoTexts texts = TextsFromCameraInfo(record);
    EXPECT_EQ(texts.manufacturer, u"");
    EXPECT_EQ(texts.version, u"V1.00");
    EXPECT_EQ(texts.qcDate, u"2026-01-\u00b5");
}

TEST(CameraInformationRecord, BoardRevisionIsTheUnsigned16BitValueAt14) {
    uint8_t record[34] = {};
    record[12] = 0xFF;
    record[14] = 0x34;
    record[15] = 0xF2;
    record[16] = 0xFF;
    EXPECT_EQ(BoardRevision(record), 0xF234u);
}

TEST_F(CameraInfoRulesTest, MessagesCarryTheirTextsAndCodes) {
    EXPECT_EQ(DeviceIdCaption(1001), u"Device ID: 1001");
    EXPECT_EQ(ErrorText(275, 184), u"The camera cannot be opened.\n\nErrorcode 184");
    EXPECT_EQ(ErrorText(278, -1),
              u"The information could not be written into the user EEPROM.\n\nErrorcode -1");
    EXPECT_EQ(
        EepromQuestion(u"old one", u""),
        u"Do you really want to change the content of the EEPROM? Please note that the EEPROM can contain "
        u"important information!\n\nOld:  old one\n\nNew:  ");
}

TEST(CameraInformationLabels, GigECamerasShowTheEthRevision) {
    EXPECT_FALSE(HasEthRevision(1));
    EXPECT_FALSE(HasEthRevision(999));
    EXPECT_TRUE(HasEthRevision(1000));
    EXPECT_TRUE(HasEthRevision(1001));
}

} // namespace
