#pragma once

// The About box (template 100): the program's name with its version (control 1128) and OK.

#include <wx/dialog.h>

class wxStaticText;

class CAboutDlg : public wxDialog {
public:
    enum { IDD = 100 };
    explicit CAboutDlg(wxWindow* parent);

    // The text of control 1128: its template text and the program's version.
    wxString GetVersionText() const;

private:
    void OnInitDialog();
    wxStaticText* versionText = nullptr;
};
