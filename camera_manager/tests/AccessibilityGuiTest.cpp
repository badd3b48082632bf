// Texts painted by the camera manager's own controls, read back as a screen reader reads them:
// over AT-SPI, by a reader in another process, while this one keeps its event loop running.
// The program brings its own session bus (the accessibility bus is started from it on demand)
// and stops it at exit.
#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomStatic.h"
#include "camera_manager/core/dialogs/ManualConfigDlg.h"
#include "camera_manager/core/dialogs/SetCamID.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/diagnostics/dialogs/AdditionalInfoDlg.h"
#include "camera_manager/res/StringTable.h"
#include "camera_manager/tests/GuiTestSupport.h"
#include "platform/win/ResourceStrings.h"

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

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
#include <vector>

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
            // Settings in memory: a file chooser would otherwise reach the settings service over
            // this bus, and GIO ends the program when the bus stops at exit.
            setenv("GSETTINGS_BACKEND", "memory", 1);
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
// role|name|selected|expanded|showing" of every list and tree row, "places" "container name|row
// name|level|branch row|x,y,width,height" of every row, "fields" "role|name|labelled by" of every
// field, check box, list and tree; "everything" asks every object what a reader asks of it.
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
    if what == "places" and role in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM):
        level = [a[6:] for a in node.getAttributes() if a.startswith("level:")]
        branch = "-"
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_NODE_CHILD_OF and relation.getNTargets():
                branch = relation.getTarget(0).name
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print("%s|%s|%s|%s|%d,%d,%d,%d" % (node.parent.name, node.name, level[0] if level else "-", branch,
              box.x, box.y, box.width, box.height))
    if what == "fields" and role in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX,
                                     pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE) or \
            (what == "fields" and role == pyatspi.ROLE_PANEL and node.name):
        labels = []
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels += [relation.getTarget(i).name for i in range(relation.getNTargets())]
        print("%s|%s|%s" % (node.getRoleName(), node.name, ",".join(labels)))
    if what == "focused" and node.getState().contains(pyatspi.STATE_FOCUSED):
        print("%s|%s" % (node.getRoleName(), node.name))
    if what == "everything":
        # What a reader asks of every object it passes.
        node.name, node.description, node.getRoleName(), node.getIndexInParent(), node.getAttributes()
        states = node.getState()
        states.contains(pyatspi.STATE_SHOWING)
        for relation in node.getRelationSet():
            [relation.getTarget(i).name for i in range(relation.getNTargets())]
        try:
            node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        except NotImplementedError:
            pass
        try:
            text = node.queryText()
            text.getText(0, text.characterCount)
        except NotImplementedError:
            pass
        print(node.getRoleName())
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

// Lines of `text` that hold `part`.
std::vector<std::string> LinesWith(const std::string& text, const std::string& part) {
    std::vector<std::string> found;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.find(part) != std::string::npos)
            found.push_back(line);
        start = end + 1;
    }
    return found;
}

// Each row with the name of its list or tree, its level and the row of its branch, and where it is
// painted: two branches of one name are told apart by their level and their place.
TEST(AccessibilityGuiTest, RowsAreReadWithTheirContainersNameTheirLevelAndWhereTheyArePainted) {
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
    auto* frame = new wxFrame(nullptr, wxID_ANY, wxT("Places"), wxPoint(20, 20), wxSize(700, 400));
    auto* list = new CustomListCtrl(frame, 1010, wxPoint(0, 0), wxSize(340, 200));
    list->InsertColumn(0, wxT("Model"));
    for (const char* model : {"ZK-1220", "ZK-2040"})
        list->InsertItem(list->GetItemCount(), model);
    SetAccessibleName(list->GetItemArea(), wxT("Camera list"));
    auto* window = new CColumnTreeWnd(frame, 1082, wxPoint(350, 0), wxSize(340, 200));
    window->InsertColumn(wxT("Parameter"), 150);
    window->InsertColumn(wxT("Value"), 150);
    window->RecalcColumnWidths();
    CColumnTreeCtrl& tree = window->GetTree();
    SetAccessibleName(&tree, wxT("Parameters"));
    CColumnTreeCtrl::Item* camera = tree.InsertItem(wxT("General"), nullptr, 1, true);
    CColumnTreeCtrl::Item* network = tree.InsertItem(wxT("Network"), camera, 2);
    tree.InsertItem(wxT("General"), network, 3);
    tree.Expand(camera, true);
    tree.Expand(network, true);
    frame->Show();
    list->SetFocus();
    cmtest::Pump(300);
    // The list's focus is announced with the list's name.
    const std::string focused = ReadAccessible("focused");
    EXPECT_EQ(LinesWith(focused, "|Camera list").size(), 1u) << focused;
    const std::string places = ReadAccessible("places");
    const std::vector<std::string> rows = LinesWith(places, "Parameters|");
    ASSERT_EQ(rows.size(), 3u) << places;
    EXPECT_EQ(rows[0].rfind("Parameters|General|1|-|", 0), 0u) << places;
    EXPECT_EQ(rows[1].rfind("Parameters|Network|2|General|", 0), 0u) << places;
    EXPECT_EQ(rows[2].rfind("Parameters|General|3|Network|", 0), 0u) << places;
    // One row under the other, each as high as the tree paints it, inside the tree on the screen.
    const wxRect shown = tree.GetScreenRect();
    for (size_t row = 0; row < rows.size(); ++row) {
        int x = 0, y = 0, width = 0, height = 0;
        ASSERT_EQ(std::sscanf(rows[row].substr(rows[row].rfind('|') + 1).c_str(), "%d,%d,%d,%d", &x, &y,
                              &width, &height),
                  4)
            << rows[row];
        EXPECT_EQ(x, shown.x) << rows[row];
        EXPECT_EQ(y, shown.y + static_cast<int>(row) * tree.GetRowHeight()) << rows[row];
        EXPECT_EQ(height, tree.GetRowHeight()) << rows[row];
        EXPECT_EQ(width, tree.GetClientSize().GetWidth()) << rows[row];
    }
    const std::vector<std::string> listRows = LinesWith(places, "Camera list|");
    ASSERT_EQ(listRows.size(), 2u) << places;
    wxRect second;
    ASSERT_TRUE(list->GetItemRect(1, second));
    const wxPoint at = list->ClientToScreen(second.GetPosition());
    EXPECT_EQ(listRows[1], wxString::Format("Camera list|Model: ZK-2040|-|-|%d,%d,%d,%d", at.x, at.y,
                                            second.width, second.height)
                               .ToStdString())
        << places;
    frame->Destroy();
    cmtest::Pump(50);
}

// The sub-dialogs' fields, each read with the text of its own label.
TEST(AccessibilityGuiTest, EveryFieldOfTheSubDialogsIsReadWithItsOwnLabel) {
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
    SetProgramResourceStrings(managerStrings, managerStringCount);
    const auto expectLabelled = [](const std::string& fields, const std::string& role,
                                   const wxString& label) {
        const std::string text(label.utf8_str());
        EXPECT_EQ(LinesWith(fields, role + "|" + text + "|" + text).size(), 1u) << text << "\n" << fields;
    };
    {
        SetCamID info(nullptr, 1, 2);
        info.Show();
        cmtest::Pump(300);
        const std::string fields = ReadAccessible("fields");
        for (int id : {1165, 1170, 1156, 1152})
            expectLabelled(fields, "text", info.FindWindow(id)->GetLabel());
        info.Hide();
    }
    {
        CameraEntry entry;
        ManualConfigDlg manual(nullptr, entry);
        manual.Show();
        cmtest::Pump(300);
        const std::string fields = ReadAccessible("fields");
        wxWindowList labels;
        int labelled = 0;
        for (wxWindow* group : {manual.FindWindow(1113), manual.FindWindow(1137)})
            for (wxWindow* child : group->GetChildren())
                if (wxString(child->GetClassInfo()->GetClassName()) == wxT("wxStaticText") &&
                    !LinesWith(fields, "|" + child->GetLabel().ToStdString() + "|").empty()) {
                    expectLabelled(fields, "text", child->GetLabel());
                    ++labelled;
                }
        // Both ends of the range, the probe time-out, the persistent address and the mask.
        EXPECT_EQ(labelled, 5) << fields;
        EXPECT_TRUE(LinesWith(fields, "text||").empty()) << fields;
        // The groups and the check box are said with their own captions.
        for (int id : {1113, 1137})
            expectLabelled(fields, "panel", manual.FindWindow(id)->GetLabel());
        expectLabelled(fields, "check box", manual.FindWindow(1252)->GetLabel());
        manual.Hide();
    }
    {
        // Radio buttons as Additional functions groups them, their relations read quietly.
        wxDialog sets(nullptr, wxID_ANY, wxT("Parameter set"));
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        for (const wxString& label : {wxT("Set 1"), wxT("Set 2"), wxT("Set 3")})
            sizer->Add(new wxRadioButton(&sets, wxID_ANY, label, wxDefaultPosition, wxDefaultSize,
                                         label == wxT("Set 1") ? wxRB_GROUP : 0));
        sets.SetSizerAndFit(sizer);
        TieOwnLabels(&sets);
        sets.Show();
        cmtest::Pump(300);
        cmtest::StandardErrorCapture errors;
        for (int read = 0; read < 2; ++read)
            EXPECT_NE(ReadAccessible("everything").find("radio button"), std::string::npos);
        // (Objects of the dialogs above, gone by now, may still be listed, and complained of.)
        const std::string said = errors.Stop();
        EXPECT_TRUE(LinesWith(said, "atk_relation").empty()) << said;
        sets.Hide();
    }
    {
        wxFrame owner(nullptr, wxID_ANY, wxT("owner"));
        AdditionalInfoDlg general(&owner, 0);
        // Read while the dialog runs, once it is up.
        wxTimer reading;
        reading.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            wxWindow* firstLabel = wxWindow::FindWindowById(1283);
            wxWindow* shown = firstLabel ? wxGetTopLevelParent(firstLabel) : nullptr;
            ASSERT_NE(shown, nullptr);
            const std::string fields = ReadAccessible("fields");
            const std::string rows = ReadAccessible("rows");
            for (int id : {1283, 1284, 1285}) {
                const std::string label = shown->FindWindow(id)->GetLabel().ToStdString();
                // Besides the list, only the inner window that takes its focus has its name.
                std::vector<std::string> named = LinesWith(fields, "|" + label + "|");
                std::erase(named, "panel|" + label + "|");
                EXPECT_EQ(named.size(), 1u) << id << "\n" << fields;
            }
            EXPECT_FALSE(LinesWith(rows, "list|list item|").empty()) << rows;
            EXPECT_FALSE(LinesWith(rows, "tree|tree item|").empty()) << rows;
            // What has the focus as the dialog opens is announced with a name.
            const std::vector<std::string> focused = LinesWith(ReadAccessible("focused"), "|");
            ASSERT_EQ(focused.size(), 1u);
            EXPECT_NE(focused[0].back(), '|') << focused[0];
            static_cast<wxDialog*>(shown)->EndModal(wxID_OK);
        });
        reading.StartOnce(800);
        general.DoModal();
    }
}

// A file chooser opened and closed with Escape, then two walks of the whole tree as a reader makes
// them: the toolkit says nothing of the chooser's objects. Its widgets share their accessible
// classes with the toolkit's containers, which the rows therefore leave alone.
TEST(AccessibilityGuiTest, WalksAfterAFileChooserPrintNoToolkitComplaint) {
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
    cmtest::WindowManager wm; // gives the chooser the keyboard, as a desktop does
    if (!wm.Running())
        GTEST_SKIP() << "openbox is not installed";
    auto* frame = new wxFrame(nullptr, wxID_ANY, wxT("Chooser"), wxDefaultPosition, wxSize(700, 400));
    auto* list = new CustomListCtrl(frame, 1010, wxPoint(0, 0), wxSize(340, 200));
    list->InsertColumn(0, wxT("Model"));
    list->InsertItem(0, wxT("ZK-1220"));
    auto* window = new CColumnTreeWnd(frame, 1082, wxPoint(350, 0), wxSize(340, 200));
    window->InsertColumn(wxT("Parameter"), 150);
    window->RecalcColumnWidths();
    window->GetTree().InsertItem(wxT("General"), nullptr, 1, true);
    frame->Show();
    cmtest::Pump(300);
    ASSERT_NE(ReadAccessible("everything").find("tree item"), std::string::npos);
    cmtest::StandardErrorCapture errors;
    {
        wxFileDialog chooser(frame, wxT("Support file"), wxString(), wxString(), wxT("*.zip"), wxFD_SAVE);
        wxTimer escape;
        int presses = 0;
        escape.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            // Escape once the chooser is up; should it not listen, it is closed for it.
            if (++presses <= 4) {
                wxUIActionSimulator().Char(WXK_ESCAPE);
            } else {
                escape.Stop();
                chooser.EndModal(wxID_CANCEL);
            }
        });
        escape.Start(1000);
        EXPECT_EQ(chooser.ShowModal(), wxID_CANCEL);
        EXPECT_LE(presses, 4) << "the chooser did not hear Escape";
        escape.Stop();
    }
    cmtest::Pump(300);
    const std::string first = ReadAccessible("everything");
    const std::string second = ReadAccessible("everything");
    EXPECT_NE(second.find("tree item"), std::string::npos) << second;
    // The toolkit still complains of the chooser's own objects once the chooser is gone, as the
    // bridge lists them (as much without any of these controls): those aside, nothing; above all
    // nothing of a row's state, component or extents.
    const std::string said = errors.Stop();
    std::vector<std::string> complaints = LinesWith(said, "CRITICAL");
    std::erase_if(complaints, [](const std::string& line) {
        for (const char* bridge : {"atk_state_set_contains_state", "g_object_unref", "gtk_container_forall",
                                   "gtk_popover_get_modal"})
            if (line.find(bridge) != std::string::npos)
                return true;
        return false;
    });
    EXPECT_TRUE(complaints.empty()) << said;
    EXPECT_TRUE(LinesWith(said, "impl_GetExtents").empty()) << said;
    frame->Destroy();
    cmtest::Pump(50);
}

} // namespace
