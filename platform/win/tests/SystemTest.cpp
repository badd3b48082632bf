#include "platform/win/System.h"
#include "platform/win/Adapters.h"
#include "platform/win/FileVersion.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(LanguageIdTest, LocaleNamesGiveTheWindowsLanguageOfLanguageAndRegion) {
    struct Case {
        const char* locale;
        LANGID id;
    } cases[] = {
        {"de_DE.UTF-8", 1031}, {"de_AT.UTF-8", 3079}, {"zh_TW.UTF-8", 1028}, {"zh_CN.UTF-8", 2052},
        {"pt_BR.UTF-8", 1046}, {"pt_PT", 2070},       {"hu_HU", 1038},       {"en_US.UTF-8", 1033},
        {"en_GB", 2057},       {"fr_FR@euro", 1036},  {"es_ES", 1034},       {"ja_JP.eucJP", 1041},
        {"de", 1031},          {"C", 1033},           {"POSIX", 1033},       {"C.UTF-8", 1033},
        {"xx_YY", 0},          {"de_BE", 0x07},
    };
    for (const Case& c : cases)
        EXPECT_EQ(win::langIdFromLocaleName(c.locale), c.id) << c.locale;
}

TEST(LanguageIdTest, SystemLanguageReadsLcAllThenLcMessagesThenLang) {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = std::getenv(names[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
    }
    setenv("LANG", "pt_BR.UTF-8", 1);
    setenv("LC_MESSAGES", "zh_TW.UTF-8", 1);
    setenv("LC_ALL", "", 1);
    EXPECT_EQ(GetSystemDefaultLangID(), 1028);
    setenv("LC_ALL", "de_AT.UTF-8", 1);
    EXPECT_EQ(GetSystemDefaultLangID(), 3079);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(GetSystemDefaultLangID(), 1046);
    for (int i = 0; i < 3; ++i)
        had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
}

TEST(FileVersionTest, StampedLibraryGivesItsFixedVersion) {
    const char* path = std::getenv("ZEKO_WINBASE_TEST_STAMPED");
    ASSERT_NE(path, nullptr);
    std::string version;
    ASSERT_TRUE(win::readVersionStamp(path, version));
    EXPECT_EQ(version, "3.31.0.0");
    const std::u16string wide = win::fromUtf8(path);
    DWORD handle = 1;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(wide.c_str(), handle, size, block.data()));
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &data, &length));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(data);
    EXPECT_EQ(info->dwFileVersionMS, (3u << 16) | 31u);
    EXPECT_EQ(info->dwFileVersionLS, 0u);
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo", &data, &length));
}

TEST(FileVersionTest, FilesWithoutAStampHaveNoVersion) {
    const std::string text = "/tmp/zeko_winbase_nostamp.txt";
    std::ofstream(text) << "ZEKO_FILE_VERSION=3.31.0.0";
    std::string version;
    EXPECT_FALSE(win::readVersionStamp(text, version)); // not in a stamp section
    EXPECT_FALSE(win::readVersionStamp("/proc/self/exe", version));
    EXPECT_FALSE(win::readVersionStamp("/nonexistent/file", version));
    EXPECT_FALSE(win::readVersionStamp("/tmp", version));
    EXPECT_EQ(GetFileVersionInfoSizeW(win::fromUtf8(text).c_str(), nullptr), 0u);
    // A library cut short: its section table lies beyond the end.
    std::ifstream whole(std::getenv("ZEKO_WINBASE_TEST_STAMPED"), std::ios::binary);
    std::string head(4096, '\0');
    whole.read(head.data(), head.size());
    std::ofstream(text, std::ios::binary) << head;
    EXPECT_FALSE(win::readVersionStamp(text, version));
    std::remove(text.c_str());
}

TEST(FileVersionTest, VersionTextNeedsFourNumbers) {
    uint16_t n[4];
    EXPECT_TRUE(win::parseVersionText("3.31.0.0", n));
    EXPECT_EQ(n[1], 31);
    EXPECT_TRUE(win::parseVersionText("65535.0.1.2", n));
    EXPECT_FALSE(win::parseVersionText("65536.0.1.2", n));
    EXPECT_FALSE(win::parseVersionText("3.31.0", n));
    EXPECT_FALSE(win::parseVersionText("3.31.0.0.1", n));
    EXPECT_FALSE(win::parseVersionText("3.x.0.0", n));
    EXPECT_FALSE(win::parseVersionText("", n));
}

TEST(AdapterTest, ListsEveryAdapterAndReportsTheRoomItNeeds) {
    win::SetAdapterSource([] {
        std::vector<win::AdapterRecord> list(3);
        for (int i = 0; i < 3; ++i) {
            list[i].name = "eth" + std::to_string(i);
            list[i].description = "Foo Adapter - Bar " + std::to_string(i);
            for (int b = 0; b < 6; ++b)
                list[i].mac[b] = uint8_t(0x10 * i + b);
            list[i].ipAddress = "10.0.0." + std::to_string(i + 1);
            list[i].ipMask = "255.0.0.0";
        }
        return list;
    });
    DWORD size = 704;
    std::vector<uint8_t> buffer(size);
    EXPECT_EQ(GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size),
              DWORD(ERROR_BUFFER_OVERFLOW));
    EXPECT_EQ(size, 3 * sizeof(IP_ADAPTER_INFO));
    buffer.assign(size, 0);
    ASSERT_EQ(GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size),
              DWORD(ERROR_SUCCESS));
    int count = 0;
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next, ++count) {
        EXPECT_EQ(std::string(a->AdapterName), "eth" + std::to_string(count));
        EXPECT_EQ(a->AddressLength, 6u);
        EXPECT_EQ(a->Address[5], 0x10 * count + 5);
        EXPECT_EQ(std::string(a->IpAddressList.IpAddress), "10.0.0." + std::to_string(count + 1));
    }
    EXPECT_EQ(count, 3);
    win::SetAdapterSource([] { return std::vector<win::AdapterRecord>(); });
    EXPECT_EQ(GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size),
              DWORD(ERROR_NO_DATA));
    win::SetAdapterSource({});
}

TEST(AdapterTest, HostAdaptersHaveSixByteAddressesAndNoLoopback) {
    for (const win::AdapterRecord& adapter : win::systemAdapters()) {
        EXPECT_NE(adapter.name, "lo");
        EXPECT_FALSE(adapter.name.empty());
    }
}

TEST(ResourceStringTest, CurrentModuleFirstThenTheProgramsOwnTable) {
    static const ResourceString table[] = {{1, u"one"}, {2, u"two"}, {3, nullptr}};
    SetProgramResourceStrings(table, 3);
    EXPECT_EQ(LoadResourceString(2), u"two");
    EXPECT_EQ(LoadResourceString(3), u"");
    EXPECT_EQ(LoadResourceString(4), u"");
    WCHAR buffer[3];
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, 3), 2);
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, 2), 1); // cut, terminated
    EXPECT_EQ(std::u16string(buffer), u"t");
    // A module without a table: the program's strings serve.
    HMODULE module = LoadLibraryW(win::fromUtf8(std::getenv("ZEKO_WINBASE_TEST_STAMPED")).c_str());
    ASSERT_NE(module, nullptr);
    AfxSetResourceHandle(module);
    EXPECT_EQ(LoadResourceString(1), u"one");
    EXPECT_EQ(LoadStringW(module, 1, buffer, 3), 0);
    AfxSetResourceHandle(nullptr);
    EXPECT_TRUE(FreeLibrary(module));
    SetProgramResourceStrings(nullptr, 0);
}

TEST(WideTextTest, Utf8RoundTripAndBrokenInputBecomesReplacement) {
    const std::u16string text = u"A\u00e9\u20ac\U0001F600z";
    EXPECT_EQ(win::fromUtf8(win::toUtf8(text)), text);
    EXPECT_EQ(win::fromUtf8("a\xff"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(win::fromUtf8("\xe2\x82"), u"\uFFFD");
    EXPECT_EQ(win::toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_TRUE(win::equalNoCase(u"Camera Manager", u"CAMERA manager"));
    EXPECT_TRUE(win::lessNoCase(u"abc", u"ABD"));
}

TEST(WindowsFolderTest, RootFromTheEnvironmentOrBesideTheProgram) {
    setenv("ZEKO_WINDOWS_ROOT", "/opt/win/", 1);
    WCHAR buffer[64];
    EXPECT_EQ(GetWindowsDirectoryW(buffer, 64), 8u);
    EXPECT_EQ(std::u16string(buffer), u"/opt/win");
    EXPECT_EQ(GetWindowsDirectoryW(buffer, 8), 9u); // too small: the size needed
    unsetenv("ZEKO_WINDOWS_ROOT");
    const std::string program = win::programFolder();
    EXPECT_EQ(win::windowsFolder(), program.substr(0, program.rfind('/')) + "/windows");
}

} // namespace
