#include "camera_manager/core/CZekoManagerDlg.h"

#include "camera_manager/core/HostAdapters.h"
#include "camera_manager/core/StringIds.h"
#include "camera_manager/core/WxText.h"

#include <algorithm>
#include <wx/display.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

CZekoManagerDlg::CZekoManagerDlg(wxWindow* parent, HINSTANCE resourceLibrary, BOOL wow64)
    : wxDialog(parent, IDD, ResourceText(ids::AppTitle), wxDefaultPosition, wxSize(800, 600),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX),
      resourceLibrary(resourceLibrary), wow64(wow64), treeNodes(ReadTreeNodes()),
      checkboxes(ReadCheckboxes()), sort(ReadSortSettings()), refreshTime(ReadRefreshTime()) {
    normalRect = GetRect();
    Bind(wxEVT_MOVE, &CZekoManagerDlg::OnMoveOrSize, this);
    Bind(wxEVT_SIZE, &CZekoManagerDlg::OnMoveOrSize, this);
}

CZekoManagerDlg::~CZekoManagerDlg() {
    SaveSettings();
    if (resourceLibrary) {
        if (AfxGetResourceHandle() == resourceLibrary)
            AfxSetResourceHandle(nullptr);
        FreeLibrary(resourceLibrary);
    }
}

void CZekoManagerDlg::OnMoveOrSize(wxEvent& event) {
    if (!IsMaximized() && !IsIconized())
        normalRect = GetRect();
    event.Skip();
}

void CZekoManagerDlg::SaveSettings() {
    if (settingsSaved)
        return;
    settingsSaved = true;
    DialogPlacement placement;
    placement.x = normalRect.x;
    placement.y = normalRect.y;
    placement.width = normalRect.width;
    placement.height = normalRect.height;
    placement.maximized = IsMaximized();
    SaveSettingsAtClose(treeNodes, checkboxes, placement);
}

void CZekoManagerDlg::RestorePlacement() {
    const wxSize current = GetSize();
    const wxRect area = wxDisplay(this).GetClientArea();
    DialogPlacement p =
        DefaultPlacement(current.x, current.y, treeWidth, checkboxes.expertMode, area.width, area.height);
    p = ReadDialogPlacement(p);
    const wxSize minimum = GetMinSize();
    const DialogPlacement shown = ClampPlacement(p, std::max(minimum.x, 100), std::max(minimum.y, 100),
                                                 area.x, area.y, area.width, area.height);
    SetSize(shown.x, shown.y, shown.width, shown.height);
    normalRect = GetRect();
    if (p.maximized)
        Maximize();
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
