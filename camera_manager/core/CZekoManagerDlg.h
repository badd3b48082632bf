#pragma once

// The camera manager's main dialog. It owns the two camera lists (0 USB, 1 GigE) and the
// resource library handed over at start-up, reads its settings when it is made and saves them
// when it is destroyed.

#include "camera_manager/core/CamInfoRecord.h"
#include "camera_manager/core/CameraList.h"
#include "camera_manager/core/ManagerSettings.h"
#include "platform/win/ResourceStrings.h"

#include <string>
#include <wx/dialog.h>

class CZekoManagerDlg : public wxDialog {
public:
    enum { IDD = 102 };

    // resourceLibrary: the language library loaded at start-up (null: the program's own
    // strings); the dialog frees it. wow64: the application's WOW64 flag.
    CZekoManagerDlg(wxWindow* parent, HINSTANCE resourceLibrary, BOOL wow64);
    ~CZekoManagerDlg() override;

    // Reads the camera information of the entry; shows string 473 when the camera cannot be
    // opened.
    void ReadCamInfo(const CameraEntry* entry, CamInfoRecord* record);
    // The host adapter with the MAC text; the outputs stay as given when none matches.
    void GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                             std::u16string& driverVersion, std::u16string& driverDate);
    // Support-file viewers open: while above 0 the refresh does not take the focus.
    void AddOpenViewer() { ++openViewerCount; }
    void RemoveOpenViewer() { openViewerCount = openViewerCount > 0 ? openViewerCount - 1 : 0; }
    int GetOpenViewerCount() const { return openViewerCount; }

    // Support-file commands (buttons 1104 and 1145; 1143).
    void CreateSupportFile();
    void OpenSupportFile();

    // Places the dialog from the stored placement (defaults: centred, narrow unless in expert
    // mode), kept inside the visible screen area.
    void RestorePlacement();
    // Writes tree nodes, check boxes and placement, in that order (once; the destructor calls it).
    void SaveSettings();

    CameraList cameraLists[2];

protected:
    void OnMoveOrSize(wxEvent& event);

    HINSTANCE resourceLibrary;
    BOOL wow64;
    int openViewerCount = 0;
    TreeNodeStates treeNodes;
    CheckboxStates checkboxes;
    SortSettings sort;
    uint32_t refreshTime;
    // Width of the parameter tree, hidden in the narrow layout.
    int treeWidth = 0;
    // The last rectangle while neither maximised nor minimised.
    wxRect normalRect;
    bool settingsSaved = false;
};
