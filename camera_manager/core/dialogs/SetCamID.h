#pragma once

// The camera information dialog (template 103): shows one camera's manufacturer, date of quality
// control and (hidden) version and board revision, and changes its camera ID and the text of its
// user EEPROM. It opens the camera itself when it starts and again when the user confirms.

#include <wx/dialog.h>

#include <string>

class wxStaticBox;
class wxStaticText;
class wxTextCtrl;

class SetCamID : public wxDialog {
public:
    enum { IDD = 103 };
    SetCamID(wxWindow* parent, int deviceId, int cameraId);

    // Reads the camera, then runs the dialog; wxID_CANCEL at once when the camera cannot be opened.
    int ShowModal() override;

    const int deviceId;
    const int cameraId;
    int initialCameraId;
    // The EEPROM's text as read at start (64 characters at most).
    std::u16string eepromText;

private:
    // Fills the fields from the camera; false (after telling the user) when it cannot be opened.
    bool OnInitDialog();
    void OnOK(wxCommandEvent& event);
    void RefuseCameraId(unsigned messageId);
    void ShowError(unsigned messageId, int code);

    wxStaticBox* group;
    wxTextCtrl* manufacturer;
    wxTextCtrl* qcDate;
    wxTextCtrl* version;
    wxStaticText* boardRevisionLabel;
    wxTextCtrl* boardRevision;
    wxTextCtrl* cameraIdField;
    wxTextCtrl* eepromField;
};
