#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using cmtest::ManagerTest;

class StartupTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? value : "");
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        ManagerTest::TearDown();
    }
    static void storeLanguage(const std::u16string& value, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\Language", 0,
                                  nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        std::u16string data = value;
        data.resize(bytes / 2, u'\0');
        RegSetValueExW(key, u"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()), bytes);
        RegCloseKey(key);
    }
    static std::u16string storedLanguage(DWORD* bytes = nullptr) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\Language", 0, KEY_READ,
                          &key))
            return u"(none)";
        WCHAR text[64] = {};
        DWORD size = sizeof text;
        RegQueryValueExW(key, u"Language", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        if (bytes)
            *bytes = size;
        return text;
    }
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(StartupTest, VersionGateAcceptsThreeThirtyOneAndLaterThreeOnly) {
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 4); // the build's Windows folder: 3.31.0.0
    useWindowsFolder("zeko_cm_test_api_340");
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 3);
    useWindowsFolder("zeko_cm_test_api_330");
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 2);
    useWindowsFolder("zeko_cm_test_api_400");
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 1);
    useWindowsFolder("zeko_cm_test_api_nostamp");
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 0);
    std::filesystem::remove(dir_ + "/windows/system32/zeko_api_64.dll");
    EXPECT_EQ(CheckInterfaceLibraryVersion(), 0);
}

TEST_F(StartupTest, VersionVerdictReadsMajorAndMinor) {
    EXPECT_EQ(InterfaceVersionVerdict(false, u"", true), 0);
    EXPECT_EQ(InterfaceVersionVerdict(true, u"3.31.0.0", false), 1); // no program version
    EXPECT_EQ(InterfaceVersionVerdict(true, u"3.31.9.9", true), 4);
    EXPECT_EQ(InterfaceVersionVerdict(true, u"3.30.65535.0", true), 2);
    EXPECT_EQ(InterfaceVersionVerdict(true, u"3.100.0.0", true), 3);
    EXPECT_EQ(InterfaceVersionVerdict(true, u"2.99.0.0", true), 1);
    EXPECT_EQ(InterfaceVersionVerdict(true, u"3", true), 2);
}

TEST_F(StartupTest, ProgramVersionComesFromItsStamp) {
    WCHAR version[20] = {u'x'};
    ASSERT_TRUE(GetProgramVersionString(version, sizeof version));
    EXPECT_EQ(std::u16string(version), u"1.0.0.0");
    WCHAR untouched[20] = {u'x', 0};
    EXPECT_FALSE(GetFileVersionString(u"/nonexistent", untouched, sizeof untouched));
    EXPECT_EQ(std::u16string(untouched), u"x"); // left as it was
    WCHAR library[20];
    ASSERT_TRUE(GetWindowsFileVersionString(u"system32/zeko_api_64.dll", library, sizeof library));
    EXPECT_EQ(std::u16string(library), u"3.31.0.0");
}

TEST_F(StartupTest, SystemLanguageDecidesWhenNoneIsStored) {
    struct Case {
        const char* locale;
        const char16_t* code;
    } cases[] = {{"de_DE.UTF-8", u"de"}, {"de_AT.UTF-8", u"en"}, {"zh_TW.UTF-8", u"zh"},
                 {"zh_CN.UTF-8", u"en"}, {"pt_BR.UTF-8", u"pt"}, {"pt_PT.UTF-8", u"en"},
                 {"hu_HU.UTF-8", u"hu"}, {"sv_SE.UTF-8", u"en"}};
    for (const Case& c : cases) {
        setenv("LANG", c.locale, 1);
        RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\Language");
        WCHAR code[20];
        ASSERT_TRUE(ReadLanguageSetting(code, sizeof code));
        EXPECT_EQ(std::u16string(code), c.code) << c.locale;
        DWORD bytes = 0;
        EXPECT_EQ(storedLanguage(&bytes), c.code);
        EXPECT_EQ(bytes, 40u);
    }
}

TEST_F(StartupTest, StoredLanguageWinsAndAnEmptyOneCountsAsMissing) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    storeLanguage(u"ja", 40);
    WCHAR code[20];
    ASSERT_TRUE(ReadLanguageSetting(code, sizeof code));
    EXPECT_EQ(std::u16string(code), u"ja");
    storeLanguage(u"", 40);
    ASSERT_TRUE(ReadLanguageSetting(code, sizeof code));
    EXPECT_EQ(std::u16string(code), u"fr");
    EXPECT_EQ(storedLanguage(), u"fr");
    // A value of exactly the buffer's size without a terminator is cut and terminated.
    storeLanguage(std::u16string(20, u'x'), 40);
    ASSERT_TRUE(ReadLanguageSetting(code, sizeof code));
    EXPECT_EQ(std::u16string(code), std::u16string(19, u'x'));
    // A longer one cannot be read: the system language decides.
    storeLanguage(std::u16string(30, u'y'), 60);
    ASSERT_TRUE(ReadLanguageSetting(code, sizeof code));
    EXPECT_EQ(std::u16string(code), u"fr");
}

TEST_F(StartupTest, ResourceLibrariesLoadOnlyWithTheProgramsVersionAndATable) {
    std::u16string path;
    ASSERT_TRUE(ResourceLibraryPath(u"en", path));
    EXPECT_EQ(path.substr(path.rfind(u'/') + 1), u"ZekoCameraManager_en.so");
    EXPECT_TRUE(CheckResourceLibrary(path));
    HINSTANCE english = LoadResourceLibrary(u"en");
    ASSERT_NE(english, nullptr);
    FreeLibrary(english);
    EXPECT_EQ(LoadResourceLibrary(u"de"), nullptr); // 1.0.0.1 against 1.0.0.0
    EXPECT_EQ(LoadResourceLibrary(u"fr"), nullptr); // not a library
    EXPECT_EQ(LoadResourceLibrary(u"it"), nullptr); // no string table
    EXPECT_EQ(LoadResourceLibrary(u"nl"), nullptr); // missing
    EXPECT_FALSE(ResourceLibraryPath(u"../en", path));
    EXPECT_FALSE(ResourceLibraryPath(u"", path));
}

TEST_F(StartupTest, LanguageComboListsAcceptableLibrariesAndFallsBackToEnglish) {
    storeLanguage(u"de", 40);
    std::vector<LanguageItem> items;
    HINSTANCE english = nullptr;
    ASSERT_TRUE(FillLanguageCombo(items, nullptr, &english));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, u"  English");
    EXPECT_EQ(items[0].data, 0);
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), english);
    EXPECT_EQ(storedLanguage(), u"en");
    AfxSetResourceHandle(nullptr);
    FreeLibrary(english);
    EXPECT_EQ(LanguageIndexFromLangId(1028), 10);
    EXPECT_EQ(LanguageIndexFromLangId(2052), 0);
    EXPECT_EQ(LanguageIndexFromCode(u"ko"), 12);
}

} // namespace
