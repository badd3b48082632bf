#include "tolvane/tests/ViewerTestSupport.h"

#include "platform/zeko/TestPattern.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/HelpViewer.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "tolvane/PictureWindow.h"
#include "tolvane/RecordDialog.h"
#include "tolvane/Tolvane_App.h"
#include "tolvane_model/Camera.h"

#include <fstream>
#include <wx/menu.h>
#include <wx/statusbr.h>

using namespace Tolvane;
using namespace Tolvane::test;
using Tolvane_model::Camera;

namespace {

bool isYellow(const wxImage& image, int x, int y) {
    return image.GetRed(x, y) > 240 && image.GetGreen(x, y) > 240 && image.GetBlue(x, y) < 20;
}

int counterOnScreen(const wxImage& image) {
    return zeko::sim::TestPattern::decodeCounter(image.GetData(), image.GetWidth(), 3);
}

} // namespace

TEST_F(ViewerTest, StartsStoppedWithLiveCommandsDisabled) {
    EXPECT_FALSE(main->isLive());
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), text(4));
    EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_GRAB));
    EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_RECORD));
    EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_PROPERTIES));
    EXPECT_EQ(main->GetTitle(), wxT("Tolvane - Dravolt sciences"));
    EXPECT_EQ(journalCalls("zk_InitCamera"), 0); // the camera waits for Live
    // Properties and record do nothing while the camera is off.
    command(MainWnd::ID_PROPERTIES);
    command(MainWnd::ID_RECORD);
    EXPECT_TRUE(main->askedNames.empty());
}

TEST_F(ViewerTest, LiveViewShowsTheMovingPatternWithYellowAroundASmallArea) {
    startLive();
    EXPECT_TRUE(main->GetMenuBar()->IsEnabled(MainWnd::ID_GRAB));
    EXPECT_TRUE(main->GetMenuBar()->IsChecked(MainWnd::ID_LIVE));
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), text(9));
    EXPECT_TRUE(main->GetStatusBar()->GetStatusText(2).StartsWith(text(58) + wxT(" : ")));

    ASSERT_TRUE(grabScreen(main->getLiveView()).IsOk());
    // The frame number drawn at the top left, read back from the screen, goes up.
    int counter = 0;
    pumpUntil([&] { return (counter = counterOnScreen(grabScreen(main->getLiveView()))) > 0; }, 5000);
    EXPECT_GT(counter, 0);
    int later = counter;
    pumpUntil([&] { return (later = counterOnScreen(grabScreen(main->getLiveView()))) > counter; }, 5000);
    EXPECT_GT(later, counter);

    Camera::getInstance()->setAOI(320, 240);
    pump(300);
    const wxImage small = grabScreen(main->getLiveView());
    ASSERT_GE(small.GetWidth(), 400);
    ASSERT_GE(small.GetHeight(), 300);
    EXPECT_GT(counterOnScreen(small), later);
    EXPECT_TRUE(isYellow(small, 340, 100));
    EXPECT_TRUE(isYellow(small, 100, 260));
    EXPECT_FALSE(isYellow(small, 100, 100));

    command(MainWnd::ID_LIVE);
    EXPECT_FALSE(main->isLive());
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(2), wxEmptyString);
    EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_GRAB));
    EXPECT_GT(journalCalls("zk_ExitCamera"), 0);
    EXPECT_TRUE(boxes->messages.empty());
}

TEST_F(ViewerTest, ACameraThatCannotStartIsReportedOnceAndLiveStaysOff) {
    zksim_InjectFailure("zk_InitCamera", ZK_NO_CAMERA_FOUND, 1);
    command(MainWnd::ID_LIVE);
    EXPECT_FALSE(main->isLive());
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].Contains(wxT("zk_InitCamera")));
    EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_GRAB));
    startLive(); // the next try works
}

TEST_F(ViewerTest, ACameraErrorDuringTheTickStopsLiveAndIsShownOnce) {
    startLive();
    zksim_InjectFailure("zk_SetFrameRate", ZK_INVALID_PARAMETER, 0);
    pumpUntil([&] { return !main->isLive(); }, 2000);
    zksim_ClearFailures();
    EXPECT_FALSE(main->isLive());
    pump(400);
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].Contains(wxT("zk_SetFrameRate")));
}

TEST_F(ViewerTest, LanguageSwitchRelabelsEverythingAndIsSaved) {
    startLive();
    command(MainWnd::ID_GRAB);
    ASSERT_EQ(main->getPictureWindows().size(), 1u);
    PictureWindow* picture = main->getPictureWindows()[0];

    command(MainWnd::ID_ENGLISH);
    EXPECT_EQ(main->GetMenuBar()->GetMenuLabel(0), wxT("&File"));
    EXPECT_EQ(main->GetMenuBar()->GetLabel(MainWnd::ID_LIVE), wxT("Live"));
    EXPECT_EQ(picture->getZoomBox()->GetString(6), wxT("Fit"));
    EXPECT_NE(readFile(settingsPath()).find("<Language>English</Language>"), std::string::npos);

    command(MainWnd::ID_FRENCH);
    EXPECT_EQ(main->GetMenuBar()->GetMenuLabel(0), wxT("&Fichier"));
    EXPECT_EQ(main->GetMenuBar()->GetMenuLabel(1), wxString::FromUTF8("&Caméra"));
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), wxT("Direct"));
    EXPECT_EQ(picture->getZoomBox()->GetString(6), wxT("Ajuster"));
    EXPECT_EQ(main->getAuiManager().GetPane(main->getLiveView()).caption, wxT("Direct"));
    EXPECT_NE(readFile(settingsPath()).find("<Language>French</Language>"), std::string::npos);
    EXPECT_TRUE(main->GetMenuBar()->IsChecked(MainWnd::ID_FRENCH));
}

TEST_F(ViewerTest, RecordProposesTheNextFreeNameAndAsksBeforeReplacingACompletedName) {
    startLive();
    main->setLastFolder(wxString(dir));
    main->answers.push_back({wxString(dir + "/film"), 0});
    int dialogs = 0;
    main->driveRecordDialog = [&](RecordDialog& dialog) {
        ++dialogs;
        dialog.EndModal(wxID_CANCEL);
    };
    command(MainWnd::ID_RECORD);
    ASSERT_EQ(main->askedNames.size(), 1u);
    EXPECT_EQ(main->askedNames[0], wxT("Tolvane0.avi"));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(main->replaceQuestions, 0);

    std::ofstream(dir + "/film.avi") << "old";
    main->replace = false;
    main->answers.push_back({wxString(dir + "/film"), 0});
    command(MainWnd::ID_RECORD);
    EXPECT_EQ(main->replaceQuestions, 1);
    EXPECT_EQ(dialogs, 1); // not replaced: no recording
    EXPECT_EQ(readFile(dir + "/film.avi"), "old");
}

TEST_F(ViewerTest, HelpStartsTheViewerOrSaysItCannot) {
    setenv("TOLVANE_HELP_VIEWER", "true", 1);
    command(MainWnd::ID_HELP);
    EXPECT_TRUE(boxes->messages.empty());
    setenv("TOLVANE_HELP_VIEWER", "/nonexistent/viewer", 1);
    command(MainWnd::ID_HELP);
    unsetenv("TOLVANE_HELP_VIEWER");
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].Contains(text(102)));
    EXPECT_TRUE(wxFileExists(PBN::HelperFuncs::getAppDir().wxstr() + wxT("doc/Tolvane help.chm")));
}

TEST_F(ViewerTest, ABrokenStringTableIsReportedOnce) {
    const std::string broken = dir + "/broken.xml";
    std::ofstream(broken) << "<strings><item id='1'>";
    PBN::Strings::StringTable::destroy();
    EXPECT_FALSE(Tolvane_App::loadStringTable(PBN::Strings::ostring(broken.c_str())));
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_EQ(boxes->messages[0], wxT("Error while loading string table."));
    EXPECT_EQ(text(9), wxEmptyString);
}

TEST_F(ViewerTest, AboutNamesTheCamera) {
    startLive();
    command(MainWnd::ID_ABOUT);
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].StartsWith(wxT("Tolvane v. 1.3.\n\nCamera used: ZK1480-C\n\n")));
}
