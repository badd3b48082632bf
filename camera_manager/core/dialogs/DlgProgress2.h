#pragma once

// Progress that its owner moves itself: shown modeless, centred on the owner.

#include <wx/dialog.h>

class wxGauge;

class DlgProgress2 : public wxDialog {
public:
    explicit DlgProgress2(wxWindow* owner);

    // Creates the window at position 1, centres it on the owner and shows it.
    bool Create();
    void CenterOnOwner();
    void SetProgress(int position);
    int GetPosition() const;

private:
    wxWindow* owner;
    wxGauge* bar = nullptr;
};

// The progress template: bar 1329 with "0%" and "100%" under its ends and a hidden OK button.
wxGauge* BuildProgressTemplate(wxDialog* dialog);
