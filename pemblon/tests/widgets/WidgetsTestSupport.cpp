#include "WidgetsTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <dlfcn.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "pemblon/core/HelperFuncs.h"

extern "C" int XInitThreads(void);

namespace WidgetsTest {

namespace {

// One GUI application for the whole program, as a program that shows these widgets has.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The canvas draws from its render thread: Xlib must be thread-safe before the display
        // opens. Mesa's software driver stays loaded, so that its blocks are not reported as
        // leaks of an unloaded module.
        XInitThreads();
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
        // Without the accessibility bridge, which none of these tests uses: it keeps two strings
        // until exit, and this program's leak stacks (frame pointers only, see OPENGL in
        // cmake/ZekoTesting.cmake) show them as GLib's allocator alone, which no suppression
        // could tell from a leak of the suite's.
        setenv("NO_AT_BRIDGE", "1", 0);
        static char name[] = "pemblon_widgets_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        ASSERT_TRUE(wxTheApp->CallOnInit());
        PBN::HelperFuncs::initLib();
    }
    void TearDown() override {
        PBN::HelperFuncs::releaseLib();
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

bool pumpUntil(const std::function<bool()>& done, int ms) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (true) {
        if (done && done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return done ? done() : true;
        }
        while (loop.Pending()) {
            loop.Dispatch();
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    }
}

void pump(int ms) {
    pumpUntil(nullptr, ms);
}

bool showAndWait(wxWindow* topLevel, wxWindow* window) {
    topLevel->Show();
    topLevel->Raise();
    const bool shown = pumpUntil([window] { return window->IsShownOnScreen(); });
    pump(100);
    return shown;
}

void pointerTo(const wxPoint& screen) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    pump(30);
}

void pointerButton(bool down) {
    wxUIActionSimulator sim;
    if (down) {
        sim.MouseDown();
    } else {
        sim.MouseUp();
    }
    pump(30);
}

void snapshot(const char* name) {
    const char* dir = std::getenv("PBN_WIDGETS_SNAPSHOTS");
    if (dir == nullptr) {
        return;
    }
    pump(200);
    wxExecute(wxString::Format("import -window root %s/%s.png", dir, name), wxEXEC_SYNC);
}

} // namespace WidgetsTest
