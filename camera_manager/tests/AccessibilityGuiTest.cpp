// Texts painted by the camera manager's own controls, read back as a screen reader reads them:
// over AT-SPI, by a reader in another process, while this one keeps its event loop running.
// The program brings its own session bus (the accessibility bus is started from it on demand)
// and stops it at exit.
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomStatic.h"
#include "camera_manager/tests/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

extern char** environ;

namespace {

// A private session bus, started before GTK starts (static initialisation), so that GTK's
// accessibility bridge finds it, and stopped when the program ends.
class SessionBus {
public:
    SessionBus() {
        FILE* out = popen(
            "dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!out)
            return;
        char address[512] = {}, pid[32] = {};
        if (fgets(address, sizeof address, out) && fgets(pid, sizeof pid, out)) {
            address[strcspn(address, "\n")] = 0;
            setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
            unsetenv("NO_AT_BRIDGE");
            daemon = static_cast<pid_t>(std::atol(pid));
        }
        pclose(out);
    }
    ~SessionBus() {
        if (daemon > 0)
            kill(daemon, SIGTERM);
    }
    bool Running() const { return daemon > 0; }

private:
    pid_t daemon = -1;
};

const SessionBus bus;

// Walks this process's accessible tree as a screen reader does. "labels" prints "name|description"
// of every static text and label; a label's text is read through the text interface, which readers
// take every label to offer and ask without looking first. "rows" prints "container role|row
// role|name|selected|expanded|showing" of every list and tree row.
const char* const reader = R"(
import sys, pyatspi
pid, what = int(sys.argv[1]), sys.argv[2]
def say(node, role):
    if what == "labels" and role in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC):
        print("%s|%s" % (node.name, node.description))
        if role == pyatspi.ROLE_LABEL:
            try:
                node.get_text(0, node.get_character_count())
            except Exception:
                pass
    if what == "rows" and role in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM):
        states = node.getState()
        print("%s|%s|%s|%s|%s|%s" % (node.parent.getRoleName(), node.getRoleName(), node.name,
              "selected" if states.contains(pyatspi.STATE_SELECTED) else "-",
              "expanded" if states.contains(pyatspi.STATE_EXPANDED) else "-",
              "showing" if states.contains(pyatspi.STATE_SHOWING) else "-"))
def walk(node, depth):
    if node is None or depth > 50:
        return
    try:
        say(node, node.getRole())
        for i in range(node.childCount):
            walk(node.getChildAtIndex(i), depth + 1)
    except Exception:
        pass
for app in pyatspi.Registry.getDesktop(0):
    try:
        if app is not None and app.get_process_id() == pid:
            walk(app, 0)
    except Exception:
        pass
)";

// What the reader prints for `what`, one line each; this process's events run while it reads.
std::string ReadAccessible(const char* what) {
    char path[] = "/tmp/zeko_cm_atspi_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, 1);
    const std::string self = std::to_string(getpid());
    char python[] = "python3", dashC[] = "-c";
    std::string script = reader, kind = what;
    char* argv[] = {python, dashC, script.data(), const_cast<char*>(self.c_str()), kind.data(), nullptr};
    pid_t child = -1;
    // The system's Python, which the Debian package of the AT-SPI bindings installs into.
    const bool started = posix_spawn(&child, "/usr/bin/python3", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fd);
    if (started) {
        int status = 0;
        if (!cmtest::PumpUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, 30000)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    std::ifstream file(path);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    unlink(path);
    return text;
}

std::string ReadLabels() {
    return ReadAccessible("labels");
}

// "name|description" of a text that says the text in both.
std::string Said(const wxString& text) {
    const std::string utf8(text.utf8_str());
    return utf8 + "|" + utf8;
}

TEST(AccessibilityGuiTest, ThePaintedStatusTextIsSaidAsNameAndDescriptionQuietlyAndFollowsItsChanges) {
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
    auto* frame = new wxFrame(nullptr, wxID_ANY, wxT("Accessibility"));
    const wxString first = wxString::FromUTF8("Status of device Nr. 1: The camera is configured correctly "
                                              "and can be opened.");
    auto* status = new CustomStatic(frame, 1154, first, wxPoint(0, 0), wxSize(400, 40));
    frame->Show();
    cmtest::Pump(300);
    cmtest::StandardErrorCapture errors;
    const std::string before = ReadLabels();
    EXPECT_NE(before.find(Said(first)), std::string::npos) << before;

    const wxString second =
        wxString::FromUTF8("Status of device Nr. 1: The camera is in use \xE2\x80\x93 by another program.");
    status->SetLabel(second);
    cmtest::Pump(100);
    const std::string after = ReadLabels();
    EXPECT_NE(after.find(Said(second)), std::string::npos) << after;
    EXPECT_EQ(after.find(std::string(first.utf8_str())), std::string::npos) << after;
    // Reading the window makes the toolkit complain about nothing (a label without a text
    // interface did, at every read).
    EXPECT_EQ(errors.Stop(), "");
    frame->Destroy();
    cmtest::Pump(50);
}

TEST(AccessibilityGuiTest, PaintedListAndTreeRowsAreReadWithTheirRoleTextAndSelection) {
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
    auto* frame = new wxFrame(nullptr, wxID_ANY, wxT("Rows"), wxDefaultPosition, wxSize(700, 400));
    auto* list = new CustomListCtrl(frame, 1010, wxPoint(0, 0), wxSize(340, 200));
    list->InsertColumn(0, wxT("Free"));
    list->InsertColumn(1, wxT("Model"));
    list->InsertColumn(2, wxT("SerNo."));
    for (const auto& [free, model, serial] :
         {std::tuple{"Yes", "ZK-1220", "4102"}, {"No", "ZK-2040", "4107"}}) {
        const long row = list->InsertItem(list->GetItemCount(), free);
        list->SetItem(row, 1, model);
        list->SetItem(row, 2, serial);
    }
    list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    auto* window = new CColumnTreeWnd(frame, 1082, wxPoint(350, 0), wxSize(340, 200));
    window->InsertColumn(wxT("Parameter"), 150);
    window->InsertColumn(wxT("Value"), 150);
    window->RecalcColumnWidths();
    CColumnTreeCtrl& tree = window->GetTree();
    CColumnTreeCtrl::Item* network = tree.InsertItem(wxT("Network"), nullptr, 1, true);
    CColumnTreeCtrl::Item* address = tree.InsertItem(wxT("IP address\t192.168.10.2"), network, 2);
    tree.Expand(network, true);
    tree.SelectItem(address);
    frame->Show();
    cmtest::Pump(300);
    cmtest::StandardErrorCapture errors;
    const std::string before = ReadAccessible("rows");
    EXPECT_NE(before.find("list|list item|Free: Yes, Model: ZK-1220, SerNo.: 4102|-|-|showing\n"),
              std::string::npos)
        << before;
    EXPECT_NE(before.find("list|list item|Free: No, Model: ZK-2040, SerNo.: 4107|selected|-|showing\n"),
              std::string::npos)
        << before;
    EXPECT_NE(before.find("tree|tree item|Network|-|expanded|showing\n"), std::string::npos) << before;
    EXPECT_NE(before.find("tree|tree item|IP address: 192.168.10.2|selected|-|showing\n"), std::string::npos)
        << before;

    // The reader follows the selection, a collapsed branch and a new row.
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    const long added = list->InsertItem(2, wxT("Yes"));
    list->SetItem(added, 1, wxT("ZK-3000"));
    tree.Expand(network, false);
    window->Hide(); // hidden rows are there, but not shown
    cmtest::Pump(100);
    const std::string after = ReadAccessible("rows");
    EXPECT_NE(after.find("list|list item|Free: Yes, Model: ZK-1220, SerNo.: 4102|selected|-|showing\n"),
              std::string::npos)
        << after;
    EXPECT_NE(after.find("list|list item|Free: No, Model: ZK-2040, SerNo.: 4107|-|-|showing\n"),
              std::string::npos)
        << after;
    EXPECT_NE(after.find("list|list item|Free: Yes, Model: ZK-3000|-|-|showing\n"), std::string::npos)
        << after;
    EXPECT_NE(after.find("tree|tree item|Network|selected|-|-\n"), std::string::npos) << after;
    EXPECT_EQ(after.find("IP address"), std::string::npos) << after;
    EXPECT_EQ(errors.Stop(), "");
    frame->Destroy();
    cmtest::Pump(50);
}

} // namespace
