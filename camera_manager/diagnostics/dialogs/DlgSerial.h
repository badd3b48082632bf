#pragma once

// The "Virtual COM port" dialog (template 490): a two-port serial terminal. Port A is the
// camera's virtual COM port (or the broadcast COM port), port B is COM1. Each port has its
// baud rate, a connect button, a line to send with its line end and a field of what arrived.
// The "Send file" group sends a file from one port to the other.
//
// The ports, their reader threads and the transfers belong to the dialog's SerialSession, which
// reports to the dialog on the GUI thread. Closing the dialog ends the session first.

#include "camera_manager/diagnostics/dialogs/SerialSession.h"

#include <memory>
#include <wx/dialog.h>

class CameraEntry;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxGauge;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;

class DlgSerial : public wxDialog, private SerialSessionListener {
public:
    enum { IDD = 490 };
    // entry: the camera whose virtual COM port is port A; not owned, outlives the dialog.
    DlgSerial(wxWindow* parent, const CameraEntry* entry);
    ~DlgSerial() override;
    int DoModal() { return ShowModal(); }

    // The COM number of port A's camera port.
    int cameraComPort() const;

private:
    struct Port {
        int index = 0; // 0 port A, 1 port B
        wxChoice* baud = nullptr;
        wxChoice* lineEnd = nullptr;
        wxButton* connectButton = nullptr;
        wxTextCtrl* sendText = nullptr;
        wxTextCtrl* received = nullptr;
    };

    wxWindow* buildPortGroup(Port& port, wxWindow* parent, wxStaticBox*& box);
    wxWindow* buildTransferGroup(wxWindow* parent);
    std::string portName(const Port& port) const;

    void send(Port& port);
    void showDisconnected(Port& port);

    // SerialSessionListener
    void onReceived(int port, const std::u16string& text) override;
    void onPortLost(int port) override;
    void onTransferProgress(int percent) override;
    void onTransferReceived(uint64_t received) override;
    void onTransferFinished(const SerialTransferResult& result) override;

    void onConnect(Port& port);
    void onBaudChanged(Port& port);
    void onBroadcast();
    void onCharHook(wxKeyEvent& event);
    void onBrowseSource();
    void onBrowseDestination();
    void onSendFile();
    void enableTransferControls(bool enable);
    void updatePortCaption();

    const CameraEntry* entry_;
    Port ports_[2];
    int broadcastPort_ = 255;
    wxString groupCaption_;
    wxStaticBox* groupA_ = nullptr;
    wxCheckBox* broadcast_ = nullptr;
    wxChoice* direction_ = nullptr;
    wxButton* sendFile_ = nullptr;
    wxTextCtrl* sourceName_ = nullptr;
    wxTextCtrl* destinationName_ = nullptr;
    wxStaticText* sourceBytes_ = nullptr;
    wxStaticText* destinationBytes_ = nullptr;
    wxGauge* progress_ = nullptr;
    std::unique_ptr<SerialSession> session_;
};

// Runs the terminal for a camera whose device the caller has opened (and closes afterwards).
int ShowSerialTerminal(wxWindow* parent, const CameraEntry& entry);
