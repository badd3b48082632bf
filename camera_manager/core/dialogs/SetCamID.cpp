#include "camera_manager/core/dialogs/SetCamID.h"

#include "camera_manager/core/controls/AccessibleText.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/rules/CameraInfoRules.h"
#include "camera_manager/res/StringIds.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <array>
#include <optional>

using namespace CameraInfoRules;

namespace {

enum ControlId {
    GroupId = 1103,
    ManufacturerLabelId = 1165,
    ManufacturerId = 1166,
    QcDateLabelId = 1170,
    QcDateId = 1168,
    VersionLabelId = 1169,
    VersionId = 1167,
    BoardRevisionLabelId = 1172,
    BoardRevisionId = 1171,
    CameraIdLabelId = 1156,
    CameraIdId = 1100,
    EepromLabelId = 1152,
    EepromId = 1151,
};

// A read-only field of the camera's information, black on white.
wxTextCtrl* infoField(wxWindow* parent, int id) {
    auto* field = new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(160, -1), wxTE_READONLY);
    field->SetBackgroundColour(*wxWHITE);
    field->SetForegroundColour(*wxBLACK);
    return field;
}

// Opens the camera by its device id; the handle, or the library's result when it fails.
int openCamera(int deviceId, uint32_t flags, uint32_t& handle) {
    handle = uint32_t(deviceId) | flags;
    return ZekoApi::zk_InitCamera(&handle, nullptr);
}

} // namespace

SetCamID::SetCamID(wxWindow* parent, int deviceId, int cameraId)
    : wxDialog(parent, IDD, ResourceText(ids::CaptionCameraInformation)), deviceId(deviceId),
      cameraId(cameraId), initialCameraId(cameraId) {
    group = new wxStaticBox(this, GroupId, "Device ID");
    auto* grid = new wxFlexGridSizer(2, wxSize(10, 6));
    grid->AddGrowableCol(1);
    auto row = [&](int labelId, const wxString& caption, wxWindow* field, int flags) {
        auto* label = new wxStaticText(group, labelId, caption);
        grid->Add(label, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(field, 0, flags);
        SetAccessibleLabel(label, field);
        return label;
    };
    manufacturer = infoField(group, ManufacturerId);
    qcDate = infoField(group, QcDateId);
    version = infoField(group, VersionId);
    boardRevision = infoField(group, BoardRevisionId);
    cameraIdField = new wxTextCtrl(group, CameraIdId, wxString(), wxDefaultPosition, wxSize(70, -1));
    cameraIdField->SetMaxLength(CameraIdFieldLength);
    // A number field: of the printable keys only digits reach it.
    cameraIdField->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key < WXK_SPACE || key == WXK_DELETE || key > WXK_START || (key >= '0' && key <= '9'))
            event.Skip();
    });
    row(ManufacturerLabelId, ResourceText(ids::Manufacturer), manufacturer, wxEXPAND);
    row(QcDateLabelId, ResourceText(ids::QcDate), qcDate, wxEXPAND);
    wxStaticText* versionLabel = row(VersionLabelId, ResourceText(ids::ProductRevision), version, wxEXPAND);
    boardRevisionLabel =
        row(BoardRevisionLabelId, ResourceText(ids::CaptionUsbRevision), boardRevision, wxEXPAND);
    row(CameraIdLabelId, ResourceText(ids::CameraIdLabel), cameraIdField, 0);

    eepromField = new wxTextCtrl(group, EepromId);
    eepromField->SetMaxLength(EepromBytes);
    // Wide enough for a full EEPROM of ordinary letters.
    eepromField->SetMinSize(wxSize(eepromField->GetTextExtent(wxString('x', EepromBytes)).x + 24, -1));

    auto* inner = new wxStaticBoxSizer(group, wxVERTICAL);
    inner->Add(grid, 0, wxEXPAND | wxALL, 6);
    auto* eepromLabel = new wxStaticText(group, EepromLabelId, ResourceText(ids::CaptionUserEeprom));
    SetAccessibleLabel(eepromLabel, eepromField);
    inner->Add(eepromLabel, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    inner->Add(eepromField, 0, wxEXPAND | wxALL, 6);

    version->Hide();
    versionLabel->Hide();
    boardRevision->Hide();
    boardRevisionLabel->Hide();

    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, ResourceText(ids::CaptionCancel)));
    buttons->Realize();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(inner, 1, wxEXPAND | wxALL, 8);
    sizer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);
    TieOwnLabels(this);
    ok->Bind(wxEVT_BUTTON, &SetCamID::OnOK, this);
}

int SetCamID::ShowModal() {
    if (!OnInitDialog())
        return wxID_CANCEL;
    return wxDialog::ShowModal();
}

bool SetCamID::OnInitDialog() {
    cameraIdField->ChangeValue(wxString::Format("%d", cameraId));
    initialCameraId = cameraId;
    group->SetLabel(ToWx(DeviceIdCaption(deviceId)));
    if (HasEthRevision(deviceId)) {
        boardRevisionLabel->SetLabel(ResourceText(ids::EthRevision));
        SetAccessibleLabel(boardRevisionLabel, boardRevision);
    }
    TieOwnLabels(this);

    uint32_t handle = 0;
    {
        wxBusyCursor wait;
        int result = openCamera(deviceId, ZK_USE_DEVICE_ID, handle);
        if (result == ZK_STARTER_FW_UPLOAD_NEEDED)
            result = openCamera(deviceId, ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD, handle);
        if (result != ZK_SUCCESS) {
            wxBusyCursorSuspender shown;
            ShowError(ids::CameraCannotBeOpened, result);
            return false;
        }

        // A failed read leaves nothing behind in the zero-filled buffer: the text is empty then.
        EepromBuffer eeprom{};
        if (ZekoApi::zk_ReadEEPROM(handle, 0, eeprom.data(), EepromBytes) != ZK_SUCCESS)
            eeprom.fill(0);
        eepromText = EepromTextFromBytes(eeprom.data());

        std::array<uint8_t, ZK_CAMERA_INFO_SIZE> info{};
        CameraInfoTexts texts;
        if (ZekoApi::zk_GetCameraInfo(handle, info.data()) == ZK_SUCCESS)
            texts = TextsFromCameraInfo(info.data());
        std::array<uint8_t, ZK_REVISION_INFO_SIZE> revisions{};
        const unsigned revision = ZekoApi::zk_GetRevisionInfo(handle, revisions.data()) == ZK_SUCCESS
                                      ? BoardRevision(revisions.data())
                                      : 0;
        ZekoApi::zk_ExitCamera(handle);

        eepromField->ChangeValue(ToWx(eepromText));
        manufacturer->ChangeValue(ToWx(texts.manufacturer));
        version->ChangeValue(ToWx(texts.version));
        qcDate->ChangeValue(ToWx(texts.qcDate));
        boardRevision->ChangeValue(wxString::Format("%u", revision));
    }
    // The captions set above may be wider than the template's.
    GetSizer()->SetSizeHints(this);
    CentreOnParent();
    cameraIdField->SetFocus();
    cameraIdField->SelectAll();
    return true;
}

void SetCamID::OnOK(wxCommandEvent&) {
    std::optional<wxBusyCursor> wait(std::in_place);
    const CameraIdInput input = ParseCameraId(FromWx(cameraIdField->GetValue()));
    if (input.status != CameraIdStatus::Valid) {
        wait.reset();
        RefuseCameraId(CameraIdRefusal(input.status));
        return;
    }
    const std::u16string text = FromWx(eepromField->GetValue());
    const Changes changes = CompareWithInitial(initialCameraId, eepromText, input.id, text);
    if (!changes.any()) {
        EndModal(wxID_OK);
        return;
    }

    uint32_t handle = 0;
    const int opened = openCamera(deviceId, ZK_USE_DEVICE_ID, handle);
    if (opened != ZK_SUCCESS) {
        wait.reset();
        ShowError(ids::CameraCannotBeOpened, opened);
        EndModal(wxID_CANCEL);
        return;
    }
    const int idResult = changes.cameraId ? ZekoApi::zk_SetCameraID(handle, input.id) : ZK_SUCCESS;
    int eepromResult = ZK_SUCCESS;
    if (changes.eeprom) {
        int answer;
        {
            wxBusyCursorSuspender asking;
            answer = wxMessageBox(ToWx(EepromQuestion(eepromText, text)), ResourceText(ids::AppTitle),
                                  wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION, this);
        }
        if (answer == wxYES) {
            EepromBuffer bytes;
            eepromResult = EepromBytesFromText(text, bytes)
                               ? ZekoApi::zk_WriteEEPROM(handle, 0, bytes.data(), EepromBytes)
                               : UnconvertibleTextCode();
        }
    }
    ZekoApi::zk_ExitCamera(handle);

    wait.reset();
    if (idResult != ZK_SUCCESS)
        ShowError(ids::CameraIdNotSet, idResult);
    if (eepromResult != ZK_SUCCESS)
        ShowError(ids::EepromNotWritten, eepromResult);
    EndModal(wxID_OK);
}

void SetCamID::RefuseCameraId(unsigned messageId) {
    wxMessageBox(ResourceText(messageId), ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, this);
    cameraIdField->ChangeValue(wxString::Format("%d", initialCameraId));
    cameraIdField->SetFocus();
    cameraIdField->SelectAll();
}

void SetCamID::ShowError(unsigned messageId, int code) {
    // Before the dialog is shown (a camera that cannot be opened at start) the box belongs to the
    // owner, so that it is placed over a window the user sees.
    wxMessageBox(ToWx(ErrorText(messageId, code)), ResourceText(ids::AppTitle), wxOK | wxICON_ERROR,
                 IsShown() ? this : GetParent());
}
