#pragma once

// The camera manager's main dialog: the camera list refreshed by one polling timer, the
// parameter tree of the selected camera, the control-centre buttons, the coloured status line
// and the camera pictures. It owns the two camera lists (0 USB, 1 GigE) and the resource
// library handed over at start-up, reads its settings when it is made and saves them when it
// is destroyed.

#include "camera_manager/core/controls/CColumnTreeCtrl.h"
#include "camera_manager/core/dialogs/CCustomDialog.h"
#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/records/ManagerSettings.h"
#include "camera_manager/core/rules/CameraListRules.h"
#include "camera_manager/core/rules/ParameterTreeBuilder.h"
#include "camera_manager/core/rules/RefreshState.h"
#include "camera_manager/diagnostics/dialogs/SupportFileHost.h"
#include "platform/win/ResourceStrings.h"

#include <wx/timer.h>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CColumnTreeWnd;
class CustomCombo;
class CustomListCtrl;
class CustomStatic;
class wxCheckBox;
class wxImageList;
class wxStaticBitmap;

class CZekoManagerDlg : public CCustomDialog, public SupportFileHost {
public:
    enum { IDD = 102 };
    // The polling timer.
    enum { timerRefresh = 1 };

    // resourceLibrary: the language library loaded at start-up (null: the program's own
    // strings); the dialog frees it. wow64: the application's WOW64 flag.
    CZekoManagerDlg(wxWindow* parent, HINSTANCE resourceLibrary, BOOL wow64);
    ~CZekoManagerDlg() override;

    bool OnInitDialog() override;

    // Reads the camera information of the entry; shows string 473 when the camera cannot be
    // opened.
    void ReadCamInfo(const CameraEntry* entry, CamInfoRecord* record) override;
    // The host adapter with the MAC text; the outputs stay as given when none matches.
    void GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                             std::u16string& driverVersion, std::u16string& driverDate) override;
    CameraList& ListedCameras(int list) override { return cameraLists[list]; }
    wxWindow* HostWindow() override { return this; }

    // Places the dialog from the stored placement (defaults: centred, narrow unless in expert
    // mode), kept inside the visible screen area.
    void RestorePlacement();
    wxRect NormalRect() const;
    // Writes tree nodes, check boxes and placement, in that order (once; the destructor calls it).
    void SaveSettings();

    // One refresh tick (the timer's handler).
    void OnRefreshTick();
    // The list refresh of a tick; true when the list view was rebuilt.
    bool RefreshList();
    // A click in the camera list (also after the arrow keys).
    void OnListClick();
    void TakeListClick();
    void OnListKey(int keyCode);
    // "Close": ends the dialog.
    void EndModalOrClose();
    // The buttons, pictures and status line for the selected camera.
    void UpdateButtonsAndStatus();
    void SetStatus(const wxString& text, int code);
    // Remembers the tree's expanded nodes, selection and scroll position.
    void StoreTreeState();
    // Fills the parameter tree of the selected camera: anew when its rows came or went, else
    // only the texts that changed.
    void FillParameterTree();
    // The tree's columns laid out again for the longest label and value shown and the room left
    // of the vertical scroll bar, when one of them changed (or always); the user's widths stay.
    void SizeTreeLabelColumn(bool always = false);
    // The hub chain of a USB camera up to its host controller.
    std::vector<ParameterTreeBuilder::Node> UsbChainOf(const CameraEntry& entry) const;
    // Timer protocol of every action: stop first, then refresh at once.
    void StopRefresh() override;
    void RefreshNow() override;
    // Width change of the expert-mode switch, and the controls it shows or hides.
    void OnExpertMode();
    void ApplyExpertVisibility();
    // The entry of the selected device id (USB list below 1000, GigE list otherwise); null when none.
    CameraEntry* FindSelectedEntry() const;

    // Commands of the control centre (each stops the polling, asks for a parameter refresh and
    // polls again at once when it ends).
    void OnGeneralInformation();
    void OnAdditionalFunctions();
    // Camera ID and user EEPROM of the selected camera (its ID as the list shows it).
    void OnCameraInformation();
    // The selected GigE camera takes an address from its adapter's whole network.
    void OnAutomaticEthConfiguration();
    // Persistent address of the selected camera and the range of its adapter.
    void OnManualEthConfiguration();
    // Bindings, addresses, packet filter and packet size of the host's network adapters.
    void OnNetworkService();
    // Starter firmware upload for the selected GigE camera: the driver's own starter firmware
    // for device type -124, a chosen file otherwise; a worker thread uploads while DlgProgress
    // shows the time passing.
    void OnUploadStarterFirmware();
    // Switches to the language of an index (0 to 12): its library replaces the current one
    // (none when it cannot be loaded: the program's own strings), the code is stored and every
    // control gets its text again.
    void OnLanguageChange(int index);
    // A click on a list header.
    void OnColumnClick(int column);
    void OnAbout();
    // The driver files and the setup's first start, checked once from OnInitDialog.
    void CheckDrivers();
    // The texts of the title, buttons, check boxes, frames and headers in the current language.
    void ApplyTexts();

    // The file chooser of the firmware upload: the stored path in, the chosen one out; false
    // when cancelled. Tests replace it.
    std::function<bool(const wxString& initialPath, wxString& chosen)> chooseFirmwareFile;
    // What the upload's worker reports: its result (-1 until it ends), then the done flag.
    std::atomic<int32_t> firmwareResult{-1};
    std::atomic<uint8_t> firmwareDone{0};
    // The firmware path as the interface library reads it, and its length with the terminator.
    std::string firmwarePath;
    int firmwarePathLength = 0;

    CameraList cameraLists[2];
    int selectedDeviceId = -1;
    int selectedRow = -1;
    CameraEntry* selectedEntry = nullptr;
    int languageIndex = -1;
    int windowsVersion = 0;
    // The polling's period, the requests for the next tick and its counters.
    RefreshState refresh;
    std::vector<CameraListRules::Snapshot> snapshots[2];
    // The interface library's change count when the lists were read; none: read at the next tick.
    std::optional<uint32_t> cameraChanges;
    // Whether this tick read them: the automatic parameter refresh has nothing new otherwise.
    bool listsRefilled = false;
    // Rows as shown, by item data (sorting reads them).
    std::vector<CameraListRules::RowTexts> rows;
    SortSettings sort;
    CheckboxStates checkboxes;
    // Tree memory: the stored flags of the named nodes, the selected item's data, the first row.
    TreeNodeStates treeNodes;
    long treeSelectedData = 0;
    // The named nodes of the tree as filled, with the index of their flag.
    std::vector<std::pair<CColumnTreeCtrl::Item*, int>> namedNodes;
    // The nodes the tree shows, as last filled.
    std::vector<ParameterTreeBuilder::Node> shownNodes;
    int treeScrollRow = 0;
    // Adapter texts, looked up once after a list click.
    ParameterTreeBuilder::AdapterTexts adapterTexts;
    // The device id the status line was last written for.
    int statusDeviceId = -1;

    CustomListCtrl* list = nullptr;
    CColumnTreeWnd* tree = nullptr;
    CustomCombo* languageCombo = nullptr;
    wxCheckBox* autoRefresh = nullptr;
    wxCheckBox* expertMode = nullptr;
    CustomStatic* statusNarrow = nullptr;
    CustomStatic* statusWide = nullptr;
    wxWindow* statusCode = nullptr;
    wxTimer timer;

protected:
    void BuildControls();
    void OnTimer(wxTimerEvent& event);
    void OnTreeNotification(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMoveOrSize(wxEvent& event);
    int FindRowOfDevice(int deviceId) const;
    void SortRows();
    void SelectRow(int row);
    void OnContextMenu(wxContextMenuEvent& event);
    // Runs DlgProgress while `work` runs on a worker thread; the worker's result.
    int32_t RunWithProgress(double expectedSeconds, std::function<int32_t()> work);

    HINSTANCE resourceLibrary;
    BOOL wow64;
    bool initialised = false;
    bool fillingTree = false;
    wxImageList* listImages = nullptr;
    // Width of the parameter tree, hidden in the narrow layout.
    int treeWidth = 0;
    // The last place and extent while neither maximised nor minimised (see NormalRect).
    wxRect normalRect;
    // The client extent the settings asked for at the start, and the one the work area left of
    // it: a size the screen imposed is not saved as the user's.
    wxSize wantedClientSize;
    wxSize imposedClientSize;
    bool settingsSaved = false;
    // A press on the list whose click was not taken yet.
    bool listClickPending = false;
};
