#include "camera_manager/diagnostics/dialogs/AdditionalInfoDlg.h"

#include "camera_manager/core/controls/AccessibleControls.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/diagnostics/records/GeneralInformation.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Adapters.h"
#include "platform/win/System.h"
#include "platform/win/WideText.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

namespace {

constexpr int statusLineId = 1136;

// Colours of the Version and Update cells by marker; the list colours the whole row until the
// cell-colouring list control takes over.
void colourRow(wxListCtrl* list, long row, const std::u16string& marker) {
    wxColour back = *wxWHITE, fore = *wxBLACK;
    if (marker == u"0")
        back = wxColour(0, 255, 0);
    else if (marker == u"1")
        back = wxColour(255, 255, 0);
    else if (marker == u"2")
        back = wxColour(255, 0, 0), fore = *wxWHITE;
    else if (marker == u"3")
        back = wxColour(100, 100, 100), fore = *wxWHITE;
    list->SetItemBackgroundColour(row, back);
    list->SetItemTextColour(row, fore);
}

class DialogUi : public UpdateCheckUi {
public:
    DialogUi(wxWindow* owner, AdditionalInfoDlg& dialog, std::function<void()> refresh)
        : owner_(owner), dialog_(dialog), refresh_(std::move(refresh)) {}
    void ShowMessage(unsigned id, Icon icon) override { ShowText(FromWx(ResourceText(id)), icon); }
    void ShowText(const std::u16string& text, Icon icon) override {
        wxMessageBox(ToWx(text), ResourceText(ids::AppTitle),
                     wxOK | (icon == Icon::Error     ? wxICON_ERROR
                             : icon == Icon::Warning ? wxICON_WARNING
                                                     : wxICON_INFORMATION),
                     owner_);
    }
    bool AskYesNo(unsigned id) override {
        return wxMessageBox(ResourceText(id), ResourceText(ids::AppTitle), wxYES_NO | wxICON_QUESTION,
                            owner_) == wxYES;
    }
    void OpenSetupPage() override { dialog_.OpenSetupPage(); }
    void RefreshLists() override { refresh_(); }

private:
    wxWindow* owner_;
    AdditionalInfoDlg& dialog_;
    std::function<void()> refresh_;
};

// The five visible columns. The row's marker ("-1", "0" to "3") stays with the dialog's rows: a
// list column of width 0 still shows its rule and a dot of clipped text.
wxListCtrl* makeList(wxWindow* parent, int id, const int widths[5]) {
    auto* list = new wxListCtrl(parent, id, wxDefaultPosition, wxSize(-1, 150),
                                wxLC_REPORT | wxLC_HRULES | wxLC_VRULES);
    const unsigned headings[5] = {ids::DriverDesignation, ids::Description, ids::Location, ids::VersionLabel,
                                  ids::Update};
    for (int column = 0; column < 5; ++column)
        list->InsertColumn(column, ResourceText(headings[column]), wxLIST_FORMAT_LEFT, widths[column]);
    return list;
}

} // namespace

int AdditionalInfoDlg::DoModal() {
    wxDialog dialog(parent_, IDD, ResourceText(ids::CaptionGeneralInformationTitle), wxDefaultPosition,
                    wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    dialog_ = &dialog;
    OnInitDialog();
    int result = dialog.ShowModal();
    // Closing stops a check still waiting for its server; its result, if queued, goes with the window.
    CancelUpdateCheck();
    dialog_ = nullptr;
    return result;
}

void AdditionalInfoDlg::OnInitDialog() {
    wxDialog& d = *dialog_;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    WCHAR version[20] = {};
    GetProgramVersionString(version, sizeof version);
    sizer->Add(new wxStaticText(&d, 1339, ResourceText(ids::CaptionProgramVersion) + ToWx(version)), 0, wxALL,
               6);

    sizer->Add(new wxStaticText(&d, 1283, ResourceText(ids::CaptionDriversAndInterfaces)), 0, wxLEFT | wxTOP,
               6);
    const int driverWidths[5] = {145, 245, 195, 110, 75};
    driverList_ = makeList(&d, 1126, driverWidths);
    ExposeAccessibleRows(driverList_, ResourceText(ids::CaptionDriversAndInterfaces));
    driverList_->SetMinSize(wxSize(780, 260));
    sizer->Add(driverList_, 1, wxEXPAND | wxALL, 6);
    sizer->Add(new wxStaticText(&d, 1284, ResourceText(ids::CaptionDirect3DDlls)), 0, wxLEFT, 6);
    const int d3dWidths[5] = {145, 160, 205, 125, 125};
    direct3dList_ = makeList(&d, 1282, d3dWidths);
    ExposeAccessibleRows(direct3dList_, ResourceText(ids::CaptionDirect3DDlls));
    direct3dList_->SetMinSize(wxSize(780, 70));
    sizer->Add(direct3dList_, 0, wxEXPAND | wxALL, 6);
    sizer->Add(new wxStaticText(&d, 1285, ResourceText(ids::CaptionControllersAndAdapters)), 0, wxLEFT, 6);
    tree_ =
        new wxTreeCtrl(&d, 1083, wxDefaultPosition, wxSize(780, 170), wxTR_DEFAULT_STYLE | wxTR_HIDE_ROOT);
    ExposeAccessibleRows(tree_, ResourceText(ids::CaptionControllersAndAdapters));
    tree_->AddRoot(wxString());
    sizer->Add(tree_, 1, wxEXPAND | wxALL, 6);
    status_ = new wxStaticText(&d, statusLineId, ResourceText(ids::CaptionNoUsb2Controller));
    status_->SetForegroundColour(wxColour(200, 0, 0));
    status_->SetFont(wxFont(wxFontInfo(12).FaceName("Tahoma")));
    sizer->Add(status_, 0, wxALL, 6);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* check = new wxButton(&d, 1104, ResourceText(ids::CaptionCheckUpdates));
    // The button keeps room for "Cancel", which it reads while a check runs.
    check->SetMinSize(
        wxSize(std::max(check->GetBestSize().x,
                        check->GetSizeFromTextSize(check->GetTextExtent(ResourceText(ids::CaptionCancel))).x),
               -1));
    auto* download = new wxButton(&d, 1125, ResourceText(ids::CaptionDownloadUpdates));
    // Without an update list there is no server to take the setups from.
    download->Enable(!SetupPageUrl().empty());
    buttons->Add(check, 0, wxRIGHT, 6);
    buttons->Add(download, 0, wxRIGHT, 6);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(&d, wxID_OK, ResourceText(ids::CaptionClose)));
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 6);
    check->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (IsCheckingUpdates())
            CancelUpdateCheck();
        else
            CheckForUpdates();
    });
    download->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenSetupPage(); });

    WCHAR windows[261] = {};
    UINT length = GetWindowsDirectoryW(windows, 261);
    const std::u16string w = length > 0 && length < 261 ? win::fromBuffer(windows) : std::u16string();
    std::vector<InfoRow> driverRows = BuildDriverRows(w, ProcessEnvironment);
    std::vector<InfoRow> d3dRows = BuildDirect3DRows(w);
    drivers_.clear();
    direct3d_.clear();
    for (wxListCtrl* list : {driverList_, direct3dList_}) {
        const std::vector<InfoRow>& rows = list == driverList_ ? driverRows : d3dRows;
        std::vector<VersionRow>& model = list == driverList_ ? drivers_ : direct3d_;
        for (const InfoRow& row : rows) {
            long item = list->InsertItem(list->GetItemCount(), ToWx(row.file));
            list->SetItem(item, 1, ToWx(row.description));
            list->SetItem(item, 2, ToWx(row.location));
            list->SetItem(item, 3, ToWx(row.version));
            model.push_back({row.version, u"", u"-1"});
        }
    }
    if (!IsUsb2SupportMissing(SystemOsVersion(), ReadUsb2Hotfix)) {
        FillTree();
        FillNetworkAdapterTree();
    }
    d.SetSizerAndFit(sizer);
    d.CentreOnParent();
}

void AdditionalInfoDlg::FillTree() {
    const wxTreeItemId root = tree_->GetRootItem();
    const UsbControllerLists lists = FillUsbHostControllerLists();
    const std::pair<unsigned, const std::vector<std::u16string>*> groups[] = {
        {ids::Usb10Controllers, &lists.usb10},
        {ids::Usb11Controllers, &lists.usb11},
        {ids::Usb20Controllers, &lists.usb20},
        {ids::Usb30Controllers, &lists.usb30}};
    for (const auto& [title, names] : groups) {
        if (names->empty())
            continue;
        wxTreeItemId group = tree_->AppendItem(root, ResourceText(title));
        tree_->SetItemBold(group, languageIndex_ < 9);
        for (const std::u16string& name : *names)
            tree_->AppendItem(group, ToWx(name));
        if (names == &lists.usb20)
            tree_->Expand(group);
    }
    wxTreeItemIdValue cookie;
    if (!tree_->GetFirstChild(root, cookie).IsOk())
        tree_->AppendItem(root, ResourceText(ids::NoUsbControllers));
    if (!lists.usb20.empty()) {
        status_->SetLabel(ResourceText(ids::Usb20ControllerFound));
        status_->SetForegroundColour(wxColour(0, 128, 0));
    }
}

void AdditionalInfoDlg::FillNetworkAdapterTree() {
    wxTreeItemId top = tree_->AppendItem(tree_->GetRootItem(), ResourceText(ids::NetworkAdapters));
    tree_->SetItemBold(top, languageIndex_ < 9);
    for (const win::AdapterRecord& adapter : win::systemAdapters()) {
        wxTreeItemId item =
            tree_->AppendItem(top, ToWx(AdapterDisplayName(win::fromUtf8(adapter.description))));
        tree_->AppendItem(item, wxString::Format("%s:  %02X-%02X-%02X-%02X-%02X-%02X",
                                                 ResourceText(ids::AdapterMacAddress), adapter.mac[0],
                                                 adapter.mac[1], adapter.mac[2], adapter.mac[3],
                                                 adapter.mac[4], adapter.mac[5]));
        tree_->AppendItem(item, ResourceText(ids::AdapterIpAddress) + ":  " + wxString(adapter.ipAddress));
        tree_->AppendItem(item, ResourceText(ids::AdapterIpSubnetmask) + ":  " + wxString(adapter.ipMask));
        tree_->AppendItem(item, ResourceText(ids::DhcpEnabledPrefix) +
                                    ResourceText(adapter.dhcpEnabled ? ids::Yes : ids::No));
    }
    tree_->Expand(top);
}

void AdditionalInfoDlg::CheckForUpdates() {
    if (IsCheckingUpdates() || !dialog_)
        return;
    checking_ = std::make_shared<DownloadCancel>();
    wxBeginBusyCursor();
    dialog_->FindWindow(1104)->SetLabel(ResourceText(ids::CaptionCancel));
    // The worker touches no window: it hands its result to the dialog's event queue, which
    // discards it should the dialog be gone first.
    wxDialog* dialog = dialog_;
    worker_ = std::thread([this, dialog, cancel = checking_] {
        DownloadResult download = DownloadUpdateList(cancel.get());
        if (!cancel->cancelled())
            dialog->CallAfter([this, download, cancel] {
                if (checking_ == cancel) // not a check cancelled after it queued this
                    FinishUpdateCheck(download);
            });
    });
}

void AdditionalInfoDlg::CancelUpdateCheck() {
    if (!IsCheckingUpdates())
        return;
    checking_->cancel();
    EndUpdateCheck();
}

void AdditionalInfoDlg::EndUpdateCheck() {
    if (worker_.joinable())
        worker_.join();
    checking_.reset();
    wxEndBusyCursor();
    if (dialog_)
        dialog_->FindWindow(1104)->SetLabel(ResourceText(ids::CaptionCheckUpdates));
}

void AdditionalInfoDlg::FinishUpdateCheck(const DownloadResult& download) {
    EndUpdateCheck();
    DialogUi ui(dialog_, *this, [this] {
        for (wxListCtrl* list : {driverList_, direct3dList_}) {
            const std::vector<VersionRow>& rows = list == driverList_ ? drivers_ : direct3d_;
            for (long row = 0; row < static_cast<long>(rows.size()); ++row) {
                list->SetItem(row, 4, ToWx(rows[row].update));
                colourRow(list, row, rows[row].marker);
            }
            list->Refresh(true);
        }
    });
    ApplyUpdateList(download, drivers_, direct3d_, ui);
}

void AdditionalInfoDlg::OpenSetupPage() {
    const std::string page = SetupPageUrl();
    if (!page.empty())
        wxLaunchDefaultBrowser(page);
}
