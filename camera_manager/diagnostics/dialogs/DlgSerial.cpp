#include "camera_manager/diagnostics/dialogs/DlgSerial.h"

#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/DeviceLookup.h"
#include "camera_manager/diagnostics/records/ComPortPanel.h"
#include "camera_manager/diagnostics/records/SerialText.h"
#include "camera_manager/res/StringIds.h"

#include <sys/stat.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

// Control ids of the template.
enum {
    IdBaudA = 1032,
    IdBaudB = 1033,
    IdConnectA = 1104,
    IdConnectB = 1105,
    IdClearA = 1125,
    IdClearB = 1126,
    IdSendFile = 1162,
    IdBrowseSource = 1175,
    IdBrowseDestination = 1176,
    IdBroadcast = 1252,
    IdPortB = 1262,
    IdSendTextA = 1266,
    IdSendTextB = 1267,
    IdReceivedA = 1269,
    IdSendA = 1270,
    IdReceivedB = 1271,
    IdSendB = 1272,
    IdDataBitsA = 1277,
    IdStopBitsA = 1279,
    IdParityA = 1281,
    IdDataBitsB = 1284,
    IdStopBitsB = 1286,
    IdParityB = 1288,
    IdPortA = 1289,
    IdFileGroup = 1291,
    IdSourceName = 1292,
    IdDestinationName = 1294,
    IdDirection = 1296,
    IdProgress = 1298,
    IdProgressLabel = 1299,
    IdDestinationBytes = 1304,
    IdSourceBytes = 1305,
    IdLineEndA = 1306,
    IdLineEndB = 1309,
};

struct PortIds {
    int baud, dataBits, stopBits, parity, connect, send, sendText, lineEnd, clear, received;
};
const PortIds portIds[2] = {
    {IdBaudA, IdDataBitsA, IdStopBitsA, IdParityA, IdConnectA, IdSendA, IdSendTextA, IdLineEndA, IdClearA,
     IdReceivedA},
    {IdBaudB, IdDataBitsB, IdStopBitsB, IdParityB, IdConnectB, IdSendB, IdSendTextB, IdLineEndB, IdClearB,
     IdReceivedB},
};

void showMessage(unsigned id, long icon) {
    wxMessageBox(ResourceText(id), ResourceText(ids::AppTitle), wxOK | icon);
}

wxString withBytes(uint64_t count) {
    return wxString::Format("%llu %s", static_cast<unsigned long long>(count),
                            ResourceText(ids::SerialBytes));
}

std::string utf8Path(const wxString& path) {
    return std::string(path.utf8_str());
}

} // namespace

DlgSerial::DlgSerial(wxWindow* parent, const CameraEntry* entry)
    : wxDialog(parent, wxID_ANY, ResourceText(ids::CaptionVirtualComPort), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      entry_(entry), session_(std::make_unique<SerialSession>(static_cast<SerialSessionListener&>(*this))) {
    ports_[1].index = 1;

    wxBoxSizer* top = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* portsRow = new wxBoxSizer(wxHORIZONTAL);
    wxStaticBox* boxB = nullptr;
    portsRow->Add(buildPortGroup(ports_[0], this, groupA_), 1, wxEXPAND | wxALL, 5);
    portsRow->Add(buildPortGroup(ports_[1], this, boxB), 1, wxEXPAND | wxALL, 5);
    top->Add(portsRow, 1, wxEXPAND);
    top->Add(buildTransferGroup(this), 0, wxEXPAND | wxALL, 5);
    wxButton* close = new wxButton(this, wxID_OK, ResourceText(ids::CaptionClose));
    top->Add(close, 0, wxALIGN_RIGHT | wxALL, 5);
    SetSizerAndFit(top);
    SetEscapeId(wxID_OK);

    // Initialisation: caption of port A, broadcast port, lists.
    groupCaption_ = groupA_->GetLabel();
    broadcastPort_ = static_cast<int>(ReadBroadcastComport());
    updatePortCaption();
    direction_->Append(wxString::Format("%s  ->  COM1  ->  COM%d  ->  %s",
                                        ResourceText(ids::SerialSourceFile), cameraComPort(),
                                        ResourceText(ids::SerialDestinationFile)));
    direction_->Append(wxString::Format("%s  ->  COM%d  ->  COM1  ->  %s",
                                        ResourceText(ids::SerialSourceFile), cameraComPort(),
                                        ResourceText(ids::SerialDestinationFile)));
    direction_->SetSelection(0);

    Bind(wxEVT_CHAR_HOOK, &DlgSerial::onCharHook, this);
    Bind(
        wxEVT_CHECKBOX, [this](wxCommandEvent&) { onBroadcast(); }, IdBroadcast);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { onBrowseSource(); }, IdBrowseSource);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { onBrowseDestination(); }, IdBrowseDestination);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { onSendFile(); }, IdSendFile);
    for (Port& port : ports_) {
        const PortIds& id = portIds[port.index];
        Bind(
            wxEVT_BUTTON, [this, &port](wxCommandEvent&) { onConnect(port); }, id.connect);
        Bind(
            wxEVT_BUTTON, [this, &port](wxCommandEvent&) { send(port); }, id.send);
        Bind(
            wxEVT_BUTTON, [&port](wxCommandEvent&) { port.received->Clear(); }, id.clear);
        Bind(
            wxEVT_CHOICE, [this, &port](wxCommandEvent&) { onBaudChanged(port); }, id.baud);
    }
    CentreOnParent();
}

DlgSerial::~DlgSerial() {
    session_.reset(); // its threads end before the windows they report to go
}

int DlgSerial::cameraComPort() const {
    return serial::CameraComPort(entry_ ? entry_->GetDeviceComportOffset() : 0);
}

wxWindow* DlgSerial::buildPortGroup(Port& port, wxWindow* parent, wxStaticBox*& box) {
    const PortIds& id = portIds[port.index];
    wxPanel* panel = new wxPanel(parent);
    box = new wxStaticBox(
        panel, port.index == 0 ? IdPortA : IdPortB,
        ResourceText(port.index == 0 ? ids::CaptionVirtualComPort : ids::CaptionSerialPortCom1));
    wxStaticBoxSizer* group = new wxStaticBoxSizer(box, wxVERTICAL);
    wxFlexGridSizer* grid = new wxFlexGridSizer(2, 4, 6);
    auto row = [&](const wxString& label, wxWindow* control) {
        grid->Add(new wxStaticText(box, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(control, 1, wxEXPAND);
    };
    wxArrayString bauds;
    for (const char* rate : serial::BaudRates)
        bauds.Add(rate);
    port.baud = new wxChoice(box, id.baud, wxDefaultPosition, wxDefaultSize, bauds);
    port.baud->SetSelection(serial::DefaultBaudIndex);
    row(ResourceText(ids::CaptionBaudRate), port.baud);
    auto fixed = [&](int controlId, const wxString& text) {
        wxChoice* choice = new wxChoice(box, controlId);
        choice->Append(text);
        choice->SetSelection(0);
        choice->Disable();
        return choice;
    };
    row(ResourceText(ids::CaptionDataBits), fixed(id.dataBits, "8"));
    row(ResourceText(ids::CaptionStopBits), fixed(id.stopBits, "1"));
    row(ResourceText(ids::CaptionParity), fixed(id.parity, ResourceText(ids::SerialParityNone)));
    grid->AddGrowableCol(1);
    group->Add(grid, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* connectRow = new wxBoxSizer(wxHORIZONTAL);
    if (port.index == 0) {
        broadcast_ = new wxCheckBox(box, IdBroadcast, ResourceText(ids::CaptionBroadcastComPort));
        connectRow->Add(broadcast_, 0, wxALIGN_CENTER_VERTICAL);
    }
    connectRow->AddStretchSpacer();
    port.connectButton = new wxButton(box, id.connect, ResourceText(ids::SerialConnect));
    connectRow->Add(port.connectButton);
    group->Add(connectRow, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* sendRow = new wxBoxSizer(wxHORIZONTAL);
    port.sendText = new wxTextCtrl(box, id.sendText, wxEmptyString, wxDefaultPosition, wxSize(200, -1));
    LimitTextLength(*port.sendText, serial::SendTextLimit);
    sendRow->Add(port.sendText, 1, wxALIGN_CENTER_VERTICAL);
    sendRow->Add(new wxButton(box, id.send, ResourceText(ids::CaptionSend)), 0, wxLEFT, 4);
    group->Add(sendRow, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* lineEndRow = new wxBoxSizer(wxHORIZONTAL);
    lineEndRow->Add(new wxStaticText(box, wxID_ANY, ResourceText(ids::CaptionAppend)), 0,
                    wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    port.lineEnd = new wxChoice(box, id.lineEnd);
    for (unsigned i = 0; i < 4; ++i)
        port.lineEnd->Append(ResourceText(ids::SerialLineEndNone + i));
    port.lineEnd->SetSelection(0);
    lineEndRow->Add(port.lineEnd);
    lineEndRow->AddStretchSpacer();
    lineEndRow->Add(new wxButton(box, id.clear, ResourceText(ids::CaptionClear)));
    group->Add(lineEndRow, 0, wxEXPAND | wxALL, 4);

    port.received = new wxTextCtrl(box, id.received, wxEmptyString, wxDefaultPosition, wxSize(-1, 140),
                                   wxTE_MULTILINE | wxTE_READONLY);
    port.received->SetBackgroundColour(*wxWHITE);
    group->Add(port.received, 1, wxEXPAND | wxALL, 4);
    panel->SetSizer(group);
    return panel;
}

wxWindow* DlgSerial::buildTransferGroup(wxWindow* parent) {
    wxPanel* panel = new wxPanel(parent);
    wxStaticBox* box = new wxStaticBox(panel, IdFileGroup, ResourceText(ids::SerialSendFile));
    wxStaticBoxSizer* group = new wxStaticBoxSizer(box, wxVERTICAL);
    wxFlexGridSizer* grid = new wxFlexGridSizer(3, 4, 6);
    auto fileRow = [&](const wxString& label, int editId, int browseId) {
        wxTextCtrl* edit =
            new wxTextCtrl(box, editId, wxEmptyString, wxDefaultPosition, wxSize(360, -1), wxTE_READONLY);
        edit->SetBackgroundColour(*wxWHITE);
        grid->Add(new wxStaticText(box, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(edit, 1, wxEXPAND);
        grid->Add(new wxButton(box, browseId, ResourceText(ids::CaptionBrowse)));
        return edit;
    };
    sourceName_ = fileRow(ResourceText(ids::CaptionSource), IdSourceName, IdBrowseSource);
    destinationName_ = fileRow(ResourceText(ids::CaptionDestination), IdDestinationName, IdBrowseDestination);
    grid->Add(new wxStaticText(box, wxID_ANY, ResourceText(ids::CaptionDirection)), 0,
              wxALIGN_CENTER_VERTICAL);
    direction_ = new wxChoice(box, IdDirection);
    grid->Add(direction_, 1, wxEXPAND);
    sendFile_ = new wxButton(box, IdSendFile, ResourceText(ids::SerialSendFile));
    grid->Add(sendFile_);
    grid->AddGrowableCol(1);
    group->Add(grid, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* counts = new wxBoxSizer(wxHORIZONTAL);
    counts->Add(new wxStaticText(box, wxID_ANY, ResourceText(ids::CaptionSourceCount)), 0, wxRIGHT, 4);
    sourceBytes_ = new wxStaticText(box, IdSourceBytes, withBytes(0), wxDefaultPosition, wxSize(140, -1));
    counts->Add(sourceBytes_, 0, wxRIGHT, 20);
    counts->Add(new wxStaticText(box, wxID_ANY, ResourceText(ids::CaptionDestinationCount)), 0, wxRIGHT, 4);
    destinationBytes_ =
        new wxStaticText(box, IdDestinationBytes, withBytes(0), wxDefaultPosition, wxSize(140, -1));
    counts->Add(destinationBytes_);
    group->Add(counts, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* progressRow = new wxBoxSizer(wxHORIZONTAL);
    progressRow->Add(new wxStaticText(box, IdProgressLabel, ResourceText(ids::Progress)), 0,
                     wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    progress_ = new wxGauge(box, IdProgress, 100, wxDefaultPosition, wxSize(-1, 16));
    progressRow->Add(progress_, 1, wxALIGN_CENTER_VERTICAL);
    group->Add(progressRow, 0, wxEXPAND | wxALL, 4);
    panel->SetSizer(group);
    return panel;
}

std::string DlgSerial::portName(const Port& port) const {
    if (port.index == 1)
        return serial::ComPortName(1);
    return serial::ComPortName(broadcast_->IsChecked() ? broadcastPort_ : cameraComPort());
}

void DlgSerial::updatePortCaption() {
    const int number = broadcast_->IsChecked() ? broadcastPort_ : cameraComPort();
    groupA_->SetLabel(wxString::Format("%s (COM%d)", groupCaption_, number));
}

void DlgSerial::send(Port& port) {
    const std::vector<uint8_t> bytes =
        serial::SendBytes(std::string(port.sendText->GetValue().utf8_str()), port.lineEnd->GetSelection());
    if (!session_->connected(port.index)) {
        showMessage(ids::SerialNotConnected, wxICON_ERROR);
        return;
    }
    if (!session_->send(port.index, bytes))
        showMessage(ids::SerialNotSent, wxICON_ERROR);
}

void DlgSerial::showDisconnected(Port& port) {
    port.connectButton->SetLabel(ResourceText(ids::SerialConnect));
    if (!session_->connected(1 - port.index))
        enableTransferControls(true);
    if (port.index == 0)
        broadcast_->Enable();
}

void DlgSerial::onReceived(int port, const std::u16string& text) {
    ports_[port].received->AppendText(ToWx(text));
}

void DlgSerial::onPortLost(int port) {
    showDisconnected(ports_[port]);
    showMessage(ids::SerialLineLost, wxICON_ERROR);
}

void DlgSerial::onTransferProgress(int percent) {
    progress_->SetValue(percent);
}

void DlgSerial::onTransferReceived(uint64_t received) {
    destinationBytes_->SetLabel(withBytes(received));
}

void DlgSerial::onTransferFinished(const SerialTransferResult& result) {
    progress_->SetValue(0);
    destinationBytes_->SetLabel("0");
    sendFile_->SetLabel(ResourceText(ids::SerialSendFile));
    if (result.complete()) {
        showMessage(ids::SerialTransferComplete, wxICON_INFORMATION);
        return;
    }
    wxString text = ResourceText(ids::SerialTransferIncomplete);
    // The destination is never touched by an incomplete transfer; say so, and where its data went.
    text << "\n"
         << (result.partialPath.empty() ? ResourceText(ids::SerialDestinationUnchanged)
                                        : wxString::Format(ResourceText(ids::SerialPartialKept),
                                                           wxString::FromUTF8(result.partialPath)));
    wxMessageBox(text, ResourceText(ids::AppTitle), wxOK | wxICON_ERROR);
}

void DlgSerial::onConnect(Port& port) {
    const wxString label = port.connectButton->GetLabel();
    if (label == ResourceText(ids::SerialConnect)) {
        const std::string baud(port.baud->GetStringSelection().utf8_str());
        if (session_->connect(port.index, portName(port), baud)) {
            port.sendText->SetFocus();
            port.connectButton->SetLabel(ResourceText(ids::SerialDisconnect));
            enableTransferControls(false);
            if (port.index == 0)
                broadcast_->Disable();
        } else {
            port.connectButton->SetFocus();
            showMessage(ids::SerialCannotOpen, wxICON_ERROR);
        }
    } else if (label == ResourceText(ids::SerialDisconnect)) {
        port.connectButton->SetFocus();
        if (session_->disconnect(port.index))
            showDisconnected(port);
        else
            showMessage(ids::SerialCannotClose, wxICON_ERROR);
    }
}

void DlgSerial::onBaudChanged(Port& port) {
    if (!session_->connected(port.index))
        return;
    if (session_->disconnect(port.index))
        port.connectButton->SetLabel(ResourceText(ids::SerialConnect));
    else
        showMessage(ids::SerialCannotClose, wxICON_ERROR);
}

void DlgSerial::onBroadcast() {
    updatePortCaption();
}

void DlgSerial::onCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_RETURN && event.GetKeyCode() != WXK_NUMPAD_ENTER) {
        event.Skip();
        return;
    }
    // Enter never closes the dialog; in a send line it sends.
    const wxWindow* focus = wxWindow::FindFocus();
    for (Port& port : ports_)
        if (focus == port.sendText)
            send(port);
}

void DlgSerial::enableTransferControls(bool enable) {
    for (int id : {IdDirection, IdSendFile, IdSourceName, IdDestinationName, IdProgress, IdSourceBytes,
                   IdDestinationBytes, IdProgressLabel, IdBrowseSource, IdBrowseDestination})
        if (wxWindow* control = FindWindow(id))
            control->Enable(enable);
}

void DlgSerial::onBrowseSource() {
    wxFileDialog dialog(this, ResourceText(ids::FileChooserOpen), wxEmptyString, wxEmptyString,
                        wxFileSelectorDefaultWildcardStr, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    sourceName_->ChangeValue(dialog.GetPath());
    struct stat info {};
    if (stat(utf8Path(dialog.GetPath()).c_str(), &info) == 0)
        sourceBytes_->SetLabel(withBytes(static_cast<uint64_t>(info.st_size)));
}

void DlgSerial::onBrowseDestination() {
    wxFileDialog dialog(this, ResourceText(ids::FileChooserSave), wxEmptyString, wxEmptyString,
                        wxFileSelectorDefaultWildcardStr, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    destinationName_->ChangeValue(dialog.GetPath());
    destinationBytes_->SetLabel("0");
    progress_->SetValue(0);
}

void DlgSerial::onSendFile() {
    if (sourceName_->IsEmpty() || destinationName_->IsEmpty()) {
        showMessage(ids::SerialSelectFiles, wxICON_WARNING);
        return;
    }
    const int direction = direction_->GetSelection() == 1 ? 1 : 0;
    if (session_->transferRunning(direction)) {
        session_->stopTransfer(direction);
        sendFile_->SetLabel(ResourceText(ids::SerialSendFile));
        return;
    }
    if (ports_[0].baud->GetSelection() != ports_[1].baud->GetSelection()) {
        showMessage(ids::SerialBaudsDiffer, wxICON_ERROR);
        return;
    }
    // Everything the thread needs is read here, on the GUI thread.
    SerialTransferJob job;
    job.source = utf8Path(sourceName_->GetValue());
    job.destination = utf8Path(destinationName_->GetValue());
    const std::string com1 = serial::ComPortName(1), camera = serial::ComPortName(cameraComPort());
    const std::string com1Baud(ports_[1].baud->GetStringSelection().utf8_str());
    const std::string cameraBaud(ports_[0].baud->GetStringSelection().utf8_str());
    job.sendPort = direction == 0 ? com1 : camera;
    job.sendBaud = direction == 0 ? com1Baud : cameraBaud;
    job.receivePort = direction == 0 ? camera : com1;
    job.receiveBaud = direction == 0 ? cameraBaud : com1Baud;
    job.blockSize = serial::TransferBlockSize(ports_[1].baud->GetSelection());
    job.drainAtEnd = direction == 0;

    progress_->SetValue(0);
    if (session_->startTransfer(direction, std::move(job)))
        sendFile_->SetLabel(ResourceText(ids::SerialStop));
}

int ShowSerialTerminal(wxWindow* parent, const CameraEntry& entry) {
    DlgSerial dialog(parent, &entry);
    return dialog.DoModal();
}
