#pragma once

// The general-information dialog (template 156): the program version, the driver and interface
// files with their versions, the Direct3D libraries, the USB host controllers and network
// adapters, and the update check.

#include "camera_manager/diagnostics/records/UpdateCheck.h"

#include <memory>
#include <thread>
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
    // Starts the update check: the download runs on a worker while the dialog goes on working,
    // with the wait cursor and "Check updates" turned into "Cancel". Its end is handled on the
    // dialog's thread.
    void CheckForUpdates();
    // Stops a running check; the lists stay as they were.
    void CancelUpdateCheck();
    bool IsCheckingUpdates() const { return checking_ != nullptr; }
    // The marker of a row: "-1" until checked, then "0" to "3" (UpdateMarker).
    const std::u16string& Marker(VersionList list, size_t row) const {
        return (list == VersionList::Drivers ? drivers_ : direct3d_).at(row).marker;
    }
    void OpenSetupPage();

private:
    void OnInitDialog();
    void FillList(wxListCtrl* list, const std::vector<VersionRow>& rows, bool refillUpdate);
    void FillTree();
    void FillNetworkAdapterTree();
    void FinishUpdateCheck(const DownloadResult& download);
    void EndUpdateCheck();

    wxWindow* parent_;
    int languageIndex_;
    wxDialog* dialog_ = nullptr;
    wxListCtrl* driverList_ = nullptr;
    wxListCtrl* direct3dList_ = nullptr;
    wxTreeCtrl* tree_ = nullptr;
    wxStaticText* status_ = nullptr;
    std::vector<VersionRow> drivers_, direct3d_;
    // The running check's cancel switch; null when no check runs.
    std::shared_ptr<DownloadCancel> checking_;
    std::thread worker_;
};
