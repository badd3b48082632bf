#include "camera_manager/core/dialogs/CAboutDlg.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/res/StringIds.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD, ResourceText(ids::CaptionAbout), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(
        new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)), 0,
        wxALL, 10);
    versionText = new wxStaticText(this, 1128, ResourceText(ids::CaptionProgramVersion));
    row->Add(versionText, 1, wxALIGN_CENTER_VERTICAL | wxALL, 10);
    top->Add(row, 1, wxEXPAND);
    auto* ok = new wxButton(this, wxID_OK, wxT("OK"));
    ok->SetDefault();
    top->Add(ok, 0, wxALIGN_RIGHT | wxALL, 10);
    OnInitDialog();
    SetSizerAndFit(top);
    CentreOnParent();
}

void CAboutDlg::OnInitDialog() {
    WCHAR version[40] = {};
    if (GetProgramVersionString(version, sizeof version))
        versionText->SetLabel(versionText->GetLabel() + ToWx(version));
}

wxString CAboutDlg::GetVersionText() const {
    return versionText->GetLabel();
}
