#include "camera_manager/core/dialogs/NetworkConfigDlg.h"

#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/IpAddressCtrl.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/rules/NetworkServiceRules.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/AdapterTcpip.h"
#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include <cstring>
#include <initializer_list>
#include <vector>

using namespace NetworkServiceRules;

namespace {

constexpr int addressTimer = 1;
constexpr int statusWidth = 460;
constexpr unsigned writeLockTimeoutMs = 5000;

// The path token of a binding's tree item.
class TokenData : public wxTreeItemData {
public:
    explicit TokenData(std::u16string token) : token(std::move(token)) {}
    std::u16string token;
};

// Sets `busy` and shows the wait cursor while it lives.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy), previous_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = previous_; }

private:
    bool& busy_;
    bool previous_;
    wxBusyCursor cursor_;
};

wxBitmap masked(wxBitmap bitmap) {
    bitmap.SetMask(new wxMask(bitmap, *wxWHITE));
    return bitmap;
}

// A network card: green when the service is bound to it, grey and crossed out when not.
wxBitmap adapterPicture(bool enabled) {
    wxBitmap bmp(16, 16);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        const wxColour body = enabled ? wxColour(0, 150, 0) : wxColour(140, 140, 140);
        dc.SetBrush(wxBrush(body));
        dc.SetPen(wxPen(body.ChangeLightness(60)));
        dc.DrawRectangle(1, 4, 14, 8);
        dc.SetBrush(wxBrush(wxColour(220, 180, 0)));
        dc.DrawRectangle(3, 12, 10, 3);
        if (!enabled) {
            dc.SetPen(wxPen(wxColour(220, 0, 0), 2));
            dc.DrawLine(2, 2, 14, 14);
            dc.DrawLine(14, 2, 2, 14);
        }
    }
    return masked(bmp);
}

// The network service: a blue globe.
wxBitmap servicePicture() {
    wxBitmap bmp(16, 16);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetBrush(wxBrush(wxColour(40, 110, 210)));
        dc.SetPen(wxPen(wxColour(20, 60, 130)));
        dc.DrawCircle(8, 8, 7);
        dc.SetPen(wxPen(wxColour(230, 240, 255)));
        dc.DrawLine(1, 8, 15, 8);
        dc.DrawLine(8, 1, 8, 15);
    }
    return masked(bmp);
}

// The warning picture beside an address: a yellow triangle with "!".
wxBitmap warningPicture() {
    wxBitmap bmp(16, 16);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetBrush(wxBrush(wxColour(250, 200, 0)));
        dc.SetPen(wxPen(wxColour(120, 90, 0)));
        const wxPoint triangle[3] = {wxPoint(8, 1), wxPoint(15, 14), wxPoint(1, 14)};
        dc.DrawPolygon(3, triangle);
        dc.SetPen(wxPen(*wxBLACK, 2));
        dc.DrawLine(8, 5, 8, 10);
        dc.DrawPoint(8, 12);
    }
    return masked(bmp);
}

wxImageList* makeTreeImages() {
    auto* images = new wxImageList(16, 16, true);
    wxBitmap blank(16, 16);
    {
        wxMemoryDC dc(blank);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
    }
    blank = masked(blank);
    for (int i = 0; i < ImageBindingEnabled; ++i)
        images->Add(blank);
    images->Add(adapterPicture(true));
    images->Add(adapterPicture(false));
    images->Add(servicePicture());
    return images;
}

uint16_t u16At(const uint8_t* p, size_t offset) {
    return uint16_t(p[offset] | p[offset + 1] << 8);
}

uint32_t u32At(const uint8_t* p, size_t offset) {
    return uint32_t(p[offset]) | uint32_t(p[offset + 1]) << 8 | uint32_t(p[offset + 2]) << 16 |
           uint32_t(p[offset + 3]) << 24;
}

} // namespace

NetworkConfigDlg::NetworkConfigDlg(wxWindow* owner, CameraList& ethCameras)
    : wxDialog(owner, IDD, ResourceText(ids::CaptionNetworkService), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      ethCameras(ethCameras), timer(this, addressTimer) {
    BuildControls();
    Bind(wxEVT_INIT_DIALOG, &NetworkConfigDlg::OnInitDialog, this);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { CheckAddresses(); }, addressTimer);
    tree->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent&) {
        if (!filling)
            OnSelectionChanged();
    });
    changeServiceButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnChangeService(); });
    applyButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(); });
    dhcpButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnEnableDhcp(); });
    jumboBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnJumbo(); });
    for (IpAddressCtrl* field : {ipCtrl, maskCtrl})
        field->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
            applyButton->Enable();
            ipChanged = true;
        });
    filterCombo->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        applyButton->Enable();
        filterChanged = true;
    });
    Bind(wxEVT_BUTTON, &NetworkConfigDlg::OnOk, this, wxID_OK);
}

NetworkConfigDlg::~NetworkConfigDlg() {
    timer.Stop();
}

void NetworkConfigDlg::BuildControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    tree = new wxTreeCtrl(this, 1083, wxDefaultPosition, wxSize(statusWidth, 170),
                          wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN);
    tree->AssignImageList(makeTreeImages());
    top->Add(tree, 0, wxEXPAND | wxALL, 8);

    statusText = new wxStaticText(this, 1181, wxString(), wxDefaultPosition, wxSize(statusWidth, -1));
    statusText->SetMinSize(wxSize(statusWidth, 3 * statusText->GetCharHeight()));
    top->Add(statusText, 0, wxLEFT | wxRIGHT, 8);
    statusCode = new wxStaticText(this, 1182, ResourceText(ids::CaptionStatus));
    statusCode->Hide();

    hint = new wxStaticText(this, 1193, ResourceText(ids::CaptionChooseAdapter));
    hint->SetForegroundColour(wxColour(230, 0, 0));
    top->Add(hint, 0, wxALL, 8);

    auto* grid = new wxFlexGridSizer(2, wxSize(8, 6));
    macLabel = new wxStaticText(this, 1191, ResourceText(ids::CaptionMacAddress));
    macText = new wxTextCtrl(this, 1192, wxString(), wxDefaultPosition, wxSize(220, -1), wxTE_READONLY);
    ipLabel = new wxStaticText(this, 1186, ResourceText(ids::CaptionIpAddress));
    ipCtrl = new IpAddressCtrl(this, 1183, wxDefaultPosition, wxSize(140, -1));
    maskLabel = new wxStaticText(this, 1187, ResourceText(ids::CaptionIpSubnetmask));
    maskCtrl = new IpAddressCtrl(this, 1184, wxDefaultPosition, wxSize(140, -1));
    ipWarning = new wxStaticBitmap(this, 1349, warningPicture());
    maskWarning = new wxStaticBitmap(this, 1350, warningPicture());
    filterLabel = new wxStaticText(this, 1138, ResourceText(ids::PacketFilter));
    filterCombo = new wxChoice(this, 1032);
    for (unsigned id : {184u, 185u, 186u})
        filterCombo->Append(ResourceText(id));
    const wxSizerFlags labelFlags = wxSizerFlags().CentreVertical();
    // An address field with its warning picture beside it (the picture keeps its place hidden).
    auto withWarning = [](wxWindow* field, wxWindow* warning) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(field);
        row->Add(warning, wxSizerFlags().CentreVertical().Border(wxLEFT, 6).ReserveSpaceEvenIfHidden());
        return row;
    };
    grid->Add(macLabel, labelFlags);
    grid->Add(macText);
    grid->Add(ipLabel, labelFlags);
    grid->Add(withWarning(ipCtrl, ipWarning));
    grid->Add(maskLabel, labelFlags);
    grid->Add(withWarning(maskCtrl, maskWarning));
    grid->Add(filterLabel, labelFlags);
    grid->Add(filterCombo);
    top->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    SetAccessibleLabel(macLabel, macText);
    SetAccessibleLabel(ipLabel, ipCtrl);
    SetAccessibleLabel(maskLabel, maskCtrl);
    SetAccessibleLabel(filterLabel, filterCombo);

    dhcpText = new wxStaticText(this, 1190, ResourceText(ids::CaptionDhcpEnabled));
    top->Add(dhcpText, 0, wxALL, 8);
    jumboBox = new wxCheckBox(this, 1252, ResourceText(ids::CaptionJumboPackets));
    top->Add(jumboBox, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

    auto* actions = new wxBoxSizer(wxHORIZONTAL);
    changeServiceButton = new wxButton(this, 1104, ResourceText(ids::CaptionChangeService));
    applyButton = new wxButton(this, 1125, ResourceText(ids::CaptionApplyChanges));
    dhcpButton = new wxButton(this, 1175, ResourceText(ids::CaptionEnableDhcp));
    actions->Add(changeServiceButton, 0, wxRIGHT, 8);
    actions->Add(applyButton, 0, wxRIGHT, 8);
    actions->Add(dhcpButton);
    top->Add(actions, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

    top->AddStretchSpacer();
    auto* closing = new wxStdDialogButtonSizer();
    closing->AddButton(new wxButton(this, wxID_OK, wxT("OK")));
    closing->AddButton(new wxButton(this, wxID_CANCEL, ResourceText(ids::CaptionCancel)));
    closing->Realize();
    top->Add(closing, 0, wxEXPAND | wxALL, 8);

    // The packet filter and the DHCP button are hidden in this dialog; the warnings until needed.
    for (wxWindow* w :
         std::initializer_list<wxWindow*>{filterLabel, filterCombo, dhcpButton, ipWarning, maskWarning})
        w->Hide();
    SetSizerAndFit(top);
    TieOwnLabels(this);
    SetMinSize(GetSize());
    applyButton->Disable();
    CentreOnParent();
}

void NetworkConfigDlg::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    if (initialised)
        return;
    initialised = true;
    {
        BusyScope scope(busy);
        FillServiceTree();
    }
    ipChanged = filterChanged = false;
    ipWarningHidden = maskWarningHidden = false;
    if (!closing) {
        pnpDeviceId.reset();
        timer.Start(500);
    }
}

void NetworkConfigDlg::ShowMessage(unsigned id, long style) {
    wxMessageBox(ResourceText(id), ResourceText(ids::AppTitle), wxOK | style, this);
}

int NetworkConfigDlg::Ask(unsigned id, long style) {
    return wxMessageBox(ResourceText(id), ResourceText(ids::AppTitle), style, this);
}

void NetworkConfigDlg::CloseForMissingService() {
    if (closing)
        return;
    closing = true;
    timer.Stop();
    // Closing from inside the start-up handler would end the modal loop before it runs.
    CallAfter([this] {
        if (IsModal())
            EndModal(wxID_OK);
        else
            Hide();
        SetReturnCode(wxID_OK);
        wxMessageBox(ResourceText(ids::ServiceNotInstalled), ResourceText(ids::AppTitle),
                     wxOK | wxICON_EXCLAMATION);
    });
}

void NetworkConfigDlg::FillServiceTree() {
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    const win::NetServiceComponent* service =
        configuration.serviceByDisplayName(LoadResourceString(ServiceNameId));
    if (!service) {
        CloseForMissingService();
        return;
    }
    filling = true;
    tree->Freeze();
    tree->DeleteAllItems();
    const wxTreeItemId root = tree->AddRoot(ToWx(service->displayName), ImageService, ImageService);
    int enabled = 0;
    for (const win::NetBindingPath& path : service->paths) {
        const win::NetAdapterComponent* adapter = configuration.adapter(path.lowerBindName);
        if (!adapter || !win::adapterNamed(win::toUtf8(adapter->bindName)))
            continue;
        const int image = path.enabled ? ImageBindingEnabled : ImageBindingDisabled;
        tree->AppendItem(root, ToWx(adapter->displayName), image, image, new TokenData(path.token));
        if (path.enabled)
            ++enabled;
    }
    tree->ExpandAll();
    tree->Thaw();
    tree->Update();
    filling = false;

    const ServiceStatus status = BindingStatus(enabled);
    statusText->SetLabel(ToWx(status.text));
    statusText->Wrap(statusWidth);
    statusText->SetForegroundColour(status.code == u"1" ? wxColour(230, 0, 0) : *wxBLACK);
    statusCode->SetLabel(ToWx(status.code));
    statusText->Refresh();
    SelectAdapterByToken();
}

void NetworkConfigDlg::SelectAdapterByToken() {
    const std::u16string token = WideField(bindingToken, 255);
    wxTreeItemId found;
    // Depth first: the first child, then its siblings.
    std::vector<wxTreeItemId> pending;
    if (tree->GetRootItem().IsOk())
        pending.push_back(tree->GetRootItem());
    while (!pending.empty() && !found.IsOk()) {
        const wxTreeItemId item = pending.back();
        pending.pop_back();
        auto* data = static_cast<TokenData*>(tree->GetItemData(item));
        if (data && !token.empty() && data->token == token) {
            found = item;
            break;
        }
        std::vector<wxTreeItemId> children;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree->GetFirstChild(item, cookie); child.IsOk();
             child = tree->GetNextChild(item, cookie))
            children.push_back(child);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    if (!found.IsOk()) {
        pnpDeviceId.reset();
        HideAdapterControls();
        return;
    }
    filling = true;
    tree->SelectItem(found);
    filling = false;
    tree->SetFocus();
    lastIp = lastMask = u"-2";
    lastIndex = -2;
    BusyScope scope(busy);
    ShowBinding(token, false);
}

void NetworkConfigDlg::OnSelectionChanged() {
    lastIp = lastMask = u"-2";
    lastIndex = -2;
    BusyScope scope(busy);
    pnpDeviceId.reset();
    const wxTreeItemId item = tree->GetSelection();
    auto* data = item.IsOk() ? static_cast<TokenData*>(tree->GetItemData(item)) : nullptr;
    if (!data) {
        HideAdapterControls();
        return;
    }
    ShowBinding(data->token, true);
}

bool NetworkConfigDlg::FindBindingPath(const std::u16string& token, bool& enabled,
                                       std::u16string& pnpId) const {
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    const win::NetServiceComponent* service =
        configuration.serviceByDisplayName(LoadResourceString(ServiceNameId));
    if (!service)
        return false;
    for (const win::NetBindingPath& path : service->paths)
        if (path.token == token) {
            enabled = path.enabled;
            const win::NetAdapterComponent* adapter = configuration.adapter(path.lowerBindName);
            pnpId = adapter ? adapter->pnpDeviceId : std::u16string();
            return true;
        }
    return false;
}

void NetworkConfigDlg::ShowBinding(const std::u16string& token, bool readJumbo) {
    bool enabled = false;
    std::u16string pnpId;
    if (!FindBindingPath(token, enabled, pnpId)) {
        HideAdapterControls();
        return;
    }
    CopyBindingToken(bindingToken, std::size(bindingToken), token);
    ShowAdapterControls();
    AdapterRegistryInfo info;
    const bool registryRead = ReadAdapterRegistry(pnpId, info);
    adapterIndex = registryRead ? info.index : -1;
    pnpDeviceId = pnpId;
    std::u16string mac;
    if (registryRead && adapterIndex >= 0 && win::QueryAdapterMacAddress(adapterIndex, mac)) {
        if (const auto bytes = ParseColonMac(mac))
            std::memcpy(adapterMac, bytes->data(), 6);
        filterCombo->Hide();
        filterLabel->Hide();
        if (enabled) {
            uint8_t record[ZK_ADAPTER_CFG_SIZE] = {};
            if (ZekoApi::zk_AccessAdapterCfgByMAC(adapterMac, ZK_ADAPTER_GET, ZK_ADAPTER_CFG_RECORD, record,
                                                  sizeof record) == ZK_SUCCESS) {
                packetFilter = u16At(record, 56);
                if (packetFilter < int(filterCombo->GetCount()))
                    filterCombo->SetSelection(packetFilter);
                if (readJumbo)
                    jumboBox->SetValue(JumboChecked(u32At(record, 84)));
            }
        }
        macText->ChangeValue(ToWx(MacDisplayText(mac)));
        if (!ipCtrl->SetAddressText(ToWx(info.addresses.ip)))
            ipCtrl->SetAddress(0);
        if (!maskCtrl->SetAddressText(ToWx(info.addresses.mask)))
            maskCtrl->SetAddress(0);
        dhcpText->SetLabel(
            ResourceText(info.addresses.dhcp ? ids::AdapterDhcpEnabled : ids::AdapterDhcpDisabled));
        dhcpButton->Enable(!info.addresses.dhcp);
    } else {
        // Nothing of the previous adapter may stay on show or be changed through this one.
        std::memset(adapterMac, 0, sizeof adapterMac);
        macText->ChangeValue(wxString());
        ipCtrl->SetAddress(0);
        maskCtrl->SetAddress(0);
    }
    changeServiceButton->SetLabel(ResourceText(enabled ? ids::DisableService : ids::EnableService));
    Layout();
}

void NetworkConfigDlg::HideAdapterControls() {
    hint->Show();
    for (wxWindow* w : std::initializer_list<wxWindow*>{macLabel, ipLabel, maskLabel, macText, ipCtrl,
                                                        maskCtrl, dhcpText, changeServiceButton, applyButton,
                                                        filterLabel, filterCombo, dhcpButton, jumboBox})
        w->Hide();
    Layout();
}

void NetworkConfigDlg::ShowAdapterControls() {
    hint->Hide();
    for (wxWindow* w :
         std::initializer_list<wxWindow*>{applyButton, changeServiceButton, macLabel, ipLabel, maskLabel,
                                          macText, ipCtrl, maskCtrl, dhcpText, jumboBox})
        w->Show();
    Layout();
}

bool NetworkConfigDlg::SetBindingEnabled(const std::u16string& token, bool enable) {
    win::NetConfigWriteLock lock;
    std::u16string holder;
    if (lock.IsWriteLocked(&holder) || !lock.Acquire(writeLockTimeoutMs, std::u16string())) {
        if (holder.empty())
            lock.IsWriteLocked(&holder);
        wxMessageBox(ResourceText(ids::PropertyControlledBy) + wxT("\n\n\"") + ToWx(holder) + wxT("\""),
                     ResourceText(ids::AppTitle), wxOK, this);
        return false;
    }
    return win::SetBindingPathEnabled(lock, token, enable);
}

void NetworkConfigDlg::OnChangeService() {
    BusyScope scope(busy);
    const wxTreeItemId item = tree->GetSelection();
    auto* data = item.IsOk() ? static_cast<TokenData*>(tree->GetItemData(item)) : nullptr;
    bool enabled = false;
    std::u16string pnpId;
    if (data && FindBindingPath(data->token, enabled, pnpId))
        SetBindingEnabled(data->token, !enabled);
    FillServiceTree();
}

void NetworkConfigDlg::OnApply() {
    if (IsAdapterInUseByCamera(adapterMac, ethCameras)) {
        ShowMessage(ids::AdapterInUse, wxICON_ERROR);
        BusyScope scope(busy);
        FillServiceTree();
        return;
    }
    if (ipChanged && Ask(ids::AssignStaticQuestion, wxYES_NO | wxICON_QUESTION) == wxYES) {
        int result;
        {
            BusyScope scope(busy);
            result = win::EnableStaticAddress(adapterIndex, FromWx(ipCtrl->GetValue().Left(19)),
                                              FromWx(maskCtrl->GetValue().Left(19)));
        }
        if (result == win::TCPIP_SUCCESS) {
            ZekoApi::zk_FetchTCPIP_Setup();
            applyButton->Disable();
            ipChanged = false;
            ShowMessage(ids::AdapterAddressChanged, wxICON_INFORMATION);
        } else if (result == win::TCPIP_ADDRESS_CONFLICT) {
            ShowMessage(ids::AdapterAddressConflict, wxICON_EXCLAMATION);
        } else {
            ShowMessage(ids::AdapterAddressNotChanged, wxICON_ERROR);
        }
    }
    const int selection = filterCombo->GetSelection();
    if (filterChanged && selection != packetFilter) {
        uint32_t value = uint32_t(selection);
        if (ZekoApi::zk_AccessAdapterCfgByMAC(adapterMac, ZK_ADAPTER_SET, ZK_ADAPTER_CFG_PACKET_FILTER,
                                              &value, sizeof value) != ZK_SUCCESS) {
            ShowMessage(ids::PacketFilterNotChanged, wxICON_ERROR);
        } else {
            ZekoApi::zk_FetchTCPIP_Setup();
            applyButton->Disable();
            filterChanged = false;
            packetFilter = selection;
            ShowMessage(ids::PacketFilterChanged, wxICON_INFORMATION);
        }
    }
    BusyScope scope(busy);
    FillServiceTree();
}

void NetworkConfigDlg::OnEnableDhcp() {
    if (Ask(ids::EnableDhcpQuestion, wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    BusyScope scope(busy);
    if (win::EnableDhcp(adapterIndex) != win::TCPIP_SUCCESS) {
        ShowMessage(ids::DhcpNotEnabled, wxICON_ERROR);
        return;
    }
    FillServiceTree();
    ShowMessage(ids::DhcpEnabledDone, wxICON_INFORMATION);
    ZekoApi::zk_FetchTCPIP_Setup();
}

void NetworkConfigDlg::OnJumbo() {
    const bool checked = jumboBox->GetValue();
    if (checked) {
        uint64_t packetSize = 0;
        if (ZekoApi::zk_AccessAdapterCfgByMAC(adapterMac, ZK_ADAPTER_GET, ZK_ADAPTER_CFG_PACKET_SIZE,
                                              &packetSize, sizeof packetSize) == ZK_SUCCESS &&
            packetSize < JumboAdapterPacketSize &&
            Ask(ids::AdapterNeedsJumboPackets, wxOK | wxCANCEL | wxCANCEL_DEFAULT | wxICON_EXCLAMATION) !=
                wxOK) {
            jumboBox->SetValue(false);
            return;
        }
    }
    uint32_t maxPacket = checked ? JumboMaxPacket : NormalMaxPacket;
    // A set that fails leaves the adapter as it was, and so the box.
    if (ZekoApi::zk_AccessAdapterCfgByMAC(adapterMac, ZK_ADAPTER_SET, ZK_ADAPTER_CFG_MAX_PACKET, &maxPacket,
                                          sizeof maxPacket) != ZK_SUCCESS)
        jumboBox->SetValue(!checked);
}

void NetworkConfigDlg::ShowWarning(wxStaticBitmap* picture, bool show, bool& hidden) {
    picture->Show(show);
    if (show == hidden) {
        hidden = !show;
        Refresh();
    }
}

void NetworkConfigDlg::CheckAddresses() {
    if (!ipCtrl->IsShown() || !maskCtrl->IsShown()) {
        ShowWarning(ipWarning, false, ipWarningHidden);
        ShowWarning(maskWarning, false, maskWarningHidden);
        return;
    }
    if (!pnpDeviceId)
        return;
    AdapterRegistryInfo info;
    if (!ReadAdapterRegistry(*pnpDeviceId, info))
        return;
    if (AddressesAppeared(lastIp, lastMask, info.addresses.ip, info.addresses.mask)) {
        OnSelectionChanged();
        ZekoApi::zk_FetchTCPIP_Setup();
    }
    ShowWarning(ipWarning, IpWarning(info.addresses.ip), ipWarningHidden);
    ShowWarning(maskWarning, MaskWarning(info.addresses.mask), maskWarningHidden);
    lastIp = info.addresses.ip;
    lastMask = info.addresses.mask;
    lastIndex = info.index;
}

void NetworkConfigDlg::OnOk(wxCommandEvent&) {
    if (closing)
        return;
    if (applyButton->IsEnabled())
        OnApply();
    if (closing)
        return;
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
    SetReturnCode(wxID_OK);
}
