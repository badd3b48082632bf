#pragma once

// The manual GigE configuration of the selected camera (template 148): the camera's persistent
// IP address and subnet mask, and the automatic-configuration range and probe time-out of the
// adapter it is paired with. Suggests a range spanning the adapter's network and a free camera
// address found by ARP probes (win::CurrentArpProber).

#include <wx/dialog.h>

#include <string>

class CameraEntry;
class IpAddressCtrl;
class wxButton;
class wxCheckBox;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;

class ManualConfigDlg : public wxDialog {
public:
    enum { IDD = 148 };
    ManualConfigDlg(wxWindow* parent, CameraEntry& entry);

    // Sends what changed (camera, then adapter) and shows what could not be done.
    void Apply();
    // The adapter's whole network as range, probe time-out 100; the camera fields 0.0.0.0.
    void SuggestAdapterRange();
    // The first address of the adapter's network that no ARP reply claims, and the adapter's mask.
    void SuggestCameraAddress();
    // The address field lost the focus: a set address with an empty mask gets the default mask.
    void ApplyDefaultMask();
    void UpdateStatusText();

    CameraEntry& camera;
    // What the fields held at the start or after the last successful change: the reference for
    // "changed".
    std::u16string initialIp, initialMask, initialRangeBegin, initialRangeEnd;
    int initialTimeout = 0;
    int dhcp = 0;

private:
    void BuildControls();
    void OnOK(wxCommandEvent& event);
    void ApplyCamera(int& result);
    void ApplyAdapter(int& result);
    // A field whose text is no address (an edit not yet left) goes back to `initial`.
    void NormaliseField(IpAddressCtrl* field, const std::u16string& initial);
    bool AdapterRangeOrComplain(struct IpRange& range);

    wxStaticBox* cameraGroup = nullptr;
    IpAddressCtrl* ipField = nullptr;
    IpAddressCtrl* maskField = nullptr;
    IpAddressCtrl* rangeBeginField = nullptr;
    IpAddressCtrl* rangeEndField = nullptr;
    wxTextCtrl* timeoutField = nullptr;
    wxButton* applyButton = nullptr;
    wxCheckBox* dhcpBox = nullptr;
    wxStaticText* statusText = nullptr;
};
