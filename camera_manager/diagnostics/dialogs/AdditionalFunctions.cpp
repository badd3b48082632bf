#include "camera_manager/diagnostics/dialogs/AdditionalFunctions.h"

#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/diagnostics/dialogs/DlgSerial.h"
#include "camera_manager/res/StringIds.h"
#include "platform/common/DesktopClose.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace {

// The COM port buttons are 300 pixels wide, or as wide as their text (which names the port and
// changes with it) needs.
wxWindow* fitButton(wxWindow* button) {
    button->SetMinSize(wxDefaultSize);
    button->InvalidateBestSize();
    button->SetMinSize(wxSize(std::max(300, button->GetBestSize().x), -1));
    return button;
}

} // namespace

std::function<void(wxWindow*, CameraEntry*)> AdditionalFunctions::runSerialTerminal = [](wxWindow* parent,
                                                                                         CameraEntry* entry) {
    if (entry)
        ShowSerialTerminal(parent, *entry);
};

class AdditionalFunctions::Ui : public ComPortUi {
public:
    explicit Ui(wxWindow* owner) : owner_(owner) {}
    void ShowMessage(const std::u16string& text, Icon icon) override {
        wxMessageBox(ToWx(text), ResourceText(ids::AppTitle),
                     wxOK | (icon == Icon::Error ? wxICON_ERROR : wxICON_INFORMATION), owner_);
    }

private:
    wxWindow* owner_;
};

AdditionalFunctions::AdditionalFunctions(wxWindow* parent, CameraEntry* entry, BOOL wow64)
    : parent_(parent), entry_(entry), wow64_(wow64) {}

AdditionalFunctions::~AdditionalFunctions() = default;

int AdditionalFunctions::DoModal() {
    wxDialog dialog(parent_, IDD, ResourceText(ids::CaptionAdditionalFunctions));
    dialog_ = &dialog;
    ui_ = std::make_unique<Ui>(&dialog);
    OnInitDialog();
    int result = dialog.ShowModal();
    panel_.reset();
    dialog_ = nullptr;
    return result;
}

void AdditionalFunctions::OnInitDialog() {
    wxDialog& d = *dialog_;
    auto* sizer = new wxBoxSizer(wxVERTICAL);

    auto* com = new wxStaticBoxSizer(wxVERTICAL, &d, ResourceText(ids::CaptionVirtualComPort));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* comLabel = new wxStaticText(com->GetStaticBox(), 1262, ResourceText(ids::CaptionComPort));
    row->Add(comLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    auto* combo = new wxChoice(com->GetStaticBox(), 1032, wxDefaultPosition, wxSize(200, -1));
    SetAccessibleLabel(comLabel, combo);
    row->Add(combo, 0, wxRIGHT, 6);
    com->Add(row, 0, wxALL, 4);
    auto* buttons = new wxGridSizer(2, 4, 4);
    for (auto [id, label] : {std::pair{1175, ids::CaptionInstall}, std::pair{1271, ids::CaptionSave},
                             std::pair{1272, ids::CaptionDelete}, std::pair{1270, ids::CaptionSendReceive}})
        buttons->Add(fitButton(new wxButton(com->GetStaticBox(), id, ResourceText(label))), 0, wxEXPAND);
    com->Add(buttons, 0, wxALL | wxEXPAND, 4);
    auto* status = new wxStaticText(com->GetStaticBox(), 1265, "", wxDefaultPosition, wxSize(604, 54));
    status->SetFont(wxFont(wxFontInfo(10).FaceName("Tahoma")));
    com->Add(status, 0, wxALL | wxEXPAND, 4);
    auto* deleteAll = new wxButton(com->GetStaticBox(), 1104, ResourceText(ids::CaptionDeleteAllComPorts));
    com->Add(deleteAll, 0, wxALL, 4);
    sizer->Add(com, 0, wxALL | wxEXPAND, 6);

    auto* idle = new wxStaticBoxSizer(wxHORIZONTAL, &d, ResourceText(ids::CaptionCpuIdleStates));
    auto* mains = new wxCheckBox(idle->GetStaticBox(), 1356, ResourceText(ids::CaptionDisableMains));
    auto* battery = new wxCheckBox(idle->GetStaticBox(), 1252, ResourceText(ids::CaptionDisableBattery));
    idle->Add(mains, 0, wxALL, 4);
    idle->Add(battery, 0, wxALL, 4);
    sizer->Add(idle, 0, wxALL | wxEXPAND, 6);

    auto* sets = new wxStaticBoxSizer(wxHORIZONTAL, &d, ResourceText(ids::CaptionParameterSetOnOpen));
    wxRadioButton* radios[3] = {
        new wxRadioButton(sets->GetStaticBox(), 1359, ResourceText(ids::CaptionDefault), wxDefaultPosition,
                          wxDefaultSize, wxRB_GROUP),
        new wxRadioButton(sets->GetStaticBox(), 1360, ResourceText(ids::CaptionParameterSet1)),
        new wxRadioButton(sets->GetStaticBox(), 1361, ResourceText(ids::CaptionParameterSet2))};
    for (wxRadioButton* radio : radios)
        sets->Add(radio, 0, wxALL, 4);
    sizer->Add(sets, 0, wxALL | wxEXPAND, 6);
    auto* close = new wxButton(&d, wxID_OK, ResourceText(ids::CaptionClose));
    sizer->Add(close, 0, wxALL | wxALIGN_RIGHT, 6);

    // COM port panel
    const bool hasCamera = entry_ != nullptr;
    const ComPanelGate gate = DecideComPanel(hasCamera, hasCamera ? entry_->GetDeviceId() : 0,
                                             hasCamera ? entry_->GetDeviceType() : 0, wow64_ != FALSE);
    if (gate == ComPanelGate::Available) {
        camera_.offset = entry_->GetDeviceComportOffset();
        camera_.mac = entry_->GetDeviceMacAddress();
        camera_.starterFirmware = entry_->GetDeviceStarterFirmwareVersion();
        panel_ = std::make_unique<ComPortPanel>(camera_, *ui_);
        panel_->FillComPortCombo();
        panel_->UpdateComPortState();
        ShowComPort();
        auto act = [this](void (ComPortPanel::*action)()) {
            return [this, action](wxCommandEvent&) {
                (panel_.get()->*action)();
                // The entry follows the camera at once: Send / Receive opens the port it names.
                entry_->SetDeviceComportOffset(camera_.offset);
                ShowComPort();
            };
        };
        d.Bind(wxEVT_BUTTON, act(&ComPortPanel::OnInstallComPort), 1175);
        d.Bind(wxEVT_BUTTON, act(&ComPortPanel::OnSaveComPort), 1271);
        d.Bind(wxEVT_BUTTON, act(&ComPortPanel::OnDeleteComPort), 1272);
        d.Bind(wxEVT_BUTTON, act(&ComPortPanel::OnDeleteAllVirtualComPorts), 1104);
        d.Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnSendReceive(); }, 1270);
        combo->Bind(wxEVT_CHOICE, [this, combo](wxCommandEvent&) {
            panel_->OnComPortSelChange(combo->GetSelection());
            ShowComPort();
        });
    } else {
        for (int id : {1262, 1032, 1175, 1271, 1272, 1270})
            d.FindWindow(id)->Disable();
        if (gate == ComPanelGate::Wow64)
            status->SetLabel(ResourceText(ids::ComPortWow64));
        else if (gate == ComPanelGate::UnsupportedCamera)
            status->SetLabel(ResourceText(ids::ComPortUnsupportedCamera));
        status->SetForegroundColour(wxColour(230, 0, 0));
    }
    deleteAll->Hide();
    keys_.Clear();
    rebootHintPending_ = true;
    d.Bind(wxEVT_CHAR_HOOK, [this, deleteAll, &d](wxKeyEvent& event) {
        keys_.Add(static_cast<uint32_t>(event.GetKeyCode()));
        if (keys_.Matches() && entry_ &&
            HiddenButtonAllowed(true, entry_->GetDeviceId(), entry_->GetDeviceType()) && panel_) {
            deleteAll->Show();
            d.GetSizer()->Fit(&d);
        }
        event.Skip();
    });

    // Idle states
    const IdleStateView view = ReadIdleStateSettings(config_);
    idleFlags_ = view.flags;
    mains->Enable(view.mainsEnabled);
    battery->Enable(view.batteryEnabled);
    mains->SetValue(view.mainsTicked);
    battery->SetValue(view.batteryTicked);
    auto idleClick = [this](wxCheckBox* box, uint32_t bit) {
        return [this, box, bit](wxCommandEvent&) {
            if (!WriteIdleState(config_, idleFlags_, bit, box->GetValue())) {
                box->SetValue((idleFlags_ & bit) != 0);
                return;
            }
            if (rebootHintPending_) {
                rebootHintPending_ = false;
                wxMessageBox(ResourceText(ids::IdleStateRebootHint), ResourceText(ids::AppTitle), wxOK,
                             dialog_);
            }
        };
    };
    mains->Bind(wxEVT_CHECKBOX, idleClick(mains, idleMainsBit));
    battery->Bind(wxEVT_CHECKBOX, idleClick(battery, idleBatteryBit));

    // Parameter set
    auto showSet = [radios](const ParameterSetView& set) {
        for (int i = 0; i < 3; ++i) {
            radios[i]->SetValue(set.selected == i);
            radios[i]->Enable(set.enabled);
        }
    };
    showSet(ReadParameterSetSetting(config_));
    for (int i = 0; i < 3; ++i)
        radios[i]->Bind(wxEVT_RADIOBUTTON,
                        [this, i, showSet](wxCommandEvent&) { showSet(WriteParameterSet(config_, i)); });

    d.SetSizerAndFit(sizer);
    TieOwnLabels(&d);
    d.CentreOnParent();
    // The first control would be a tick box, which Return would tick (a change that needs a
    // reboot): the dialog opens with the focus on Close, where Return only closes it.
    close->SetDefault();
    close->SetFocus();
}

void AdditionalFunctions::ShowComPort() {
    const ComPortControls& c = panel_->controls();
    auto* combo = static_cast<wxChoice*>(dialog_->FindWindow(1032));
    if (combo->GetCount() != c.comboItems.size()) {
        combo->Clear();
        for (const std::u16string& item : c.comboItems)
            combo->Append(ToWx(item));
    } else {
        for (size_t i = 0; i < c.comboItems.size(); ++i)
            combo->SetString(static_cast<unsigned>(i), ToWx(c.comboItems[i]));
    }
    combo->SetSelection(c.comboSelection);
    dialog_->FindWindow(1262)->Enable(c.labelEnabled);
    combo->Enable(c.comboEnabled);
    const std::pair<int, std::pair<bool, const std::u16string*>> buttons[] = {
        {1175, {c.installEnabled, &c.installText}},
        {1271, {c.saveEnabled, &c.saveText}},
        {1272, {c.deleteEnabled, &c.deleteText}},
        {1270, {c.sendReceiveEnabled, nullptr}}};
    for (const auto& [id, state] : buttons) {
        wxWindow* button = dialog_->FindWindow(id);
        button->Enable(state.first);
        if (state.second) {
            button->SetLabel(ToWx(*state.second));
            fitButton(button);
        }
    }
    auto* status = static_cast<wxStaticText*>(dialog_->FindWindow(1265));
    status->SetLabel(ToWx(c.status));
    status->SetForegroundColour(panel_->connected() ? wxColour(0, 135, 0) : wxColour(230, 0, 0));
    status->Wrap(600);
    if (dialog_->GetSizer())
        dialog_->GetSizer()->Fit(dialog_);
}

void AdditionalFunctions::OnSendReceive() {
    if (!entry_)
        return;
    uint32_t handle = entry_->GetDeviceId() | ZK_USE_DEVICE_ID;
    if (ZekoApi::zk_InitCamera(&handle, nullptr) != 0)
        return;
    {
        // The open camera serves the terminal's port (its link in the registry folder): a program
        // that leaves without its close closes the camera all the same.
        const DesktopClose::BeforeLeaving closed([handle] { ZekoApi::zk_ExitCamera(handle); });
        runSerialTerminal(dialog_, entry_);
    }
    ZekoApi::zk_ExitCamera(handle);
}
