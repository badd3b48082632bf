#include "camera_manager/diagnostics/DlgSerial.h"

#include "camera_manager/core/CameraEntry.h"
#include "camera_manager/core/DeviceLookup.h"
#include "camera_manager/core/StringIds.h"
#include "camera_manager/core/WxText.h"
#include "camera_manager/diagnostics/ComPortPanel.h"
#include "camera_manager/diagnostics/SerialStringIds.h"
#include "camera_manager/diagnostics/SerialText.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>
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

constexpr size_t ReadSize = 128;

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
    : wxDialog(parent, wxID_ANY, "Virtual COM port", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      entry_(entry) {
    ports_[1].index = 1;
    for (Port& port : ports_)
        port.stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);

    wxBoxSizer* top = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* portsRow = new wxBoxSizer(wxHORIZONTAL);
    wxStaticBox* boxB = nullptr;
    portsRow->Add(buildPortGroup(ports_[0], this, groupA_), 1, wxEXPAND | wxALL, 5);
    portsRow->Add(buildPortGroup(ports_[1], this, boxB), 1, wxEXPAND | wxALL, 5);
    top->Add(portsRow, 1, wxEXPAND);
    top->Add(buildTransferGroup(this), 0, wxEXPAND | wxALL, 5);
    wxButton* close = new wxButton(this, wxID_OK, "Close");
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
    CentreOnScreen();
}

DlgSerial::~DlgSerial() {
    *updatesAllowed_ = false;
    for (SerialTransfer& transfer : transfers_) {
        transfer.stop();
        transfer.join();
    }
    for (Port& port : ports_) {
        if (port.connected)
            disconnect(port);
        if (port.reader.joinable()) { // a reader that ended by itself
            port.reader.join();
        }
        close(port.stopEvent);
    }
}

int DlgSerial::cameraComPort() const {
    return serial::CameraComPort(entry_ ? entry_->GetDeviceComportOffset() : 0);
}

wxWindow* DlgSerial::buildPortGroup(Port& port, wxWindow* parent, wxStaticBox*& box) {
    const PortIds& id = portIds[port.index];
    wxPanel* panel = new wxPanel(parent);
    box = new wxStaticBox(panel, port.index == 0 ? IdPortA : IdPortB,
                          port.index == 0 ? "Virtual COM port" : "Serial port (COM1)");
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
    row("Baud rate", port.baud);
    auto fixed = [&](int controlId, const wxString& text) {
        wxChoice* choice = new wxChoice(box, controlId);
        choice->Append(text);
        choice->SetSelection(0);
        choice->Disable();
        return choice;
    };
    row("Data bits", fixed(id.dataBits, "8"));
    row("Stop bits", fixed(id.stopBits, "1"));
    row("Parity", fixed(id.parity, ResourceText(ids::SerialParityNone)));
    grid->AddGrowableCol(1);
    group->Add(grid, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* connectRow = new wxBoxSizer(wxHORIZONTAL);
    if (port.index == 0) {
        broadcast_ = new wxCheckBox(box, IdBroadcast, "Broadcast COM port");
        connectRow->Add(broadcast_, 0, wxALIGN_CENTER_VERTICAL);
    }
    connectRow->AddStretchSpacer();
    port.connectButton = new wxButton(box, id.connect, ResourceText(ids::SerialConnect));
    connectRow->Add(port.connectButton);
    group->Add(connectRow, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* sendRow = new wxBoxSizer(wxHORIZONTAL);
    port.sendText = new wxTextCtrl(box, id.sendText, wxEmptyString, wxDefaultPosition, wxSize(200, -1));
    port.sendText->SetMaxLength(serial::SendTextLimit);
    sendRow->Add(port.sendText, 1, wxALIGN_CENTER_VERTICAL);
    sendRow->Add(new wxButton(box, id.send, "Send"), 0, wxLEFT, 4);
    group->Add(sendRow, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* lineEndRow = new wxBoxSizer(wxHORIZONTAL);
    lineEndRow->Add(new wxStaticText(box, wxID_ANY, "Append"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    port.lineEnd = new wxChoice(box, id.lineEnd);
    for (unsigned i = 0; i < 4; ++i)
        port.lineEnd->Append(ResourceText(ids::SerialLineEndNone + i));
    port.lineEnd->SetSelection(0);
    lineEndRow->Add(port.lineEnd);
    lineEndRow->AddStretchSpacer();
    lineEndRow->Add(new wxButton(box, id.clear, "Clear"));
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
    wxStaticBox* box = new wxStaticBox(panel, IdFileGroup, "Send file");
    wxStaticBoxSizer* group = new wxStaticBoxSizer(box, wxVERTICAL);
    wxFlexGridSizer* grid = new wxFlexGridSizer(3, 4, 6);
    auto fileRow = [&](const wxString& label, int editId, int browseId) {
        wxTextCtrl* edit =
            new wxTextCtrl(box, editId, wxEmptyString, wxDefaultPosition, wxSize(360, -1), wxTE_READONLY);
        edit->SetBackgroundColour(*wxWHITE);
        grid->Add(new wxStaticText(box, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(edit, 1, wxEXPAND);
        grid->Add(new wxButton(box, browseId, "Browse"));
        return edit;
    };
    sourceName_ = fileRow("Source", IdSourceName, IdBrowseSource);
    destinationName_ = fileRow("Destination", IdDestinationName, IdBrowseDestination);
    grid->Add(new wxStaticText(box, wxID_ANY, "Direction"), 0, wxALIGN_CENTER_VERTICAL);
    direction_ = new wxChoice(box, IdDirection);
    grid->Add(direction_, 1, wxEXPAND);
    sendFile_ = new wxButton(box, IdSendFile, ResourceText(ids::SerialSendFile));
    grid->Add(sendFile_);
    grid->AddGrowableCol(1);
    group->Add(grid, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* counts = new wxBoxSizer(wxHORIZONTAL);
    counts->Add(new wxStaticText(box, wxID_ANY, "Source:"), 0, wxRIGHT, 4);
    sourceBytes_ = new wxStaticText(box, IdSourceBytes, "0 bytes", wxDefaultPosition, wxSize(140, -1));
    counts->Add(sourceBytes_, 0, wxRIGHT, 20);
    counts->Add(new wxStaticText(box, wxID_ANY, "Destination:"), 0, wxRIGHT, 4);
    destinationBytes_ =
        new wxStaticText(box, IdDestinationBytes, "0 bytes", wxDefaultPosition, wxSize(140, -1));
    counts->Add(destinationBytes_);
    group->Add(counts, 0, wxEXPAND | wxALL, 4);

    wxBoxSizer* progressRow = new wxBoxSizer(wxHORIZONTAL);
    progressRow->Add(new wxStaticText(box, IdProgressLabel, "Progress"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT,
                     6);
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

bool DlgSerial::connect(Port& port) {
    const std::string baud(port.baud->GetStringSelection().utf8_str());
    if (!port.serial.open(portName(port)))
        return false;
    if (!port.serial.configure(serial::LineSettingsText(baud))) {
        port.serial.restoreSettings();
        port.serial.close();
        return false;
    }
    if (port.reader.joinable()) // a reader that ended by itself after a line failure
        port.reader.join();
    uint64_t drained;
    while (read(port.stopEvent, &drained, sizeof drained) > 0) {
    }
    port.decoder.reset();
    port.serial.purge();   // here, not on the reader, so that nothing sent after connecting is lost
    port.connected = true; // before the reader starts, so that early data finds the port connected
    port.readerRunning = true;
    port.reader = std::thread([this, &port] { readLoop(port); });
    return true;
}

bool DlgSerial::disconnect(Port& port) {
    const uint64_t one = 1;
    (void)!write(port.stopEvent, &one, sizeof one);
    if (port.reader.joinable())
        port.reader.join();
    port.serial.restoreSettings();
    if (!port.serial.close())
        return false;
    port.connected = false;
    return true;
}

void DlgSerial::readLoop(Port& port) {
    for (;;) {
        pollfd p[2] = {{port.stopEvent, POLLIN, 0}, {port.serial.fd(), POLLIN, 0}};
        if (poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (p[0].revents & POLLIN)
            break;
        if (!p[1].revents)
            continue;
        char buffer[ReadSize];
        const ssize_t n = port.serial.read(buffer, sizeof buffer, 0);
        if (n < 0) {
            CallAfter([] { showMessage(ids::SerialNotReceived, wxICON_ERROR); });
            break;
        }
        if (n == 0)
            continue;
        const std::wstring text = port.decoder.decode(buffer, static_cast<size_t>(n));
        if (!text.empty())
            CallAfter([&port, text] { port.received->AppendText(wxString(text)); });
    }
    port.readerRunning = false;
}

void DlgSerial::send(Port& port) {
    const std::vector<uint8_t> bytes =
        serial::SendBytes(port.sendText->GetValue().ToStdWstring(), port.lineEnd->GetSelection());
    if (!port.connected) {
        showMessage(ids::SerialNotConnected, wxICON_ERROR);
        return;
    }
    if (!bytes.empty() && !port.serial.write(bytes.data(), bytes.size()))
        showMessage(ids::SerialNotSent, wxICON_ERROR);
}

void DlgSerial::onConnect(Port& port) {
    const wxString label = port.connectButton->GetLabel();
    Port& other = ports_[1 - port.index];
    if (label == ResourceText(ids::SerialConnect)) {
        if (connect(port)) {
            port.sendText->SetFocus();
            port.connectButton->SetLabel(ResourceText(ids::SerialDisconnect));
            enableTransferControls(false);
            if (port.index == 0)
                broadcast_->Disable();
        } else {
            port.connectButton->SetFocus();
            port.connected = false;
            showMessage(ids::SerialCannotOpen, wxICON_ERROR);
        }
    } else if (label == ResourceText(ids::SerialDisconnect)) {
        port.connectButton->SetFocus();
        if (disconnect(port)) {
            port.connectButton->SetLabel(ResourceText(ids::SerialConnect));
            if (!other.connected)
                enableTransferControls(true);
            if (port.index == 0)
                broadcast_->Enable();
        } else {
            showMessage(ids::SerialCannotClose, wxICON_ERROR);
        }
    }
}

void DlgSerial::onBaudChanged(Port& port) {
    if (!port.connected)
        return;
    if (disconnect(port))
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
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                        wxFileSelectorDefaultWildcardStr, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    sourceName_->ChangeValue(dialog.GetPath());
    struct stat info {};
    if (stat(utf8Path(dialog.GetPath()).c_str(), &info) == 0)
        sourceBytes_->SetLabel(withBytes(static_cast<uint64_t>(info.st_size)));
}

void DlgSerial::onBrowseDestination() {
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
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
    SerialTransfer& transfer = transfers_[direction];
    if (transfer.running()) {
        transfer.stop();
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

    // The callbacks run on the transfer thread: they post to the GUI thread, and only while the
    // dialog allows updates (it clears the flag, then joins the thread, before it goes).
    std::shared_ptr<std::atomic<bool>> allowed = updatesAllowed_;
    SerialTransfer::Callbacks callbacks;
    callbacks.progress = [this, allowed](int percent) {
        if (*allowed)
            CallAfter([this, percent] { progress_->SetValue(percent); });
    };
    callbacks.received = [this, allowed](uint64_t received) {
        if (*allowed)
            CallAfter([this, received] { destinationBytes_->SetLabel(withBytes(received)); });
    };
    callbacks.finished = [this, allowed](const SerialTransferResult& result) {
        if (!*allowed)
            return;
        const bool complete = result.complete();
        CallAfter([this, complete] {
            progress_->SetValue(0);
            destinationBytes_->SetLabel("0");
            sendFile_->SetLabel(ResourceText(ids::SerialSendFile));
            if (complete)
                showMessage(ids::SerialTransferComplete, wxICON_INFORMATION);
            else
                showMessage(ids::SerialTransferIncomplete, wxICON_ERROR);
        });
    };
    progress_->SetValue(0);
    if (transfer.start(std::move(job), std::move(callbacks)))
        sendFile_->SetLabel(ResourceText(ids::SerialStop));
}

int ShowSerialTerminal(wxWindow* parent, const CameraEntry& entry) {
    DlgSerial dialog(parent, &entry);
    return dialog.DoModal();
}
