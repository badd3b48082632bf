// The custom controls on a real display (run under xvfb-run).
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomListCtrlColor.h"
#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/dialogs/CCustomDialog.h"
#include "camera_manager/core/dialogs/DlgProgress.h"
#include "camera_manager/core/dialogs/DlgProgress2.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"
#include "camera_manager/tests/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/headerctrl.h>
#include <wx/statbox.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Item = CColumnTreeCtrl::Item;

// A frame holding the control under test; records the tree notifications it receives.
class Host : public wxFrame {
public:
    Host() : wxFrame(nullptr, wxID_ANY, wxT("host"), wxPoint(0, 0), wxSize(600, 400)) {
        for (auto type : {EVT_COLUMNTREE_SELCHANGED, EVT_COLUMNTREE_ITEMEXPANDING, EVT_COLUMNTREE_SETFOCUS,
                          EVT_COLUMNTREE_DBLCLK})
            Bind(type, [this, type](wxCommandEvent& e) { events.push_back({type, e.GetId()}); });
        Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) { keys.push_back(e.GetKeyCode()); });
    }
    std::vector<std::pair<wxEventType, int>> events;
    std::vector<int> keys;
    int Count(wxEventType type) const {
        return static_cast<int>(
            std::count_if(events.begin(), events.end(), [&](auto& e) { return e.first == type; }));
    }
};

class ColumnTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = new Host();
        wnd = new CColumnTreeWnd(host, 1082, wxPoint(0, 0), wxSize(400, 300));
        wnd->InsertColumn(wxT("Parameter"), 195);
        wnd->InsertColumn(wxT("Value"), 143);
        wnd->RecalcColumnWidths();
        tree = &wnd->GetTree();
        tree->SetStyle(CColumnTreeCtrl::HasButtons | CColumnTreeCtrl::LinesAtRoot |
                       CColumnTreeCtrl::FullRowSelect | CColumnTreeCtrl::ShowSelectionAlways);
        device = tree->InsertItem(wxT("Device"), nullptr, 1000, true);
        general = tree->InsertItem(wxT("General"), device, 1100, true);
        tree->InsertItem(wxT("Runtime firmware version\t1.01.0025"), general, 1102);
        tree->InsertItem(wxT("Starter firmware version\t1.01.0037"), general, 1103);
        network = tree->InsertItem(wxT("Network"), device, 1200, true);
        longText = tree->InsertItem(wxT("MAC address\t02-5A-4B-00-10-01 and a long, long, long tail of text"),
                                    network, 1201);
        tree->Expand(general, true);
        tree->Expand(device, true);
        host->Show();
        cmtest::Pump(50);
    }
    void TearDown() override {
        host->Destroy();
        cmtest::Pump(20);
    }
    int RowY(Item* item) const {
        const auto& v = tree->GetVisibleItems();
        const int row = static_cast<int>(std::find(v.begin(), v.end(), item) - v.begin());
        return (row - tree->GetScrollRow()) * tree->GetRowHeight() + 2;
    }
    Host* host;
    CColumnTreeWnd* wnd;
    CColumnTreeCtrl* tree;
    Item* device;
    Item* general;
    Item* network;
    Item* longText;
};

TEST_F(ColumnTreeTest, ShowsExpandedBranchesOnlyAndFindsItemsByData) {
    EXPECT_EQ(tree->GetVisibleItems().size(), 5u); // Device, General, 2 leaves, Network
    EXPECT_EQ(tree->GetCount(), 6u);
    EXPECT_EQ(tree->FindItemByData(1201), longText);
    EXPECT_EQ(tree->FindItemByData(4711), nullptr);
    EXPECT_EQ(wnd->totalWidth, 338);
    EXPECT_EQ(tree->firstColumnWidth, 195);
    EXPECT_EQ(tree->totalWidth, 338);
}

TEST_F(ColumnTreeTest, ClickSelectsAndDoubleClickTogglesWithNotificationsFromTheWindow) {
    host->events.clear();
    tree->HandleClick(wxPoint(250, RowY(network)), false); // on the value column: full-row select
    EXPECT_EQ(tree->GetSelectedItem(), network);
    ASSERT_GE(host->Count(EVT_COLUMNTREE_SELCHANGED), 1);
    for (const auto& e : host->events)
        EXPECT_EQ(e.second, 1082);

    host->events.clear();
    tree->HandleClick(wxPoint(250, RowY(network)), true);
    EXPECT_TRUE(CColumnTreeCtrl::IsExpanded(network));
    ASSERT_GE(host->events.size(), 2u);
    EXPECT_EQ(host->events[0].first, EVT_COLUMNTREE_DBLCLK);
    EXPECT_EQ(host->Count(EVT_COLUMNTREE_ITEMEXPANDING), 1);

    // Beyond the last column nothing is selected.
    tree->HandleClick(wxPoint(390, RowY(device)), false);
    EXPECT_EQ(tree->GetSelectedItem(), network);
    // The button in the indent toggles without selecting.
    const int buttonX = (tree->GetIndent() * 1) + tree->GetIndent() / 2; // depth 1 plus lines at root
    tree->HandleClick(wxPoint(buttonX, RowY(general)), false);
    EXPECT_FALSE(CColumnTreeCtrl::IsExpanded(general));
    EXPECT_EQ(tree->GetSelectedItem(), network);
}

TEST_F(ColumnTreeTest, WithoutFullRowSelectOnlyTheFirstColumnTextReacts) {
    tree->SetStyle(CColumnTreeCtrl::HasButtons | CColumnTreeCtrl::LinesAtRoot);
    tree->HandleClick(wxPoint(250, RowY(network)), false);
    EXPECT_EQ(tree->GetSelectedItem(), nullptr);
    tree->HandleClick(wxPoint(tree->GetLabelRect(network).x + 5, RowY(network)), false);
    EXPECT_EQ(tree->GetSelectedItem(), network);
}

TEST_F(ColumnTreeTest, KeysMoveTheSelectionAndOpenAndCloseNodes) {
    tree->SelectItem(device);
    tree->HandleKey(WXK_DOWN);
    EXPECT_EQ(tree->GetSelectedItem(), general);
    tree->HandleKey(WXK_LEFT); // collapse
    EXPECT_FALSE(CColumnTreeCtrl::IsExpanded(general));
    tree->HandleKey(WXK_LEFT); // to the parent
    EXPECT_EQ(tree->GetSelectedItem(), device);
    tree->HandleKey(WXK_END);
    EXPECT_EQ(tree->GetSelectedItem(), network);
    tree->HandleKey(WXK_RIGHT);
    EXPECT_TRUE(CColumnTreeCtrl::IsExpanded(network));
    tree->HandleKey(WXK_RIGHT);
    EXPECT_EQ(tree->GetSelectedItem(), longText);
    tree->HandleKey(WXK_DOWN); // at the last row: stays
    EXPECT_EQ(tree->GetSelectedItem(), longText);
    tree->HandleKey(WXK_HOME);
    EXPECT_EQ(tree->GetSelectedItem(), device);
    tree->HandleKey(WXK_UP);
    EXPECT_EQ(tree->GetSelectedItem(), device);
}

TEST_F(ColumnTreeTest, CollapsingTheBranchOfTheSelectionMovesItToTheNode) {
    tree->SelectItem(tree->FindItemByData(1103));
    tree->Expand(general, false);
    EXPECT_EQ(tree->GetSelectedItem(), general);
}

TEST_F(ColumnTreeTest, DividerDoubleClickFitsTheVisibleTextsOnly) {
    tree->Expand(network, false);
    wnd->AdjustColumnWidth(1, true);
    const int collapsedWidth = wnd->columnWidths[1];
    tree->Expand(network, true);
    wnd->AdjustColumnWidth(1, true);
    EXPECT_GT(wnd->columnWidths[1], collapsedWidth); // the long MAC row now counts
    wnd->AdjustColumnWidth(0, false);
    // Column 0 counts the indentation: depth 2 plus the lines at the root, three indents.
    EXPECT_GE(wnd->columnWidths[0], 3 * tree->GetIndent() + 20);
}

TEST_F(ColumnTreeTest, HorizontalScrollMovesHeaderAndTreeTogether) {
    wnd->SetSize(200, 300);
    cmtest::Pump(20);
    using ColumnTreeRules::ScrollCode;
    wnd->ScrollHorizontally(static_cast<int>(ScrollCode::LineRight), 0);
    EXPECT_EQ(wnd->scrollOffset, 15);
    EXPECT_EQ(tree->GetPosition().x, -15);
    EXPECT_EQ(wnd->GetHeader().GetPosition().x, -15);
    wnd->ScrollHorizontally(static_cast<int>(ScrollCode::RightEnd), 0);
    EXPECT_EQ(wnd->scrollOffset, 338 - wnd->GetClientSize().GetWidth());
    // Wider than its content again: back to 0, nothing moved left.
    wnd->SetSize(600, 300);
    wnd->RecalcColumnWidths();
    cmtest::Pump(20);
    EXPECT_EQ(wnd->scrollOffset, 0);
    EXPECT_EQ(tree->GetPosition().x, 0);
}

TEST_F(ColumnTreeTest, OnlySixteenColumnsAreMeasured) {
    for (int i = 0; i < 18; ++i)
        wnd->InsertColumn(wxString::Format(wxT("c%d"), i), 10);
    wnd->RecalcColumnWidths();
    EXPECT_EQ(wnd->totalWidth, 195 + 143 + 14 * 10);
}

TEST_F(ColumnTreeTest, WidthsSetWhileTheHeaderIsNarrowerThanItsColumnsRedrawNoEmptyArea) {
    // The dialog lays the tree out while the window manager's frame is not yet known: the
    // window is narrower than where the value column starts.
    wnd->SetSize(60, 300);
    cmtest::Pump(20);
    cmtest::StandardErrorCapture errors;
    wnd->SetColumnWidth(0, 211);
    wnd->SetColumnWidth(1, 160);
    wnd->SetColumnTitle(1, wxT("Wert"));
    cmtest::Pump(20);
    EXPECT_EQ(errors.Stop(), "");
    EXPECT_EQ(wnd->totalWidth, 211 + 160);
}

TEST_F(ColumnTreeTest, ScrollRowIsARowIndex) {
    for (int i = 0; i < 60; ++i)
        tree->InsertItem(wxString::Format(wxT("row %d\t%d"), i, i), nullptr, 9000 + i);
    tree->SetScrollRow(10);
    EXPECT_EQ(tree->GetScrollRow(), 10);
    tree->SetScrollRow(-5);
    EXPECT_EQ(tree->GetScrollRow(), 0);
}

TEST(CustomListCtrlTest, WheelGoesToTheControlUnderTheCursorAndKeysToTheParent) {
    Host* host = new Host();
    auto* list = new CustomListCtrl(host, 1010, wxPoint(0, 0), wxSize(250, 150));
    auto* wnd = new CColumnTreeWnd(host, 1082, wxPoint(300, 0), wxSize(250, 150));
    wnd->InsertColumn(wxT("Parameter"), 120);
    wnd->RecalcColumnWidths();
    list->SetPartner(&wnd->GetTree());
    list->InsertColumn(0, wxT("Free"), wxLIST_FORMAT_LEFT, 100);
    for (int i = 0; i < 50; ++i) {
        list->InsertItem(i, wxString::Format(wxT("%d"), i));
        wnd->GetTree().InsertItem(wxString::Format(wxT("row %d"), i));
    }
    host->Show();
    cmtest::Pump(50);
    wnd->GetTree().SetScrollRow(10);

    const wxRect treeRect = wnd->GetTree().GetScreenRect();
    list->RouteWheel(treeRect.GetPosition() + wxPoint(20, 20), 120);
    EXPECT_EQ(wnd->GetTree().GetScrollRow(), 7);
    list->RouteWheel(treeRect.GetPosition() + wxPoint(20, 20), -120);
    EXPECT_EQ(wnd->GetTree().GetScrollRow(), 10);
    // Between the two controls: nothing moves.
    list->RouteWheel(list->GetScreenRect().GetTopRight() + wxPoint(20, 20), -120);
    EXPECT_EQ(wnd->GetTree().GetScrollRow(), 10);
    EXPECT_EQ(list->GetTopItem(), 0);
    // Over the list's header: the list scrolls.
    list->RouteWheel(list->GetScreenRect().GetPosition() + wxPoint(20, 5), -120);
    cmtest::Pump(20);
    EXPECT_GT(list->GetTopItem(), 0);

    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = WXK_DOWN;
    list->GetEventHandler()->ProcessEvent(key);
    ASSERT_EQ(host->keys.size(), 1u);
    EXPECT_EQ(host->keys[0], WXK_DOWN);

    const auto fills = list->EraseAreas();
    ASSERT_EQ(fills.size(), 3u); // below, left strip, right; no band off Windows 2000
    list->windowsVersion = 1;
    EXPECT_EQ(list->EraseAreas().size(), 4u);
    host->Destroy();
    cmtest::Pump(20);
}

TEST(CustomListCtrlColorTest, StatusColumnsTakeTheColoursOfTheStateDigit) {
    Host* host = new Host();
    auto* list = new CustomListCtrlColor(host, wxID_ANY, wxPoint(0, 0), wxSize(400, 150));
    for (int c = 0; c < 6; ++c)
        list->InsertColumn(c, wxString::Format(wxT("c%d"), c));
    list->AppendRow({wxT("a"), wxT("b"), wxT("c"), wxT("x"), wxT("y"), wxT("2")});
    list->AppendRow({wxT("a"), wxT("b"), wxT("c"), wxT("x"), wxT("y"), wxT("4")});
    list->AppendRow({wxT("a")});
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->OnGetItemColumnAttr(0, 3)->GetBackgroundColour(), wxColour(255, 0, 0));
    EXPECT_EQ(list->OnGetItemColumnAttr(0, 4)->GetTextColour(), *wxWHITE);
    EXPECT_EQ(list->OnGetItemColumnAttr(0, 2)->GetBackgroundColour(), *wxWHITE);
    EXPECT_EQ(list->OnGetItemColumnAttr(1, 3)->GetBackgroundColour(), *wxWHITE);
    EXPECT_EQ(list->OnGetItemColumnAttr(2, 3)->GetTextColour(), *wxBLACK);
    EXPECT_EQ(list->OnGetItemText(2, 4), wxT(""));
    list->SetCellText(1, 5, wxT("0"));
    EXPECT_EQ(list->OnGetItemColumnAttr(1, 3)->GetBackgroundColour(), wxColour(0, 255, 0));
    host->Destroy();
    cmtest::Pump(20);
}

TEST(DlgProgressTest, AWorkerDoneBeforeTheFirstTickClosesTheDialogAtFull) {
    std::atomic<uint8_t> done{1};
    DlgProgress dlg(nullptr, done, 25);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(dlg.ShowModal(), wxID_OK);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(150));
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(dlg.GetPosition(), 100);
}

TEST(DlgProgressTest, EscapeAndCloseDoNotEndItWhileTheWorkerRuns) {
    std::atomic<uint8_t> done{0};
    DlgProgress dlg(nullptr, done, 0); // no expected duration: full at once, never undefined
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(900));
        done = 1;
    });
    bool closedEarly = false;
    dlg.CallAfter([&] {
        wxKeyEvent esc(wxEVT_CHAR_HOOK);
        esc.m_keyCode = WXK_ESCAPE;
        dlg.GetEventHandler()->ProcessEvent(esc);
        dlg.Close();
        closedEarly = !dlg.IsModal();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(dlg.ShowModal(), wxID_OK);
    worker.join();
    EXPECT_FALSE(closedEarly);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
    EXPECT_EQ(dlg.GetPosition(), 100);
}

TEST(DlgProgress2Test, StartsAtOneCentredOnItsOwner) {
    Host* host = new Host();
    host->SetSize(100, 100, 800, 600);
    host->Show();
    cmtest::Pump(50);
    auto* dlg = new DlgProgress2(host);
    ASSERT_TRUE(dlg->Create());
    EXPECT_EQ(dlg->GetPosition(), 1);
    const wxRect o = host->GetScreenRect();
    const wxRect d = dlg->GetScreenRect();
    EXPECT_NEAR(d.x, o.x + (o.width - d.width) / 2, 1);
    dlg->SetProgress(40);
    EXPECT_EQ(dlg->GetPosition(), 40);
    dlg->SetProgress(400);
    EXPECT_EQ(dlg->GetPosition(), 100);
    dlg->Destroy();
    host->Destroy();
    cmtest::Pump(20);
}

// A dialog with a handful of the main dialog's controls.
class SmallDialog : public CCustomDialog {
public:
    SmallDialog() : CCustomDialog(nullptr, wxT("layout")) {
        SetClientSize(971, 500);
        list = new wxListCtrl(this, 1010, wxPoint(10, 20), wxSize(580, 300), wxLC_REPORT);
        for (int c = 0; c < 7; ++c)
            list->InsertColumn(c, wxString::Format(wxT("%d"), c));
        expert = new wxCheckBox(this, 1106, wxT("Expert mode"), wxPoint(10, 440), wxSize(150, 20));
        close = new wxButton(this, 1029, wxT("Close"), wxPoint(400, 440), wxSize(150, 25));
        frame = new wxStaticBox(this, 1001, wxT("Camera list"), wxPoint(5, 5), wxSize(590, 320));
    }
    wxListCtrl* list;
    wxCheckBox* expert;
    wxButton* close;
    wxStaticBox* frame;
};

TEST(CCustomDialogTest, RecordsOnceAndLaysOutFromTheRecordedPlacements) {
    auto* dlg = new SmallDialog();
    dlg->OnInitDialog();
    EXPECT_TRUE(dlg->layoutReady);
    EXPECT_FALSE(dlg->frame->IsShown());
    EXPECT_EQ(dlg->narrowMinWidth, dlg->fullMinWidth - 371);
    EXPECT_EQ(dlg->placements.size(), 4u);

    dlg->LayoutControls(0, 971 - 371 + 100, 540);
    EXPECT_EQ(dlg->list->GetSize(), wxSize(680, 340));
    // Narrow: below the hidden expert row, controls move up by one row.
    EXPECT_EQ(dlg->close->GetPosition(), wxPoint(450, 480 - CustomDialogLayout::expertRowHeight));
    EXPECT_EQ(dlg->list->GetColumnWidth(0), 100 / 7 + 47);
    // Repeated layouts start from the template again.
    dlg->LayoutControls(0, 971 - 371, 500);
    EXPECT_EQ(dlg->list->GetSize(), wxSize(580, 300));
    // Far too small: sizes stay at 0 instead of going negative.
    dlg->LayoutControls(0, 10, 10);
    EXPECT_EQ(dlg->list->GetSize().GetWidth(), 0);

    dlg->UpdateMinimumWidth();
    EXPECT_EQ(dlg->GetMinSize().GetWidth(), dlg->narrowMinWidth);
    dlg->expert->SetValue(true);
    dlg->UpdateMinimumWidth();
    EXPECT_EQ(dlg->GetMinSize().GetWidth(), dlg->fullMinWidth);
    dlg->Destroy();
    cmtest::Pump(20);
}

// A dialog is kept inside the work area when it is shown, and stays inside once its window
// manager's frame has come. wx places a window with the frame of the one shown before it, and
// openbox draws no resize handle at the foot of a dialog of fixed size: the support-file viewer
// (which may be resized) opened after Camera information stood 4 px below the screen's foot.
TEST(WorkAreaKeeperTest, KeepsADialogInsideWhenShownAndWhenItsFrameArrives) {
    WorkAreaKeeper keeper;
    wxEvtHandler::AddFilter(&keeper);
    const wxRect area = wxDisplay(0u).GetClientArea();
    {
        // Without a window manager only the keeper moves it: centred over a window in the
        // screen's corner, it would stand partly off the screen.
        wxDialog corner(nullptr, wxID_ANY, "corner");
        corner.SetClientSize(100, 80);
        corner.Move(area.GetRight() - 100, area.GetBottom() - 80);
        corner.Show();
        wxDialog centred(&corner, wxID_ANY, "centred");
        centred.SetClientSize(400, 300);
        centred.Move(corner.GetRect().GetLeft() - 150, corner.GetRect().GetTop() - 110);
        centred.Show();
        EXPECT_TRUE(cmtest::PumpUntil([&] { return centred.IsShownOnScreen(); }, 3000));
        EXPECT_TRUE(area.Contains(centred.GetRect()))
            << "at " << centred.GetRect().x << "," << centred.GetRect().y;
        centred.Hide();
        corner.Hide();
        cmtest::Pump(50);
    }
    cmtest::WindowManager wm;
    if (!wm.Running()) {
        wxEvtHandler::RemoveFilter(&keeper);
        GTEST_SKIP() << "openbox is not installed";
    }
    const auto frameOf = [](const wxDialog& dialog) { return dialog.GetSize() - dialog.GetClientSize(); };
    const long resizable = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX;
    {
        wxDialog main(nullptr, wxID_ANY, "main", wxDefaultPosition, wxDefaultSize, resizable);
        main.SetClientSize(300, 200);
        main.Show();
        EXPECT_TRUE(cmtest::PumpUntil([&] { return frameOf(main).y > 0; }, 3000)) << "no frame came";
        wxSize fixedFrame;
        {
            wxDialog information(&main, wxID_ANY, "information");
            information.SetClientSize(300, 200);
            wxTheApp->CallAfter([&] {
                cmtest::PumpUntil([&] { return frameOf(information) != frameOf(main); }, 2000);
                fixedFrame = frameOf(information);
                information.EndModal(wxID_CANCEL);
            });
            information.ShowModal();
        }
        EXPECT_LT(fixedFrame.y, frameOf(main).y) << "openbox gave both dialogs the same frame";
        wxDialog viewer(&main, wxID_ANY, "viewer", wxDefaultPosition, wxDefaultSize, resizable);
        viewer.SetClientSize(500, 400);
        // Placed partly below the area: the show moves it up.
        viewer.Move(area.x + 100, area.GetBottom() + 1 - viewer.GetSize().y + 100);
        viewer.Show();
        EXPECT_TRUE(cmtest::PumpUntil([&] { return frameOf(viewer) == frameOf(main); }, 3000))
            << "its own frame did not come";
        cmtest::Pump(300);
        EXPECT_LE(viewer.GetRect().GetBottom(), area.GetBottom());
        EXPECT_GE(viewer.GetRect().GetTop(), area.GetTop());
        viewer.Hide();
        main.Hide();
        cmtest::Pump(50);
    }
    wxEvtHandler::RemoveFilter(&keeper);
}

} // namespace
