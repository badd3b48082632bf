#include "platform/win/Registry.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/UnreadableFiles.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_registry_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
        win::RegistryStore::resetAll();
    }
    void TearDown() override {
        win::RegistryStore::resetAll();
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    HKEY create(const char16_t* path, HKEY root = HKEY_CURRENT_USER) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static void setDword(HKEY key, const char16_t* name, DWORD value) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
                  ERROR_SUCCESS);
    }
    static DWORD getDword(HKEY key, const char16_t* name, LONG* result = nullptr) {
        DWORD value = 0, size = 4, type = 0;
        const LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        if (result)
            *result = r;
        return value;
    }
    std::string fileText(const char* name) {
        std::ifstream in(dir_ + "/" + name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string dir_;
};

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirCase) {
    HKEY key = create(u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum");
    RegCloseKey(key);
    key = create(u"system\\currentcontrolset\\services\\ZEKO\\Enum", HKEY_CURRENT_USER);
    setDword(key, u"Count", 2);
    EXPECT_EQ(getDword(key, u"COUNT"), 2u);
    setDword(key, u"count", 3);
    EXPECT_EQ(getDword(key, u"Count"), 3u);
    RegCloseKey(key);

    HKEY parent = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, u"System\\CurrentControlSet\\Services\\Zeko", 0, KEY_READ, &parent),
        ERROR_SUCCESS);
    WCHAR name[32];
    DWORD chars = 32;
    ASSERT_EQ(RegEnumKeyExW(parent, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"enum"); // the case it was created with
    chars = 32;
    EXPECT_EQ(RegEnumKeyExW(parent, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(parent);
    // One key, one value: the second spelling changed the first.
    EXPECT_EQ(fileText("user.reg").find("\\ZEKO"), std::string::npos);
    EXPECT_NE(fileText("user.reg").find("\\Zeko\\enum]"), std::string::npos);
}

TEST_F(RegistryTest, ReadsReportTheNeededSizeAtOnce) {
    HKEY key = create(u"Software\\Test");
    const char16_t text[] = u"a longer text than the buffer";
    ASSERT_EQ(RegSetValueExW(key, u"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
              ERROR_SUCCESS);
    WCHAR small[4];
    DWORD size = sizeof small, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(type, REG_SZ);
    WCHAR whole[64];
    size = sizeof whole;
    ASSERT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, reinterpret_cast<BYTE*>(whole), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(whole), text);
    LONG result = 0;
    getDword(key, u"Missing", &result);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesSurviveAProgramRestartWithTheirExactBytes) {
    HKEY key = create(u"Software\\Marvek\\Zeko\\Camera Manager\\Dialog");
    setDword(key, u"x", DWORD(-1280));
    const char16_t odd[] = u"[a]=b %20 \u00e9\u20ac";
    ASSERT_EQ(RegSetValueExW(key, u"odd name=[1]", 0, REG_SZ, reinterpret_cast<const BYTE*>(odd), sizeof odd),
              ERROR_SUCCESS);
    RegCloseKey(key);
    win::RegistryStore::resetAll();
    key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\Dialog", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    EXPECT_EQ(int32_t(getDword(key, u"x")), -1280);
    WCHAR text[64];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, u"ODD NAME=[1]", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof odd);
    EXPECT_EQ(std::u16string(text), odd);
    RegCloseKey(key);
}

TEST_F(RegistryTest, TwoStoresOnOneFolderKeepEachOthersChanges) {
    // Another program changed the file after this one read it: a write keeps that change.
    HKEY key = create(u"Software\\A");
    setDword(key, u"mine", 1);
    RegCloseKey(key);
    win::RegistryStore::Keys other = win::RegistryStore::parse(fileText("user.reg"));
    win::RegistryStore::Value value{u"theirs", REG_DWORD, {7, 0, 0, 0}};
    other[u"Software\\B"] = win::RegistryStore::Key{u"Software\\B", {value}};
    other[u"Software\\A"].values.front().data = {9, 0, 0, 0};
    std::ofstream(dir_ + "/user.reg") << win::RegistryStore::serialise(other);

    key = create(u"Software\\C");
    setDword(key, u"new", 5);
    RegCloseKey(key);
    HKEY b = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\B", 0, KEY_READ, &b), ERROR_SUCCESS);
    EXPECT_EQ(getDword(b, u"theirs"), 7u);
    RegCloseKey(b);
    HKEY a = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\A", 0, KEY_READ, &a), ERROR_SUCCESS);
    EXPECT_EQ(getDword(a, u"mine"), 9u); // their later change was not undone
    RegCloseKey(a);
}

TEST_F(RegistryTest, AnUnreadableFileReadsAsEmptyAndIsNeverOverwritten) {
    // A folder in the file's place cannot be read, by any user.
    mkdir((dir_ + "/user.reg").c_str(), 0700);
    std::ofstream(dir_ + "/user.reg/kept") << "kept";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Kept", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::ifstream(dir_ + "/user.reg/kept").get(), 'k');
    if (geteuid() == 0)
        return; // root reads every file
    std::system(("rm -rf '" + dir_ + "/user.reg'").c_str());
    std::ofstream(dir_ + "/user.reg") << "ZEKO REGISTRY 1\n[Software\\Kept]\n";
    chmod((dir_ + "/user.reg").c_str(), 0);
    win::RegistryStore::resetAll();
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Kept", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    chmod((dir_ + "/user.reg").c_str(), 0600);
    EXPECT_NE(fileText("user.reg").find("Kept"), std::string::npos);
}

// A pipe in a store's place would block an ordinary open for good, the store's lock held. It is
// never opened that way: the look-up answers at once, and the pipe is named as no file (it is
// not a folder), once, and left where it is. The alarm ends a test that blocks.
TEST_F(RegistryTest, APipeInAStoresPlaceIsNeverWaitedOn) {
    ASSERT_EQ(mkfifo((dir_ + "/user.reg").c_str(), 0600), 0);
    win::TakeUnreadableFiles();
    alarm(10);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Kept", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    alarm(0);
    const std::vector<win::UnreadableFile> named = win::TakeUnreadableFiles();
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].path, dir_ + "/user.reg");
    EXPECT_TRUE(named[0].keptAs.empty());
    EXPECT_EQ(named[0].problem.kind, win::FileProblem::Kind::NotAFile);
    struct stat status {};
    ASSERT_EQ(lstat((dir_ + "/user.reg").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(RegistryTest, AStoreThatCannotBeUnderstoodIsSetAsideBeforeAnythingIsWritten) {
    const std::string damaged[] = {
        "ZEKO REGISTRY 1\n[Good]\n4 =v 05000000\nnonsense\n4 =w 0x\n[Bad\n[Also%2]\n1 =t 6100\n",
        std::string("garbage\0\x01\x02", 10),
        "ZEKO REGISTRY 1\n[Good]\n4 =v 0500", // cut short by a full disk
        "",                                   // never written by the store, which writes whole files
    };
    for (const std::string& text : damaged) {
        win::TakeUnreadableFiles();
        std::system(("rm -f '" + dir_ + "'/machine.reg*").c_str());
        std::ofstream(dir_ + "/machine.reg", std::ios::binary) << text;
        win::RegistryStore::resetAll();
        HKEY key = nullptr;
        // Defaults: nothing of the damaged file is read.
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Good", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
        key = create(u"Software\\New", HKEY_LOCAL_MACHINE);
        setDword(key, u"n", 1);
        RegCloseKey(key);
        const std::vector<win::UnreadableFile> aside = win::TakeUnreadableFiles();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(aside[0].path, dir_ + "/machine.reg");
        EXPECT_EQ(aside[0].keptAs.rfind(dir_ + "/machine.reg.unreadable-", 0), 0u) << aside[0].keptAs;
        std::ifstream kept(aside[0].keptAs, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), text);
        EXPECT_NE(fileText("machine.reg").find("[Software\\New]"), std::string::npos);
        EXPECT_EQ(fileText("machine.reg").find("Good"), std::string::npos);
    }
    using Problem = win::FileProblem;
    using Kind = Problem::Kind;
    EXPECT_EQ(win::RegistryStore::problemOf("ZEKO REGISTRY 1\n[A]\nnonsense\n"),
              (Problem{Kind::NotKeyOrValue, 3}));
    EXPECT_EQ(win::RegistryStore::problemOf("ZEKO REGISTRY 1\n[A]\n4 =v 05"), Problem{Kind::LastLineCut});
    EXPECT_EQ(win::RegistryStore::problemOf(std::string("ZEKO\0", 5)), Problem{Kind::BinaryData});
    EXPECT_EQ(win::RegistryStore::problemOf("REGISTRY\n"), Problem{Kind::NoRegistryHeader});
    EXPECT_EQ(win::RegistryStore::problemOf(""), Problem{Kind::Empty});
    EXPECT_FALSE(win::RegistryStore::problemOf("ZEKO REGISTRY 1\n[A]\n4 =v 05000000\n"));
}

TEST_F(RegistryTest, TemporariesLeftByAKilledWriterAreRemovedAtFirstUse) {
    std::ofstream(dir_ + "/user.reg") << "ZEKO REGISTRY 1\n[Software\\Kept]\n";
    std::ofstream(dir_ + "/user.reg.lock");
    const std::string stale = dir_ + "/user.reg.a1B2c3", young = dir_ + "/user.reg.Z9y8X7",
                      foreign = dir_ + "/user.reg.bak", otherStore = dir_ + "/machine.reg.a1B2c3";
    for (const std::string& path : {stale, young, foreign, otherStore})
        std::ofstream(path) << "ZEKO REGISTRY 1\n";
    const time_t now = time(nullptr);
    const struct timespec old[2] = {{now - 3600, 0}, {now - 3600, 0}},
                          later[2] = {{now + 3600, 0}, {now + 3600, 0}};
    for (const std::string& path : {stale, foreign, otherStore})
        utimensat(AT_FDCWD, path.c_str(), old, 0);
    // Written after this process started: a writer that is still at work.
    utimensat(AT_FDCWD, young.c_str(), later, 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Kept", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    struct stat status {};
    EXPECT_NE(lstat(stale.c_str(), &status), 0);
    EXPECT_EQ(lstat(young.c_str(), &status), 0);
    EXPECT_EQ(lstat(foreign.c_str(), &status), 0);
    EXPECT_EQ(lstat(otherStore.c_str(), &status), 0); // the machine store was not used yet
    EXPECT_TRUE(win::TakeUnreadableFiles().empty());
}

TEST_F(RegistryTest, KeysWithSubkeysAreNotDeletedAndHandlesAreChecked) {
    RegCloseKey(create(u"Software\\Marvek\\Zeko\\Camera Manager\\FirstStart"));
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\FirstStart"),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\FirstStart"),
              ERROR_FILE_NOT_FOUND);
    HKEY key = create(u"Software\\X");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

} // namespace
