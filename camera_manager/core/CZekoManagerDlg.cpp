#include "camera_manager/core/CZekoManagerDlg.h"

#include "camera_manager/core/HostAdapters.h"
#include "camera_manager/core/StringIds.h"
#include "camera_manager/core/WxText.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

CZekoManagerDlg::CZekoManagerDlg(wxWindow* parent, HINSTANCE resourceLibrary, BOOL wow64)
    : wxDialog(parent, IDD, ResourceText(ids::AppTitle), wxDefaultPosition, wxSize(800, 600),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX),
      resourceLibrary(resourceLibrary), wow64(wow64) {}

CZekoManagerDlg::~CZekoManagerDlg() {
    if (resourceLibrary) {
        if (AfxGetResourceHandle() == resourceLibrary)
            AfxSetResourceHandle(nullptr);
        FreeLibrary(resourceLibrary);
    }
}

void CZekoManagerDlg::ReadCamInfo(const CameraEntry* entry, CamInfoRecord* record) {
    if (!entry || !record)
        return;
    bool opened;
    {
        wxBusyCursor wait;
        opened = ReadCameraInformation(entry->GetDeviceId(), *record);
    }
    if (!opened)
        wxMessageBox(ResourceText(ids::CameraInfoIncomplete), ResourceText(ids::AppTitle),
                     wxOK | wxICON_INFORMATION);
}

void CZekoManagerDlg::GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                                          std::u16string& driverVersion, std::u16string& driverDate) {
    ::GetHostAdapterByMac(mac, designation, driverVersion, driverDate);
}
