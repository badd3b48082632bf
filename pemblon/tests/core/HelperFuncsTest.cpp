#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <wx/filefn.h>

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"

namespace fs = std::filesystem;
using PBN::Exception;
using PBN::HelperFuncs;
using PBN::Strings::ostring;

namespace {

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("pbn-helper-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        oldCwd = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        fs::remove_all(root);
    }
    fs::path root, oldCwd;
};

// Sets TZ for the scope of one check, restoring the previous zone afterwards.
class Zone {
public:
    explicit Zone(const char* tz) {
        const char* old = std::getenv("TZ");
        hadOld = old != nullptr;
        if (old)
            oldValue = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Zone() {
        if (hadOld)
            setenv("TZ", oldValue.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool hadOld = false;
    std::string oldValue;
};

} // namespace

TEST(HelperFuncs, WindowIdsStartAt6000) {
    EXPECT_EQ(HelperFuncs::getNextWndId(), 6000);
    EXPECT_EQ(HelperFuncs::getNextWndId(), 6001);
    EXPECT_EQ(HelperFuncs::_nextWndId, 6002);
}

TEST(HelperFuncs, PathBuilding) {
    EXPECT_EQ(HelperFuncs::getDirSep().str(), "/");
    EXPECT_EQ(HelperFuncs::ensureDir("").str(), "/");
    EXPECT_EQ(HelperFuncs::ensureDir("a/b").str(), "a/b/");
    EXPECT_EQ(HelperFuncs::ensureDir("a/b/").str(), "a/b/");
    EXPECT_EQ(HelperFuncs::ensureDir(ostring(L"w")).wstr(), L"w/");

    EXPECT_EQ(HelperFuncs::dir("a", "b", "c", nullptr).str(), "a/b/c");
    EXPECT_EQ(HelperFuncs::dir("a/", "b", nullptr).str(), "a//b");
    EXPECT_EQ(HelperFuncs::strArray("only", nullptr).size(), 1u);
    auto items = HelperFuncs::strArray("x", "y", nullptr);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].str(), "y");

    const std::string appDir = HelperFuncs::getAppDir().str();
    EXPECT_EQ(appDir, fs::canonical("/proc/self/exe").parent_path().string() + "/");
    EXPECT_EQ(HelperFuncs::getAbsolutePath("/etc/x", false).str(), "/etc/x");
    EXPECT_EQ(HelperFuncs::getAbsolutePath("/etc/x", true).str(), "/etc/x");
    EXPECT_EQ(HelperFuncs::getAbsolutePath("f.txt", false).str(), appDir + "f.txt");
    EXPECT_EQ(HelperFuncs::getAbsolutePath("../f", true).str(), fs::current_path().string() + "/../f");
    EXPECT_TRUE(HelperFuncs::isDir("/tmp"));
    EXPECT_FALSE(HelperFuncs::isDir("/proc/self/exe"));
}

TEST_F(TempDir, EnsureDirExistsAbsoluteAndRelative) {
    const std::string abs = (root / "x" / "y" / "z").string();
    HelperFuncs::ensureDirExists(abs.c_str(), 0755);
    EXPECT_TRUE(fs::is_directory(abs));
    EXPECT_NO_THROW(HelperFuncs::ensureDirExists((abs + "/").c_str(), 0755));

    // A relative path is made below the working directory, never below the root.
    fs::current_path(root);
    HelperFuncs::ensureDirExists("rel/one", 0755);
    EXPECT_TRUE(fs::is_directory(root / "rel" / "one"));
    EXPECT_FALSE(fs::exists("/rel"));

    EXPECT_TRUE(HelperFuncs::rmdir((root / "rel" / "one").c_str(), 0));
    EXPECT_FALSE(HelperFuncs::rmdir((root / "rel" / "missing").c_str(), 0));
}

TEST_F(TempDir, EnsureDirExistsReportsTheBlockingComponent) {
    std::ofstream(root / "file") << "x";
    try {
        HelperFuncs::ensureDirExists((root / "file" / "sub").c_str(), 0755);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
        EXPECT_EQ(e.getMessage().wstr(),
                  L"A file named \"" + (root / "file").wstring() + L"\" already exists.");
    }

    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        try {
            HelperFuncs::ensureDirExists((root / "locked" / "a" / "b").c_str(), 0755);
            FAIL() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.getMessage().wstr(),
                      L"Impossible to create directory \"" + (root / "locked" / "a").wstring() + L"\".");
        }
    }
    fs::permissions(root / "locked", fs::perms::owner_all);
}

TEST(HelperFuncs, TimezoneTexts) {
    const wxDateTime winter(15, wxDateTime::Jan, 2024, 12, 0, 0);
    const wxDateTime summer(15, wxDateTime::Jul, 2024, 12, 0, 0);
    {
        Zone tz("Etc/GMT+1"); // one hour west of UTC
        EXPECT_EQ(HelperFuncs::formatTimezone(winter, ":").str(), " -01:00");
    }
    {
        Zone tz("UTC");
        EXPECT_EQ(HelperFuncs::formatTimezone(winter, ":").str(), "+00:00");
    }
    {
        Zone tz("Asia/Kolkata");
        EXPECT_EQ(HelperFuncs::formatTimezone(winter, "").str(), " +0530");
    }
    {
        // Standard offset zero, but an hour ahead in summer.
        Zone tz("Europe/London");
        EXPECT_EQ(HelperFuncs::formatTimezone(winter, "").str(), "+0000");
        EXPECT_EQ(HelperFuncs::formatTimezone(summer, "").str(), " +0100");
    }
}

TEST(HelperFuncs, Rfc822DatesUseEnglishNames) {
    const char* oldLocale = setlocale(LC_TIME, nullptr);
    const std::string saved = oldLocale ? oldLocale : "C";
    setlocale(LC_TIME, "fr_FR.UTF-8");
    {
        Zone tz("UTC");
        const wxDateTime date(2, wxDateTime::Jan, 2006, 15, 4, 5);
        EXPECT_EQ(HelperFuncs::dateToRfc822(date).str(), "Mon, 02 Jan 2006 15:04:05 +0000");
    }
    {
        Zone tz("Etc/GMT+1");
        const wxDateTime date(29, wxDateTime::Feb, 2024, 23, 59, 59);
        EXPECT_EQ(HelperFuncs::dateToRfc822(date).str(), "Thu, 29 Feb 2024 23:59:59  -0100");
    }
    setlocale(LC_TIME, saved.c_str());
    EXPECT_EQ(HelperFuncs::dateToRfc822(wxDateTime()).str(), "");
}
