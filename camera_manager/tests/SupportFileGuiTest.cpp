#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CZekoManagerApp.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/diagnostics/dialogs/ShowSupportFileDlg.h"
#include "camera_manager/diagnostics/dialogs/SupportFileCommands.h"
#include "camera_manager/diagnostics/dialogs/SupportValueRenderer.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/res/StringIds.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/WideText.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/dataview.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/treelist.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new CZekoManagerApp(); }));

void runEvents() {
    for (int i = 0; i < 20; ++i) {
        wxYield();
        wxTheApp->ProcessIdle();
        wxTheApp->ProcessPendingEvents();
    }
}

class SupportFileGuiTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        setenv("TEMP", dir_.c_str(), 1);
        hook.Register();
    }
    void TearDown() override {
        hook.Unregister();
        ManagerTest::TearDown();
    }
    std::string countTempFiles() {
        std::string names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            if (entry.path().filename().string().rfind("support-", 0) == 0)
                names += entry.path().filename().string() + " ";
        return names;
    }
    cmtest::AnswerDialogs hook;
};

TEST_F(SupportFileGuiTest, WrittenFileOpensInAViewerWithEveryPage) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    // The dialog may have listed the cameras already on its first tick: list them once.
    main->cameraLists[0].Clear();
    main->cameraLists[1].Clear();
    ASSERT_TRUE(FillCameraList(main->cameraLists[0], FillUsb));
    ASSERT_TRUE(FillCameraList(main->cameraLists[1], FillGigE));
    std::vector<int> progress;
    const SupportFileContent content = GatherSupportFileContent(*main, [&](int p) { progress.push_back(p); });
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100}));
    std::u16string units = BuildSupportText(content);
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Support.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));

    OpenSupportFileAt(*main, win::fromUtf8(path));
    OpenSupportFileAt(*main, win::fromUtf8(path));
    EXPECT_EQ(main->GetOpenViewerCount(), 2);
    EXPECT_TRUE(hook.messages.empty());
    std::vector<ShowSupportFileDlg*> viewers;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* viewer = dynamic_cast<ShowSupportFileDlg*>(window))
            viewers.push_back(viewer);
    ASSERT_EQ(viewers.size(), 2u);
    ShowSupportFileDlg* viewer = viewers[0];
    EXPECT_EQ(viewer->GetTitle(), wxString::FromUTF8(path));
    EXPECT_EQ(viewer->TempPath(), "-1");
    EXPECT_EQ(countTempFiles(), "");
    wxTreeListCtrl* tree = viewer->Tree();
    wxTreeListItem usb = tree->GetFirstChild(tree->GetRootItem());
    ASSERT_TRUE(usb.IsOk());
    EXPECT_EQ(tree->GetItemText(usb), "USB");
    EXPECT_TRUE(tree->IsExpanded(usb));
    const wxTreeListItem camera = tree->GetFirstChild(usb);
    EXPECT_EQ(tree->GetItemText(camera, 0), "1");
    EXPECT_EQ(tree->GetItemText(camera, 1), "Free");
    const wxTreeListItem eth = tree->GetNextSibling(usb);
    EXPECT_EQ(tree->GetItemText(eth), "ETH");
    EXPECT_EQ(tree->GetItemText(tree->GetFirstChild(eth), 1), "Free / Available");
    EXPECT_FALSE(tree->IsExpanded(tree->GetFirstChild(eth)));
    size_t top = 0;
    for (wxTreeListItem i = tree->GetFirstChild(tree->GetRootItem()); i.IsOk(); i = tree->GetNextSibling(i))
        ++top;
    EXPECT_EQ(top, viewer->Rows().size());

    viewer->SetClientSize(400, 300);
    runEvents();
    const int cx = viewer->GetClientSize().x;
    EXPECT_EQ(tree->GetColumnWidth(0), cx / 2 + 24) << cx;
    // GTK stretches the last column over the rest of the tree.
    EXPECT_GE(tree->GetColumnWidth(1), cx / 2 - 76) << cx;

    if (const char* seconds = std::getenv("ZEKO_CM_SHOW_SECONDS")) {
        viewers[1]->Close();
        viewer->SetSize(10, 10, 1000, 720);
        const wxTreeListItem ethCamera = tree->GetFirstChild(eth);
        tree->Expand(ethCamera);
        tree->Expand(tree->GetFirstChild(ethCamera));
        tree->Expand(tree->GetFirstChild(tree->GetFirstChild(ethCamera)));
        for (int i = 0; i < std::atoi(seconds) * 10; ++i) {
            runEvents();
            wxMilliSleep(100);
        }
    }
    for (ShowSupportFileDlg* v : viewers)
        v->Close();
    runEvents();
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    main->RemoveOpenViewer();
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    main->Destroy();
    runEvents();
}

// Depth-first search of the viewer's tree; the path to the row found is expanded.
wxTreeListItem findRow(wxTreeListCtrl* tree, const wxTreeListItem& parent, const wxString& label) {
    for (wxTreeListItem i = tree->GetFirstChild(parent); i.IsOk(); i = tree->GetNextSibling(i)) {
        if (tree->GetItemText(i, 0) == label)
            return i;
        const bool expanded = tree->IsExpanded(i);
        tree->Expand(i);
        if (wxTreeListItem found = findRow(tree, i, label); found.IsOk())
            return found;
        if (!expanded)
            tree->Collapse(i);
    }
    return wxTreeListItem();
}

// The screen's pixels of one row of the viewer: how many are plainly red, how many dark (text).
struct RowPixels {
    size_t red = 0, dark = 0;
};

RowPixels rowPixels(const wxImage& shot, wxDataViewCtrl* view, const wxTreeListItem& row) {
    const wxRect cell = view->GetItemRect(wxDataViewItem(row.GetID()), view->GetColumn(1));
    const int top = cell.y;
    RowPixels pixels;
    const unsigned char* data = shot.GetData();
    for (int y = std::max(0, top); y < std::min(shot.GetHeight(), top + cell.height); ++y)
        for (int x = 0; x < shot.GetWidth(); ++x) {
            const unsigned char* p = data + 3 * (y * shot.GetWidth() + x);
            pixels.red += p[0] >= 150 && p[1] <= 90 && p[2] <= 90;
            pixels.dark += p[0] < 100 && p[1] < 100 && p[2] < 100;
        }
    return pixels;
}

// A camera at 68 degrees: the viewer's camera page draws its temperature red, as the main
// window's tree does (the column tree's rule: "° C" after an integer above 64); the row above it
// keeps the usual colour.
TEST_F(SupportFileGuiTest, AHotCameraTemperatureIsDrawnRed) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "temperature = 1088\n");
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    main->cameraLists[0].Clear();
    main->cameraLists[1].Clear();
    ASSERT_TRUE(FillCameraList(main->cameraLists[1], FillGigE));
    std::u16string units = BuildSupportText(GatherSupportFileContent(*main, [](int) {}));
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Hot.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));
    OpenSupportFileAt(*main, win::fromUtf8(path));
    ShowSupportFileDlg* viewer = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* v = dynamic_cast<ShowSupportFileDlg*>(window))
            viewer = v;
    ASSERT_NE(viewer, nullptr);
    viewer->SetSize(0, 0, 1000, 720);
    wxTreeListCtrl* tree = viewer->Tree();
    tree->UnselectAll();
    const wxTreeListItem hot = findRow(tree, tree->GetRootItem(), "Camera temperature");
    const wxTreeListItem plain = findRow(tree, tree->GetRootItem(), "COM port number");
    ASSERT_TRUE(hot.IsOk() && plain.IsOk());
    EXPECT_TRUE(tree->GetItemText(hot, 1).StartsWith("68.0")) << tree->GetItemText(hot, 1);
    wxDataViewCtrl* view = tree->GetDataView();
    view->EnsureVisible(wxDataViewItem(hot.GetID()));
    for (int i = 0; i < 10; ++i) {
        runEvents();
        wxMilliSleep(30);
    }
    const wxRect area = view->GetScreenRect();
    wxBitmap bitmap(area.GetSize());
    {
        wxMemoryDC memory(bitmap);
        wxScreenDC screen;
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    const wxImage shot = bitmap.ConvertToImage();
    if (const char* dir = std::getenv("ZEKO_SHOT_DIR"))
        shot.SaveFile(wxString::FromUTF8(dir) + "/viewer_temperature.png", wxBITMAP_TYPE_PNG);
    const RowPixels hotRow = rowPixels(shot, view, hot), plainRow = rowPixels(shot, view, plain);
    EXPECT_GT(hotRow.red, 20u);
    EXPECT_GT(plainRow.dark, 20u); // the row holds text
    EXPECT_EQ(plainRow.red, 0u);
    // Below 65 degrees the value keeps its colour.
    SupportValueRenderer renderer;
    renderer.SetValue(wxVariant(wxString::FromUTF8("64.9\xC2\xB0 C  (148.9\xC2\xB0 F)")));
    EXPECT_FALSE(renderer.IsWarning());
    renderer.SetValue(wxVariant(wxString::FromUTF8("65.0\xC2\xB0 C  (149.0\xC2\xB0 F)")));
    EXPECT_TRUE(renderer.IsWarning());
    viewer->Close();
    main->Destroy();
    runEvents();
}

ShowSupportFileDlg* openViewer();

TEST_F(SupportFileGuiTest, ACutFileOpensWithAMessageThatItIsIncomplete) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    main->cameraLists[0].Clear();
    main->cameraLists[1].Clear();
    ASSERT_TRUE(FillCameraList(main->cameraLists[0], FillUsb));
    ASSERT_TRUE(FillCameraList(main->cameraLists[1], FillGigE));
    std::u16string units = BuildSupportText(GatherSupportFileContent(*main, [](int) {}));
    // The file ends inside the ETH camera's section, after the USB camera's.
    const size_t eth = units.find(u"[ETH - 0]");
    ASSERT_NE(eth, std::u16string::npos);
    units.resize(eth + 40);
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Cut.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));
    OpenSupportFileAt(*main, win::fromUtf8(path));
    ASSERT_EQ(hook.messages.size(), 1u);
    EXPECT_EQ(hook.messages[0], ToWx(SupportFileIncompleteMessage(SupportFileCut::Cameras)));
    ShowSupportFileDlg* viewer = openViewer();
    ASSERT_NE(viewer, nullptr);
    wxTreeListCtrl* tree = viewer->Tree();
    const wxTreeListItem usb = tree->GetFirstChild(tree->GetRootItem());
    EXPECT_EQ(tree->GetItemText(usb), "USB");
    EXPECT_EQ(tree->GetItemText(tree->GetFirstChild(usb), 1), "Free");
    const wxTreeListItem ethRoot = tree->GetNextSibling(usb);
    EXPECT_EQ(tree->GetItemText(ethRoot), "ETH");
    EXPECT_FALSE(tree->GetFirstChild(ethRoot).IsOk()) << "a camera was made up";
    viewer->Close();
    main->Destroy();
    runEvents();
}

TEST_F(SupportFileGuiTest, ForeignAndUnreadableFilesAreReportedAndOpenNoViewer) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    std::string header(60, '\0');
    const std::string version = "3.81.0.0";
    for (size_t i = 0; i < version.size(); ++i)
        header[2 * i] = version[i];
    for (char& c : header)
        c = char(c ^ 0x5E);
    const std::string path = dir_ + "/foreign.bin";
    std::ofstream(path, std::ios::binary) << header;
    OpenSupportFileAt(*main, win::fromUtf8(path));
    OpenSupportFileAt(*main, win::fromUtf8(dir_ + "/missing.bin"));
    EXPECT_EQ(main->GetOpenViewerCount(), 0);
    ASSERT_EQ(hook.messages.size(), 2u);
    EXPECT_EQ(hook.messages[0], "The support file was created with another version of Zeko Camera Manager.\n"
                                "Please use Zeko Camera Manager version 3.81.0.0 to open the file.");
    EXPECT_TRUE(
        hook.messages[1].StartsWith("The support file could not be opened.\n" + dir_ + "/missing.bin\n"));
    EXPECT_GT(hook.messages[1].size(), (dir_ + "/missing.bin").size() + 40);

    // What is no file is named and never opened (a pipe would block the open for good: the alarm
    // ends a test that does); what is no support file at all is refused as such.
    std::string noise(3000, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    const std::pair<const char*, const char*> refused[] = {
        {"pipe.bin", "something that is not a file stands in its place"},
        {"loop.bin", "something that is not a file stands in its place"},
        {"folder.bin", "a folder stands in its place"},
        {"empty.bin", "it is no support file"},
        {"noise.bin", "it is no support file"}};
    ASSERT_EQ(mkfifo((dir_ + "/pipe.bin").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir_ + "/loop.bin").c_str(), (dir_ + "/loop.bin").c_str()), 0);
    ASSERT_EQ(mkdir((dir_ + "/folder.bin").c_str(), 0700), 0);
    std::ofstream(dir_ + "/empty.bin");
    std::ofstream(dir_ + "/noise.bin", std::ios::binary) << noise;
    for (const auto& [name, cause] : refused) {
        hook.messages.clear();
        alarm(30);
        OpenSupportFileAt(*main, win::fromUtf8(dir_ + "/" + name));
        alarm(0);
        EXPECT_EQ(main->GetOpenViewerCount(), 0) << name;
        ASSERT_EQ(hook.messages.size(), 1u) << name;
        EXPECT_EQ(hook.messages[0],
                  "The support file could not be opened.\n" + dir_ + "/" + name + "\n" + cause);
    }
    main->Destroy();
    runEvents();
}

// Pumps events (in whatever loop runs) until the condition holds or two seconds have passed.
bool pumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        runEvents();
        wxMilliSleep(10);
    }
    return done();
}

ShowSupportFileDlg* openViewer() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* viewer = dynamic_cast<ShowSupportFileDlg*>(window); viewer && !viewer->IsBeingDeleted())
            return viewer;
    return nullptr;
}

// What a window manager sends when the user clicks a window's close box.
void requestCloseByWindowManager(wxWindow* window) {
    GdkWindow* gdk = gtk_widget_get_window(window->GetHandle());
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(gdk));
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = GDK_WINDOW_XID(gdk);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XFlush(display);
}

// The viewer is opened from the main dialog while that runs modally, as in the program, and is
// then used with the pointer, the keyboard and the window manager's close request.
TEST_F(SupportFileGuiTest, AViewerOverTheModalMainDialogTakesClicksKeysAndCloseRequests) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    main->SetSize(516, 172, 619, 680); // where it stands on a 1280 x 1024 screen
    std::u16string units = BuildSupportText(GatherSupportFileContent(*main, [](int) {}));
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Support.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));

    hook.Unregister(); // the main dialog's own modal loop runs
    std::vector<std::string> closedBy;
    auto scenario = [&] {
        wxUIActionSimulator input;
        const wxRect area = wxDisplay(0u).GetClientArea();
        auto showViewer = [&]() -> ShowSupportFileDlg* {
            OpenSupportFileAt(*main, win::fromUtf8(path));
            ShowSupportFileDlg* viewer = openViewer();
            if (!viewer || !pumpUntil([&] { return viewer->IsShownOnScreen(); }))
                return nullptr;
            viewer->Raise();
            viewer->SetFocus();
            pumpUntil([&] { return false; });
            return viewer;
        };
        auto closed = [&] { return pumpUntil([&] { return openViewer() == nullptr; }); };

        ShowSupportFileDlg* viewer = showViewer();
        ASSERT_TRUE(viewer);
        // Centred on the main dialog it would reach past the right edge of a 1280-pixel screen.
        EXPECT_TRUE(area.Contains(viewer->GetScreenRect())) << viewer->GetScreenRect().x;
        wxTreeListCtrl* tree = viewer->Tree();
        wxDataViewCtrl* view = tree->GetDataView();
        wxTreeListItem drivers = findRow(tree, tree->GetRootItem(), "Installed drivers");
        ASSERT_TRUE(drivers.IsOk());
        ASSERT_FALSE(tree->IsExpanded(drivers));
        // A click on the row's expander opens it.
        const wxRect row = view->GetItemRect(wxDataViewItem(drivers.GetID()), view->GetColumn(0));
        const wxPoint expander =
            view->GetMainWindow()->ClientToScreen(wxPoint(row.x - 8, row.y + row.height / 2));
        input.MouseMove(expander);
        input.MouseClick();
        EXPECT_TRUE(pumpUntil([&] { return tree->IsExpanded(drivers); }))
            << "the click did not reach the tree";
        // The wheel scrolls the opened list.
        const wxPoint inside = view->GetMainWindow()->GetScreenRect().GetPosition() + wxPoint(100, 100);
        input.MouseMove(inside);
        for (int i = 0; i < 5; ++i)
            wxExecute("xdotool click 5", wxEXEC_SYNC | wxEXEC_NOEVENTS);
        const wxDataViewItem firstRow = wxDataViewItem(tree->GetFirstChild(tree->GetRootItem()).GetID());
        EXPECT_TRUE(pumpUntil([&] { return view->GetTopItem().IsOk() && view->GetTopItem() != firstRow; }))
            << "the wheel did not scroll the tree";
        // The Close button, with the pointer.
        wxWindow* button = viewer->FindWindow(wxID_OK);
        input.MouseMove(button->GetScreenRect().GetPosition() + wxPoint(10, 5));
        input.MouseClick();
        if (closed())
            closedBy.push_back("button");

        viewer = showViewer();
        ASSERT_TRUE(viewer);
        input.Char(WXK_ESCAPE);
        if (closed())
            closedBy.push_back("escape");

        viewer = showViewer();
        ASSERT_TRUE(viewer);
        requestCloseByWindowManager(viewer);
        if (closed())
            closedBy.push_back("window manager");
        showViewer(); // left open when the main dialog ends
    };
    main->CallAfter([&] {
        scenario();
        main->EndModal(wxID_CANCEL);
    });
    main->ShowModal();
    EXPECT_EQ(closedBy, (std::vector<std::string>{"button", "escape", "window manager"}));
    EXPECT_EQ(main->GetOpenViewerCount(), 1);
    // Viewers left open go with the main dialog.
    main->Destroy();
    runEvents();
    EXPECT_EQ(openViewer(), nullptr);
    hook.Register();
}

// The viewer is wider than the main dialog: centred on it near a screen edge, it still lies
// whole on the screen, its Close button within reach.
TEST_F(SupportFileGuiTest, TheViewerStaysOnTheScreenNearItsEdges) {
    auto* main = new CZekoManagerDlg(nullptr, nullptr, FALSE);
    std::u16string units = BuildSupportText(GatherSupportFileContent(*main, [](int) {}));
    ScrambleSupportText(units);
    const std::string path = dir_ + "/Support.bin";
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(path, StoreSupportUnits(units), reason));
    const wxRect area = wxDisplay(main).GetClientArea();
    for (const bool rightEdge : {true, false}) {
        main->Move(rightEdge ? area.GetRight() - main->GetSize().x : area.x, area.y);
        OpenSupportFileAt(*main, win::fromUtf8(path));
        ShowSupportFileDlg* viewer = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* open = dynamic_cast<ShowSupportFileDlg*>(window))
                viewer = open;
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(area.Contains(viewer->GetRect()))
            << rightEdge << " " << viewer->GetRect().x << "," << viewer->GetRect().y << " "
            << viewer->GetRect().width;
        viewer->Close();
        runEvents();
    }
    main->Destroy();
    runEvents();
}

} // namespace
