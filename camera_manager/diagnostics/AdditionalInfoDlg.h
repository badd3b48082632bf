#pragma once

// The general-information dialog (template 156): driver and interface versions and the update
// check. Until it is built, DoModal shows nothing and returns wxID_CANCEL.

class wxWindow;

class AdditionalInfoDlg {
public:
    enum { IDD = 156 };
    // languageIndex: 0 to 12, or -1 when no language is chosen.
    AdditionalInfoDlg(wxWindow* parent, int languageIndex) : parent_(parent), languageIndex_(languageIndex) {}
    int DoModal();

private:
    wxWindow* parent_;
    int languageIndex_;
};
