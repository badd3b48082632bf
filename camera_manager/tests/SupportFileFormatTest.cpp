#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileContent.h"
#include "camera_manager/diagnostics/records/SupportText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::u16string randomUnits(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::u16string units;
    for (size_t i = 0; i < n; ++i)
        units += char16_t(random() & 0xFFFF);
    return units;
}

std::string ascii(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += char(c);
    return out;
}

TEST(SupportFileFormat, ScrambledTextsOfEveryLengthComeBackThroughTheStoredLines) {
    for (size_t n : {0, 1, 127, 128, 129, 300}) {
        const std::u16string original = randomUnits(n, unsigned(n) + 7);
        std::u16string units = original;
        ScrambleSupportText(units);
        const std::string stored = StoreSupportUnits(units);
        std::u16string read = ParseSupportUnits(stored);
        UnscrambleSupportText(read);
        EXPECT_EQ(read, original) << n << " units";
    }
}

TEST(SupportFileFormat, StoredFileHoldsOneUnsignedNumberPerCrLfLine) {
    std::u16string units = randomUnits(300, 1);
    units[5] = 0;
    units[6] = 0xFFFF;
    const std::string stored = StoreSupportUnits(units);
    // Only lines of digits, each ending in CR LF.
    bool digitsOnly = true;
    size_t digits = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] >= '0' && stored[i] <= '9')
            ++digits;
        else if (stored[i] == '\r' && digits > 0 && i + 1 < stored.size() && stored[i + 1] == '\n')
            digits = 0, ++i;
        else
            digitsOnly = false;
    }
    EXPECT_TRUE(digitsOnly && digits == 0);
    size_t count = 0;
    for (char c : stored)
        count += c == '\n';
    EXPECT_EQ(count, 300u);
    EXPECT_EQ(StoreSupportUnits(std::u16string{0, 0xFFFF, 7}), "0\r\n65535\r\n7\r\n");
}

TEST(SupportFileFormat, KeyRestartsEvery128UnitsAndWrapsAround) {
    uint16_t table[128];
    BuildSupportFileKey(table);
    EXPECT_EQ(GetSupportFileKeyLength(table), 128u);
    std::u16string units(129, u'A');
    ScrambleSupportText(units);
    EXPECT_EQ(units[0], units[128]);
    EXPECT_NE(units[0], units[1]);
    // x = unit XOR key: 65504 is stored as 0, 65535 as 31, and both read back.
    std::u16string wrap = {char16_t(65504 ^ table[0]), char16_t(65535 ^ table[1])};
    ScrambleSupportText(wrap);
    EXPECT_EQ(wrap, (std::u16string{0, 31}));
    UnscrambleSupportText(wrap);
    EXPECT_EQ(wrap, (std::u16string{char16_t(65504 ^ table[0]), char16_t(65535 ^ table[1])}));
}

TEST(SupportFileFormat, ReaderTakesOneUnitPerLineAndZeroForNonNumbers) {
    EXPECT_EQ(ParseSupportUnits(""), u"");
    EXPECT_EQ(ParseSupportUnits("12\r\n34\n"), (std::u16string{12, 34}));
    EXPECT_EQ(ParseSupportUnits("abc\r\n 7x\r\n-1\r\n"), (std::u16string{0, 7, 0xFFFF}));
    // A last line without its line end still counts once; nothing is added at the end.
    EXPECT_EQ(ParseSupportUnits("5\r\n6"), (std::u16string{5, 6}));
    // A long line is read in pieces of nine characters, as a 10-character buffer does.
    EXPECT_EQ(ParseSupportUnits("1234567891\n"), (std::u16string{uint16_t(123456789u), 1}));
}

TEST(SupportText, EntriesAreOneLineEachAndNumbersPrintSigned) {
    SupportText t;
    t.AppendSection(u"S");
    t.AppendTextEntry(u"K", u"a\r\nb");
    t.AppendNumberEntry(u"N", 0x80000000u);
    t.AppendNumberEntry(u"M", 65535);
    t.AppendBlankLine();
    EXPECT_EQ(t.Units(), u"[S]\nK=a  b\nN=-2147483648\nM=65535\n\n");
}

TEST(SupportFileLayout, TextWithoutCamerasEndsWithTheUsb30Header) {
    SupportFileContent content;
    content.programVersion = u"1.0.0.0";
    content.drivers.fill(u"Not found");
    content.system = {7601, 6, 1, 2, 15, 4, 9, u"Service Pack 1"};
    content.controllers[2] = {u"Root"};
    const std::string text = ascii(BuildSupportText(content));
    std::string drivers;
    for (const char16_t* key : supportDriverKeys)
        drivers += ascii(key) + "=Not found\n";
    EXPECT_EQ(text, "[Camera Manager]\nVersion=1.0.0.0\n\n"
                    "[Number of cameras]\nUSB=0\nETH=0\n\n"
                    "[Installed drivers]\n" +
                        drivers +
                        "\n[System information]\ndwBuildNumber=7601\ndwMajorVersion=6\ndwMinorVersion=1\n"
                        "dwPlatformId=2\nActiveProcessorMask=15\nNumberOfProcessors=4\n"
                        "ProcessorArchitecture=9\nCSDVersion=Service Pack 1\n\n"
                        "[Network adapters]\n"
                        "[USB hostcontrollers]\nUSB 1.0=0\nUSB 1.1=0\nUSB 2.0=1\nUSB 3.0=0\n\n"
                        "[USB 1.0]\n\n[USB 1.1]\n\n[USB 2.0]\n0=Root\n\n[USB 3.0]\n");
}

TEST(SupportFileLayout, CameraSectionsCarryPathAndSignedComportOffset) {
    SupportFileContent content;
    content.hubLabel = u"Hub";
    content.controllerLabel = u"Controller";
    content.adapters.emplace();
    content.adapters->push_back(
        {u"eth0", u"02-00-00-00-00-01", u"10.0.0.1", u"255.0.0.0", 1, u"Unknown", u"Unknown"});
    SupportCamera usb;
    usb.hubs = {u"Root hub (Port 2)"};
    usb.controller = u"Host";
    content.usbCameras.push_back(usb);
    SupportCamera eth;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&eth.entry);
    bytes[664] = 0xFE; // DeviceComportOffset -2
    bytes[665] = 0xFF;
    content.ethCameras.push_back(eth);
    const std::string text = ascii(BuildSupportText(content));
    EXPECT_NE(
        text.find("[USB - 0]\nDeviceId=0\nDeviceCameraId=0\nDeviceModel=\nDeviceSerNo=\nDeviceSensorId=0\n"
                  "DeviceUsed=0\n\n1. Hub"),
        std::string::npos);
    EXPECT_NE(text.find("\n1. Hub=Root hub (Port 2)\n2. Controller=Host\n\nCamInfo_Type=0\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nDeviceComportOffset=-2\n"), std::string::npos);
    EXPECT_NE(text.find("CamInfo_LogicBoard=0\nCamInfo_PowerBoard=0\n"), std::string::npos);
    EXPECT_NE(text.find("DebugReservedDriver_13=0\n\n[Installed drivers]"), std::string::npos);
    EXPECT_NE(text.find("[Network adapters]\nNumber=1\n\n[Adapter - 0]\nName=eth0\n"), std::string::npos);
}

} // namespace
