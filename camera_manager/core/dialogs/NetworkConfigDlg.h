#pragma once

// The ETH network service dialog (template 356): the adapters the camera network service is
// bound to, with the selected adapter's MAC address, addresses and DHCP state; switches the
// service's binding for an adapter, sets a static address, and switches 2 KB jumbo packets.
// A 500 ms timer watches the adapter's addresses and warns about missing or odd ones.

#include <wx/dialog.h>
#include <wx/timer.h>

#include <cstdint>
#include <optional>
#include <string>

class CameraList;
class IpAddressCtrl;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticBitmap;
class wxStaticText;
class wxTextCtrl;
class wxTreeCtrl;
class wxTreeItemId;

class NetworkConfigDlg : public wxDialog {
public:
    enum { IDD = 356 };
    // ethCameras: the main dialog's GigE cameras, not owned.
    NetworkConfigDlg(wxWindow* owner, CameraList& ethCameras);
    ~NetworkConfigDlg() override;

    // The handlers, callable by tests as a click would call them.
    void FillServiceTree();
    void OnSelectionChanged();
    void OnChangeService();
    void OnApply();
    void OnEnableDhcp();
    void OnJumbo();
    // One tick of the address check.
    void CheckAddresses();

    CameraList& ethCameras;
    bool ipChanged = false;
    bool filterChanged = false;
    int adapterIndex = -1;
    int packetFilter = 0;
    uint8_t adapterMac[6] = {};
    char16_t bindingToken[255] = {};
    std::optional<std::u16string> pnpDeviceId;
    bool busy = false;
    bool ipWarningHidden = false;
    bool maskWarningHidden = false;
    std::u16string lastIp = u"-2";
    std::u16string lastMask = u"-2";
    int lastIndex = -2;

private:
    void BuildControls();
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOk(wxCommandEvent& event);
    // The service is not installed: close, then say so.
    void CloseForMissingService();
    void SelectAdapterByToken();
    // Shows the binding's adapter; readJumbo: the jumbo box follows the adapter's record.
    void ShowBinding(const std::u16string& token, bool readJumbo);
    bool FindBindingPath(const std::u16string& token, bool& enabled, std::u16string& pnpId) const;
    bool SetBindingEnabled(const std::u16string& token, bool enable);
    void HideAdapterControls();
    void ShowAdapterControls();
    void ShowWarning(wxStaticBitmap* picture, bool show, bool& hidden);
    void ShowMessage(unsigned id, long style);
    int Ask(unsigned id, long style);

    wxTreeCtrl* tree = nullptr;
    wxStaticText* statusText = nullptr;
    wxStaticText* statusCode = nullptr;
    wxStaticText* hint = nullptr;
    wxStaticText* macLabel = nullptr;
    wxTextCtrl* macText = nullptr;
    wxStaticText* ipLabel = nullptr;
    IpAddressCtrl* ipCtrl = nullptr;
    wxStaticText* maskLabel = nullptr;
    IpAddressCtrl* maskCtrl = nullptr;
    wxStaticBitmap* ipWarning = nullptr;
    wxStaticBitmap* maskWarning = nullptr;
    wxStaticText* filterLabel = nullptr;
    wxChoice* filterCombo = nullptr;
    wxStaticText* dhcpText = nullptr;
    wxButton* changeServiceButton = nullptr;
    wxButton* applyButton = nullptr;
    wxButton* dhcpButton = nullptr;
    wxCheckBox* jumboBox = nullptr;
    wxTimer timer;
    bool initialised = false;
    bool filling = false;
    bool closing = false;
};
