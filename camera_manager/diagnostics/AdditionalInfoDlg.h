#pragma once

// The general-information dialog (template 156): the program version, the driver and interface
// files with their versions, the Direct3D libraries, the USB host controllers and network
// adapters, and the update check.

#include "camera_manager/diagnostics/UpdateCheck.h"

#include <vector>

class wxWindow;
class wxDialog;
class wxListCtrl;
class wxTreeCtrl;
class wxStaticText;

class AdditionalInfoDlg {
public:
    enum { IDD = 156 };
    // languageIndex: 0 to 12, or -1 when no language is chosen.
    AdditionalInfoDlg(wxWindow* parent, int languageIndex) : parent_(parent), languageIndex_(languageIndex) {}
    int DoModal();

    // The dialog's window while DoModal runs (tests drive it through this).
    wxDialog* window() const { return dialog_; }
    void CheckForUpdates();
    void OpenSetupPage();

private:
    void OnInitDialog();
    void FillList(wxListCtrl* list, const std::vector<VersionRow>& rows, bool refillUpdate);
    void FillTree();
    void FillNetworkAdapterTree();

    wxWindow* parent_;
    int languageIndex_;
    wxDialog* dialog_ = nullptr;
    wxListCtrl* driverList_ = nullptr;
    wxListCtrl* direct3dList_ = nullptr;
    wxTreeCtrl* tree_ = nullptr;
    wxStaticText* status_ = nullptr;
    std::vector<VersionRow> drivers_, direct3d_;
};
