#pragma once

// The camera manager's main dialog. It owns the two camera lists (0 USB, 1 GigE) and the
// resource library handed over at start-up, and saves its settings when it is destroyed.

#include "camera_manager/core/CamInfoRecord.h"
#include "camera_manager/core/CameraList.h"
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
    void GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation, std::u16string& driverVersion,
                             std::u16string& driverDate);
    // Support-file viewers open: while above 0 the refresh does not take the focus.
    void AddOpenViewer() { ++openViewerCount; }
    void RemoveOpenViewer() { openViewerCount = openViewerCount > 0 ? openViewerCount - 1 : 0; }
    int GetOpenViewerCount() const { return openViewerCount; }

    CameraList cameraLists[2];

protected:
    HINSTANCE resourceLibrary;
    BOOL wow64;
    int openViewerCount = 0;
};
