#include "camera_manager/diagnostics/records/UpdateCheck.h"
#include "ManagerTestSupport.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/WideText.h"
#include "platform/win/tests/LoopbackHttpServer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct RecordingUi : UpdateCheckUi {
    std::vector<std::pair<unsigned, Icon>> messages;
    std::vector<unsigned> questions;
    bool answer = false;
    int setupPages = 0;
    int refreshes = 0;
    void ShowMessage(unsigned id, Icon icon) override { messages.emplace_back(id, icon); }
    void ShowText(const std::u16string& text, Icon icon) override { texts.emplace_back(text, icon); }
    std::vector<std::pair<std::u16string, Icon>> texts;
    bool AskYesNo(unsigned id) override {
        questions.push_back(id);
        return answer;
    }
    void OpenSetupPage() override { ++setupPages; }
    void RefreshLists() override { ++refreshes; }
};

std::vector<VersionRow> rows(size_t count, const std::u16string& version) {
    std::vector<VersionRow> result(count);
    for (VersionRow& row : result) {
        row.version = version;
        row.update = u"Not found";
    }
    return result;
}

std::vector<std::u16string> markers(const std::vector<VersionRow>& list) {
    std::vector<std::u16string> result;
    for (const VersionRow& row : list)
        result.push_back(row.marker);
    return result;
}

TEST(ParseVersionNumberTest, PacksFourPartsAndRejectsOthers) {
    EXPECT_EQ(ParseVersionNumber(u"3.80.0.0"), (int64_t{3} << 48) + (int64_t{80} << 32));
    EXPECT_EQ(ParseVersionNumber(u"1.2.3.4"), (int64_t{1} << 48) + (int64_t{2} << 32) + (3 << 16) + 4);
    EXPECT_EQ(ParseVersionNumber(u"1..2.3.4"), ParseVersionNumber(u"1.2.3.4"));
    EXPECT_EQ(ParseVersionNumber(u".1.2.3.4."), ParseVersionNumber(u"1.2.3.4"));
    EXPECT_EQ(ParseVersionNumber(u"01.002.0003.04"), ParseVersionNumber(u"1.2.3.4"));
    EXPECT_EQ(ParseVersionNumber(u"1.2.3.4.5"), ParseVersionNumber(u"1.2.3.4"));
    EXPECT_EQ(ParseVersionNumber(u"Not found"), 0);
    EXPECT_EQ(ParseVersionNumber(u"1.2.3"), 0);
    EXPECT_EQ(ParseVersionNumber(u""), 0);
    EXPECT_EQ(ParseVersionNumber(u" 7x.1.1.1"), (int64_t{7} << 48) + (int64_t{1} << 32) + (1 << 16) + 1);
    // A part above 65535 carries into the next one.
    EXPECT_EQ(ParseVersionNumber(u"0.0.0.65536"), ParseVersionNumber(u"0.0.1.0"));
    // Large first parts wrap instead of overflowing.
    EXPECT_EQ(ParseVersionNumber(u"32768.0.0.0"), static_cast<int64_t>(uint64_t{32768} << 48));
}

TEST(UpdateMarkerTest, MarksInTheOrderMissingOlderNewerEqual) {
    EXPECT_EQ(UpdateMarker(0, 0), u"3");
    EXPECT_EQ(UpdateMarker(0, 5), u"3");
    EXPECT_EQ(UpdateMarker(5, 4), u"1");
    EXPECT_EQ(UpdateMarker(5, 0), u"1");
    EXPECT_EQ(UpdateMarker(4, 5), u"2");
    EXPECT_EQ(UpdateMarker(5, 5), u"0");
}

TEST(UpdateMarkerTest, DriverAndDirect3DRowsSetTheirOwnFlags) {
    auto drivers = rows(18, u"3.31.0.0");
    auto direct3d = rows(2, u"9.0.0.1");
    drivers[16].update = u"3.32.0.0"; // another vendor's row asks for an update too
    direct3d[0].update = u"9.0.0.1";
    direct3d[1].update = u"9.0.0.1";
    UpdateFlags flags = MarkVersionRows(drivers, direct3d);
    EXPECT_TRUE(flags.update);
    EXPECT_FALSE(flags.directX);
    EXPECT_EQ(drivers[16].marker, u"2");
    EXPECT_EQ(drivers[0].marker, u"1");

    direct3d[1].version = u"Not found";
    drivers[16].update = u"3.31.0.0";
    flags = MarkVersionRows(drivers, direct3d);
    EXPECT_FALSE(flags.update);
    EXPECT_TRUE(flags.directX);
    EXPECT_EQ(markers(direct3d), (std::vector<std::u16string>{u"0", u"3"}));
}

class UpdateCheckTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        setenv("TEMP", dir_.c_str(), 1);
        setenv("ZEKO_UPDATE_LIST_URL", server_.url().c_str(), 1);
        drivers_ = rows(18, u"3.31.0.0");
        drivers_[17].version = u"Not found";
        direct3d_ = rows(2, u"9.0.0.1");
    }
    void TearDown() override {
        unsetenv("TEMP");
        unsetenv("ZEKO_UPDATE_LIST_URL");
        ManagerTest::TearDown();
    }
    LoopbackHttpServer server_;
    std::vector<VersionRow> drivers_, direct3d_;
    RecordingUi ui_;
};

const char* fullList =
    "[ZEKO_DRIVERS]\r\nUSB_KERNEL=3.31.0.0\r\nETH_KERNEL=3.32.0.0\r\nCOMPORT_KERNEL=3.30.0.0\r\n"
    "API_DLL=3.31.0.0\r\nTOOLS_DLL=3.31\r\n[DIRECT3D_DLLS]\r\nDIRECT3D9_DLL=9.0.0.1\r\n"
    "DIRECT3D9_EXTENSIONS_DLL=9.0.0.2\r\n";

TEST_F(UpdateCheckTest, ServedListFillsTheUpdateColumnAndMarksEveryRow) {
    server_.serve(fullList);
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(drivers_[0].update, u"3.31.0.0");
    EXPECT_EQ(drivers_[3].update, u"3.31.0.0");
    EXPECT_EQ(drivers_[4].update, u"3.31.0.0");
    EXPECT_EQ(drivers_[5].update, u"3.31");
    EXPECT_EQ(drivers_[7].update, u"Not found");
    EXPECT_EQ(markers(drivers_),
              (std::vector<std::u16string>{u"0", u"2", u"1", u"0", u"0", u"1", u"1", u"1", u"1", u"1", u"1",
                                           u"1", u"1", u"1", u"1", u"1", u"1", u"3"}));
    EXPECT_EQ(markers(direct3d_), (std::vector<std::u16string>{u"0", u"2"}));
    EXPECT_EQ(ui_.refreshes, 1);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].first, ids::InstallDirectX);
    EXPECT_EQ(ui_.messages[0].second, UpdateCheckUi::Icon::Warning);
    EXPECT_EQ(ui_.questions, std::vector<unsigned>{ids::DriversOutOfDate});
    EXPECT_EQ(ui_.setupPages, 0);

    // A second press gives the same result; Yes opens the setup page.
    ui_.answer = true;
    auto before = markers(drivers_);
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(markers(drivers_), before);
    EXPECT_EQ(ui_.setupPages, 1);
    struct stat info {};
    ASSERT_EQ(stat((dir_ + "/ZekoUpdates.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A check that cannot connect, or gets an error page, leaves no update list behind in the
// temporary folder (which other users may share), not even an empty one.
TEST_F(UpdateCheckTest, AFailedCheckLeavesNoFileInTheTemporaryFolder) {
    const auto leftBehind = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            if (entry.path().filename().string().starts_with("ZekoUpdates"))
                names.push_back(entry.path().filename().string());
        return names;
    };
    setenv("ZEKO_UPDATE_LIST_URL",
           ("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x").c_str(), 1);
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(leftBehind(), std::vector<std::string>{});
    setenv("ZEKO_UPDATE_LIST_URL", server_.url().c_str(), 1);
    server_.serve("<html>Not here</html>", 404);
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(leftBehind(), std::vector<std::string>{});
    ASSERT_EQ(ui_.messages.size(), 2u);
    // A list that did come is kept under its name, and no other.
    server_.serve(fullList);
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(leftBehind(), std::vector<std::string>{"ZekoUpdates.txt"});
}

TEST_F(UpdateCheckTest, FailedDownloadsReport523AndLeaveTheListsAlone) {
    server_.serve(fullList);
    CheckForUpdates(drivers_, direct3d_, ui_);
    auto driversBefore = drivers_;
    auto updatesBefore = markers(drivers_);
    ui_ = RecordingUi();

    server_.serve("<html>Not here</html>", 404);
    CheckForUpdates(drivers_, direct3d_, ui_);
    server_.serveRaw(
        "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n[ZEKO_DRIVERS]\r\nUSB_KER");
    CheckForUpdates(drivers_, direct3d_, ui_);
    setenv("ZEKO_UPDATE_LIST_URL",
           ("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x").c_str(), 1);
    CheckForUpdates(drivers_, direct3d_, ui_);

    ASSERT_EQ(ui_.messages.size(), 3u);
    for (const auto& message : ui_.messages) {
        EXPECT_EQ(message.first, ids::UrlNotConnected);
        EXPECT_EQ(message.second, UpdateCheckUi::Icon::Error);
    }
    EXPECT_TRUE(ui_.questions.empty());
    EXPECT_EQ(ui_.refreshes, 0);
    EXPECT_EQ(markers(drivers_), updatesBefore);
    EXPECT_EQ(drivers_[1].update, driversBefore[1].update);
}

// A page that is no update list (a portal's HTML, an empty answer, a list of other keys) says
// so and changes nothing, where it once filled every cell with "Not found" and marked every row.
TEST_F(UpdateCheckTest, AFileThatIsNoUpdateListIsAnErrorAndChangesNothing) {
    server_.serve(fullList);
    CheckForUpdates(drivers_, direct3d_, ui_);
    const auto driversBefore = drivers_;
    const auto direct3dBefore = direct3d_;
    ui_ = RecordingUi();
    for (const char* body : {"<html><body>Welcome to the hotel network</body></html>", "",
                             "[OTHER]\nUSB_KERNEL=3.31.0.0\n", "[ZEKO_DRIVERS]\nUSB_KERNEL=soon\n"}) {
        server_.serve(body);
        CheckForUpdates(drivers_, direct3d_, ui_);
        for (size_t row = 0; row < drivers_.size(); ++row) {
            EXPECT_EQ(drivers_[row].update, driversBefore[row].update) << body << " row " << row;
            EXPECT_EQ(drivers_[row].marker, driversBefore[row].marker) << body << " row " << row;
        }
        EXPECT_EQ(markers(direct3d_), markers(direct3dBefore)) << body;
    }
    ASSERT_EQ(ui_.messages.size(), 4u);
    for (const auto& message : ui_.messages) {
        EXPECT_EQ(message.first, ids::NotAnUpdateList);
        EXPECT_EQ(message.second, UpdateCheckUi::Icon::Error);
    }
    EXPECT_EQ(ui_.refreshes, 0);
    EXPECT_TRUE(ui_.questions.empty());

    // One version of four parts is enough to count as a list.
    server_.serve("[THIRD_PARTY_DRIVERS]\nCVB_DRIVER=3.31.0.0\n");
    CheckForUpdates(drivers_, direct3d_, ui_);
    EXPECT_EQ(ui_.refreshes, 1);
    EXPECT_EQ(drivers_[14].update, u"3.31.0.0");
    EXPECT_EQ(drivers_[0].update, u"Not found");
}

TEST(SetupPageTest, IsTheFolderOfTheUpdateListOrNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8080/updates/ZekoUpdates.txt", "http://127.0.0.1:8080/updates/"},
        {"https://maker.test/a/b/list.ini?v=2#top", "https://maker.test/a/b/"},
        {"http://maker.test", "http://maker.test/"},
        {"http://maker.test/list.txt", "http://maker.test/"},
        {"not an address", ""},
    };
    for (const auto& [list, page] : cases) {
        setenv("ZEKO_UPDATE_LIST_URL", list, 1);
        EXPECT_EQ(UpdateListUrl(), list);
        EXPECT_EQ(SetupPageUrl(), page) << list;
    }
    unsetenv("ZEKO_UPDATE_LIST_URL");
    EXPECT_EQ(UpdateListUrl(), "");
    EXPECT_EQ(SetupPageUrl(), "");
}

TEST_F(UpdateCheckTest, AnUnwritableTemporaryFileIsAFailureNotStaleData) {
    server_.serve(fullList);
    std::string target = dir_ + "/elsewhere.txt";
    std::ofstream(target) << "[ZEKO_DRIVERS]\nUSB_KERNEL=9.9.9.9\n";
    ASSERT_EQ(symlink(target.c_str(), (dir_ + "/ZekoUpdates.txt").c_str()), 0);
    CheckForUpdates(drivers_, direct3d_, ui_);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].first, ids::UrlNotConnected);
    EXPECT_EQ(drivers_[0].update, u"Not found");
    EXPECT_EQ(drivers_[0].marker, u"-1");

    // What is no file in the list's place is named as such, not as an address that failed, and
    // left where it is.
    const std::string list = dir_ + "/ZekoUpdates.txt";
    for (const char* kind : {"pipe", "folder", "loop"}) {
        ASSERT_EQ(std::remove(list.c_str()), 0) << kind;
        if (kind == std::string("pipe"))
            ASSERT_EQ(mkfifo(list.c_str(), 0600), 0);
        else if (kind == std::string("folder"))
            ASSERT_EQ(mkdir(list.c_str(), 0700), 0);
        else
            ASSERT_EQ(symlink(list.c_str(), list.c_str()), 0);
        ui_.messages.clear();
        ui_.texts.clear();
        alarm(30);
        CheckForUpdates(drivers_, direct3d_, ui_);
        alarm(0);
        EXPECT_TRUE(ui_.messages.empty()) << kind;
        ASSERT_EQ(ui_.texts.size(), 1u) << kind;
        EXPECT_EQ(win::toUtf8(ui_.texts[0].first),
                  "The update list cannot be stored as " + list + ": " +
                      (kind == std::string("folder") ? "a folder" : "something that is not a file") +
                      " stands in its place. What stands there was left as it is, and the lists were left "
                      "unchanged.")
            << kind;
        EXPECT_EQ(drivers_[0].update, u"Not found");
        struct stat status {};
        EXPECT_EQ(lstat(list.c_str(), &status), 0) << kind;
    }
}

} // namespace
