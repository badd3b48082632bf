// Decisions of the main dialog's commands: sort clicks, the upload's expected duration and path
// text, the language-group check and the driver check at start.
#include "camera_manager/core/rules/CommandRules.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <filesystem>

namespace {

using namespace CommandRules;

TEST(CommandRulesTest, EveryHeaderClickFlipsTheDirectionAndTakesTheColumn) {
    SortSettings sort; // model column, ascending
    sort = ClickSortColumn(sort, 4);
    EXPECT_EQ(sort.column, 4);
    EXPECT_FALSE(sort.ascending);
    sort = ClickSortColumn(sort, 4);
    EXPECT_TRUE(sort.ascending);
    // Another column flips too: it does not start ascending.
    sort = ClickSortColumn(sort, 2);
    EXPECT_EQ(sort.column, 2);
    EXPECT_FALSE(sort.ascending);
}

TEST(CommandRulesTest, ExpectedUploadSecondsFollowTheFileSizeAndNeverReachZero) {
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-127, 569858), 15.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-124, 2 * 569858), 30.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-128, 388684), 14.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(16, 3 * 388684), 42.0);
    // Not whole seconds: the fraction is kept, not cut to an integer.
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-128, 388684 + 388684 / 2), 21.0);
    // Files under one second of upload, an empty file: at least one second.
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-127, 37990), 1.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(16, 27763), 1.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-127, 0), 1.0);
    // A size that could not be read: the driver's own load time.
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(-127, std::nullopt), 25.0);
    EXPECT_DOUBLE_EQ(FirmwareExpectedSeconds(16, std::nullopt), 25.0);
}

TEST(CommandRulesTest, FirmwarePathIsConvertedWholeOrRefused) {
    std::string bytes;
    ASSERT_TRUE(FirmwarePathBytes(u"/home/user/SE_3.10.fw", bytes));
    EXPECT_EQ(bytes, "/home/user/SE_3.10.fw");
    // Western letters, the euro sign and the five bytes Windows leaves undefined all have a byte.
    ASSERT_TRUE(FirmwarePathBytes(u"/tmp/Kamera \u00e9t\u00e9 \u20ac\u0081\u009d.fw", bytes));
    EXPECT_EQ(bytes, "/tmp/Kamera \xe9t\xe9 \x80\x81\x9d.fw");
    // A long path is never cut short.
    const std::u16string longPath = u"/" + std::u16string(600, u'a') + u".fw";
    ASSERT_TRUE(FirmwarePathBytes(longPath, bytes));
    EXPECT_EQ(bytes.size(), longPath.size());
    // Characters without a byte: refused rather than replaced.
    EXPECT_FALSE(FirmwarePathBytes(u"/tmp/\u0142\u00f3d\u017a.fw", bytes));
    EXPECT_FALSE(FirmwarePathBytes(u"/tmp/\U0001F4F7.fw", bytes));
    EXPECT_FALSE(FirmwarePathBytes(std::u16string(u"/tmp/a\0b.fw", 11), bytes));
}

TEST(CommandRulesTest, DriverCheckDecidesMessagesAndTheNetworkServiceDialog) {
    const DriverCheck none{}, serviceDialog{0, true};
    for (bool s : {false, true})
        for (bool f : {false, true}) {
            EXPECT_EQ(DecideDriverCheck(false, false, s, f), (DriverCheck{290, false}));
            EXPECT_EQ(DecideDriverCheck(false, true, s, f), (DriverCheck{291, false}));
            EXPECT_EQ(DecideDriverCheck(true, false, s, f), (DriverCheck{s ? 293u : 0u, false}));
        }
    EXPECT_EQ(DecideDriverCheck(true, true, true, true), serviceDialog);
    EXPECT_EQ(DecideDriverCheck(true, true, true, false), none);
    EXPECT_EQ(DecideDriverCheck(true, true, false, true), none);
    EXPECT_EQ(DecideDriverCheck(true, true, false, false), none);
}

class CommandRegistryTest : public cmtest::ManagerTest {
protected:
    static void setString(HKEY root, const std::u16string& path, const char16_t* name,
                          const std::u16string& v) {
        cmtest::setRegistryString(root, path, name, v);
    }
    static void setDword(const std::u16string& path, const char16_t* name, DWORD value) {
        cmtest::setRegistryDword(HKEY_CURRENT_USER, path, name, value);
    }
    const std::u16string groups = u"SYSTEM\\CurrentControlSet\\Control\\NLs\\Language Groups";
};

TEST_F(CommandRegistryTest, EastAsianGroupsNeedAllThreeValuesSetToOne) {
    EXPECT_FALSE(NeedsLanguageGroupCheck(9)); // Hungarian
    EXPECT_TRUE(NeedsLanguageGroupCheck(10));
    EXPECT_TRUE(NeedsLanguageGroupCheck(12));
    EXPECT_FALSE(NeedsLanguageGroupCheck(0));

    EXPECT_FALSE(EastAsianLanguageGroupsInstalled()); // no key
    setString(HKEY_LOCAL_MACHINE, groups, u"7", u"1");
    setString(HKEY_LOCAL_MACHINE, groups, u"8", u"1");
    EXPECT_FALSE(EastAsianLanguageGroupsInstalled()); // "9" missing
    setString(HKEY_LOCAL_MACHINE, groups, u"9", u"1");
    EXPECT_TRUE(EastAsianLanguageGroupsInstalled());
    setString(HKEY_LOCAL_MACHINE, groups, u"8", u"0");
    EXPECT_FALSE(EastAsianLanguageGroupsInstalled());
    setString(HKEY_LOCAL_MACHINE, groups, u"8", u"11");
    EXPECT_FALSE(EastAsianLanguageGroupsInstalled());
}

TEST_F(CommandRegistryTest, DriverCheckReadsTheBuildsDriverFilesSetupAndFirstStart) {
    // The build's Windows folder carries both driver files with a version.
    DriverCheckInputs in = ReadDriverCheckInputs();
    EXPECT_TRUE(in.usb);
    EXPECT_TRUE(in.eth);
    EXPECT_FALSE(in.setupEth);
    EXPECT_FALSE(in.firstStart);

    setDword(u"Software\\Marvek\\Zeko\\Setup", u"ETH", 1);
    setDword(u"Software\\Marvek\\Zeko\\Camera Manager\\FirstStart", u"x", 1);
    in = ReadDriverCheckInputs();
    EXPECT_TRUE(in.setupEth);
    EXPECT_TRUE(in.firstStart);
    // The first start is over: the key is gone.
    EXPECT_FALSE(ReadDriverCheckInputs().firstStart);
    setDword(u"Software\\Marvek\\Zeko\\Setup", u"ETH", 2);
    EXPECT_FALSE(ReadDriverCheckInputs().setupEth);

    // A Windows folder of our own: a driver file without a version does not count.
    useWindowsFolder("zeko_api_64");
    const std::string drivers = dir_ + "/windows/system32/drivers";
    std::filesystem::create_directories(drivers);
    std::filesystem::copy_file(cmtest::libDir() + "/../windows/system32/drivers/zeko_eth_64.sys",
                               drivers + "/zeko_eth_64.sys");
    FILE* plain = fopen((drivers + "/zeko_usb_64.sys").c_str(), "w");
    ASSERT_NE(plain, nullptr);
    fputs("ZEKO_FILE_VERSION=3.31.0.0", plain);
    fclose(plain);
    in = ReadDriverCheckInputs();
    EXPECT_FALSE(in.usb);
    EXPECT_TRUE(in.eth);
}

} // namespace
