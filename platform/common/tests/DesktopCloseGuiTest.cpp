#include "platform/common/DesktopClose.h"

#include "platform/common/tests/DisplayChild.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
// Last: Xlib's macros (None, Bool) break the headers above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "zeko_desktop_close_gui_tests";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        DesktopClose::install();
    }
    void TearDown() override { wxEntryCleanup(); }
};
const auto* registered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// Runs what after ms on the GUI thread, from whatever loop runs then (a modal one included).
guint after(unsigned ms, std::function<void()> what) {
    return g_timeout_add_full(
        G_PRIORITY_DEFAULT, ms,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(what)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

using zeko::test::DisplayChild;

// What a child's program does once it is shown, from ZEKO_CHILD_ACTION: "destroy" destroys the
// window from another X client; otherwise the parent kills the display server.
bool destroysItself() {
    const char* action = std::getenv("ZEKO_CHILD_ACTION");
    return action && std::string(action) == "destroy";
}

// Runs a child's main dialog until the program leaves, or 20 s have passed ("hung").
void runUntilItLeaves(wxDialog& main) {
    const guint guard = after(20000, [&] {
        DisplayChild::note("hung");
        main.EndModal(wxID_ABORT);
    });
    main.ShowModal();
    g_source_remove(guard);
    DisplayChild::note("ended");
    wxTheApp->SetTopWindow(nullptr);
}

// Destroys the window's X window from a connection of its own, as xdotool windowclose does.
void destroyFromOutside(wxWindow& window) {
    GdkWindow* shown = gtk_widget_get_window(window.GetHandle());
    ASSERT_NE(shown, nullptr);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XDestroyWindow(other, gdk_x11_window_get_xid(shown));
    XCloseDisplay(other);
}

// Pumps the GUI thread until done holds or the time has passed.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds time = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (!done() && std::chrono::steady_clock::now() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

void record(wxWindow& window, std::vector<std::string>& order, const std::string& name) {
    window.Bind(wxEVT_CLOSE_WINDOW, [&order, name](wxCloseEvent& event) {
        order.push_back(name + " closed");
        event.Skip();
    });
}

// The viewer's case: its main frame gets the close File → Quit gives it, once per signal.
TEST(DesktopCloseTest, EachSignalClosesTheTopFrameAsQuitDoes) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        int closes = 0;
        bool forced = false;
        auto* frame = new wxFrame(nullptr, wxID_ANY, "viewer");
        frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
            ++closes;
            forced = !event.CanVeto();
            event.Skip();
        });
        frame->Show();
        wxTheApp->SetTopWindow(frame);
        std::raise(signal);
        EXPECT_TRUE(pumpUntil([&] { return closes > 0; })) << signal;
        pumpUntil([] { return false; }, std::chrono::milliseconds(300)); // no second close
        EXPECT_EQ(closes, 1) << signal;
        EXPECT_TRUE(forced) << signal;
        EXPECT_FALSE(wxTopLevelWindows.Find(frame)) << signal << ": the closed frame is never deleted";
        wxTheApp->SetTopWindow(nullptr);
    }
}

// A modal main dialog as the top window; the closes of it and of the dialogs above are recorded.
class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest() : main(nullptr, wxID_ANY, "main") {
        wxTheApp->SetTopWindow(&main);
        record(main, order, "main");
    }
    ~MainDialogTest() override { wxTheApp->SetTopWindow(nullptr); }
    // Opens a modal dialog above the main one, which is and does what within does.
    void openInner(const std::function<void(wxDialog&)>& within) {
        wxDialog inner(&main, wxID_ANY, "inner");
        record(inner, order, "inner");
        within(inner);
        inner.ShowModal();
        order.push_back("inner ended");
    }
    // The main dialog's loop; false when it had to be ended after 10 seconds (instead of hanging).
    bool mainEnds() {
        bool ended = true;
        const guint guard = after(10000, [&] {
            ended = false;
            main.EndModal(wxID_ABORT);
        });
        main.ShowModal();
        if (ended)
            g_source_remove(guard);
        return ended;
    }
    std::vector<std::string> order;
    wxDialog main;
};

// The manager's case: a message box on a dialog on the modal main dialog when SIGTERM comes.
TEST_F(MainDialogTest, SignalEndsTheDialogsInnermostFirstThenTheTopWindow) {
    int answer = 0;
    after(100, [&] {
        openInner([&](wxDialog& inner) {
            after(200, [&] {
                after(300, [] { std::raise(SIGTERM); });
                answer = wxMessageBox("Install?", "test", wxOK | wxCANCEL, &inner);
                order.push_back("message answered");
            });
        });
    });
    EXPECT_TRUE(mainEnds());
    EXPECT_EQ(order,
              (std::vector<std::string>{"message answered", "inner closed", "inner ended", "main closed"}));
    EXPECT_EQ(answer, wxCANCEL);
}

// SetCamID's case: another X client destroys a dialog above the main one, which stays.
TEST_F(MainDialogTest, ADialogDestroyedFromOutsideEndsItsLoop) {
    after(100, [&] {
        openInner([&](wxDialog& inner) { after(300, [&] { destroyFromOutside(inner); }); });
        main.EndModal(wxID_OK);
    });
    EXPECT_TRUE(mainEnds());
    EXPECT_EQ(order, (std::vector<std::string>{"inner closed", "inner ended"}));
}

// A dialog that refuses its close (a question still open, work under way) leaves its loop all the
// same when the program is ending. The test's own watchdog ends a loop that went on.
TEST_F(MainDialogTest, ASignalEndsTheLoopOfADialogThatRefusesToClose) {
    bool innerHung = false;
    after(100, [&] {
        openInner([&](wxDialog& inner) {
            inner.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
                order.push_back("inner refused");
                event.Veto();
            });
            after(200, [] { std::raise(SIGTERM); });
            after(5000, [&] {
                if (inner.IsModal()) {
                    innerHung = true;
                    inner.EndModal(wxID_ABORT);
                }
            });
        });
    });
    EXPECT_TRUE(mainEnds());
    EXPECT_FALSE(innerHung) << "the refusing dialog kept its loop";
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], "inner refused");
    EXPECT_NE(std::find(order.begin(), order.end(), "inner ended"), order.end());
}

// The children's programs, each run in a process of its own on a display of its own by the test
// at the end, which says what each is for. What happens is written to the child's record.

// A modal main dialog that draws as the manager's does as it closes.
TEST(DesktopCloseChild, DISABLED_MainDialog) {
    wxDialog main(nullptr, wxID_ANY, "main");
    wxTheApp->SetTopWindow(&main);
    main.Bind(wxEVT_PAINT, [&](wxPaintEvent&) {
        wxPaintDC dc(&main);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawLine(0, 0, 100, 80);
        dc.DrawRectangle(10, 10, 50, 30);
    });
    main.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        DisplayChild::note("closed");
        main.Refresh();
        main.Update();
        event.Skip();
    });
    main.Bind(wxEVT_SHOW, [&](wxShowEvent& event) {
        if (event.IsShown())
            after(200, [&] {
                DisplayChild::note("shown");
                if (destroysItself())
                    destroyFromOutside(main);
            });
        event.Skip();
    });
    const DesktopClose::BeforeLeaving saved([] { DisplayChild::note("saved"); });
    runUntilItLeaves(main);
}

// The viewer's case: a top frame that draws at every millisecond's tick.
TEST(DesktopCloseChild, DISABLED_DrawingFrame) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "viewer");
    wxTimer display(frame);
    int ticks = 0;
    frame->Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxClientDC dc(frame);
        dc.SetBrush(ticks % 2 ? *wxRED_BRUSH : *wxBLUE_BRUSH);
        dc.DrawRectangle(0, 0, 300, 200);
        if (++ticks == 20) {
            DisplayChild::note("shown");
            if (destroysItself())
                destroyFromOutside(*frame);
        }
    });
    frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        DisplayChild::note("closed");
        display.Stop();
        event.Skip();
    });
    frame->Show();
    wxTheApp->SetTopWindow(frame);
    display.Start(1);
    const DesktopClose::BeforeLeaving saved([] { DisplayChild::note("saved"); });
    pumpUntil([] { return false; }, std::chrono::seconds(20));
    DisplayChild::note("hung");
}

// The manager's case: a message box above a dialog above the modal main dialog, the pointer
// resting on the dialog's button that asked it, and code after the box that changes that button
// as the manager's does.
TEST(DesktopCloseChild, DISABLED_MessageBoxAboveADialog) {
    wxDialog main(nullptr, wxID_ANY, "main", wxDefaultPosition, wxSize(600, 500));
    wxTheApp->SetTopWindow(&main);
    main.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        DisplayChild::note("closed");
        event.Skip();
    });
    const DesktopClose::BeforeLeaving saved([] { DisplayChild::note("saved"); });
    after(200, [&] {
        // The box opens at the dialog's centre, the button that asked it lies outside the box.
        wxDialog inner(&main, wxID_ANY, "inner", wxDefaultPosition, wxSize(500, 460));
        auto* button = new wxButton(&inner, wxID_ANY, "Install", wxPoint(20, 370), wxSize(200, 60));
        new wxButton(&inner, wxID_CANCEL, "Close", wxPoint(280, 370), wxSize(200, 60));
        // What makes GTK ask: the toolkit knows the pointer is on the button.
        bool entered = false;
        button->Bind(wxEVT_ENTER_WINDOW, [&](wxMouseEvent& event) {
            if (!std::exchange(entered, true))
                DisplayChild::note("pointer on the button");
            event.Skip();
        });
        after(400, [&] {
            const wxRect rect = button->GetScreenRect();
            GdkDisplay* display = gdk_display_get_default();
            gdk_device_warp(gdk_seat_get_pointer(gdk_display_get_default_seat(display)),
                            gdk_display_get_default_screen(display), rect.x + rect.width / 2,
                            rect.y + rect.height / 2);
            after(300, [&] {
                after(400, [&] {
                    DisplayChild::note("shown");
                    if (destroysItself())
                        destroyFromOutside(main);
                });
                wxMessageBox("Installed", "test", wxOK, &inner);
                DisplayChild::note("answered");
                button->Disable();
                button->SetLabel("Install again");
                button->Enable();
                DisplayChild::note("changed");
            });
        });
        inner.ShowModal();
        DisplayChild::note("inner ended");
    });
    runUntilItLeaves(main);
}

// Once another client destroyed one of the program's dialogs, a request on a window that was
// never the program's still fails as GDK makes it fail: the program ends before it goes on.
TEST(DesktopCloseChild, DISABLED_RequestOnAWindowNeverOurs) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main");
    wxTheApp->SetTopWindow(frame);
    frame->Show();
    auto* dialog = new wxDialog(frame, wxID_ANY, "inner");
    dialog->Show();
    ASSERT_TRUE(pumpUntil([&] { return dialog->IsShownOnScreen(); }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(200));
    destroyFromOutside(*dialog);
    ASSERT_TRUE(pumpUntil([&] { return DesktopClose::isDestroyed(*dialog); }));
    DisplayChild::note("shown");
    Display* connection = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XMapWindow(connection, XAllocID(connection));
    XSync(connection, False);
    DisplayChild::note("went on");
}

// A logout or a display server that ends takes the X connection away under a running program,
// and another client may destroy its top window (xkill, xdotool windowclose): neither leaves a
// window to close. What the program must not lose is saved at once, and it ends with the status
// of its close (0), idle, drawing, or with a message box above a dialog (moving GTK's grab and
// enabling a button under the pointer ask the X server where the pointer is), with a window
// manager and without. Where GDK ended it at once with status 1, nothing was saved; where its
// windows closed on the dead display, the viewer spun in cairo and the manager's nested loops
// never ended. Errors of the windows that are gone are dropped, and those alone.
TEST(DesktopCloseTest, TheProgramSavesAndLeavesWhenItsDisplayOrTopWindowGoes) {
    struct Row {
        const char* child;
        bool destroy; // the top window destroyed from outside, else the display server killed
        const char* happened;
        const char* ending;
    };
    const Row rows[] = {
        {"MainDialog", false, "shown\nsaved\n", "exit 0"},
        {"MainDialog", true, "shown\nsaved\n", "exit 0"},
        {"DrawingFrame", false, "shown\nsaved\n", "exit 0"},
        {"DrawingFrame", true, "shown\nsaved\n", "exit 0"},
        {"MessageBoxAboveADialog", false, "pointer on the button\nshown\nsaved\n", "exit 0"},
        {"MessageBoxAboveADialog", true, "pointer on the button\nshown\nsaved\n", "exit 0"},
        {"RequestOnAWindowNeverOurs", false, "shown\n", nullptr},
    };
    for (const Row& row : rows)
        for (const bool managed : {false, true}) {
            if (!row.ending && managed)
                continue;
            SCOPED_TRACE(std::string(row.child) +
                         (row.destroy  ? ", destroyed"
                          : row.ending ? ", display killed"
                                       : "") +
                         (managed ? ", openbox" : ", no window manager"));
            DisplayChild::Options options;
            options.test = std::string("DesktopCloseChild.DISABLED_") + row.child;
            options.managed = managed;
            options.killDisplay = !row.destroy && row.ending;
            if (row.destroy)
                options.env.push_back("ZEKO_CHILD_ACTION=destroy");
            const DisplayChild end = DisplayChild::run(options);
            if (!end.display)
                GTEST_SKIP() << "Xvfb or openbox did not start";
            ASSERT_TRUE(end.shown) << end.happened << end.stderrText;
            EXPECT_EQ(end.happened, row.happened) << end.stderrText;
            if (row.ending)
                EXPECT_EQ(end.ending(), row.ending) << end.stderrText;
            else
                EXPECT_NE(end.ending(), "exit 0") << end.stderrText;
        }
}

} // namespace
