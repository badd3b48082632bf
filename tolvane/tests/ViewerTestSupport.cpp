#include "tolvane/tests/ViewerTestSupport.h"

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "platform/common/DesktopClose.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/RecordDialog.h"
#include "tolvane/Tolvane_App.h"
#include "tolvane_model/Config.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtk/gtk.h>
#include <sstream>
#include <sys/wait.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
// Last: Xlib's macros (None, Bool) break the headers above.
#include <gdk/gdkx.h>

using PBN::HelperFuncs;
using PBN::Strings::ostring;

namespace Tolvane::test {

namespace {

// The wx application, the library and an active event loop for the whole program; the
// simulator's state and the program's settings file are put back afterwards.
class WxApp : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/tolvane_gui_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        stateDir = pattern;
        setenv("ZEKO_SIM_STATE_DIR", stateDir.c_str(), 1);
        setenv("ZEKO_REGISTRY_DIR", stateDir.c_str(), 1);
        wxApp::SetInstance(new wxApp());
        int argc = 1;
        static wxChar name[] = wxT("tolvane_gui_tests");
        static wxChar* argv[] = {name, nullptr};
        ASSERT_TRUE(wxEntryStart(argc, argv));
        wxTheApp->CallOnInit();
        // As the viewer starts: a signal or a window destroyed from outside closes the windows.
        DesktopClose::install();
        HelperFuncs::initLib();
        loop = new wxGUIEventLoop();
        wxEventLoopBase::SetActive(loop);
        settings = readFile(settingsPath());
    }
    void TearDown() override {
        std::ofstream(settingsPath(), std::ios::binary) << settings;
        wxEventLoopBase::SetActive(nullptr);
        delete loop;
        HelperFuncs::releaseLib();
        wxEntryCleanup();
        runCommand("rm -rf '" + stateDir + "'");
    }

private:
    std::string stateDir, settings;
    wxGUIEventLoop* loop = nullptr;
};
const auto* const wxAppEnv = ::testing::AddGlobalTestEnvironment(new WxApp);

} // namespace

void pump(int ms) {
    // A nested event loop ended by a timer: unlike a yield, it returns even when the display
    // tick keeps the queue busy. The timer may fire inside a dialog's loop run from this one, so
    // the exit is only scheduled: the loop ends once the dialog's has.
    wxGUIEventLoop loop;
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.ScheduleExit(); });
    end.StartOnce(std::max(ms, 1));
    loop.Run();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

void pressEscape(wxDialog* dialog) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    wxWindow* focus = wxWindow::FindFocus();
    key.SetEventObject(focus ? focus : dialog);
    dialog->GetEventHandler()->ProcessEvent(key);
}

void clickWithMouse(wxWindow* control) {
    wxUIActionSimulator mouse;
    mouse.MouseMove(control->GetScreenRect().GetPosition() + control->GetSize() / 2);
    pump(30);
    mouse.MouseClick();
}

bool waitForKeyboard(wxWindow* topLevel) {
    auto* window = dynamic_cast<wxTopLevelWindow*>(topLevel);
    if (!window)
        return false;
    // What a window manager does for a new window; without one the keyboard stays where it was.
    window->Raise();
    return pumpUntil([window] { return window->IsActive(); }, 3000);
}

void destroyFromOutside(wxWindow* topLevel) {
    GdkWindow* shown = gtk_widget_get_window(topLevel->GetHandle());
    ASSERT_NE(shown, nullptr);
    int status = -1;
    runCommand("xdotool windowclose " + std::to_string(gdk_x11_window_get_xid(shown)), &status);
    ASSERT_EQ(status, 0);
}

wxImage grabScreen(wxWindow* window) {
    window->Update();
    pump(50);
    const wxPoint origin = window->GetScreenPosition();
    const wxSize size = window->GetClientSize();
    const std::string file = "/tmp/tolvane_grab_" + std::to_string(getpid()) + ".png";
    std::ostringstream command;
    command << "import -window root -crop " << size.GetWidth() << "x" << size.GetHeight() << "+" << origin.x
            << "+" << origin.y << " +repage '" << file << "' 2>/dev/null";
    runCommand(command.str());
    wxImage image;
    image.LoadFile(file, wxBITMAP_TYPE_PNG);
    std::remove(file.c_str());
    return image;
}

wxString text(unsigned id) {
    return PBN::Strings::StringTable::get().getString("Tolvane", id).wxstr();
}

std::string settingsPath() {
    return HelperFuncs::getAppDir().str() + "res/config.xml";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int journalCalls(const char* function) {
    return zksim_JournalCount(function);
}

TestMainWnd::TestMainWnd() : MainWnd(wxPoint(0, 0), wxSize(800, 600)) {}

bool TestMainWnd::askSavePath(const wxString&, const wxString&, const wxString& name,
                              const wxString& wildcard, int& filterIndex, wxString& path) {
    askedNames.push_back(name);
    offeredFilters.push_back(filterIndex);
    offeredWildcards.push_back(wildcard);
    if (answers.empty())
        return false;
    path = answers.front().path;
    filterIndex = answers.front().filterIndex;
    answers.pop_front();
    return true;
}

bool TestMainWnd::confirmReplace(const wxString&) {
    ++replaceQuestions;
    return replace;
}

void TestMainWnd::runRecordDialog(const wxString& path) {
    RecordDialog dialog(this, path);
    if (driveRecordDialog)
        dialog.CallAfter([this, &dialog] { driveRecordDialog(dialog); });
    dialog.ShowModal();
}

void ViewerTest::SetUp() {
    char pattern[] = "/tmp/tolvane_files_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    unsetenv("ZEKO_SIM_CAMERAS");
    ASSERT_EQ(zksim_Reset(), 0) << zksim_DescriptionError();
    zksim_SetDelays(0, 0);
    zksim_JournalClear();
    boxes = new MessageBoxes();
    ASSERT_TRUE(Tolvane_App::loadStringTable(HelperFuncs::getAppDir() + ostring("res/Tolvane.xml")));
    main = new TestMainWnd();
    main->Show();
    pump(100);
}

void ViewerTest::TearDown() {
    if (main) {
        main->Close(true);
        pump(50);
    }
    delete boxes;
    zksim_ClearFailures();
    zksim_Reset();
    runCommand("rm -rf '" + dir + "'");
}

void ViewerTest::command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(main);
    main->GetEventHandler()->ProcessEvent(event);
}

void ViewerTest::startLive() {
    command(MainWnd::ID_LIVE);
    ASSERT_TRUE(main->isLive());
    pump(300);
}

} // namespace Tolvane::test
