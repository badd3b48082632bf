#include "camera_manager/core/dialogs/ManualConfigDlg.h"

#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/IpAddressCtrl.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/rules/EthConfigRules.h"
#include "camera_manager/core/rules/Ipv4Text.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ArpProbe.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>

namespace {

constexpr int statusTextWidth = 300;

wxStaticText* label(wxWindow* parent, const wxString& text) {
    return new wxStaticText(parent, wxID_ANY, text);
}

} // namespace

ManualConfigDlg::ManualConfigDlg(wxWindow* parent, CameraEntry& entry)
    : wxDialog(parent, IDD, ResourceText(ids::CaptionManualEthConfiguration)), camera(entry) {
    BuildControls();

    cameraGroup->SetLabel(wxString::Format("%s %d", ResourceText(ids::SelectedDeviceId),
                                           static_cast<int>(camera.GetDeviceId())));
    TieOwnLabels(this);
    // The fields show only addresses; a text that is none (a failed read) shows as 0.0.0.0, and
    // what the fields show is the reference, so an untouched field is never sent.
    ipField->SetAddressText(ToWx(camera.GetDevicePersistentIpAddress()));
    maskField->SetAddressText(ToWx(camera.GetDevicePersistentIpSubnetmask()));
    rangeBeginField->SetAddressText(ToWx(camera.GetAdapterAutoCfgRangeBegin()));
    rangeEndField->SetAddressText(ToWx(camera.GetAdapterAutoCfgRangeEnd()));
    initialIp = FromWx(ipField->GetValue());
    initialMask = FromWx(maskField->GetValue());
    initialRangeBegin = FromWx(rangeBeginField->GetValue());
    initialRangeEnd = FromWx(rangeEndField->GetValue());
    initialTimeout = static_cast<int>(camera.GetAdapterProbeTimeout());
    timeoutField->ChangeValue(wxString::Format("%d", initialTimeout));
    dhcpBox->SetValue(dhcp != 0);
    // Room for the longest status text, so that a change never cuts one off.
    int statusHeight = 0;
    for (unsigned id : {ids::UsesPersistentIp, ids::NoPersistentIp, ids::UsesDhcp}) {
        statusText->SetLabel(ResourceText(id));
        statusText->Wrap(statusTextWidth);
        statusHeight = std::max(statusHeight, statusText->GetBestSize().y);
    }
    statusText->SetMinSize(wxSize(statusTextWidth, statusHeight));
    UpdateStatusText();
    GetSizer()->SetSizeHints(this);
    CentreOnParent();
}

void ManualConfigDlg::BuildControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto grid = [](int rows) { return new wxFlexGridSizer(rows, 3, 6, 8); };

    auto* adapterBox = new wxStaticBoxSizer(
        new wxStaticBox(this, 1113, ResourceText(ids::CaptionAdapterSettings)), wxVERTICAL);
    wxWindow* adapterParent = adapterBox->GetStaticBox();
    auto* adapterGrid = grid(3);
    rangeBeginField = new IpAddressCtrl(adapterParent, 1107, wxDefaultPosition, wxSize(130, -1));
    rangeEndField = new IpAddressCtrl(adapterParent, 1108, wxDefaultPosition, wxSize(130, -1));
    timeoutField = new wxTextCtrl(adapterParent, 1120, wxEmptyString, wxDefaultPosition, wxSize(70, -1));
    timeoutField->SetMaxLength(10);
    auto* timeoutLabel = label(adapterParent, ResourceText(ids::IpProbeTimeout));
    auto* msLabel = label(adapterParent, ResourceText(ids::CaptionMilliseconds));
    timeoutLabel->Hide();
    msLabel->Hide();
    auto* timeoutRow = new wxBoxSizer(wxHORIZONTAL);
    timeoutRow->Add(timeoutField, 0, wxALIGN_CENTER_VERTICAL);
    timeoutRow->Add(msLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    wxStaticText* labels[] = {label(adapterParent, ResourceText(ids::IpRangeBegin)),
                              label(adapterParent, ResourceText(ids::IpRangeEnd)), nullptr, nullptr};
    adapterGrid->Add(labels[0], 0, wxALIGN_CENTER_VERTICAL);
    adapterGrid->Add(rangeBeginField);
    adapterGrid->AddSpacer(0);
    adapterGrid->Add(labels[1], 0, wxALIGN_CENTER_VERTICAL);
    adapterGrid->Add(rangeEndField);
    adapterGrid->Add(new wxButton(adapterParent, 1125, ResourceText(ids::CaptionSuggest)), 0,
                     wxALIGN_CENTER_VERTICAL);
    adapterGrid->Add(timeoutLabel, 0, wxALIGN_CENTER_VERTICAL);
    adapterGrid->Add(timeoutRow);
    adapterGrid->AddSpacer(0);
    adapterBox->Add(adapterGrid, 0, wxALL, 6);
    top->Add(adapterBox, 0, wxEXPAND | wxALL, 8);

    cameraGroup = new wxStaticBox(this, 1137, ResourceText(ids::CaptionCameraSettings));
    auto* cameraBox = new wxStaticBoxSizer(cameraGroup, wxVERTICAL);
    auto* cameraGrid = grid(2);
    ipField = new IpAddressCtrl(cameraGroup, 1041, wxDefaultPosition, wxSize(130, -1));
    maskField = new IpAddressCtrl(cameraGroup, 1140, wxDefaultPosition, wxSize(130, -1));
    labels[2] = label(cameraGroup, ResourceText(ids::CaptionPersistentIp));
    labels[3] = label(cameraGroup, ResourceText(ids::CaptionSubnetmask));
    cameraGrid->Add(labels[2], 0, wxALIGN_CENTER_VERTICAL);
    cameraGrid->Add(ipField);
    cameraGrid->AddSpacer(0);
    cameraGrid->Add(labels[3], 0, wxALIGN_CENTER_VERTICAL);
    cameraGrid->Add(maskField);
    cameraGrid->Add(new wxButton(cameraGroup, 1175, ResourceText(ids::CaptionSuggest)), 0,
                    wxALIGN_CENTER_VERTICAL);
    cameraBox->Add(cameraGrid, 0, wxALL, 6);
    // The probe time-out's label is not shown, but a reader says it.
    SetAccessibleLabel(timeoutLabel, timeoutField);
    wxWindow* const labelled[] = {rangeBeginField, rangeEndField, ipField, maskField};
    for (size_t i = 0; i < std::size(labelled); ++i)
        SetAccessibleLabel(labels[i], labelled[i]);
    // One label width in both groups, so that the fields line up.
    int labelWidth = 0;
    for (wxStaticText* l : labels)
        labelWidth = std::max(labelWidth, l->GetBestSize().x);
    for (wxStaticText* l : labels)
        l->SetMinSize(wxSize(labelWidth, -1));
    top->Add(cameraBox, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);

    // The DHCP group only selects the status text; it is not shown.
    auto* dhcpGroup = new wxStaticBox(this, wxID_ANY, wxT("DHCP"));
    dhcpBox = new wxCheckBox(this, 1252, ResourceText(ids::CaptionEnable));
    dhcpGroup->Hide();
    dhcpBox->Hide();

    auto* statusBox =
        new wxStaticBoxSizer(new wxStaticBox(this, 1185, ResourceText(ids::CaptionStatus)), wxVERTICAL);
    statusText = new wxStaticText(statusBox->GetStaticBox(), 1182, wxEmptyString, wxDefaultPosition,
                                  wxSize(statusTextWidth, -1));
    statusBox->Add(statusText, 1, wxEXPAND | wxALL, 6);
    top->Add(statusBox, 0, wxEXPAND | wxALL, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    applyButton = new wxButton(this, 1104, ResourceText(ids::CaptionApply));
    applyButton->Disable();
    buttons->Add(applyButton);
    buttons->AddStretchSpacer();
    auto* ok = new wxButton(this, wxID_OK, wxT("OK"));
    ok->SetDefault();
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, ResourceText(ids::CaptionCancel)));
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizer(top);

    auto enableApply = [this](wxCommandEvent&) { applyButton->Enable(); };
    ipField->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        applyButton->Enable();
        UpdateStatusText();
    });
    maskField->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        applyButton->Enable();
        UpdateStatusText();
    });
    rangeBeginField->Bind(wxEVT_TEXT, enableApply);
    rangeEndField->Bind(wxEVT_TEXT, enableApply);
    timeoutField->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        if (ReadIntegerText(FromWx(timeoutField->GetValue())) != initialTimeout)
            applyButton->Enable();
    });
    // After the field's own handler has put back a text that was no address.
    ipField->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        CallAfter([this] { ApplyDefaultMask(); });
        event.Skip();
    });
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { SuggestAdapterRange(); }, 1125);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { SuggestCameraAddress(); }, 1175);
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            Apply();
            applyButton->Disable();
        },
        1104);
    Bind(wxEVT_BUTTON, &ManualConfigDlg::OnOK, this, wxID_OK);
    dhcpBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        dhcp = dhcpBox->GetValue() ? 1 : 0;
        UpdateStatusText();
    });
}

void ManualConfigDlg::OnOK(wxCommandEvent&) {
    if (applyButton->IsEnabled())
        Apply();
    if (IsModal())
        EndModal(wxID_OK);
    else {
        SetReturnCode(wxID_OK);
        Hide();
    }
}

void ManualConfigDlg::UpdateStatusText() {
    statusText->SetLabel(
        ResourceText(ManualConfigStatusId(FromWx(ipField->GetValue()), FromWx(maskField->GetValue()), dhcp)));
    statusText->Wrap(statusTextWidth);
    statusText->Refresh();
}

void ManualConfigDlg::ApplyDefaultMask() {
    if (WantsDefaultMask(FromWx(ipField->GetValue()), FromWx(maskField->GetValue()))) {
        maskField->SetAddressText(ResourceText(ids::DefaultMask));
        UpdateStatusText();
    }
}

bool ManualConfigDlg::AdapterRangeOrComplain(IpRange& range) {
    const auto hosts = AdapterHostRange(camera.GetAdapterIpAddress(), camera.GetAdapterIpSubnetmask());
    if (!hosts) {
        wxMessageBox(ResourceText(ids::AdapterAddressUnusable), ResourceText(ids::AppTitle),
                     wxOK | wxICON_ERROR, this);
        return false;
    }
    range = *hosts;
    return true;
}

void ManualConfigDlg::SuggestAdapterRange() {
    IpRange range;
    if (!AdapterRangeOrComplain(range))
        return;
    timeoutField->ChangeValue(wxT("100"));
    rangeBeginField->SetAddress(range.begin);
    rangeEndField->SetAddress(range.end);
    ipField->SetAddressText(ResourceText(ids::NoAddress));
    maskField->SetAddressText(ResourceText(ids::NoAddress));
    applyButton->Enable();
    UpdateStatusText();
}

void ManualConfigDlg::SuggestCameraAddress() {
    IpRange range;
    if (!AdapterRangeOrComplain(range))
        return;
    const std::shared_ptr<win::ArpProber> prober = win::CurrentArpProber();
    std::string failure;
    {
        wxBusyCursor wait;
        const uint32_t count = AddressProbeCount(range);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t address = range.begin + i;
            const win::ArpAnswer answer = prober->Probe(address);
            if (answer == win::ArpAnswer::Unavailable) {
                // Not knowing is not "free": the fields stay as they are.
                failure = prober->Reason();
                break;
            }
            if (answer == win::ArpAnswer::NoReply) {
                ipField->SetAddress(address);
                applyButton->Enable();
                break;
            }
        }
    }
    if (!failure.empty()) {
        wxMessageBox(ResourceText(ids::AddressesNotProbed) + wxT("\n\n") + wxString::FromUTF8(failure),
                     ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, this);
        return;
    }
    maskField->SetAddress(*ParseIpv4(camera.GetAdapterIpSubnetmask()));
    UpdateStatusText();
}

void ManualConfigDlg::NormaliseField(IpAddressCtrl* field, const std::u16string& initial) {
    if (!field->GetAddress())
        field->SetAddressText(ToWx(initial));
}

void ManualConfigDlg::ApplyCamera(int& result) {
    NormaliseField(ipField, initialIp);
    NormaliseField(maskField, initialMask);
    const std::u16string ip = FromWx(ipField->GetValue());
    const std::u16string mask = FromWx(maskField->GetValue());
    if (ip == initialIp && mask == initialMask)
        return;
    uint32_t config[3] = {*ipField->GetAddress(), *maskField->GetAddress(), 0};
    result = ZekoApi::zk_SetPersistentIpCfg(camera.GetDeviceId() | ZK_USE_DEVICE_ID, config, sizeof config);
    // What the camera now holds is the new reference; otherwise typing the old address back
    // would count as "unchanged" and never reach the camera.
    if (result == 0) {
        initialIp = ip;
        initialMask = mask;
    }
}

void ManualConfigDlg::ApplyAdapter(int& result) {
    NormaliseField(rangeBeginField, initialRangeBegin);
    NormaliseField(rangeEndField, initialRangeEnd);
    const std::u16string beginText = FromWx(rangeBeginField->GetValue());
    const std::u16string endText = FromWx(rangeEndField->GetValue());
    const int entered = ReadIntegerText(FromWx(timeoutField->GetValue()));
    if (beginText == initialRangeBegin && endText == initialRangeEnd && entered == initialTimeout)
        return;
    const uint32_t timeout = LimitProbeTimeout(entered);
    const uint32_t begin = *rangeBeginField->GetAddress();
    const uint32_t end = *rangeEndField->GetAddress();
    // An adapter mask that cannot be read leaves no host part: every range is refused.
    const uint32_t mask = ParseIpv4(camera.GetAdapterIpSubnetmask()).value_or(0xFFFFFFFF);
    const RangeCheck check = CheckAutoCfgRange(begin, end, mask);
    if (check != RangeCheck::Send && check != RangeCheck::Clear) {
        wxMessageBox(ToWx(RangeCheckMessage(check)), ResourceText(ids::AppTitle), wxOK | wxICON_NONE, this);
        if (RestoresRangeBegin(check))
            rangeBeginField->SetAddressText(ToWx(initialRangeBegin));
        if (RestoresRangeEnd(check))
            rangeEndField->SetAddressText(ToWx(initialRangeEnd));
        result = -1;
        return;
    }
    uint32_t config[3] = {begin, end, timeout};
    result = ZekoApi::zk_SetAutoCfgIpRange(camera.GetAdapterId(), config, sizeof config);
    if (result == 0) {
        initialRangeBegin = beginText;
        initialRangeEnd = endText;
        initialTimeout = static_cast<int>(timeout);
        timeoutField->ChangeValue(wxString::Format("%d", initialTimeout));
    }
}

void ManualConfigDlg::Apply() {
    int cameraResult = 0;
    int adapterResult = 0;
    ApplyCamera(cameraResult);
    ApplyAdapter(adapterResult);
    const std::u16string summary = FailedModificationsMessage(cameraResult, adapterResult);
    if (!summary.empty())
        wxMessageBox(ToWx(summary), ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, this);
}
