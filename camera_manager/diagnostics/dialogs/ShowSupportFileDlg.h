#pragma once

// The modeless support-file viewer: a two-column tree ("Parameter", "Value") with a page per
// camera and the system pages, read once while the window is made. The host counts the open
// viewers; each viewer deletes itself when it is closed.

#include "camera_manager/diagnostics/dialogs/SupportFileHost.h"
#include "camera_manager/diagnostics/records/SupportFilePages.h"

#include <string>
#include <wx/dialog.h>

class wxButton;
class wxTreeListCtrl;
class wxTreeListItem;

class ShowSupportFileDlg : public wxDialog {
public:
    enum { IDD = 246, IDC_TREE = 1082 };

    // bytes: the whole file; binaryForm as the version header said.
    ShowSupportFileDlg(SupportFileHost* owner, std::u16string filePath, std::string bytes, bool binaryForm);
    ~ShowSupportFileDlg() override;

    // The rows shown (tests).
    const std::vector<SupportRow>& Rows() const { return rows; }
    wxTreeListCtrl* Tree() const { return tree; }
    // The path of the temporary profile file while it exists; "-1" otherwise.
    const std::string& TempPath() const { return m_tempPath; }
    // The file ended inside a camera's record: only the whole cameras are shown.
    bool Incomplete() const { return m_incomplete; }
    // Where an incomplete file ends.
    SupportFileCut Cut() const { return m_cut; }

private:
    void OnInitDialog();
    void ReadFile();
    void FillTree();
    void InsertRows(const wxTreeListItem& parent, const SupportRow& row);
    void OnSize(wxSizeEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnOwnerDestroyed(wxWindowDestroyEvent& event);

    SupportFileHost* m_owner;
    // The host's window, kept apart: its destroy event comes when the host's own part is gone.
    wxWindow* m_ownerWindow;
    std::u16string m_filePath;
    std::string m_bytes;
    bool m_binaryForm;
    bool m_initialised = false;
    bool m_incomplete = false;
    SupportFileCut m_cut = SupportFileCut::None;
    std::string m_tempPath = "-1";
    std::vector<SupportRow> rows;
    wxTreeListCtrl* tree = nullptr;
    wxButton* closeButton = nullptr;
};
