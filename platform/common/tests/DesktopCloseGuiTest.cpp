#include "platform/common/DesktopClose.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

// Runs a child's main dialog until the display's loss ends it, or 20 s have passed ("hung").
void runUntilTheDisplayEnds(wxDialog& main, const std::function<void(const char*)>& note) {
    bool hung = false;
    const guint guard = after(20000, [&] {
        hung = true;
        note("hung");
        main.EndModal(wxID_ABORT);
    });
    main.ShowModal();
    DesktopClose::whenDisplayLost({});
    if (!hung)
        g_source_remove(guard);
    note("ended");
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

// A top frame whose X window another client destroys closes before any of its timers can draw
// on the window that is gone; the window counts as destroyed from then on, not before.
TEST(DesktopCloseTest, ATopFrameDestroyedFromOutsideClosesBeforeItsNextTick) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "viewer");
    wxTimer display(frame);
    int closes = 0, ticks = 0, ticksOnGone = 0;
    frame->Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        ++ticks;
        ticksOnGone += DesktopClose::isDestroyed(*frame);
    });
    frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        ++closes;
        display.Stop();
        event.Skip();
    });
    EXPECT_FALSE(DesktopClose::isDestroyed(*frame)); // never shown
    frame->Show();
    wxTheApp->SetTopWindow(frame);
    display.Start(1);
    ASSERT_TRUE(pumpUntil([&] { return ticks > 10; }));
    EXPECT_FALSE(DesktopClose::isDestroyed(*frame));
    destroyFromOutside(*frame);
    EXPECT_TRUE(pumpUntil([&] { return !wxTopLevelWindows.Find(frame); }));
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(ticksOnGone, 0);
    wxTheApp->SetTopWindow(nullptr);
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

// SetCamID's and the main dialog's case: another X client destroys their windows.
TEST_F(MainDialogTest, AWindowDestroyedFromOutsideEndsItsLoopAndTheTopWindowCloses) {
    after(100, [&] {
        openInner([&](wxDialog& inner) { after(300, [&] { destroyFromOutside(inner); }); });
        after(300, [&] { destroyFromOutside(main); });
    });
    EXPECT_TRUE(mainEnds());
    EXPECT_EQ(order, (std::vector<std::string>{"inner closed", "inner ended", "main closed"}));
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

// The program's side of the test below, run in a process of its own on a display of its own: a
// modal main dialog, with what happens to it written to the file ZEKO_DISPLAY_LOSS_RECORD names.
TEST(DesktopCloseChild, DISABLED_MainDialogUntilTheDisplayEnds) {
    const char* path = std::getenv("ZEKO_DISPLAY_LOSS_RECORD");
    ASSERT_NE(path, nullptr);
    std::ofstream out(path);
    const auto note = [&](const char* what) { out << what << '\n' << std::flush; };
    wxDialog main(nullptr, wxID_ANY, "main");
    wxTheApp->SetTopWindow(&main);
    // What the manager's dialog does as it closes: it draws, which on a display that is gone
    // must not reach the X server.
    main.Bind(wxEVT_PAINT, [&](wxPaintEvent&) {
        wxPaintDC dc(&main);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawLine(0, 0, 100, 80);
        dc.DrawRectangle(10, 10, 50, 30);
    });
    main.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        note("closed");
        main.Refresh();
        main.Update();
        event.Skip();
    });
    main.Bind(wxEVT_SHOW, [&](wxShowEvent& event) {
        if (event.IsShown())
            after(200, [&] { note("shown"); });
        event.Skip();
    });
    DesktopClose::whenDisplayLost([&] { note("saved"); });
    runUntilTheDisplayEnds(main, note);
}

// The manager's case as a child program: a message box above a dialog above the modal main
// dialog, the pointer resting on the dialog's button that asked it, and code after the box that
// changes that button as the manager's does.
TEST(DesktopCloseChild, DISABLED_MessageBoxAboveADialogUntilTheDisplayEnds) {
    const char* path = std::getenv("ZEKO_DISPLAY_LOSS_RECORD");
    ASSERT_NE(path, nullptr);
    std::ofstream out(path);
    const auto note = [&](const char* what) { out << what << '\n' << std::flush; };
    wxDialog main(nullptr, wxID_ANY, "main", wxDefaultPosition, wxSize(600, 500));
    wxTheApp->SetTopWindow(&main);
    main.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        note("closed");
        event.Skip();
    });
    DesktopClose::whenDisplayLost([&] { note("saved"); });
    after(200, [&] {
        // The box opens at the dialog's centre, the button that asked it lies outside the box.
        wxDialog inner(&main, wxID_ANY, "inner", wxDefaultPosition, wxSize(500, 460));
        auto* button = new wxButton(&inner, wxID_ANY, "Install", wxPoint(20, 370), wxSize(200, 60));
        new wxButton(&inner, wxID_CANCEL, "Close", wxPoint(280, 370), wxSize(200, 60));
        // What makes GTK ask: the toolkit knows the pointer is on the button.
        bool entered = false;
        button->Bind(wxEVT_ENTER_WINDOW, [&](wxMouseEvent& event) {
            if (!std::exchange(entered, true))
                note("pointer on the button");
            event.Skip();
        });
        after(400, [&] {
            const wxRect rect = button->GetScreenRect();
            GdkDisplay* display = gdk_display_get_default();
            gdk_device_warp(gdk_seat_get_pointer(gdk_display_get_default_seat(display)),
                            gdk_display_get_default_screen(display), rect.x + rect.width / 2,
                            rect.y + rect.height / 2);
            after(300, [&] {
                after(400, [&] { note("shown"); });
                wxMessageBox("Installed", "test", wxOK, &inner);
                note("answered");
                button->Disable();
                button->SetLabel("Install again");
                button->Enable();
                note("changed");
            });
        });
        inner.ShowModal();
        note("inner ended");
    });
    runUntilTheDisplayEnds(main, note);
}

// Starts a display server of its own; ends it with the object.
class OwnDisplay {
public:
    OwnDisplay() {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char name[] = "Xvfb", fd[] = "-displayfd", three[] = "3", screen[] = "-screen", zero[] = "0",
             geometry[] = "800x600x24", nolisten[] = "-nolisten", tcp[] = "tcp";
        char* argv[] = {name, fd, three, screen, zero, geometry, nolisten, tcp, nullptr};
        if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv, environ) != 0)
            pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        char number[32] = {};
        ssize_t got = 0, n;
        while (got < ssize_t(sizeof number) - 1 && (n = read(ready[0], number + got, 1)) == 1 &&
               number[got] != '\n')
            ++got;
        close(ready[0]);
        if (pid > 0 && got > 0)
            display = ":" + std::string(number, size_t(got));
    }
    ~OwnDisplay() { end(); }
    void end() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = 0;
        }
    }
    std::string display; // empty when none started
    pid_t pid = 0;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// How a child program of the tests below ended once its display server was ended under it.
struct ChildEnd {
    bool display = false; // a display server of its own started
    bool shown = false;   // it said it was ready for the display to end
    bool exited = false;  // false: it hung and was killed
    int status = -1;
    std::string happened; // its record
};

// Runs the child test named on a display of its own, ends the display server once the child
// wrote "shown", and waits for the child to end.
ChildEnd endTheDisplayUnder(const std::string& childTest) {
    ChildEnd end;
    OwnDisplay display;
    if (display.display.empty())
        return end;
    end.display = true;
    char folder[] = "/tmp/zeko_display_loss_XXXXXX";
    if (!mkdtemp(folder))
        return end;
    const std::string record = std::string(folder) + "/record";
    std::vector<std::string> env;
    for (char** v = environ; *v; ++v)
        if (std::string(*v).rfind("DISPLAY=", 0) != 0)
            env.emplace_back(*v);
    env.push_back("DISPLAY=" + display.display);
    env.push_back("ZEKO_DISPLAY_LOSS_RECORD=" + record);
    std::vector<char*> envp;
    for (auto& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=DesktopCloseChild." + childTest,
                disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const bool started = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (started) {
        const auto wait = [](const std::function<bool()>& done, std::chrono::milliseconds time) {
            const auto until = std::chrono::steady_clock::now() + time;
            while (!done() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return done();
        };
        end.shown = wait([&] { return readFile(record).find("shown") != std::string::npos; },
                         std::chrono::seconds(20));
        display.end();
        bool reaped = false;
        end.exited = wait([&] { return reaped = reaped || waitpid(child, &end.status, WNOHANG) == child; },
                          std::chrono::seconds(15));
        if (!end.exited) {
            kill(child, SIGKILL);
            waitpid(child, &end.status, 0);
        }
    }
    end.happened = readFile(record);
    std::remove(record.c_str());
    rmdir(folder);
    return end;
}

// A logout or a display server that ends takes the X connection away under a running program:
// what the program asked to run first runs, its main dialog closes as Close would, its loop ends
// and the program ends normally (status 0), where GDK ended it at once with status 1, before any
// of its windows knew.
TEST(DesktopCloseTest, TheLossOfTheDisplayClosesTheProgramAsItsCloseDoes) {
    const ChildEnd end = endTheDisplayUnder("DISABLED_MainDialogUntilTheDisplayEnds");
    if (!end.display)
        GTEST_SKIP() << "Xvfb did not start";
    ASSERT_TRUE(end.shown) << end.happened;
    ASSERT_TRUE(end.exited) << "the program hung after its display went: " << end.happened;
    // What must not wait came first, once.
    EXPECT_EQ(end.happened, "shown\nsaved\nclosed\nended\n");
    ASSERT_TRUE(WIFEXITED(end.status)) << end.status;
    EXPECT_EQ(WEXITSTATUS(end.status), 0);
}

// The manager's case: a message box open above one of its dialogs, the pointer on that dialog,
// when the display goes. Dismissing the box moves GTK's grab, and the code after the box changes
// the dialog's buttons; both make GTK ask the dead display where the pointer is, which crashed
// the program (status 1 under the sanitizers) after its settings were saved and before its
// dialogs closed.
TEST(DesktopCloseTest, TheLossOfTheDisplayUnderAMessageBoxClosesTheProgramAsItsCloseDoes) {
    const ChildEnd end = endTheDisplayUnder("DISABLED_MessageBoxAboveADialogUntilTheDisplayEnds");
    if (!end.display)
        GTEST_SKIP() << "Xvfb did not start";
    ASSERT_TRUE(end.shown) << end.happened;
    ASSERT_TRUE(end.exited) << "the program hung after its display went: " << end.happened;
    EXPECT_EQ(end.happened,
              "pointer on the button\nshown\nsaved\nanswered\nchanged\ninner ended\nclosed\nended\n");
    ASSERT_TRUE(WIFEXITED(end.status)) << "ended by signal " << WTERMSIG(end.status) << ": " << end.happened;
    EXPECT_EQ(WEXITSTATUS(end.status), 0) << end.happened;
}

} // namespace
