#pragma once

// The additional-functions dialog (template 474): virtual COM port, processor idle states,
// start parameter set. It may store a COM port offset into the camera entry it is given, which
// stays valid while the dialog runs (the refresh timer is stopped meanwhile).

#include "camera_manager/diagnostics/records/ComPortPanel.h"
#include "camera_manager/diagnostics/records/DriverSettings.h"
#include "platform/win/WinApi.h"

#include <functional>
#include <memory>

class CameraEntry;
class wxWindow;
class wxDialog;

class AdditionalFunctions {
public:
    enum { IDD = 474 };
    // entry: the selected camera, or null.
    AdditionalFunctions(wxWindow* parent, CameraEntry* entry, BOOL wow64);
    ~AdditionalFunctions();
    int DoModal();

    // The serial terminal for the opened camera, over the window given; until it exists the seam
    // does nothing. Tests replace it to see it called.
    static std::function<void(wxWindow*, CameraEntry*)> runSerialTerminal;

    wxDialog* window() const { return dialog_; }
    const ComPortPanel* panel() const { return panel_.get(); }

private:
    class Ui;
    void OnInitDialog();
    void ShowComPort();
    void OnSendReceive();

    wxWindow* parent_;
    CameraEntry* entry_;
    BOOL wow64_;
    wxDialog* dialog_ = nullptr;
    ComPortCamera camera_;
    std::unique_ptr<Ui> ui_;
    std::unique_ptr<ComPortPanel> panel_;
    ConfigurationCall config_ = DriverConfiguration();
    uint32_t idleFlags_ = 0;
    bool rebootHintPending_ = true;
    KeyRing keys_;
};
