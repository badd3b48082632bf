#include "camera_manager/diagnostics/dialogs/ShowSupportFileDlg.h"

#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/ManagerSettings.h"
#include "camera_manager/diagnostics/dialogs/SupportValueRenderer.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ProfileText.h"

#include <unistd.h>
#include <wx/button.h>
#include <wx/font.h>
#include <wx/treelist.h>

ShowSupportFileDlg::ShowSupportFileDlg(SupportFileHost* owner, std::u16string filePath, std::string bytes,
                                       bool binaryForm)
    : wxDialog(owner ? owner->HostWindow() : nullptr, wxID_ANY, ToWx(filePath), wxDefaultPosition,
               wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxCLIP_CHILDREN),
      m_owner(owner), m_ownerWindow(owner ? owner->HostWindow() : nullptr), m_filePath(std::move(filePath)),
      m_bytes(std::move(bytes)), m_binaryForm(binaryForm) {
    SetBackgroundStyle(wxBG_STYLE_SYSTEM);
    // The template's 542 x 343 dialog units.
    SetClientSize(ConvertDialogToPixels(wxSize(542, 343)));
    TakeInputBesideModalWindows(*this);
    Bind(wxEVT_SIZE, &ShowSupportFileDlg::OnSize, this);
    Bind(wxEVT_CLOSE_WINDOW, &ShowSupportFileDlg::OnClose, this);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_OK);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_CANCEL);
    OnInitDialog();
}

ShowSupportFileDlg::~ShowSupportFileDlg() {
    if (m_owner) {
        m_ownerWindow->Unbind(wxEVT_DESTROY, &ShowSupportFileDlg::OnOwnerDestroyed, this);
        m_owner->RemoveOpenViewer();
    }
}

void ShowSupportFileDlg::OnOwnerDestroyed(wxWindowDestroyEvent& event) {
    event.Skip();
    // The main dialog ends with viewers still open: they go as its children, and it can no
    // longer count them.
    if (event.GetEventObject() == m_ownerWindow)
        m_owner = nullptr;
}

void ShowSupportFileDlg::OnInitDialog() {
    if (m_owner) {
        m_owner->AddOpenViewer();
        m_ownerWindow->Bind(wxEVT_DESTROY, &ShowSupportFileDlg::OnOwnerDestroyed, this);
        const wxRect o = m_ownerWindow->GetScreenRect();
        const wxSize own = GetSize();
        // Centred on the main dialog; the application keeps it inside the screen when it shows.
        Move(o.x + (o.width - own.x) / 2, o.y + (o.height - own.y) / 2);
    }
    const wxPoint placeholder = ConvertDialogToPixels(wxPoint(7, 6));
    const wxSize size = ConvertDialogToPixels(wxSize(528, 309));
    tree = new wxTreeListCtrl(this, IDC_TREE, placeholder, size, long(wxTL_SINGLE) | long(wxBORDER_SUNKEN));
    tree->AppendColumn(ResourceText(ids::ColumnParameter), 430);
    tree->AppendColumn(ResourceText(ids::ColumnValue), 330);
    // The value column draws hot temperatures red: the same column of the tree's data, shown
    // through a renderer of our own.
    wxDataViewCtrl* view = tree->GetDataView();
    view->DeleteColumn(view->GetColumn(1));
    view->AppendColumn(new wxDataViewColumn(ResourceText(ids::ColumnValue), new SupportValueRenderer, 1, 330,
                                            wxALIGN_LEFT, wxDATAVIEW_COL_RESIZABLE));
    const wxPoint closeAt = ConvertDialogToPixels(wxPoint(473, 322));
    closeButton = new wxButton(this, wxID_OK, ResourceText(ids::CloseButton), closeAt,
                               ConvertDialogToPixels(wxSize(62, 15)));
    closeButton->SetDefault();
    SetEscapeId(wxID_OK);

    ReadFile();
    FillTree();
    SetTitle(ToWx(m_filePath));
    m_initialised = true;
    const wxSize client = GetClientSize();
    wxSizeEvent resize(GetSize());
    resize.SetEventObject(this);
    (void)client;
    OnSize(resize);
}

void ShowSupportFileDlg::ReadFile() {
    if (m_binaryForm) {
        const BinarySupportFile file = ReadBinarySupportFile(m_bytes);
        m_incomplete = file.incomplete;
        m_cut = file.cut;
        rows = BuildPagesFromBinary(file);
        return;
    }
    const std::u16string text = DecodeTextSupportFile(m_bytes);
    win::ProfileText profile;
    std::string path;
    if (WriteTemporaryProfile(text, path)) {
        m_tempPath = path;
        if (!win::loadProfileFile(m_tempPath, profile))
            profile = win::ProfileText(text);
        unlink(m_tempPath.c_str());
        m_tempPath = "-1";
    } else {
        // No temporary file: the same text is read from memory.
        profile = win::ProfileText(text);
    }
    rows = BuildPagesFromProfile(profile, &m_incomplete, &m_cut);
}

void ShowSupportFileDlg::InsertRows(const wxTreeListItem& parent, const SupportRow& row) {
    const wxString text = ToWx(row.text);
    const wxTreeListItem item = tree->AppendItem(parent, text.BeforeFirst('\t'));
    if (text.Find('\t') != wxNOT_FOUND)
        tree->SetItemText(item, 1, text.AfterFirst('\t'));
    for (const SupportRow& child : row.children)
        InsertRows(item, child);
    if (row.expanded)
        tree->Expand(item);
}

void ShowSupportFileDlg::FillTree() {
    tree->Freeze();
    for (const SupportRow& row : rows)
        InsertRows(tree->GetRootItem(), row);
    tree->Thaw();
}

void ShowSupportFileDlg::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (!m_initialised)
        return;
    const wxSize client = GetClientSize();
    const wxSize button = closeButton->GetSize();
    closeButton->Move(client.x - 10 - button.x, client.y - 10 - button.y);
    const wxPoint at = tree->GetPosition();
    tree->SetSize(at.x, at.y, std::max(0, client.x - 21), std::max(0, client.y - 55));
    const auto [first, second] = SupportColumnWidths(client.x);
    tree->SetColumnWidth(0, first);
    tree->SetColumnWidth(1, second);
    Refresh();
}

void ShowSupportFileDlg::OnClose(wxCloseEvent&) {
    Destroy();
}
