#pragma once

// The additional-functions dialog (template 474): virtual COM port, processor idle states,
// start parameter set. It may store a COM port offset into the camera entry it is given, which
// stays valid while the dialog runs (the refresh timer is stopped meanwhile). Until it is
// built, DoModal shows nothing and returns wxID_CANCEL.

#include "platform/win/WinApi.h"

class CameraEntry;
class wxWindow;

class AdditionalFunctions {
public:
    enum { IDD = 474 };
    // entry: the selected camera, or null.
    AdditionalFunctions(wxWindow* parent, CameraEntry* entry, BOOL wow64)
        : parent_(parent), entry_(entry), wow64_(wow64) {}
    int DoModal();

private:
    wxWindow* parent_;
    CameraEntry* entry_;
    BOOL wow64_;
};
