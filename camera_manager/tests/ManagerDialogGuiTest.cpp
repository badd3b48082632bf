// The main dialog against the simulator, on a real display (run under xvfb-run).
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomCombo.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomStatic.h"
#include "camera_manager/core/controls/LanguageFlags.h"
#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/ManagerSettings.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/GuiTestSupport.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/headerctrl.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

using cmtest::Pump;
using cmtest::PumpUntil;

const char* const gigeCamera = R"([camera]
device_id = 1001
camera_id = 2
serial = 4103900017
model = ZK5240CP-M
sensor = ZK5240-M
width = 752
height = 480
mac = 02-5A-4B-00-10-01
ip = 192.168.10.21
)";

// n cameras, every other one GigE.
std::string ManyCameras(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        const bool gige = i % 2 == 1;
        char line[160];
        std::snprintf(line, sizeof line, "[camera]\ndevice_id = %d\nserial = 41%08d\nsensor = %s\n%s",
                      gige ? 1000 + i : 1 + i, i, gige ? "ZK5240-M" : "ZK1480-C",
                      gige ? "mac = 02-5A-4B-00-20-" : "");
        text += line;
        if (gige) {
            std::snprintf(line, sizeof line, "%02X\n", i);
            text += line;
        }
    }
    return text;
}

class ManagerDialogTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        cmtest::ManagerTest::SetUp();
        // Poll every 100 ms instead of 1.5 s, so that the tests wait less for their ticks.
        HKEY key = nullptr;
        const std::u16string path = std::u16string(managerRegistryKey) + u"\\Tree";
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  0);
        const DWORD period = 100;
        RegSetValueExW(key, u"RefreshTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&period),
                       sizeof period);
        RegCloseKey(key);
    }
    void TearDown() override {
        Close();
        cmtest::ManagerTest::TearDown();
    }
    // openbox for the rows of a test run under a window manager, none for the others.
    static std::unique_ptr<cmtest::WindowManager> WindowManagerFor(bool managed) {
        return managed ? std::make_unique<cmtest::WindowManager>() : nullptr;
    }
    // As the program starts it: the placement applied before the window is shown.
    void StartAsTheProgramDoes() {
        dlg = new CZekoManagerDlg(nullptr, nullptr, 0);
        dlg->RestorePlacement();
        dlg->Show();
        WaitTicks(2);
        Pump(300);
    }
    CZekoManagerDlg& Open() {
        dlg = new CZekoManagerDlg(nullptr, nullptr, 0);
        dlg->Show();
        WaitTicks(1);
        return *dlg;
    }
    void Close() {
        if (dlg) {
            dlg->Destroy();
            dlg = nullptr;
            Pump(30);
        }
    }
    // Lets the timer run until `n` more ticks have passed.
    void WaitTicks(unsigned n) {
        const unsigned target = dlg->refresh.Ticks() + n;
        ASSERT_TRUE(PumpUntil([&] { return dlg->refresh.Ticks() >= target; }, 10000))
            << "the polling stopped";
    }
    wxString Cell(long row, int column) const { return dlg->list->GetItemText(row, column); }
    long FindRow(int deviceId) const {
        for (long row = 0; row < dlg->list->GetItemCount(); ++row)
            if (Cell(row, 4) == wxString::Format(wxT("%d"), deviceId))
                return row;
        return -1;
    }
    long SelectedRow() const { return dlg->list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }
    void Click(long row) {
        dlg->list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        dlg->OnListClick();
    }
    // Text of the tree item with the data, empty when there is none.
    wxString TreeText(long data) const {
        const auto* item = dlg->tree->GetTree().FindItemByData(data);
        return item ? item->text : wxString();
    }
    CZekoManagerDlg* dlg = nullptr;
};

TEST_F(ManagerDialogTest, ListsTheDefaultCamerasAndShowsThemOnScreen) {
    Open();
    ASSERT_EQ(dlg->list->GetItemCount(), 2);
    const wxString usb[] = {wxT("Yes"), wxT("Yes"),         wxT("USB"),       wxT("1"),
                            wxT("1"),   wxT("ZK-1480LE-C"), wxT("4102812345")};
    const wxString eth[] = {wxT("Yes"),  wxT("Yes"),         wxT("ETH"),       wxT("2"),
                            wxT("1001"), wxT("ZK-5240CP-M"), wxT("4103900017")};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(Cell(0, c), usb[c]) << c;
        EXPECT_EQ(Cell(1, c), eth[c]) << c;
    }
    EXPECT_TRUE(dlg->GetTitle().EndsWith(wxT(" - 64-Bit")));
    // The first camera is selected, with its status, picture and buttons.
    EXPECT_EQ(dlg->selectedDeviceId, 1);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(dlg->statusNarrow->GetLabel(),
              wxT("Status of device Nr. 1: The camera is configured correctly and can be opened."));
    EXPECT_EQ(dlg->statusWide->GetLabel(), dlg->statusNarrow->GetLabel());
    EXPECT_TRUE(dlg->FindWindow(1124)->IsShown());
    EXPECT_TRUE(dlg->FindWindow(1085)->IsEnabled());
    EXPECT_FALSE(dlg->FindWindow(1086)->IsEnabled());

    // What the screen shows: the dialog's pixels are not one flat colour.
    Pump(200);
    const wxSize size = dlg->GetClientSize();
    wxBitmap shot(size);
    {
        wxMemoryDC mem(shot);
        wxClientDC screen(dlg);
        mem.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    }
    const wxImage image = shot.ConvertToImage();
    const auto* data = image.GetData();
    size_t differing = 0;
    for (int i = 0; i < size.x * size.y; ++i)
        differing += data[3 * i] != data[0] || data[3 * i + 1] != data[1] || data[3 * i + 2] != data[2];
    EXPECT_GT(differing, static_cast<size_t>(size.x * size.y / 100));
    if (const char* dir = std::getenv("ZEKO_CM_SCREENSHOT_DIR"))
        image.SaveFile(wxString::FromUTF8(dir) + wxT("/main_dialog.png"), wxBITMAP_TYPE_PNG);
}

TEST_F(ManagerDialogTest, AUsbCameraShowsItsHubAndControllerFromAFreshRegistry) {
    Open();
    ASSERT_EQ(dlg->selectedDeviceId, 1);
    EXPECT_EQ(TreeText(2001), wxT("1. Hub\tUSB Root Hub (USB 3.0) (Port 1)"));
    EXPECT_EQ(TreeText(2002), wxT("2. Controller\tUSB xHCI Compliant Host Controller"));
    EXPECT_EQ(TreeText(2003), wxString());
    Close();
    // 20 USB cameras: the sixteenth is on the second hub's first port.
    std::string description;
    for (int id = 1; id <= 20; ++id)
        description += "[camera]\ndevice_id = " + std::to_string(id) +
                       "\nsensor = ZK1480-C\nserial = 410000" + std::to_string(1000 + id) + "\n";
    useCameras(description);
    Open();
    Click(FindRow(16));
    WaitTicks(1);
    ASSERT_EQ(dlg->selectedDeviceId, 16);
    EXPECT_EQ(TreeText(2001), wxT("1. Hub\tUSB Root Hub (USB 3.0) (Port 1)"));
    EXPECT_EQ(TreeText(2002), wxT("2. Controller\tUSB xHCI Compliant Host Controller"));
    Click(FindRow(15));
    WaitTicks(1);
    EXPECT_EQ(TreeText(2001), wxT("1. Hub\tUSB Root Hub (USB 3.0) (Port F)"));
}

TEST_F(ManagerDialogTest, KeepsTheSelectionWhileCamerasComeAndGo) {
    Open();
    Click(1);
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    WaitTicks(1);
    EXPECT_EQ(SelectedRow(), 1);

    // The USB camera leaves: the GigE camera moves up and stays selected.
    ASSERT_EQ(zksim_SetCameraConnected(1, 0), 0);
    WaitTicks(1);
    ASSERT_EQ(dlg->list->GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 4), wxT("1001"));
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    EXPECT_EQ(SelectedRow(), 0);

    // It comes back: listed again, and the selection stays on the GigE camera.
    ASSERT_EQ(zksim_SetCameraConnected(1, 1), 0);
    WaitTicks(1);
    ASSERT_EQ(dlg->list->GetItemCount(), 2);
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    EXPECT_EQ(Cell(SelectedRow(), 4), wxT("1001"));
}

// Cameras of one model compare equal in the default sort column: they stay in the order the
// camera interface lists them in, whichever way the column sorts.
TEST_F(ManagerDialogTest, RowsThatCompareEqualKeepTheInterfacesOrderBothWays) {
    std::string description;
    for (int i = 1; i <= 64; ++i) {
        char line[160];
        std::snprintf(
            line, sizeof line,
            "[camera]\ndevice_id = %d\nserial = 4103%06d\nsensor = ZK5240-M\nmac = 02-5A-4B-00-30-%02X\n",
            1000 + i, i, i);
        description += line;
    }
    useCameras(description);
    Open();
    ASSERT_EQ(dlg->list->GetItemCount(), 64);
    auto expectInterfaceOrder = [&](const char* when) {
        for (long row = 0; row < 64; ++row)
            ASSERT_EQ(Cell(row, 4), wxString::Format(wxT("%ld"), 1001 + row)) << when << ", row " << row;
    };
    expectInterfaceOrder("model column ascending");
    wxListEvent click(wxEVT_LIST_COL_CLICK, dlg->list->GetId());
    click.SetEventObject(dlg->list);
    click.m_col = 5;
    dlg->list->GetEventHandler()->ProcessEvent(click);
    WaitTicks(1);
    expectInterfaceOrder("model column descending");
}

// A press and release that come together (a touchpad's tap, automation) select the row as a
// slow click does.
TEST_F(ManagerDialogTest, AQuickClickSelectsItsRow) {
    Open();
    WaitTicks(1);
    wxUIActionSimulator input;
    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE(attempt);
        const long row = (attempt + 1) % 2;
        wxRect rect;
        ASSERT_TRUE(dlg->list->GetItemRect(row, rect));
        input.MouseMove(
            dlg->list->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2)));
        Pump(50);
        input.MouseDown();
        input.MouseUp();
        Pump(50);
        WaitTicks(2);
        EXPECT_EQ(SelectedRow(), row);
        EXPECT_EQ(dlg->selectedDeviceId, row == 0 ? 1 : 1001);
    }
}

// Tab and Shift+Tab reach every button and stay where they put the focus while the list
// refreshes; the list takes the focus only where no control of the dialog holds it.
TEST_F(ManagerDialogTest, TheKeyboardReachesEveryButtonAcrossTicks) {
    cmtest::WindowManager wm; // gives the dialog the keyboard, as a desktop does
    if (!wm.Running())
        GTEST_SKIP() << "openbox is not installed";
    Open();
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsActive(); }, 30000));
    WaitTicks(1);
    const auto focusId = [] {
        const wxWindow* focus = wxWindow::FindFocus();
        return focus ? focus->GetId() : 0;
    };
    EXPECT_EQ(focusId(), dlg->list->GetId());
    wxUIActionSimulator input;
    std::set<int> reached;
    std::vector<int> order;
    for (int press = 0; press < 14; ++press) {
        input.Char(WXK_TAB);
        Pump(30);
        const int id = focusId();
        WaitTicks(1);
        EXPECT_EQ(focusId(), id) << "a tick took the focus after Tab " << press;
        reached.insert(id);
        order.push_back(id);
    }
    for (int button : {1125, 1085, 1104, 1175, 1195, 1143, 1029, 1106})
        EXPECT_EQ(reached.count(button), 1u) << button;
    // Shift+Tab goes back the same way.
    input.Char(WXK_TAB, wxMOD_SHIFT);
    Pump(30);
    WaitTicks(1);
    EXPECT_EQ(focusId(), order[order.size() - 2]);
    // A focused button that disappears leaves the focus nowhere: the list takes it again.
    dlg->FindWindow(1029)->SetFocus();
    Pump(30);
    dlg->FindWindow(1029)->Hide();
    WaitTicks(2);
    EXPECT_EQ(focusId(), dlg->list->GetId());
}

TEST_F(ManagerDialogTest, UnpluggingTheSelectedCameraClearsTreeAndStatusAndSelectsNoOther) {
    Open();
    Click(1);
    WaitTicks(1);
    EXPECT_FALSE(TreeText(1201).empty());
    ASSERT_EQ(zksim_SetCameraConnected(1001, 0), 0);
    WaitTicks(1);
    EXPECT_EQ(dlg->list->GetItemCount(), 1);
    EXPECT_EQ(dlg->selectedDeviceId, -1);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(dlg->tree->GetTree().GetCount(), 0u);
    EXPECT_TRUE(dlg->statusNarrow->GetLabel().empty());
    for (int id : CameraListRules::pictures)
        EXPECT_FALSE(dlg->FindWindow(id)->IsShown()) << id;
    for (int id : CameraListRules::cameraButtons)
        EXPECT_FALSE(dlg->FindWindow(id)->IsEnabled()) << id;
    WaitTicks(1);
    EXPECT_EQ(dlg->selectedDeviceId, -1);
}

TEST_F(ManagerDialogTest, AnUnchangedListIsNotRebuiltAndTheTimerAlwaysRunsAgain) {
    Open();
    WaitTicks(1);
    const unsigned rebuilds = dlg->refresh.ListRebuilds();
    // While nothing changes, the ticks read no camera list and no camera's information.
    const int listCalls = zksim_JournalCount("zk_GetCameraList");
    const int infoCalls = zksim_JournalCount("zk_GetEthDeviceInfo");
    WaitTicks(2);
    EXPECT_EQ(dlg->refresh.ListRebuilds(), rebuilds);
    EXPECT_EQ(zksim_JournalCount("zk_GetCameraList"), listCalls);
    EXPECT_EQ(zksim_JournalCount("zk_GetEthDeviceInfo"), infoCalls);
    EXPECT_TRUE(dlg->timer.IsRunning());
    // A failing camera list empties the lists for that tick; the polling goes on.
    zksim_InjectFailure("zk_GetCameraList", 2, 0);
    WaitTicks(1);
    EXPECT_EQ(dlg->list->GetItemCount(), 0);
    EXPECT_EQ(dlg->selectedDeviceId, -1);
    zksim_ClearFailures();
    WaitTicks(1);
    EXPECT_EQ(dlg->list->GetItemCount(), 2);
    EXPECT_TRUE(dlg->timer.IsRunning());
}

TEST_F(ManagerDialogTest, NoCameraAtAllThenOnePluggedIn) {
    useCameras(gigeCamera);
    ASSERT_EQ(zksim_SetCameraConnected(1001, 0), 0);
    Open();
    EXPECT_EQ(dlg->list->GetItemCount(), 0);
    EXPECT_EQ(dlg->selectedDeviceId, -1);
    ASSERT_EQ(zksim_SetCameraConnected(1001, 1), 0);
    WaitTicks(1);
    EXPECT_EQ(dlg->list->GetItemCount(), 1);
    EXPECT_EQ(dlg->selectedDeviceId, -1);
}

TEST_F(ManagerDialogTest, ArrowKeysMoveTheSelectionWithinTheList) {
    Open();
    dlg->OnListKey(WXK_DOWN);
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    dlg->OnListKey(WXK_DOWN); // at the last row: stays there
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    EXPECT_EQ(SelectedRow(), 1);
    dlg->OnListKey(WXK_UP);
    dlg->OnListKey(WXK_UP);
    EXPECT_EQ(dlg->selectedDeviceId, 1);
    EXPECT_TRUE(dlg->refresh.ListRebuildRequested());
}

// Page Up, Page Down, Home and End page through the list as lists do, typed on the keyboard.
TEST_F(ManagerDialogTest, PageKeysHomeAndEndMoveThroughTheList) {
    cmtest::WindowManager wm; // gives the dialog the keyboard, as a desktop does
    if (!wm.Running())
        GTEST_SKIP() << "openbox is not installed";
    useCameras(ManyCameras(40));
    Open();
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsActive(); }, 30000));
    WaitTicks(1);
    ASSERT_EQ(dlg->list->GetItemCount(), 40);
    ASSERT_EQ(wxWindow::FindFocus(), dlg->list->GetItemArea());
    const long page = std::max(1, dlg->list->GetCountPerPage() - 1);
    ASSERT_LT(page, 39) << "the list shows every row: nothing to page through";
    wxUIActionSimulator input;
    const auto press = [&](int key) {
        input.Char(key);
        Pump(30);
        WaitTicks(1);
    };
    press(WXK_END);
    EXPECT_EQ(SelectedRow(), 39);
    EXPECT_EQ(dlg->selectedDeviceId, wxAtoi(Cell(39, 4)));
    press(WXK_HOME);
    EXPECT_EQ(SelectedRow(), 0);
    press(WXK_PAGEDOWN);
    EXPECT_EQ(SelectedRow(), page);
    EXPECT_EQ(dlg->selectedDeviceId, wxAtoi(Cell(page, 4)));
    press(WXK_PAGEDOWN);
    EXPECT_EQ(SelectedRow(), 2 * page);
    press(WXK_PAGEUP);
    EXPECT_EQ(SelectedRow(), page);
    press(WXK_PAGEUP);
    press(WXK_PAGEUP); // at the first row: stays there
    EXPECT_EQ(SelectedRow(), 0);
    // The row the keys chose is in sight.
    press(WXK_END);
    EXPECT_GE(dlg->list->GetTopItem() + dlg->list->GetCountPerPage(), 40);
}

TEST_F(ManagerDialogTest, StatusLinesFollowTheCameraState) {
    useCameras(R"([camera]
device_id = 1
serial = 100
sensor = ZK1480-C
in_use = yes
[camera]
device_id = 2
serial = 101
sensor = ZK1480-C
status_flags = 3
[camera]
device_id = 1001
serial = 102
sensor = ZK5240-M
mac = 02-5A-4B-00-10-01
control_status = 0
device_status_flags = 0x100
[camera]
device_id = 1002
serial = 103
sensor = ZK5240-M
mac = 02-5A-4B-00-10-02
device_status_flags = 0
control_status = 0x1000
)");
    Open();
    ASSERT_EQ(dlg->list->GetItemCount(), 4);
    struct Expect {
        int deviceId;
        const wxChar* message;
        wxColour colour;
        bool info;
    } cases[] = {
        {1, wxT("You have opened the camera"), wxColour(0, 150, 0), false},
        {2,
         wxT("An upload of the camera firmware is not possible. The hardware of your camera is probably not "
             "compatible to the installed Zeko driver. Your hardware is not supported by driver versions "
             "higher "
             "than 3.00. In addition, the camera does not support Fullspeed USB."),
         wxColour(230, 0, 0), false},
        {1001, wxT("Internal driver error. Please reinstall the Zeko setup."), wxColour(230, 0, 0), false},
        {1002, wxT("You have opened the camera"), wxColour(0, 150, 0), false},
    };
    for (const Expect& e : cases) {
        long row = -1;
        for (long r = 0; r < dlg->list->GetItemCount(); ++r)
            if (Cell(r, 4) == wxString::Format(wxT("%d"), e.deviceId))
                row = r;
        ASSERT_GE(row, 0);
        Click(row);
        EXPECT_EQ(dlg->statusNarrow->GetLabel(),
                  wxString::Format(wxT("Status of device Nr. %d: %s"), e.deviceId, e.message));
        EXPECT_EQ(dlg->statusNarrow->GetForegroundColour(), e.colour) << e.deviceId;
        EXPECT_FALSE(dlg->FindWindow(1085)->IsEnabled()) << e.deviceId;
    }
    // Rows of the four states.
    EXPECT_EQ(Cell(0, 0), wxT("No"));
    EXPECT_EQ(Cell(1, 1), wxT("No"));
}

TEST_F(ManagerDialogTest, AFailedInformationCallShowsTheErrorAndTransferFailed) {
    zksim_InjectFailure("zk_GetEthDeviceInfo", 2, 0);
    Open();
    Click(1);
    EXPECT_EQ(dlg->statusNarrow->GetLabel(), wxT("Transfer failed  (Errorcode: 2): API Dll or kernel driver "
                                                 "incompatible. Please reinstall the setup."));
    EXPECT_EQ(TreeText(1202), wxT("Current IP address\tTransfer failed"));
    EXPECT_EQ(TreeText(2202), wxT("IP address\tTransfer failed"));
    EXPECT_EQ(TreeText(2408), wxT("Packet filter\t0"));
}

TEST_F(ManagerDialogTest, TheTreeShowsTheCameraAndKeepsItsNodesAcrossTicksAndRestarts) {
    useCameras(std::string(gigeCamera) + "temperature = 0x0190\n");
    Open();
    EXPECT_EQ(dlg->selectedDeviceId, 1001);
    EXPECT_EQ(TreeText(1106), wxString::FromUTF8("Camera temperature\t25.0\xC2\xB0 C  (77.0\xC2\xB0 F)"));
    EXPECT_EQ(TreeText(1202), wxT("Current IP address\t192.168.10.21"));
    CColumnTreeCtrl& tree = dlg->tree->GetTree();
    auto* network = tree.FindItemByData(1200);
    ASSERT_NE(network, nullptr);
    EXPECT_TRUE(network->expanded);
    EXPECT_FALSE(tree.FindItemByData(1116)->expanded); // status flags start collapsed

    tree.Expand(network, false);
    tree.SelectItem(tree.FindItemByData(1103));
    WaitTicks(2);
    network = tree.FindItemByData(1200);
    EXPECT_FALSE(network->expanded);
    ASSERT_NE(tree.GetSelectedItem(), nullptr);
    EXPECT_EQ(tree.GetSelectedItem()->data, 1103);

    Close(); // saves the nodes
    Open();
    EXPECT_FALSE(dlg->tree->GetTree().FindItemByData(1200)->expanded);
    EXPECT_TRUE(dlg->tree->GetTree().FindItemByData(1100)->expanded);
}

TEST_F(ManagerDialogTest, WithoutAutomaticRefreshTheTreeIsRefilledOnlyAfterAnAction) {
    useCameras(gigeCamera);
    Open();
    dlg->autoRefresh->SetValue(false);
    WaitTicks(1);
    zksim_InjectFailure("zk_GetEthDeviceInfo", 2, 0);
    WaitTicks(2);
    EXPECT_EQ(TreeText(1202), wxT("Current IP address\t192.168.10.21")); // not refilled
    dlg->refresh.RequestParameters();
    WaitTicks(1);
    EXPECT_EQ(TreeText(1202), wxT("Current IP address\tTransfer failed"));
    EXPECT_FALSE(dlg->refresh.ParametersRequested());
}

// Counts the paint events of a window and every window inside it, with the areas drawn.
struct PaintLog {
    std::map<wxWindow*, int> paints;
    std::map<wxWindow*, wxRect> areas;
    int Total() const {
        int n = 0;
        for (const auto& [window, count] : paints)
            n += count;
        return n;
    }
    std::string Describe() const {
        std::string text;
        for (const auto& [window, count] : paints)
            text += wxString(window->GetClassInfo()->GetClassName()).ToStdString() + " " +
                    std::to_string(window->GetId()) + ": " + std::to_string(count) + " in " +
                    std::to_string(areas.at(window).x) + "," + std::to_string(areas.at(window).y) + " " +
                    std::to_string(areas.at(window).width) + "x" + std::to_string(areas.at(window).height) +
                    "\n";
        return text;
    }
};

std::shared_ptr<PaintLog> LogPaints(wxWindow* top) {
    auto log = std::make_shared<PaintLog>();
    std::function<void(wxWindow*)> attach = [&](wxWindow* w) {
        w->Bind(wxEVT_PAINT, [log, w](wxPaintEvent& e) {
            ++log->paints[w];
            log->areas[w].Union(w->GetUpdateRegion().GetBox());
            e.Skip();
        });
        for (wxWindow* child : w->GetChildren())
            attach(child);
    };
    attach(top);
    return log;
}

TEST_F(ManagerDialogTest, AnIdleTickDrawsNothingAndAChangedValueRedrawsOnlyItsRow) {
    useCameras(gigeCamera);
    Open();
    dlg->expertMode->SetValue(true);
    dlg->OnExpertMode();
    WaitTicks(3);
    Pump(300);
    ASSERT_TRUE(dlg->tree->IsShown());
    ASSERT_EQ(TreeText(1104), wxT("User EEPROM (8 chars)\t"));

    std::shared_ptr<PaintLog> idle = LogPaints(dlg);
    WaitTicks(5);
    Pump(100);
    EXPECT_EQ(idle->Total(), 0) << idle->Describe();

    // The camera's user EEPROM changes behind the dialog's back: one row of the tree.
    uint32_t handle = 1001 | ZK_USE_DEVICE_ID;
    ASSERT_EQ(ZekoApi::zk_InitCamera(&handle, nullptr), 0);
    ASSERT_EQ(ZekoApi::zk_WriteEEPROM(handle, 0, "Lab 3", 6), 0);
    ZekoApi::zk_ExitCamera(handle);
    std::shared_ptr<PaintLog> changed = LogPaints(dlg);
    WaitTicks(2);
    Pump(100);
    EXPECT_EQ(TreeText(1104), wxT("User EEPROM (8 chars)\tLab 3"));
    // The row's strip is drawn, by the tree and by what lies beneath it; nothing else is.
    CColumnTreeCtrl& tree = dlg->tree->GetTree();
    EXPECT_GE(changed->paints[&tree], 1);
    for (const auto& [window, area] : changed->areas) {
        EXPECT_LE(area.GetHeight(), tree.GetRowHeight()) << changed->Describe();
        const wxRect onScreen(window->ClientToScreen(area.GetPosition()), area.GetSize());
        const wxRect treeArea(tree.ClientToScreen(wxPoint(0, 0)), tree.GetClientSize());
        EXPECT_TRUE(treeArea.Contains(onScreen)) << changed->Describe();
    }
}

TEST_F(ManagerDialogTest, ExpertModeWidensByTheTreeAndSwitchesTheControls) {
    Open();
    WaitTicks(1); // the first tick restores the (narrow) placement
    const int narrow = dlg->GetSize().GetWidth();
    EXPECT_FALSE(dlg->FindWindow(1087)->IsShown());
    EXPECT_TRUE(dlg->statusNarrow->IsShown());
    EXPECT_EQ(dlg->GetMinSize().GetWidth(), dlg->narrowMinWidth);
    // The new size comes back from the X server, later on a loaded machine.
    const auto widthBecomes = [&](int width) {
        return PumpUntil([&] { return dlg->GetSize().GetWidth() == width; }, 30000);
    };
    dlg->expertMode->SetValue(true);
    dlg->OnExpertMode();
    Pump(100);
    EXPECT_TRUE(widthBecomes(narrow + 371)) << dlg->GetSize().GetWidth();
    EXPECT_TRUE(dlg->FindWindow(1087)->IsShown());
    EXPECT_TRUE(dlg->statusWide->IsShown());
    EXPECT_FALSE(dlg->statusNarrow->IsShown());
    EXPECT_EQ(dlg->GetMinSize().GetWidth(), dlg->fullMinWidth);
    // The tree fills its column of the full window.
    EXPECT_GT(dlg->tree->GetPosition().x + dlg->tree->GetSize().GetWidth(),
              dlg->GetClientSize().GetWidth() - 40);
    dlg->expertMode->SetValue(false);
    dlg->OnExpertMode();
    Pump(100);
    EXPECT_TRUE(widthBecomes(narrow)) << dlg->GetSize().GetWidth();
}

TEST_F(ManagerDialogTest, OnScreenTheWindowStaysTheListScrollsTheTreeLabelsAreWholeAndLanguagesHaveFlags) {
    useCameras(ManyCameras(64));
    Open();
    WaitTicks(1);
    // Expert mode at the screen's right edge widens to the left.
    const wxRect area = wxDisplay(dlg).GetClientArea();
    dlg->Move(area.GetRight() + 1 - dlg->GetSize().GetWidth(), dlg->GetPosition().y);
    Pump(100);
    dlg->expertMode->SetValue(true);
    dlg->OnExpertMode();
    Pump(200);
    EXPECT_LE(dlg->GetRect().GetRight(), area.GetRight());
    EXPECT_GE(dlg->GetRect().GetLeft(), area.GetLeft());
    WaitTicks(2);

    // 64 rows do not fit: the scroll bar takes its room beside them.
    wxWindow* rows = dlg->list->GetItemArea();
    EXPECT_LT(rows->GetClientSize().GetWidth(), rows->GetSize().GetWidth());

    // Every tree label fits its column.
    CColumnTreeWnd& tree = *dlg->tree;
    for (const auto& root : tree.GetTree().GetRootItems())
        EXPECT_LE(tree.GetMaxColumnWidth(root.get(), 0, 0, false), tree.columnWidths[0]);

    // Thirteen different flags, one per language offered.
    std::vector<wxImage> flags;
    for (unsigned i = 0; i < dlg->languageCombo->GetCount(); ++i) {
        const wxBitmap flag = dlg->languageCombo->GetItemBitmap(i);
        ASSERT_TRUE(flag.IsOk()) << i;
        flags.push_back(flag.ConvertToImage());
    }
    for (size_t a = 0; a < flags.size(); ++a)
        for (size_t b = a + 1; b < flags.size(); ++b)
            EXPECT_NE(std::memcmp(flags[a].GetData(), flags[b].GetData(),
                                  flags[a].GetWidth() * flags[a].GetHeight() * 3),
                      0)
                << a << " " << b;
    for (int index = 0; index < 13; ++index)
        EXPECT_TRUE(LanguageFlag(index).IsOk()) << index;
    EXPECT_FALSE(LanguageFlag(13).IsOk());
}

// Expert mode on the GigE camera with every branch of the tree open: more rows than the tree
// shows, so that its vertical scroll bar stands beside them.
class ExpertTreeTest : public ManagerDialogTest {
protected:
    void OpenExpert() {
        useCameras(gigeCamera);
        Open();
        dlg->expertMode->SetValue(true);
        dlg->OnExpertMode();
        WaitTicks(2);
        Pump(100);
        ASSERT_TRUE(dlg->tree->IsShown());
        ASSERT_NE(dlg->tree->GetTree().FindItemByData(1201), nullptr) << "no MAC address row";
    }
    CColumnTreeCtrl& Rows() { return dlg->tree->GetTree(); }
    int VerticalBar() { return Rows().GetSize().GetWidth() - Rows().GetClientSize().GetWidth(); }
    // A point of a shown row on the screen, x pixels from the rows' left edge.
    wxPoint RowOnScreen(const CColumnTreeCtrl::Item* item, int x) {
        const auto& rows = Rows().GetVisibleItems();
        const int row = static_cast<int>(std::find(rows.begin(), rows.end(), item) - rows.begin());
        Rows().SetScrollRow(row);
        Pump(50);
        const int y = (row - Rows().GetScrollRow()) * Rows().GetRowHeight() + Rows().GetRowHeight() / 2;
        return Rows().ClientToScreen(wxPoint(x, y));
    }
};

TEST_F(ExpertTreeTest, TheMacAddressEndsLeftOfTheScrollBar) {
    OpenExpert();
    CColumnTreeCtrl& rows = Rows();
    CColumnTreeWnd& tree = *dlg->tree;
    wxClientDC dc(&rows);
    dc.SetFont(rows.GetFont());
    const int macWidth = dc.GetTextExtent(wxT("02-5A-4B-00-10-01")).GetWidth();
    // Where the rows' area ends on the screen (the scroll bar starts there), and where the value
    // column and the MAC address end.
    struct Edges {
        int bar, valueLeft, valueRight, mac;
    };
    const auto edges = [&] {
        const int valueLeft = rows.ClientToScreen(wxPoint(tree.columnWidths[0], 0)).x;
        return Edges{rows.ClientToScreen(wxPoint(rows.GetClientSize().GetWidth(), 0)).x, valueLeft,
                     valueLeft + tree.columnWidths[1], valueLeft + tree.textOffset + macWidth};
    };
    // As expert mode opens, in the template's width: every text whole beside the scroll bar,
    // nothing to scroll sideways, the MAC address as far from the bar as the labels are from the
    // value column.
    ASSERT_GT(VerticalBar(), 0) << "every row fits: no scroll bar to keep clear of";
    Edges e = edges();
    EXPECT_LE(e.valueRight, e.bar);
    EXPECT_LE(e.mac + ColumnTreeRules::textGap, e.bar);
    EXPECT_EQ(tree.scrollOffset, 0);
    EXPECT_LE(tree.totalWidth, rows.GetClientSize().GetWidth());
    for (const auto& root : rows.GetRootItems())
        EXPECT_LE(tree.GetMaxColumnWidth(root.get(), 0, 0, true) + ColumnTreeRules::labelInset +
                      ColumnTreeRules::textGap,
                  tree.columnWidths[0]);

    // Every branch open, as the user's double click on each row opens it, parents first: the
    // status flags' bits are longer labels than fit beside the values, and the tree scrolls
    // sideways; scrolled to its end, the values end before the bar.
    for (int opened = 0; opened < 50; ++opened) {
        const auto all = rows.GetAllItems(); // afresh: a tick may have built the tree again
        const auto closed = std::find_if(all.begin(), all.end(), [](const CColumnTreeCtrl::Item* item) {
            return !item->children.empty() && !item->expanded;
        });
        if (closed == all.end())
            break;
        rows.HandleClick(rows.ScreenToClient(RowOnScreen(*closed, tree.columnWidths[0] - 10)), true);
        Pump(20);
    }
    WaitTicks(2);
    Pump(200);
    tree.ScrollHorizontally(static_cast<int>(ColumnTreeRules::ScrollCode::RightEnd), 0);
    Pump(50);
    e = edges();
    EXPECT_LE(e.valueRight, e.bar);
    EXPECT_LE(e.mac + ColumnTreeRules::textGap, e.bar);
}

// Tab reaches the tree itself, not the window around it, and the keys work it: Up and Down move
// through the rows, Right and plus open a branch, Left and minus close it.
TEST_F(ExpertTreeTest, TabGivesTheTreeTheFocusAndTheKeysWorkIt) {
    cmtest::WindowManager wm; // gives the dialog the keyboard, as a desktop does
    if (!wm.Running())
        GTEST_SKIP() << "openbox is not installed";
    OpenExpert();
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsActive(); }, 30000));
    // Only the keys change the tree while this runs.
    static_cast<wxCheckBox*>(dlg->FindWindow(1079))->SetValue(false);
    WaitTicks(1);
    wxUIActionSimulator input;
    const auto press = [&](int key, int modifiers = wxMOD_NONE) {
        input.Char(key, modifiers);
        Pump(30);
        WaitTicks(1);
    };
    bool reached = false;
    for (int tab = 0; tab < 20 && !reached; ++tab) {
        press(WXK_TAB);
        EXPECT_NE(wxWindow::FindFocus(), dlg->tree) << "the window around the tree holds the focus";
        reached = wxWindow::FindFocus() == &Rows();
    }
    ASSERT_TRUE(reached) << "Tab never reached the tree";
    const auto selected = [&] {
        const CColumnTreeCtrl::Item* item = Rows().GetSelectedItem();
        return item ? item->data : -1L;
    };
    const auto row = [&] {
        const auto& shown = Rows().GetVisibleItems();
        return static_cast<int>(std::find(shown.begin(), shown.end(), Rows().GetSelectedItem()) -
                                shown.begin());
    };
    press(WXK_DOWN);
    ASSERT_NE(selected(), -1L) << "Down selected no row";
    const int first = row();
    press(WXK_DOWN);
    EXPECT_EQ(row(), first + 1);
    press(WXK_UP);
    EXPECT_EQ(row(), first);
    EXPECT_EQ(wxWindow::FindFocus(), &Rows()) << "the keys moved the focus on";
    // Down to the first closed branch, then open and close it.
    const auto item = [&] { return Rows().FindItemByData(selected()); };
    for (int down = 0; down < 60 && item() && (item()->children.empty() || item()->expanded); ++down)
        press(WXK_DOWN);
    ASSERT_TRUE(item() && !item()->children.empty() && !item()->expanded) << "no closed branch";
    const long branch = selected();
    const size_t closedRows = Rows().GetVisibleItems().size();
    press(WXK_RIGHT);
    EXPECT_TRUE(item()->expanded);
    EXPECT_GT(Rows().GetVisibleItems().size(), closedRows);
    press(WXK_LEFT);
    EXPECT_FALSE(item()->expanded);
    EXPECT_EQ(Rows().GetVisibleItems().size(), closedRows);
    // The keypad's keys, and the main keyboard's (plus is Shift+= there).
    for (const bool keypad : {true, false}) {
        SCOPED_TRACE(keypad ? "keypad" : "main keyboard");
        if (keypad)
            press(WXK_NUMPAD_ADD);
        else
            press('=', wxMOD_SHIFT);
        EXPECT_TRUE(item()->expanded);
        press(keypad ? WXK_NUMPAD_SUBTRACT : '-');
        EXPECT_FALSE(item()->expanded);
    }
    EXPECT_EQ(selected(), branch);
    EXPECT_EQ(wxWindow::FindFocus(), &Rows());
}

// The user's drag of a divider, with the pointer, stays when a branch opens or closes.
TEST_F(ExpertTreeTest, ADividerTheUserDraggedStaysWhenABranchOpens) {
    OpenExpert();
    CColumnTreeWnd& tree = *dlg->tree;
    const int before = tree.columnWidths[0];
    const wxHeaderCtrl& header = tree.GetHeader();
    const wxPoint divider =
        header.ClientToScreen(wxPoint(before - 1, header.GetClientSize().GetHeight() / 2));
    wxUIActionSimulator input;
    input.MouseMove(divider);
    Pump(50);
    input.MouseDown();
    Pump(50);
    for (int step = 1; step <= 8; ++step) {
        input.MouseMove(divider - wxPoint(5 * step, 0));
        Pump(20);
    }
    input.MouseUp();
    Pump(100);
    const int dragged = tree.columnWidths[0];
    ASSERT_LT(dragged, before - 20) << "the drag did not reach the divider";
    EXPECT_EQ(tree.userWidths[0], dragged);
    WaitTicks(2);
    EXPECT_EQ(tree.columnWidths[0], dragged) << "a tick moved the divider";

    // The status flags open with a double click on their row, as the user does it.
    CColumnTreeCtrl::Item* flags = Rows().FindItemByData(1116);
    ASSERT_NE(flags, nullptr);
    ASSERT_FALSE(flags->expanded);
    input.MouseMove(RowOnScreen(flags, tree.columnWidths[0] - 10));
    Pump(50);
    input.MouseDblClick();
    Pump(100);
    WaitTicks(2);
    flags = Rows().FindItemByData(1116);
    ASSERT_TRUE(flags && flags->expanded) << "the double click did not open the branch";
    EXPECT_EQ(tree.columnWidths[0], dragged);
    // The value column fills the rest beside the user's width, up to the scroll bar.
    EXPECT_LE(tree.columnWidths[0] + tree.columnWidths[1], Rows().GetClientSize().GetWidth());

    // Closed again, and the window resized: the width stays still. The pause keeps GTK from
    // taking the clicks for a triple click.
    Pump(800);
    input.MouseMove(RowOnScreen(flags, tree.columnWidths[0] - 10));
    Pump(50);
    input.MouseDblClick();
    Pump(100);
    WaitTicks(2);
    EXPECT_FALSE(Rows().FindItemByData(1116)->expanded);
    dlg->SetSize(dlg->GetSize() + wxSize(60, 0));
    Pump(100);
    EXPECT_EQ(tree.columnWidths[0], dragged);
}

// Started as the program starts it (the placement applied before the window is shown), the
// dialog comes back where and as large as it was closed, under a window manager (whose frame
// is not known before the window is mapped, and which places windows itself) and without one.
TEST_F(ManagerDialogTest, ComesBackWhereAndAsLargeAsItWasClosed) {
    for (const bool managed : {false, true}) {
        SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
        const auto wm = WindowManagerFor(managed);
        if (managed && !wm->Running())
            GTEST_SKIP() << "openbox is not installed";
        RegDeleteKeyW(HKEY_CURRENT_USER, (std::u16string(managerRegistryKey) + u"\\Dialog").c_str());
        StartAsTheProgramDoes();
        // The first start centres it in the work area (give or take half a title bar, which is
        // not known before the window is mapped).
        const wxRect area = wxDisplay(dlg).GetClientArea();
        const wxRect first = dlg->GetRect();
        EXPECT_NEAR(first.x + first.width / 2, area.x + area.width / 2, 2);
        EXPECT_NEAR(first.y + first.height / 2, area.y + area.height / 2, 16);
        const wxSize widened = dlg->GetClientSize() + wxSize(60, 40);
        dlg->SetClientSize(widened);
        dlg->Move(300, 200);
        EXPECT_TRUE(PumpUntil([&] { return dlg->GetPosition() == wxPoint(300, 200); }, 30000));
        Pump(200);
        Close();
        for (int session = 0; session < 3; ++session) {
            SCOPED_TRACE(session);
            StartAsTheProgramDoes();
            EXPECT_EQ(dlg->GetPosition(), wxPoint(300, 200));
            EXPECT_EQ(dlg->GetClientSize(), widened);
            Close();
        }
    }
}

// Each sub-dialog opens centred over the main dialog, not at the screen's centre, and no part of
// it beyond the work area's edge: with the main dialog at the screen's left edge, the wider ones
// stop at that edge. Under a window manager (which frames and may place the windows itself) and
// without one.
TEST_F(ManagerDialogTest, EverySubDialogOpensOverTheMainDialogInsideTheWorkArea) {
    struct Keeper : WorkAreaKeeper { // as the application keeps its dialogs
        Keeper() { wxEvtHandler::AddFilter(this); }
        ~Keeper() override { wxEvtHandler::RemoveFilter(this); }
    } keeper;
    // Where the X server shows the window's inside: without a window manager wx still adds the
    // frame an earlier managed window had to its idea of the window's place.
    const auto onScreen = [](wxWindow& window) {
        return wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize());
    };
    struct Opened {
        wxString title;
        wxRect rect;
    };
    std::vector<Opened> opened;
    wxDialog* running = nullptr;
    int shownFor = 0, waitedFor = 0;
    // Every sub-dialog runs its own loop until it has stood on the screen for a while; one that
    // never reaches the screen is ended after a minute, as its loop would otherwise hold the test.
    wxTimer watch;
    watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!running)
            return;
        if (++waitedFor < 1200 && (!running->IsShownOnScreen() || ++shownFor < 8))
            return;
        EXPECT_LT(waitedFor, 1200) << running->GetTitle() << " never reached the screen";
        opened.push_back({running->GetTitle(), onScreen(*running)});
        wxDialog* done = running;
        running = nullptr;
        done->EndModal(wxID_CANCEL);
    });
    cmtest::AnswerDialogs hook(true);
    hook.answer = [&](wxDialog* dialog) {
        if (dynamic_cast<wxMessageDialogBase*>(dialog))
            return int(wxID_OK);
        running = dialog;
        shownFor = waitedFor = 0;
        return int(wxID_NONE);
    };
    watch.Start(50);
    wxUIActionSimulator input;
    const auto click = [&](wxWindow* control) {
        input.MouseMove(control->GetScreenRect().GetLeftTop() + wxPoint(8, control->GetSize().y / 2));
        Pump(30);
        input.MouseClick();
    };
    for (const bool managed : {false, true}) {
        SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
        const auto wm = WindowManagerFor(managed);
        if (managed && !wm->Running())
            GTEST_SKIP() << "openbox is not installed";
        Open();
        const wxRect area = wxDisplay(dlg).GetClientArea();
        MoveTopLevelWindow(*dlg, area.x, area.y + 40);
        ASSERT_TRUE(PumpUntil([&] { return dlg->GetPosition().x == area.x; }, 30000));
        // The GigE camera, in expert mode (which shows the manual ETH configuration).
        Click(FindRow(1001));
        if (!dlg->expertMode->IsChecked())
            click(dlg->expertMode);
        ASSERT_TRUE(PumpUntil([&] { return dlg->FindWindow(1087)->IsShown(); }, 30000));
        Pump(300);
        opened.clear();
        // At the left edge each one, then General information with the dialog at the bottom edge.
        for (int button : {1125, 1085, 1195, 1087, -1125}) {
            SCOPED_TRACE(button);
            if (button < 0) {
                button = -button;
                const int top = area.GetBottom() + 1 - dlg->GetSize().y;
                MoveTopLevelWindow(*dlg, area.x + 100, top);
                ASSERT_TRUE(PumpUntil([&] { return dlg->GetPosition().y == top; }, 3000));
                Pump(300);
            }
            const size_t before = opened.size();
            click(dlg->FindWindow(button));
            ASSERT_TRUE(PumpUntil([&] { return opened.size() > before; }, 30000)) << "no dialog opened";
            Pump(100);
            const wxRect owner = onScreen(*dlg);
            const wxRect placed = opened.back().rect;
            SCOPED_TRACE(opened.back().title.utf8_string());
            const auto inside = [](int ownerStart, int ownerLength, int length, int areaStart,
                                   int areaLength) {
                return std::clamp(ownerStart + ownerLength / 2 - length / 2, areaStart,
                                  areaStart + areaLength - length);
            };
            EXPECT_NEAR(placed.x, inside(owner.x, owner.width, placed.width, area.x, area.width), 12);
            EXPECT_NEAR(placed.y, inside(owner.y, owner.height, placed.height, area.y, area.height), 30);
            EXPECT_TRUE(area.Contains(placed))
                << placed.x << "," << placed.y << " " << placed.width << "x" << placed.height;
        }
        Close();
    }
    watch.Stop();
}

// A size stored on a larger screen is shown as large as the work area allows, and stays stored
// as it was when the dialog closes unchanged, also when a window manager took off its frame
// after the start; a size changed by hand is stored as chosen. A height too low for the
// controls is shown at the dialog's minimum, where the list keeps its header and rows above the
// controls below it.
TEST_F(ManagerDialogTest, ASizeTheScreenImposesIsNotSavedAndTheHeightHasAMinimum) {
    const std::u16string key = std::u16string(managerRegistryKey) + u"\\Dialog";
    const auto stored = [&](const char16_t* name) {
        HKEY dialog = nullptr;
        DWORD value = 0, size = sizeof value;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &dialog) == 0) {
            RegQueryValueExW(dialog, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
            RegCloseKey(dialog);
        }
        return int(value);
    };
    for (const bool managed : {false, true}) {
        SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
        const auto wm = WindowManagerFor(managed);
        if (managed && !wm->Running())
            GTEST_SKIP() << "openbox is not installed";
        const wxRect area = wxDisplay(0u).GetClientArea();
        const int width = area.width + 400, height = area.height + 300;
        cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"x", 0);
        cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"y", 0);
        cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"width", DWORD(width));
        cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"height", DWORD(height));
        StartAsTheProgramDoes();
        EXPECT_LE(dlg->GetSize().x, area.width);
        EXPECT_LE(dlg->GetSize().y, area.height);
        Close();
        EXPECT_EQ(stored(u"width"), width);
        EXPECT_EQ(stored(u"height"), height);
        if (!managed)
            continue;
        StartAsTheProgramDoes();
        const wxSize chosen = dlg->GetClientSize() - wxSize(30, 40);
        dlg->SetClientSize(chosen);
        EXPECT_TRUE(PumpUntil([&] { return dlg->GetClientSize() == chosen; }, 3000));
        Pump(100);
        Close();
        EXPECT_EQ(stored(u"width"), chosen.x);
        EXPECT_EQ(stored(u"height"), chosen.y);
    }

    cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"width", 619);
    cmtest::setRegistryDword(HKEY_CURRENT_USER, key, u"height", 178);
    StartAsTheProgramDoes();
    const wxRect list = dlg->list->GetRect();
    EXPECT_GE(list.height, 100);
    for (int below : {1125, 1085, 1029, 1106, 1325})
        EXPECT_GE(dlg->FindWindow(below)->GetPosition().y, list.GetBottom()) << below;
    // Nor can the user make it lower.
    dlg->SetSize(dlg->GetSize().x, 150);
    Pump(100);
    EXPECT_GE(dlg->list->GetSize().y, 100);
    Close();
}

TEST_F(ManagerDialogTest, ResizingMovesTheControlsByTheLayout) {
    Open();
    WaitTicks(1);
    const wxPoint close = dlg->FindWindow(1029)->GetPosition();
    const wxSize list = dlg->list->GetSize();
    const wxSize client = dlg->GetClientSize();
    dlg->SetClientSize(client.x + 100, client.y + 40);
    Pump(100);
    EXPECT_EQ(dlg->list->GetSize(), wxSize(list.x + 100, list.y + 40));
    EXPECT_EQ(dlg->FindWindow(1029)->GetPosition(), wxPoint(close.x + 50, close.y + 40));
    EXPECT_EQ(dlg->list->GetColumnWidth(0), (client.x + 100 - 990 + 371) / 7 + 47);
}

} // namespace
