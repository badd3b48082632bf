#include "camera_manager/core/dialogs/CZekoManagerDlg.h"

#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomCombo.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomStatic.h"
#include "camera_manager/core/controls/LanguageFlags.h"
#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/AutomaticEthConfiguration.h"
#include "camera_manager/core/dialogs/CAboutDlg.h"
#include "camera_manager/core/dialogs/DlgProgress.h"
#include "camera_manager/core/dialogs/ManualConfigDlg.h"
#include "camera_manager/core/dialogs/NetworkConfigDlg.h"
#include "camera_manager/core/dialogs/SetCamID.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/DeviceLookup.h"
#include "camera_manager/core/records/HostAdapters.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/core/rules/CameraListRefresh.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"
#include "camera_manager/core/rules/CommandRules.h"
#include "camera_manager/diagnostics/dialogs/AdditionalFunctions.h"
#include "camera_manager/diagnostics/dialogs/AdditionalInfoDlg.h"
#include "camera_manager/diagnostics/dialogs/SupportFileCommands.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Adapters.h"
#include "platform/win/UsbDriverSetup.h"
#include "platform/zeko/zeko_api.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/headerctrl.h>
#include <wx/imaglist.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {

wxString Text(int id) {
    return ResourceText(static_cast<unsigned>(id));
}

// The same string as the windowless rules take it.
std::u16string RuleText(int id) {
    return LoadResourceString(static_cast<unsigned>(id));
}

// Client size of the dialog as its template lays it out. The parameter column lies right of
// W0 - 371, so that the narrow window hides it; the tree is 371 - 27 pixels wide.
constexpr int templateWidth = 990;
constexpr int templateHeight = 680;
constexpr int narrowWidth = templateWidth - CustomDialogLayout::narrowDelta;
constexpr int templateTreeWidth = CustomDialogLayout::narrowDelta - 27;

// The buttons whose mouse button pauses the polling while it is held down.
constexpr int pausingControls[] = {1125, 1104, 1195, 1092, 1085, 1175, 1086, 1087, 1143, 1029, 1079, 1106};

// The system menu's "About" item, here on the dialog's context menu.
constexpr int aboutCommand = 16;

// The timer protocol of every command: the polling stops first, the parameters are refreshed
// and the polling starts again at once when the command ends, however it ends.
class CommandScope {
public:
    explicit CommandScope(CZekoManagerDlg& dialog) : dialog(dialog) {
        dialog.StopRefresh();
        dialog.refresh.RequestParameters();
    }
    ~CommandScope() { dialog.RefreshNow(); }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    CZekoManagerDlg& dialog;
};

// "%s\n%s: %d" of a failure text, "Errorcode" and the code.
wxString FailureText(int textId, int code) {
    return wxString::Format(wxT("%s\n%s: %d"), Text(textId), Text(ids::Errorcode), code);
}

struct ButtonSpec {
    int id;
    const wchar_t* caption;
    int x, y;
};

// Status line colours by code: black, red, green.
wxColour StatusColour(int code) {
    switch (code) {
    case 1:
        return wxColour(230, 0, 0);
    case 2:
        return wxColour(0, 150, 0);
    default:
        return *wxBLACK;
    }
}

// The list's state pictures: 16 x 16, by image index.
wxImageList* MakeListImages() {
    static const wxColour colours[9] = {
        wxColour(0, 170, 0),     wxColour(200, 0, 0),     wxColour(128, 128, 128),
        wxColour(0, 170, 0),     wxColour(200, 0, 0),     wxColour(230, 180, 0),
        wxColour(128, 128, 128), wxColour(128, 128, 128), wxColour(240, 120, 0)};
    auto* images = new wxImageList(16, 16, true);
    for (const wxColour& c : colours) {
        wxBitmap bmp(16, 16);
        {
            wxMemoryDC dc(bmp);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            dc.SetBrush(wxBrush(c));
            dc.SetPen(wxPen(c.ChangeLightness(70)));
            dc.DrawCircle(8, 8, 6);
        }
        bmp.SetMask(new wxMask(bmp, *wxWHITE));
        images->Add(bmp);
    }
    return images;
}

// A camera picture: the camera's outline with its kind written on it.
wxBitmap CameraPicture(const wxString& label, const wxColour& body) {
    wxBitmap bmp(104, 42);
    wxMemoryDC dc(bmp);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    dc.SetBrush(wxBrush(body));
    dc.SetPen(wxPen(body.ChangeLightness(60)));
    dc.DrawRoundedRectangle(8, 2, 70, 38, 5);
    dc.DrawRectangle(78, 12, 22, 18);
    dc.SetTextForeground(*wxWHITE);
    dc.SetFont(wxFontInfo(8).Bold());
    dc.DrawLabel(label, wxRect(8, 2, 70, 38), wxALIGN_CENTER);
    return bmp;
}

} // namespace

CZekoManagerDlg::CZekoManagerDlg(wxWindow* parent, HINSTANCE resourceLibrary, BOOL wow64)
    : CCustomDialog(parent, ResourceText(ids::AppTitle)), refresh(ReadRefreshTime()),
      sort(ReadSortSettings()), checkboxes(ReadCheckboxes()), treeNodes(ReadTreeNodes()),
      timer(this, timerRefresh), resourceLibrary(resourceLibrary), wow64(wow64),
      treeWidth(templateTreeWidth) {
    SetId(IDD);
    BuildControls();
    chooseFirmwareFile = [this](const wxString& initialPath, wxString& chosen) {
        const wxFileName initial(initialPath);
        // The filter ends in "||" as the resource keeps it; wx takes it without.
        const wxString filter = Text(ids::FirmwareFileFilter).BeforeLast('|').BeforeLast('|');
        wxFileDialog chooser(this, Text(ids::FileChooserOpen), initial.GetPath(), initial.GetFullName(),
                             filter, wxFD_OPEN);
        if (chooser.ShowModal() != wxID_OK)
            return false;
        chosen = chooser.GetPath();
        // A typed name without extension gets the firmware extension, as the default extension does.
        if (wxFileName(chosen).GetExt().empty() && !wxFileName::FileExists(chosen))
            chosen += wxT(".") + Text(ids::FirmwareFileExtension);
        return true;
    };
    normalRect = NormalRect();
    Bind(wxEVT_MOVE, &CZekoManagerDlg::OnMoveOrSize, this);
    Bind(wxEVT_SIZE, &CZekoManagerDlg::OnMoveOrSize, this);
    Bind(wxEVT_TIMER, &CZekoManagerDlg::OnTimer, this, timerRefresh);
    Bind(wxEVT_SIZE, &CZekoManagerDlg::OnSize, this);
    for (auto type : {EVT_COLUMNTREE_SELCHANGED, EVT_COLUMNTREE_ITEMEXPANDING, EVT_COLUMNTREE_SETFOCUS})
        Bind(type, &CZekoManagerDlg::OnTreeNotification, this, 1082);
    OnInitDialog();
}

CZekoManagerDlg::~CZekoManagerDlg() {
    timer.Stop();
    SaveSettings();
    delete listImages;
    if (resourceLibrary) {
        if (AfxGetResourceHandle() == resourceLibrary)
            AfxSetResourceHandle(nullptr);
        FreeLibrary(resourceLibrary);
    }
}

void CZekoManagerDlg::BuildControls() {
    // The template's metrics assume a small dialog font (column widths of 39 pixels and more).
    SetFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS));
    SetClientSize(templateWidth, templateHeight);
    // Group boxes: hidden placeholders whose rectangles and captions the dialog paints.
    new wxStaticBox(this, 1001, wxT("Camera list"), wxPoint(8, 2), wxSize(603, 302));
    new wxStaticBox(this, 1090, wxT("Parameters"), wxPoint(narrowWidth + 8, 2), wxSize(355, 604));
    new wxStaticBox(this, 1091, wxT("Control center"), wxPoint(8, 308), wxSize(603, 236));
    new wxStaticBox(this, 1095, wxString(), wxPoint(8, 548), wxSize(603, 62));
    new wxStaticBox(this, 1153, wxString(), wxPoint(8, 612), wxSize(603, 64));
    new wxStaticBox(this, 1158, wxString(), wxPoint(8, 612), wxSize(974, 64));

    list = new CustomListCtrl(this, 1010, wxPoint(16, 24), wxSize(587, 272));
    tree = new CColumnTreeWnd(this, 1082, wxPoint(narrowWidth + 16, 24), wxSize(templateTreeWidth, 574));

    const ButtonSpec buttons[] = {
        {1125, L"General information", 16, 328},     {1085, L"Camera information", 313, 328},
        {1104, L"Create support file", 16, 358},     {1175, L"ETH network service", 313, 358},
        {1195, L"Additional functions", 16, 388},    {1086, L"Automatic ETH configuration", 313, 388},
        {1092, L"Upload starter firmware", 16, 418}, {1087, L"Manual ETH configuration", 313, 418},
        {1143, L"Open support file", 313, 478},      {1029, L"Close", 313, 508},
    };
    for (const ButtonSpec& b : buttons)
        new wxButton(this, b.id, b.caption, wxPoint(b.x, b.y), wxSize(290, 26));
    expertMode = new wxCheckBox(this, 1106, wxT("Expert mode"), wxPoint(16, 452), wxSize(290, 22));
    autoRefresh =
        new wxCheckBox(this, 1079, wxT("Automatic parameter refresh"), wxPoint(313, 452), wxSize(290, 22));
    autoRefresh->SetValue(true);

    languageCombo = new CustomCombo(this, 1325, wxPoint(16, 566), wxSize(200, -1));
    const std::pair<int, std::pair<const wchar_t*, wxColour>> pictures[] = {
        {1072, {L"GigE", wxColour(40, 90, 160)}},  {1097, {L"USB", wxColour(70, 70, 70)}},
        {1124, {L"USB LE", wxColour(70, 70, 70)}}, {1328, {L"GigE SE", wxColour(40, 90, 160)}},
        {1340, {L"USB A", wxColour(70, 70, 70)}},  {1341, {L"GigE SE-H", wxColour(40, 90, 160)}},
        {1351, {L"USB C", wxColour(70, 70, 70)}},  {1352, {L"GigE HE", wxColour(40, 90, 160)}},
    };
    for (const auto& [id, spec] : pictures) {
        auto* picture =
            new wxStaticBitmap(this, id, CameraPicture(spec.first, spec.second), wxPoint(300, 563));
        picture->Hide();
    }
    new wxStaticText(this, 1096, wxT("Zeko"), wxPoint(470, 574), wxSize(60, 20));
    (new wxStaticText(this, 1150, wxString(), wxPoint(540, 574), wxSize(60, 20)))->Hide();

    statusNarrow = new CustomStatic(this, 1154, wxString(), wxPoint(16, 628), wxSize(587, 44));
    statusWide = new CustomStatic(this, 1159, wxString(), wxPoint(16, 628), wxSize(958, 44));
    statusCode = new wxStaticText(this, 1155, wxT("0"), wxPoint(0, 0), wxSize(1, 1));
    statusCode->Hide();

    // Holding the mouse button on a button or check box pauses the polling.
    for (int id : pausingControls)
        if (wxWindow* w = FindWindow(id)) {
            w->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
                timer.Stop();
                e.Skip();
            });
            w->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
                RefreshNow();
                e.Skip();
            });
        }
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModalOrClose(); }, 1029);
    Bind(
        wxEVT_CHECKBOX,
        [this](wxCommandEvent&) {
            StopRefresh();
            refresh.RequestParameters();
            RefreshNow();
        },
        1079);
    Bind(
        wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnExpertMode(); }, 1106);
    languageCombo->Bind(wxEVT_COMBOBOX_DROPDOWN, [this](wxCommandEvent& e) {
        timer.Stop();
        e.Skip();
    });
    languageCombo->Bind(wxEVT_COMBOBOX_CLOSEUP, [this](wxCommandEvent& e) {
        RefreshNow();
        e.Skip();
    });
    // The list marks the clicked row after this handler; the click is taken from the mark once
    // that is done, at the latest when the button comes up: a press and release that come
    // together would otherwise arm the tick before the click was taken, and the tick puts the
    // old selection back.
    list->GetItemArea()->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        timer.Stop();
        e.Skip();
        listClickPending = true;
        CallAfter([this] { TakeListClick(); });
    });
    list->GetItemArea()->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        TakeListClick();
        RefreshNow();
        e.Skip();
    });
    list->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { OnColumnClick(e.GetColumn()); });
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnGeneralInformation(); }, 1125);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdditionalFunctions(); }, 1195);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnUploadStarterFirmware(); }, 1092);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnCameraInformation(); }, 1085);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnAutomaticEthConfiguration(); }, 1086);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnManualEthConfiguration(); }, 1087);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnNetworkService(); }, 1175);
    for (int id : {1104, 1145})
        Bind(
            wxEVT_BUTTON,
            [this](wxCommandEvent&) {
                CommandScope scope(*this);
                SupportFileCommands(*this).Create();
            },
            id);
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            CommandScope scope(*this);
            SupportFileCommands(*this).Open();
        },
        1143);
    languageCombo->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) {
        const int item = e.GetSelection();
        if (item >= 0)
            OnLanguageChange(
                static_cast<int>(reinterpret_cast<intptr_t>(languageCombo->GetClientData(item))));
    });
    Bind(wxEVT_CONTEXT_MENU, &CZekoManagerDlg::OnContextMenu, this);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnAbout(); }, aboutCommand);
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) { OnListKey(e.GetKeyCode()); });
}

void CZekoManagerDlg::EndModalOrClose() {
    StopRefresh();
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Close();
}

bool CZekoManagerDlg::OnInitDialog() {
    CCustomDialog::OnInitDialog();
    // List columns, images, tree header and styles.
    const std::pair<int, int> columns[] = {{ids::ColumnFree, 47},        {ids::ColumnAvailable, 42},
                                           {ids::ColumnType, 39},        {ids::ColumnCameraId, 51},
                                           {ids::ColumnDeviceId, 49},    {ids::Model, 82},
                                           {ids::ColumnSerialNumber, 79}};
    for (int c = 0; c < 7; ++c)
        list->InsertColumn(c, Text(columns[c].first), wxLIST_FORMAT_LEFT, columns[c].second);
    listImages = MakeListImages();
    list->SetImageList(listImages, wxIMAGE_LIST_SMALL);
    tree->InsertColumn(Text(ids::ColumnParameter), 195);
    tree->InsertColumn(Text(ids::ColumnValue), 143);
    tree->RecalcColumnWidths();
    tree->dhcpEnabledYes = Text(ids::DhcpEnabled) + wxT("\t") + Text(ids::Yes);
    tree->GetTree().SetStyle(CColumnTreeCtrl::HasButtons | CColumnTreeCtrl::LinesAtRoot |
                             CColumnTreeCtrl::ShowSelectionAlways | CColumnTreeCtrl::FullRowSelect);
    list->SetPartner(&tree->GetTree());
    list->windowsVersion = windowsVersion;
    // A divider the user let go of, or double-clicked, lays the other column out anew beside the
    // user's width; a vertical scroll bar that came or went changes the room of the columns. Both
    // after the tree has taken the change in.
    const auto afterTreeChange = [this](wxEvent& event) {
        event.Skip();
        CallAfter([this] { SizeTreeLabelColumn(true); });
    };
    tree->GetHeader().Bind(wxEVT_HEADER_END_RESIZE, afterTreeChange);
    tree->GetHeader().Bind(wxEVT_HEADER_SEPARATOR_DCLICK, afterTreeChange);
    tree->GetTree().Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        CallAfter([this] { SizeTreeLabelColumn(); });
    });

    selectedRow = 0;
    selectedDeviceId = -1;
    expertMode->SetValue(checkboxes.expertMode);
    autoRefresh->SetValue(checkboxes.treeAutoRefresh);

    // The language combo: the languages whose library fits this program.
    std::vector<LanguageItem> languages;
    HINSTANCE english = nullptr;
    if (FillLanguageCombo(languages, resourceLibrary, &english) && !languages.empty()) {
        for (const LanguageItem& item : languages)
            languageCombo->Append(ToWx(item.text), LanguageFlag(item.data),
                                  reinterpret_cast<void*>(static_cast<intptr_t>(item.data)));
        languageCombo->Show();
        WCHAR code[20] = {};
        // A store that cannot be written (named at start) still gives the language in use.
        if (ReadLanguageSetting(code, sizeof code) || code[0]) {
            const int index = LanguageIndexFromCode(code);
            for (unsigned i = 0; i < languageCombo->GetCount(); ++i)
                if (static_cast<int>(reinterpret_cast<intptr_t>(languageCombo->GetClientData(i))) == index) {
                    languageCombo->SetSelection(i);
                    languageIndex = index;
                    tree->SetLanguageIndex(index);
                }
        }
    } else {
        languageCombo->Hide();
    }
    if (english) {
        // Start-up loaded no library: the English one became the resource handle; keep it as ours.
        if (!resourceLibrary)
            resourceLibrary = english;
        else
            FreeLibrary(english);
    }

    refresh.TakeParameters(false);
    refresh.RequestLayoutRestore();
    openViewerCount = 0;
    snapshots[0].clear();
    snapshots[1].clear();
    cameraChanges.reset();

    RefreshList();
    if (list->GetItemCount() > 0) {
        selectedDeviceId = wxAtoi(list->GetItemText(0, CameraListRules::deviceIdColumn));
        refresh.RequestAdapterLookup();
        FillParameterTree();
    }

    ApplyTexts();
    // Tell the driver which host adapters use DHCP.
    DWORD size = 704;
    std::vector<uint8_t> buffer(size);
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.assign(size, 0);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result == 0)
        for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next)
            ZekoApi::zk_SetDHCP_Status(a->Address, a->DhcpEnabled ? 1 : 0);

    ApplyExpertVisibility();
    UpdateMinimumWidth();
    initialised = true;
    CheckDrivers();
    OnRefreshTick();
    RefreshNow();
    return true;
}

void CZekoManagerDlg::StopRefresh() {
    timer.Stop();
}

void CZekoManagerDlg::RefreshNow() {
    // A zero period means "at once": one millisecond on a one-shot timer.
    timer.StartOnce(1);
}

void CZekoManagerDlg::OnTimer(wxTimerEvent&) {
    OnRefreshTick();
}

void CZekoManagerDlg::OnRefreshTick() {
    timer.Stop();
    // Whatever happens inside, the timer runs again.
    struct Rearm {
        CZekoManagerDlg* dlg;
        ~Rearm() {
            if (!dlg->IsBeingDeleted())
                dlg->timer.StartOnce(dlg->refresh.TimerDelay());
        }
    } rearm{this};
    try {
        refresh.TickStarted();
        StoreTreeState();
        RefreshList();
        selectedRow = FindRowOfDevice(selectedDeviceId);
        // Only where the focus is nowhere else in the dialog: taken at every tick, it would undo
        // every Tab and leave the buttons out of the keyboard's reach.
        if (openViewerCount == 0 && IsShown() && !HasFocusWithin(*this))
            list->SetFocus();
        if (selectedRow >= 0) {
            SelectRow(selectedRow);
            list->Update();
        }
        if (selectedRow < 0) {
            tree->GetTree().DeleteAllItems();
            selectedDeviceId = -1;
        } else if (!wxGetMouseState().LeftIsDown() &&
                   refresh.TakeParameters(autoRefresh->IsChecked() && listsRefilled)) {
            FillParameterTree();
        }
        UpdateButtonsAndStatus();
        if (refresh.TakeLayoutRestore()) {
            RestorePlacement();
            ApplyExpertVisibility();
        }
        refresh.TickSucceeded();
    } catch (const std::exception& e) {
        refresh.TickFailed(e.what());
    } catch (...) {
        refresh.TickFailed(std::string());
    }
}

bool CZekoManagerDlg::RefreshList() {
    ListRefresh fresh =
        RefreshChangedCameraLists(cameraLists, snapshots, cameraChanges, refresh.TakeListRebuild(), RuleText);
    selectedEntry = nullptr;
    listsRefilled = fresh.refilled;
    if (!fresh.rebuild)
        return false;
    refresh.ListRebuilt();
    // Cameras came or went: the driver stand-in registers the USB cameras' device chains, so
    // that the tree and the support file find their hubs and controller.
    std::vector<win::UsbCameraSlot> usb;
    for (size_t i = 0; i < cameraLists[0].GetCount(); ++i)
        usb.push_back({cameraLists[0].At(i)->GetUsbEnumIndex(), cameraLists[0].At(i)->GetDeviceId()});
    win::RegisterUsbCameras(usb);
    const int topRow = list->GetItemCount() > 0 ? static_cast<int>(list->GetTopItem()) : 0;
    list->Freeze();
    list->DeleteAllItems();
    rows = std::move(fresh.rows);
    for (size_t n = 0; n < rows.size(); ++n) {
        const long row = static_cast<long>(n);
        list->InsertItem(row, ToWx(rows[n].columns[0]), rows[n].image);
        for (int c = 1; c < 7; ++c)
            list->SetItem(row, c, ToWx(rows[n].columns[c]));
        list->SetItemData(row, row);
    }
    SortRows();
    list->Thaw();
    // Scroll back to where the list stood, by whole rows of the list's own height.
    if (topRow > 0 && list->GetItemCount() > 0)
        list->EnsureVisible(std::min<long>(list->GetItemCount() - 1, topRow + list->GetCountPerPage() - 1));
    return true;
}

void CZekoManagerDlg::SortRows() {
    const int column = std::clamp(sort.column, 0, 6);
    const bool ascending = sort.ascending;
    struct Context {
        const std::vector<CameraListRules::RowTexts>* rows;
        int column;
        bool ascending;
    } context{&rows, column, ascending};
    list->SortItems(
        [](wxIntPtr a, wxIntPtr b, wxIntPtr data) -> int {
            const auto* c = reinterpret_cast<const Context*>(data);
            const int order = CameraListRules::CompareRows(
                (*c->rows)[a].columns[c->column], (*c->rows)[b].columns[c->column], c->column, c->ascending);
            // The list control's sort is not stable: rows that compare equal keep the order the
            // camera interface lists them in (the item data is that position).
            return order != 0 ? order : (a < b ? -1 : (a > b ? 1 : 0));
        },
        reinterpret_cast<wxIntPtr>(&context));
}

int CZekoManagerDlg::FindRowOfDevice(int deviceId) const {
    if (deviceId < 0)
        return -1;
    for (long row = 0; row < list->GetItemCount(); ++row)
        if (wxAtoi(list->GetItemText(row, CameraListRules::deviceIdColumn)) == deviceId)
            return static_cast<int>(row);
    return -1;
}

void CZekoManagerDlg::SelectRow(int row) {
    list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

CameraEntry* CZekoManagerDlg::FindSelectedEntry() const {
    if (selectedDeviceId < 0)
        return nullptr;
    CameraEntry* entry = nullptr;
    const CameraList& l = cameraLists[selectedDeviceId < 1000 ? 0 : 1];
    return l.FindByDeviceId(static_cast<uint32_t>(selectedDeviceId), &entry) ? entry : nullptr;
}

void CZekoManagerDlg::TakeListClick() {
    if (!listClickPending)
        return;
    listClickPending = false;
    OnListClick();
}

void CZekoManagerDlg::OnListClick() {
    const long mark = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if ((cameraLists[0].GetCount() > 0 || cameraLists[1].GetCount() > 0) && mark >= 0) {
        selectedRow = static_cast<int>(mark);
        selectedDeviceId = wxAtoi(list->GetItemText(mark, CameraListRules::deviceIdColumn));
        refresh.RequestAdapterLookup();
        FillParameterTree();
        UpdateButtonsAndStatus();
    }
    refresh.RequestListRebuild();
}

void CZekoManagerDlg::OnListKey(int keyCode) {
    using ListControlRules::ListKey;
    const std::optional<ListKey> key = [keyCode]() -> std::optional<ListKey> {
        switch (keyCode) {
        case WXK_UP:
        case WXK_NUMPAD_UP:
            return ListKey::Up;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN:
            return ListKey::Down;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP:
            return ListKey::PageUp;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN:
            return ListKey::PageDown;
        case WXK_HOME:
        case WXK_NUMPAD_HOME:
            return ListKey::Home;
        case WXK_END:
        case WXK_NUMPAD_END:
            return ListKey::End;
        default:
            return std::nullopt;
        }
    }();
    if (!key)
        return;
    StopRefresh();
    const long count = list->GetItemCount();
    if (count > 0) {
        const long mark = ListControlRules::ListKeyTarget(
            *key, list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), count,
            list->GetCountPerPage());
        SelectRow(static_cast<int>(mark));
        list->EnsureVisible(mark);
    }
    OnListClick();
    refresh.RequestListRebuild();
    RefreshNow();
}

void CZekoManagerDlg::StoreTreeState() {
    using namespace ParameterTreeBuilder;
    if (selectedDeviceId < 0)
        return;
    CColumnTreeCtrl& t = tree->GetTree();
    for (const auto& [item, flag] : namedNodes)
        treeNodes.expanded[flag] = item->expanded;
    if (const auto* selected = t.GetSelectedItem())
        treeSelectedData = selected->data;
    treeScrollRow = t.GetScrollRow();
}

void CZekoManagerDlg::FillParameterTree() {
    using namespace ParameterTreeBuilder;
    CColumnTreeCtrl& t = tree->GetTree();
    CameraEntry* entry = FindSelectedEntry();
    if (!entry) {
        // The tree stays hidden until the next fill finds the camera.
        tree->Hide();
        shownNodes.clear();
        return;
    }
    std::vector<Node> nodes;
    if (entry->GetDeviceId() < 1000) {
        nodes = UsbTree(*entry, UsbChainOf(*entry), RuleText);
    } else {
        if (refresh.TakeAdapterLookup()) {
            std::u16string designation = LoadResourceString(ids::Unknown);
            std::u16string version = designation, date = designation;
            ::GetHostAdapterByMac(entry->GetAdapterMacAddress(), designation, version, date);
            adapterTexts = {designation, version, date};
        }
        nodes = GigETree(*entry, adapterTexts, RuleText);
    }
    // A fill of the same shape changes only the texts that differ, and only their rows are
    // drawn again: an idle tick draws nothing.
    if (tree->IsShown() && !t.GetRootItems().empty())
        if (const auto changes = TextChanges(shownNodes, nodes)) {
            if (!changes->empty()) {
                const std::vector<CColumnTreeCtrl::Item*> items = t.GetAllItems();
                for (const TextChange& change : *changes)
                    if (change.position < items.size())
                        t.SetItemText(items[change.position], ToWx(change.text));
                SizeTreeLabelColumn();
            }
            shownNodes = std::move(nodes);
            return;
        }
    fillingTree = true;
    t.Freeze();
    t.DeleteAllItems();
    namedNodes.clear();
    std::function<void(const std::vector<Node>&, CColumnTreeCtrl::Item*)> insert =
        [&](const std::vector<Node>& level, CColumnTreeCtrl::Item* parent) {
            for (const Node& n : level) {
                CColumnTreeCtrl::Item* item = t.InsertItem(ToWx(n.text), parent, n.data, n.bold);
                insert(n.children, item);
                if (n.flag >= 0) {
                    namedNodes.emplace_back(item, n.flag);
                    t.Expand(item, treeNodes.expanded[n.flag]);
                }
            }
        };
    insert(nodes, nullptr);
    shownNodes = std::move(nodes);
    if (CColumnTreeCtrl::Item* again = t.FindItemByData(treeSelectedData))
        t.SelectItem(again);
    t.Thaw();
    t.SetScrollRow(treeScrollRow);
    SizeTreeLabelColumn();
    tree->Show(expertMode->IsChecked());
    fillingTree = false;
}

void CZekoManagerDlg::SizeTreeLabelColumn(bool always) {
    // The rows shown, measured again after every expand or collapse: the labels of collapsed
    // branches (the status flags' bits) are longer than any shown, and measured with them the
    // label column left the values no room in expert mode.
    int label = 0, value = 0;
    for (const auto& root : tree->GetTree().GetRootItems()) {
        label = std::max(label, tree->GetMaxColumnWidth(root.get(), 0, 0, true));
        value = std::max(value, tree->GetMaxColumnWidth(root.get(), 1, 0, true));
    }
    // Each text whole with the same small gap after it: in the template's width the labels and
    // values shown fit beside the scroll bar only so.
    label = ColumnTreeRules::FittedColumnWidth(0, label, tree->textOffset);
    value = ColumnTreeRules::FittedColumnWidth(1, value, tree->textOffset);
    // A divider the user dragged stays put: the layout keeps the user's widths. A vertical scroll
    // bar that came or went changes the room the columns have.
    if (always || label != treeLabelWidth || value != treeValueWidth || tree->ChromeWidth() != treeChrome) {
        treeLabelWidth = label;
        treeValueWidth = value;
        LayoutControls(0, GetClientSize().GetWidth(), GetClientSize().GetHeight());
    }
}

std::vector<ParameterTreeBuilder::Node> CZekoManagerDlg::UsbChainOf(const CameraEntry& entry) const {
    using ParameterTreeBuilder::Instance;
    WCHAR parentId[128] = {}, port[16] = {};
    if (!FindUsbDeviceInstance(entry.GetUsbEnumIndex(), parentId, sizeof parentId, port, sizeof port))
        return {};
    auto findHub = [](const std::u16string& enumKey,
                      const std::u16string& prefix) -> std::optional<Instance> {
        WCHAR id[128] = {}, hubPort[16] = {}, keyPath[512] = {};
        if (!FindDeviceByParentIdPrefix(enumKey, prefix, id, sizeof id, hubPort, sizeof hubPort, keyPath,
                                        sizeof keyPath))
            return std::nullopt;
        return Instance{id, hubPort, keyPath};
    };
    auto description = [](const std::u16string& keyPath) -> std::optional<std::u16string> {
        WCHAR text[256] = {};
        if (!ReadRegistryString(keyPath, u"DeviceDesc", text, sizeof text))
            return std::nullopt;
        return std::u16string(text);
    };
    return ParameterTreeBuilder::UsbChain(parentId, port, findHub, description, RuleText);
}

void CZekoManagerDlg::UpdateButtonsAndStatus() {
    using namespace CameraListRules;
    selectedEntry = FindSelectedEntry();
    CameraState state;
    if (selectedEntry)
        state = CameraStateOf(*selectedEntry);
    const int deviceId = selectedEntry ? static_cast<int>(selectedEntry->GetDeviceId()) : -1;
    const StatusDecision d = DecideStatus(selectedEntry ? &state : nullptr, expertMode->IsChecked(),
                                          deviceId != statusDeviceId, RuleText);
    for (int id : pictures)
        if (wxWindow* w = FindWindow(id))
            w->Show(id == d.picture);
    for (size_t i = 0; i < cameraButtons.size(); ++i)
        if (wxWindow* w = FindWindow(cameraButtons[i]))
            w->Enable(d.enabled[i]);
    if (!d.keepStatus) {
        SetStatus(ToWx(d.text), d.code);
        statusDeviceId = d.text.empty() ? -1 : deviceId;
    }
}

void CZekoManagerDlg::SetStatus(const wxString& text, int code) {
    statusCode->SetLabel(wxString::Format(wxT("%d"), code));
    const wxColour colour = StatusColour(code);
    for (CustomStatic* s : {statusNarrow, statusWide}) {
        if (s->GetForegroundColour() != colour) {
            s->SetForegroundColour(colour);
            s->Refresh();
        }
        if (s->GetLabel() != text)
            s->SetLabel(text);
    }
}

void CZekoManagerDlg::ApplyExpertVisibility() {
    const bool expert = expertMode->IsChecked();
    for (int id : {1079, 1092, 1087, 1159})
        if (wxWindow* w = FindWindow(id))
            w->Show(expert);
    statusNarrow->Show(!expert);
    // The narrow window cuts the tree off; hidden, it takes no Tab stop out of sight.
    tree->Show(expert);
}

void CZekoManagerDlg::OnExpertMode() {
    StopRefresh();
    const int delta = treeWidth + 27;
    const wxRect rect = GetRect();
    UpdateMinimumWidth();
    // Widening keeps the window on the screen: its left edge stays where there is room.
    const wxRect area = wxDisplay(this).GetClientArea();
    const CustomDialogLayout::Span span = CustomDialogLayout::ResizeWithinScreen(
        rect.x, rect.width, expertMode->IsChecked() ? delta : -delta, area.x, area.width);
    SetSize(span.x, rect.y, span.width, rect.height);
    ApplyExpertVisibility();
    LayoutControls(0, GetClientSize().GetWidth(), GetClientSize().GetHeight());
    refresh.RequestParameters();
    RefreshNow();
}

void CZekoManagerDlg::OnTreeNotification(wxCommandEvent& event) {
    if (fillingTree)
        return; // the dialog's own rebuild, not the user
    // Sent before the branch opens or closes: measured once it has.
    if (event.GetEventType() == EVT_COLUMNTREE_ITEMEXPANDING)
        CallAfter([this] { SizeTreeLabelColumn(); });
    refresh.RequestParameters();
    RefreshNow();
}

void CZekoManagerDlg::OnSize(wxSizeEvent& event) {
    if (initialised)
        LayoutControls(0, GetClientSize().GetWidth(), GetClientSize().GetHeight());
    event.Skip();
}

void CZekoManagerDlg::ReadCamInfo(const CameraEntry* entry, CamInfoRecord* record) {
    if (!entry || !record)
        return;
    bool opened;
    {
        wxBusyCursor wait;
        opened = ReadCameraInformation(entry->GetDeviceId(), *record);
    }
    if (!opened)
        wxMessageBox(ResourceText(ids::CameraInfoIncomplete), ResourceText(ids::AppTitle),
                     wxOK | wxICON_INFORMATION);
}

void CZekoManagerDlg::GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                                          std::u16string& driverVersion, std::u16string& driverDate) {
    ::GetHostAdapterByMac(mac, designation, driverVersion, driverDate);
}

void CZekoManagerDlg::OnMoveOrSize(wxEvent& event) {
    if (!IsMaximized() && !IsIconized())
        normalRect = NormalRect();
    event.Skip();
}

void CZekoManagerDlg::SaveSettings() {
    if (settingsSaved)
        return;
    settingsSaved = true;
    if (expertMode && autoRefresh) {
        checkboxes.expertMode = expertMode->IsChecked();
        checkboxes.treeAutoRefresh = autoRefresh->IsChecked();
    }
    DialogPlacement placement;
    placement.x = normalRect.x;
    placement.y = normalRect.y;
    // The frame is known by now, under a window manager too.
    const wxSize fitted = wxDisplay(this).GetClientArea().GetSize() - (GetSize() - GetClientSize());
    placement.width =
        CustomDialogLayout::SavedExtent(normalRect.width, imposedClientSize.x, wantedClientSize.x, fitted.x);
    placement.height =
        CustomDialogLayout::SavedExtent(normalRect.height, imposedClientSize.y, wantedClientSize.y, fitted.y);
    placement.maximized = IsMaximized();
    SaveSettingsAtClose(treeNodes, checkboxes, placement);
}

wxRect CZekoManagerDlg::NormalRect() const {
    // The place is the frame's top-left corner, where the window manager and a move put it; the
    // extent is the dialog's own, without the frame. The frame is not known before the window
    // is mapped, so an extent stored with it would be applied without it and grow by it at
    // every start.
    return wxRect(GetPosition(), GetClientSize());
}

void CZekoManagerDlg::RestorePlacement() {
    const wxRect area = wxDisplay(this).GetClientArea();
    const wxSize frame = GetSize() - GetClientSize();
    // The default is the template's size (not the current one, which an earlier restore may
    // have narrowed already), its frame centred in the work area.
    DialogPlacement p = DefaultPlacement(templateWidth + frame.x, templateHeight + frame.y, treeWidth,
                                         expertMode->IsChecked(), area.width, area.height);
    p.x += area.x;
    p.y += area.y;
    p.width -= frame.x;
    p.height -= frame.y;
    p = ReadDialogPlacement(p);
    const wxSize minimum = GetMinSize();
    DialogPlacement shown = p;
    shown.width += frame.x;
    shown.height += frame.y;
    shown = ClampPlacement(shown, std::max(minimum.x, 100), std::max(minimum.y, 100), area.x, area.y,
                           area.width, area.height);
    SetClientSize(shown.width - frame.x, shown.height - frame.y);
    MoveTopLevelWindow(*this, shown.x, shown.y);
    normalRect = wxRect(shown.x, shown.y, shown.width - frame.x, shown.height - frame.y);
    wantedClientSize = wxSize(p.width, p.height);
    imposedClientSize = normalRect.GetSize();
    if (p.maximized)
        Maximize();
}

void CZekoManagerDlg::ApplyTexts() {
    SetTitle(Text(ids::AppTitle) + wxT(" - 64-Bit"));
    // Buttons, check boxes and frames.
    const std::pair<int, int> captions[] = {{1029, ids::CaptionClose},
                                            {1125, ids::CaptionGeneralInformation},
                                            {1085, ids::CaptionCameraInformation},
                                            {1104, ids::CaptionCreateSupportFile},
                                            {1175, ids::CaptionNetworkService},
                                            {1195, ids::CaptionAdditionalFunctions},
                                            {1086, ids::CaptionAutomaticEthConfiguration},
                                            {1092, ids::CaptionUploadStarterFirmware},
                                            {1087, ids::CaptionManualEthConfiguration},
                                            {1143, ids::CaptionOpenSupportFile},
                                            {1106, ids::CaptionExpertMode},
                                            {1079, ids::CaptionAutomaticRefresh},
                                            {1001, ids::CaptionCameraList},
                                            {1091, ids::CaptionControlCenter},
                                            {1090, ids::ParametersNode}};
    for (const auto& [control, text] : captions)
        if (wxWindow* w = FindWindow(control))
            w->SetLabel(Text(text));
    // The list and the tree are said with the captions of their frames, which the dialog paints.
    SetAccessibleName(list->GetItemArea(), Text(ids::CaptionCameraList));
    SetAccessibleName(&tree->GetTree(), Text(ids::ParametersNode));
    const int listHeaders[] = {ids::ColumnFree,        ids::ColumnAvailable, ids::ColumnType,
                               ids::ColumnCameraId,    ids::ColumnDeviceId,  ids::Model,
                               ids::ColumnSerialNumber};
    // Each column as wide as its header and, for the first two, the words their cells show; the
    // first beside the camera's icon.
    const int margin = 7;
    int icon = 0;
    if (listImages && listImages->GetImageCount() > 0)
        icon = listImages->GetSize().GetWidth() + 6;
    const wxString words[] = {Text(ids::Yes), Text(ids::No)};
    for (int c = 0; c < list->GetColumnCount() && c < 7; ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        column.SetText(Text(listHeaders[c]));
        list->SetColumn(c, column);
        int widest = list->GetTextExtent(column.GetText()).GetWidth() + margin;
        if (c < 2)
            for (const wxString& word : words)
                widest =
                    std::max(widest, list->GetTextExtent(word).GetWidth() + margin + (c == 0 ? icon : 0));
        listFit.textWidths[size_t(c)] = widest;
    }
    if (tree->GetColumnCount() >= 2) {
        tree->SetColumnTitle(0, Text(ids::ColumnParameter));
        tree->SetColumnTitle(1, Text(ids::ColumnValue));
    }
    if (initialised)
        LayoutControls(0, GetClientSize().GetWidth(), GetClientSize().GetHeight());
    Refresh();
}

void CZekoManagerDlg::OnLanguageChange(int index) {
    if (index < 0 || index >= ids::LanguageCount)
        return;
    CommandScope scope(*this);
    if (CommandRules::NeedsLanguageGroupCheck(index) && !CommandRules::EastAsianLanguageGroupsInstalled()) {
        // There are no regional settings to open here; the message says what is missing.
        wxMessageBox(Text(ids::EastAsianSupportHint), Text(ids::AppTitle), wxOK | wxICON_INFORMATION, this);
    }
    const std::u16string code = LanguageCode(index);
    std::u16string path;
    const bool havePath = ResourceLibraryPath(code, path);
    if (resourceLibrary) {
        AfxSetResourceHandle(nullptr);
        FreeLibrary(resourceLibrary);
        resourceLibrary = nullptr;
    }
    if (havePath) {
        resourceLibrary = LoadLibraryW(path.c_str());
        size_t count = 0;
        if (resourceLibrary && !win::moduleStrings(resourceLibrary, &count)) {
            FreeLibrary(resourceLibrary);
            resourceLibrary = nullptr;
        }
    }
    // Without a library the strings come from the program's own table.
    AfxSetResourceHandle(resourceLibrary);
    WriteLanguageSetting(code);
    languageIndex = index;
    tree->SetLanguageIndex(index);
    ApplyTexts();
    refresh.RequestParameters();
    refresh.RequestListRebuild();
    // The adapter texts that stayed "Unknown" were read in the old language.
    refresh.RequestAdapterLookup();
}

void CZekoManagerDlg::OnColumnClick(int column) {
    if (column < 0 || column > 6)
        return;
    StopRefresh();
    sort = CommandRules::ClickSortColumn(sort, column);
    WriteSortSettings(sort);
    refresh.RequestParameters();
    refresh.RequestListRebuild();
    RefreshNow();
}

void CZekoManagerDlg::OnGeneralInformation() {
    CommandScope scope(*this);
    AdditionalInfoDlg dialog(this, languageIndex);
    dialog.DoModal();
}

void CZekoManagerDlg::OnAdditionalFunctions() {
    CommandScope scope(*this);
    AdditionalFunctions dialog(this, FindSelectedEntry(), wow64);
    dialog.DoModal();
}

void CZekoManagerDlg::OnCameraInformation() {
    CommandScope scope(*this);
    const int row = FindRowOfDevice(selectedDeviceId);
    if (row < 0)
        return;
    SetCamID dialog(this, selectedDeviceId, wxAtoi(list->GetItemText(row, CameraListRules::cameraIdColumn)));
    dialog.ShowModal();
}

void CZekoManagerDlg::OnAutomaticEthConfiguration() {
    CommandScope scope(*this);
    if (const CameraEntry* entry = FindSelectedEntry())
        RunAutomaticEthConfiguration(this, *entry);
}

void CZekoManagerDlg::OnManualEthConfiguration() {
    CommandScope scope(*this);
    if (CameraEntry* entry = FindSelectedEntry()) {
        ManualConfigDlg dialog(this, *entry);
        dialog.ShowModal();
    }
}

void CZekoManagerDlg::OnNetworkService() {
    CommandScope scope(*this);
    NetworkConfigDlg dialog(this, cameraLists[1]);
    dialog.ShowModal();
}

void CZekoManagerDlg::OnAbout() {
    CommandScope scope(*this);
    CAboutDlg dialog(this);
    dialog.ShowModal();
}

void CZekoManagerDlg::OnContextMenu(wxContextMenuEvent& event) {
    // Only the dialog's own surface: the list and the tree keep their right click.
    if (event.GetEventObject() != this) {
        event.Skip();
        return;
    }
    // The polling would take the focus from the open menu.
    StopRefresh();
    wxMenu menu;
    menu.Append(aboutCommand, Text(ids::AboutMenuItem));
    PopupMenu(&menu);
    RefreshNow();
}

void CZekoManagerDlg::CheckDrivers() {
    const CommandRules::DriverCheckInputs in = CommandRules::ReadDriverCheckInputs();
    const CommandRules::DriverCheck check =
        CommandRules::DecideDriverCheck(in.usb, in.eth, in.setupEth, in.firstStart);
    if (check.message)
        wxMessageBox(Text(static_cast<int>(check.message)), Text(ids::AppTitle), wxOK | wxICON_EXCLAMATION);
    if (check.openNetworkService) {
        // Runs once the event loop does, as a posted command would.
        wxCommandEvent open(wxEVT_BUTTON, 1175);
        open.SetEventObject(this);
        wxPostEvent(this, open);
    }
}

int32_t CZekoManagerDlg::RunWithProgress(double expectedSeconds, std::function<int32_t()> work) {
    firmwareResult.store(-1, std::memory_order_relaxed);
    firmwareDone.store(0, std::memory_order_release);
    std::thread worker([this, work = std::move(work)] {
        firmwareResult.store(work(), std::memory_order_relaxed);
        firmwareDone.store(1, std::memory_order_release);
    });
    {
        DlgProgress progress(this, firmwareDone, expectedSeconds);
        progress.ShowModal();
    }
    // The dialog ends only once the worker is done; the join makes its result visible and
    // leaves no thread behind that could outlive the dialog.
    worker.join();
    (void)firmwareDone.load(std::memory_order_acquire);
    return firmwareResult.load(std::memory_order_relaxed);
}

void CZekoManagerDlg::OnUploadStarterFirmware() {
    CommandScope scope(*this);
    CameraEntry* entry = FindSelectedEntry();
    if (!entry || entry->GetDeviceId() < 1000)
        return;
    const uint32_t deviceId = entry->GetDeviceId();
    const auto deviceType = static_cast<int8_t>(entry->GetDeviceType());
    int32_t result;
    if (deviceType == -124) {
        // Opening with the upload flag makes the driver load its own starter firmware.
        result = RunWithProgress(CommandRules::starterFirmwareLoadSeconds, [deviceId] {
            uint32_t handle = deviceId | ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD;
            const int r = ZekoApi::zk_InitCamera(&handle, nullptr);
            if (r == 0)
                ZekoApi::zk_ExitCamera(handle);
            return static_cast<int32_t>(r);
        });
    } else {
        const auto kind = static_cast<int8_t>(entry->GetDeviceTypeFromCameraList());
        wxString path;
        if (!chooseFirmwareFile(ToWx(GetFirmwarePath(kind)), path))
            return;
        SetFirmwarePath(kind, FromWx(path));
        if (wxMessageBox(Text(ids::UploadWarning), Text(ids::AppTitle), wxOK | wxCANCEL | wxICON_EXCLAMATION,
                         this) != wxOK)
            return;
        if (!CommandRules::FirmwarePathBytes(FromWx(path), firmwarePath)) {
            // Another path would reach the camera driver; nothing is uploaded.
            wxMessageBox(Text(ids::FirmwareUploadFailed) + wxT("\n") + Text(ids::FirmwarePathUnusable) +
                             wxT("\n") + path,
                         Text(ids::AppTitle), wxOK | wxICON_ERROR, this);
            return;
        }
        wxBusyCursor wait;
        firmwarePathLength = static_cast<int>(firmwarePath.size()) + 1;
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(std::filesystem::path(path.utf8_string()), error);
        const double expected = CommandRules::FirmwareExpectedSeconds(
            deviceType, error ? std::nullopt : std::optional<uint64_t>(size));
        const std::string bytes = firmwarePath;
        const int length = firmwarePathLength;
        result = RunWithProgress(expected, [deviceId, bytes, length] {
            return static_cast<int32_t>(
                ZekoApi::zk_UploadStarterFirmware(deviceId | ZK_USE_DEVICE_ID, bytes.c_str(), length));
        });
    }
    if (result == 0)
        wxMessageBox(Text(ids::FirmwareUploaded), Text(ids::AppTitle), wxOK | wxICON_INFORMATION, this);
    else
        wxMessageBox(FailureText(ids::FirmwareUploadFailed, result), Text(ids::AppTitle), wxOK | wxICON_ERROR,
                     this);
}
