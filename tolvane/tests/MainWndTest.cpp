#include "tolvane/tests/ViewerTestSupport.h"

#include "tolvane/res/StringIds.h"

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "platform/common/tests/WindowManager.h"
#include "platform/zeko/TestPattern.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/HelpViewer.h"
#include "tolvane/LiveImage.h"
#include "tolvane/PictureWindow.h"
#include "tolvane/RecordDialog.h"
#include "tolvane/Tolvane_App.h"
#include "tolvane_model/Camera.h"

#include <fstream>
#include <glib.h>
#include <memory>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

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

// The toolkit's criticals and warnings while the object lives, kept instead of printed. GTK logs
// both through GLib's structured log, so they are taken at its writer, which is set once for the
// program and passes everything else on.
class ToolkitMessages {
public:
    ToolkitMessages() {
        static const bool installed = (g_log_set_writer_func(write, nullptr, nullptr), true);
        (void)installed;
        active = this;
    }
    ~ToolkitMessages() { active = nullptr; }
    ToolkitMessages(const ToolkitMessages&) = delete;
    ToolkitMessages& operator=(const ToolkitMessages&) = delete;
    std::string texts;

private:
    static GLogWriterOutput write(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
        std::string domain, message;
        for (gsize i = 0; i < count; ++i) {
            const std::string key = fields[i].key;
            const char* value = static_cast<const char*>(fields[i].value);
            if (key == "GLIB_DOMAIN" && value)
                domain = value;
            else if (key == "MESSAGE" && value)
                message = value;
        }
        const bool toolkit = domain == "Gtk" || domain == "Gdk";
        if (active && toolkit && (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))) {
            active->texts += domain + ": " + message + "\n";
            return G_LOG_WRITER_HANDLED;
        }
        return g_log_writer_default(level, fields, count, data);
    }
    static inline ToolkitMessages* active = nullptr;
};

} // namespace

// The main window started as the program starts it, under a window manager (which makes wx hold
// the first show back until the manager tells the frame's size) and without one.
class ViewerStart : public ViewerTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            manager = std::make_unique<zeko::test::WindowManager>();
            if (!manager->Running())
                GTEST_SKIP() << "openbox is not installed";
        }
        messages = std::make_unique<ToolkitMessages>();
        ViewerTest::SetUp();
    }
    void TearDown() override {
        ViewerTest::TearDown();
        messages.reset();
        manager.reset();
    }
    std::unique_ptr<zeko::test::WindowManager> manager;
    std::unique_ptr<ToolkitMessages> messages;
};

INSTANTIATE_TEST_SUITE_P(Desktop, ViewerStart, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "UnderAWindowManager" : "WithoutAWindowManager";
                         });

// The first layout is the window's own size: the tool bar and its box never get the 2 pixels
// of the toolkit's placeholder, and the window still opens maximised with 800 x 600 to go back to.
TEST_P(ViewerStart, TheMainWindowOpensWithoutToolkitWarnings) {
    const bool managed = GetParam();
    wxToolBar* tools = main->GetToolBar();
    ASSERT_NE(tools, nullptr);
    // Without a window manager nothing maximises the window: it keeps the size it was made with.
    EXPECT_TRUE(pumpUntil(
        [&] { return (!managed || main->IsMaximized()) && tools->GetSize().GetWidth() > 400; }, 5000));
    pump(300);
    if (managed) {
        EXPECT_EQ(main->GetSize(), wxGetClientDisplayRect().GetSize());
        EXPECT_EQ(tools->GetSize().GetWidth(), main->GetClientSize().GetWidth());
        main->Maximize(false);
        EXPECT_TRUE(
            pumpUntil([&] { return !main->IsMaximized() && main->GetSize() == wxSize(800, 600); }, 3000))
            << main->GetSize().GetWidth() << " x " << main->GetSize().GetHeight();
    } else {
        EXPECT_EQ(main->GetSize(), wxSize(800, 600));
    }
    EXPECT_EQ(main->GetMenuBar()->GetMenuCount(), 4u);
    EXPECT_EQ(messages->texts, "");
}

// Wheel steps over the live view scroll the camera image without a toolkit message each.
TEST_P(ViewerStart, TheWheelScrollsTheLiveViewQuietly) {
    startLive();
    wxScrolledWindow* view = main->getLiveView();
    ASSERT_TRUE(pumpUntil([&] { return view->GetClientSize().GetHeight() > 100; }, 3000));
    ASSERT_LT(view->GetClientSize().GetHeight(), Camera::getInstance()->getHeight());
    messages->texts.clear();
    wxUIActionSimulator mouse;
    mouse.MouseMove(view->GetScreenPosition() + wxPoint(100, 100));
    pump(100);
    for (int step = 0; step < 6; ++step) {
        runCommand("xdotool click 5");
        pump(50);
    }
    pump(200);
    EXPECT_GT(view->GetViewStart().y, 0);
    EXPECT_EQ(messages->texts, "");
}

TEST_F(ViewerTest, StartsStoppedWithLiveCommandsDisabled) {
    EXPECT_FALSE(main->isLive());
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), text(ids::CameraStopped));
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
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), text(ids::Live));
    EXPECT_TRUE(main->GetStatusBar()->GetStatusText(2).StartsWith(text(ids::FrameRate) + wxT(" : ")));

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

// Scrolled to the right, the view shows the columns under it, not the frame's left edge again.
TEST_F(ViewerTest, AViewScrolledRightShowsTheRightPartOfTheFrame) {
    startLive();
    main->Maximize(false);
    main->SetSize(800, 600);
    pump(200);
    wxScrolledWindow* view = main->getLiveView();
    view->Scroll(10000, 0); // as far right as it goes
    pump(300);
    const int offset = view->CalcUnscrolledPosition(wxPoint(0, 0)).x;
    ASSERT_GT(offset, 200);
    const wxImage screen = grabScreen(view);
    Camera* camera = Camera::getInstance();
    const unsigned char* frame = camera->getActiveImage();
    ASSERT_NE(frame, nullptr);
    const int stride = camera->getMaxWidth();
    ASSERT_TRUE(screen.IsOk());
    // The bars and the ramp stand still from frame to frame; only the small marker moves.
    int same = 0, compared = 0;
    for (int y = screen.GetHeight() / 4; y < screen.GetHeight(); y += screen.GetHeight() / 4)
        for (int x = 0; x < screen.GetWidth() && offset + x < stride; ++x, ++compared) {
            const unsigned char* pixel = frame + 3 * (static_cast<size_t>(y) * stride + offset + x);
            same += std::abs(screen.GetRed(x, y) - pixel[0]) < 8 &&
                    std::abs(screen.GetGreen(x, y) - pixel[1]) < 8 &&
                    std::abs(screen.GetBlue(x, y) - pixel[2]) < 8;
        }
    if (!camera->isColor())
        std::free(const_cast<unsigned char*>(frame));
    ASSERT_GT(compared, 300);
    EXPECT_GT(same, compared * 9 / 10) << same << " of " << compared << " at offset " << offset;
}

// No free camera (every one taken, or none there) is said so in the interface language, after
// the failed call.
TEST_F(ViewerTest, ACameraThatCannotStartIsReportedOnceAndLiveStaysOff) {
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        boxes->messages.clear();
        zksim_InjectFailure("zk_InitCamera", ZK_NO_CAMERA_FOUND, 1);
        command(MainWnd::ID_LIVE);
        EXPECT_FALSE(main->isLive());
        ASSERT_EQ(boxes->messages.size(), 1u);
        EXPECT_TRUE(boxes->messages[0].Contains(wxT("zk_InitCamera")));
        ASSERT_FALSE(text(ids::NoFreeCamera).empty());
        EXPECT_TRUE(boxes->messages[0].EndsWith(wxT("97\n") + text(ids::NoFreeCamera))) << boxes->messages[0];
        EXPECT_FALSE(main->GetMenuBar()->IsEnabled(MainWnd::ID_GRAB));
    }
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
    EXPECT_FALSE(boxes->messages[0].Contains(text(ids::CameraGone).AfterFirst('%').Mid(1))); // still there
}

// Unplugging during live view names the failed call and says, in the interface language, that
// the camera is gone.
TEST_F(ViewerTest, AnUnpluggedCameraIsReportedAsGoneInTheInterfaceLanguage) {
    ZkSimCamera camera{};
    ASSERT_EQ(zksim_GetCamera(0, &camera), 0);
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        boxes->messages.clear();
        startLive();
        zksim_SetCameraConnected(camera.deviceId, 0);
        pumpUntil([&] { return !main->isLive(); }, 2000);
        pump(200);
        zksim_SetCameraConnected(camera.deviceId, 1);
        ASSERT_EQ(boxes->messages.size(), 1u) << language;
        EXPECT_TRUE(boxes->messages[0].Contains(text(ids::CameraError).BeforeFirst('%')))
            << boxes->messages[0];
        EXPECT_TRUE(boxes->messages[0].Contains(wxT("zk_SetFrameRate"))) << boxes->messages[0];
        wxString gone = text(ids::CameraGone);
        ASSERT_TRUE(gone.Contains(wxT("%s")));
        const wxString name = Camera::getInstance()->getName().wxstr();
        ASSERT_FALSE(name.empty());
        gone.Replace(wxT("%s"), name);
        EXPECT_TRUE(boxes->messages[0].Contains(gone)) << boxes->messages[0];
    }
}

TEST_F(ViewerTest, LanguageSwitchRelabelsEverythingAndIsSaved) {
    startLive();
    command(MainWnd::ID_GRAB);
    ASSERT_EQ(main->getPictureWindows().size(), 1u);
    PictureWindow* picture = main->getPictureWindows()[0];

    command(MainWnd::ID_ENGLISH);
    EXPECT_EQ(main->getAuiManager().GetPane(picture).caption, wxT("Picture 1"));
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
    EXPECT_EQ(main->getAuiManager().GetPane(picture).caption, wxT("Image 1"));
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
    EXPECT_EQ(main->offeredWildcards[0], wxT("Films AVI (*.avi)|*.avi"));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(main->replaceQuestions, 0);

    std::ofstream(dir + "/film.avi") << "old";
    main->replace = false;
    main->answers.push_back({wxString(dir + "/film"), 0});
    command(MainWnd::ID_RECORD);
    EXPECT_EQ(main->replaceQuestions, 1);
    EXPECT_EQ(dialogs, 1); // not replaced: no recording
    EXPECT_EQ(readFile(dir + "/film.avi"), "old");

    command(MainWnd::ID_ENGLISH);
    command(MainWnd::ID_RECORD); // the chooser cancelled
    EXPECT_EQ(main->offeredWildcards.back(), wxT("AVI films (*.avi)|*.avi"));
}

TEST_F(ViewerTest, HelpStartsTheViewerOrSaysItCannot) {
    setenv("TOLVANE_HELP_VIEWER", "true", 1);
    command(MainWnd::ID_HELP);
    EXPECT_TRUE(boxes->messages.empty());
    setenv("TOLVANE_HELP_VIEWER", "/nonexistent/viewer", 1);
    command(MainWnd::ID_HELP);
    unsetenv("TOLVANE_HELP_VIEWER");
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].Contains(text(ids::HelpViewerMissing)));
    EXPECT_TRUE(wxFileExists(PBN::HelperFuncs::getAppDir().wxstr() + wxT("doc/Tolvane help.chm")));
}

TEST_F(ViewerTest, ABrokenStringTableIsReportedOnce) {
    const std::string broken = dir + "/broken.xml";
    std::ofstream(broken) << "<strings><item id='1'>";
    PBN::Strings::StringTable::destroy();
    EXPECT_FALSE(Tolvane_App::loadStringTable(PBN::Strings::ostring(broken.c_str())));
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_EQ(boxes->messages[0], wxT("Error while loading string table."));
    EXPECT_EQ(text(ids::Live), wxEmptyString);
}

TEST_F(ViewerTest, AboutNamesTheCamera) {
    startLive();
    command(MainWnd::ID_ABOUT);
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].StartsWith(wxT("Tolvane v. 1.3.\n\nCamera used: ZK1480-C\n\n")));
}

TEST_F(ViewerTest, StatusFieldsShowTheirTextsWholeInBothLanguages) {
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        wxStatusBar* bar = main->GetStatusBar();
        wxRect help, state;
        ASSERT_TRUE(bar->GetFieldRect(0, help));
        ASSERT_TRUE(bar->GetFieldRect(1, state));
        for (const unsigned id : {7u, 10u, 25u, 52u, 15u, 74u, 8u})
            EXPECT_GE(help.GetWidth(), bar->GetTextExtent(text(id)).GetWidth() + 8) << text(id);
        for (const unsigned id : {9u, 4u, 62u, 71u})
            EXPECT_GE(state.GetWidth(), bar->GetTextExtent(text(id)).GetWidth() + 8) << text(id);
    }
}

// Live has its own tool picture: no red dot like the record button's.
TEST_F(ViewerTest, TheLiveToolHasItsOwnPicture) {
    wxImage live(wxString(PBN::HelperFuncs::getAppDir().wxstr() + wxT("res/live.bmp")), wxBITMAP_TYPE_BMP);
    wxImage record(wxString(PBN::HelperFuncs::getAppDir().wxstr() + wxT("res/record.png")),
                   wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(live.IsOk());
    ASSERT_TRUE(record.IsOk());
    auto reds = [](const wxImage& image) {
        int count = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                count += image.GetRed(x, y) > 150 && image.GetGreen(x, y) < 100 && image.GetBlue(x, y) < 100;
        return count;
    };
    EXPECT_GT(reds(record), 0);
    EXPECT_EQ(reds(live), 0);
}

// Error boxes are captioned in the interface language.
TEST_F(ViewerTest, TheErrorCaptionFollowsTheLanguage) {
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        zksim_InjectFailure("zk_InitCamera", ZK_NO_CAMERA_FOUND, 1);
        command(MainWnd::ID_LIVE);
    }
    ASSERT_EQ(boxes->captions.size(), 2u);
    EXPECT_EQ(boxes->captions[0], wxT("Erreur"));
    EXPECT_EQ(boxes->captions[1], wxT("Exception"));
}

// After Live off the state field says so with text 71, the text the main window's Live command
// gives it.
TEST_F(ViewerTest, LiveOffShowsTheStopText) {
    startLive();
    command(MainWnd::ID_LIVE);
    EXPECT_FALSE(main->isLive());
    EXPECT_EQ(main->GetStatusBar()->GetStatusText(1), text(ids::Stop));
}

// The live view's conversion, fast path and tail alike, gives 0x00RRGGBB at every row width.
TEST(LiveImage, RowsBecomeNativePixelsAtEveryWidth) {
    std::vector<unsigned char> rgb(3 * 64);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(i * 7 + 3);
    for (int width = 1; width <= 64; ++width) {
        std::vector<uint32_t> out(static_cast<size_t>(width) + 1, 0xDEADBEEF);
        LiveImage::convertRow(rgb.data(), out.data(), width);
        for (int i = 0; i < width; ++i)
            ASSERT_EQ(out[i], (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2])
                << width << " " << i;
        EXPECT_EQ(out[width], 0xDEADBEEF) << width; // nothing written past the row
    }
}
