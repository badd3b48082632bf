#include "camera_manager/core/controls/CColumnTreeWnd.h"

#include "camera_manager/core/controls/ScrollBars.h"
#include "camera_manager/core/controls/WxText.h"

#include "camera_manager/core/rules/ColumnTreeRules.h"

#include <wx/dcclient.h>
#include <wx/headerctrl.h>

#include <algorithm>
#include <vector>

// The header of the column tree: keeps its columns itself, so that the window can set widths.
class ColumnTreeHeader : public wxHeaderCtrl {
public:
    ColumnTreeHeader(wxWindow* parent, wxWindowID id)
        : wxHeaderCtrl(parent, id, wxDefaultPosition, wxDefaultSize, 0) {
        Bind(wxEVT_HEADER_RESIZING, &ColumnTreeHeader::OnResizing, this);
        Bind(wxEVT_HEADER_END_RESIZE, &ColumnTreeHeader::OnResizing, this);
    }
    void Append(const wxString& title, int width) {
        columns.emplace_back(title, std::max(0, width));
        columns.back().SetResizeable(true);
        SetColumnCount(static_cast<unsigned>(columns.size()));
    }
    void SetTitle(unsigned idx, const wxString& title) {
        if (idx < columns.size()) {
            columns[idx].SetTitle(title);
            Redraw(idx);
        }
    }
    void SetWidth(unsigned idx, int width) {
        if (idx < columns.size()) {
            columns[idx].SetWidth(std::max(0, width));
            Redraw(idx);
        }
    }
    int Width(unsigned idx) const { return idx < columns.size() ? columns[idx].GetWidth() : 0; }
    wxString Title(unsigned idx) const { return idx < columns.size() ? columns[idx].GetTitle() : wxString(); }

private:
    // The header redraws from the column's left edge to its own right edge: a header narrower
    // than that (laid out before the window manager's frame is known) would ask GTK to redraw a
    // rectangle of negative width, which pixman reports at every start. Nothing of the column
    // shows then, and the header reads the columns afresh when it is drawn.
    void Redraw(unsigned idx) {
        int left = 0;
        for (unsigned i = 0; i < idx; ++i)
            left += columns[i].GetWidth();
        if (left < GetClientSize().GetWidth())
            UpdateColumn(idx);
    }
    const wxHeaderColumn& GetColumn(unsigned idx) const override { return columns[idx]; }
    bool UpdateColumnWidthToFit(unsigned, int) override { return false; }
    void OnResizing(wxHeaderCtrlEvent& event) {
        SetWidth(event.GetColumn(), event.GetWidth());
        event.Skip(); // the window hears of the change too
    }
    std::vector<wxHeaderColumnSimple> columns;
};

CColumnTreeWnd::CColumnTreeWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    Create(parent, id, pos, size, wxHSCROLL | wxBORDER_THEME);
    ShowScrollBarsWhileNeeded(this);
    tree = new CColumnTreeCtrl(this, 2);
    header = new ColumnTreeHeader(this, 1);
    header->SetFont(tree->GetFont());
    // GTK draws themed controls: the themed inset and header height apply.
    wxClientDC dc(tree);
    dc.SetFont(tree->GetFont());
    headerHeight = dc.GetTextExtent(wxT("A")).GetHeight() + 4 + 3;
    headerHeight = std::max(headerHeight, header->GetBestSize().GetHeight());
    textOffset = 9;
    scrollOffset = 0;
    Bind(wxEVT_SIZE, &CColumnTreeWnd::OnSize, this);
    Bind(wxEVT_SCROLLWIN_TOP, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &CColumnTreeWnd::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &CColumnTreeWnd::OnScroll, this);
    header->Bind(wxEVT_HEADER_RESIZING, &CColumnTreeWnd::OnHeaderChanged, this);
    header->Bind(wxEVT_HEADER_END_RESIZE, &CColumnTreeWnd::OnHeaderChanged, this);
    header->Bind(wxEVT_HEADER_SEPARATOR_DCLICK, &CColumnTreeWnd::OnDividerDoubleClick, this);
    Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
    RecalcColumnWidths();
}

wxHeaderCtrl& CColumnTreeWnd::GetHeader() {
    return *header;
}

void CColumnTreeWnd::InsertColumn(const wxString& title, int width) {
    header->Append(title, width);
}

void CColumnTreeWnd::SetColumnTitle(int column, const wxString& title) {
    header->SetTitle(column, title);
}

wxString CColumnTreeWnd::GetColumnTitle(int column) const {
    return header->Title(column);
}

void CColumnTreeWnd::SetColumnWidth(int column, int width) {
    header->SetWidth(column, width);
    RecalcColumnWidths();
    tree->Refresh();
}

int CColumnTreeWnd::GetColumnCount() const {
    return static_cast<int>(header->GetColumnCount());
}

void CColumnTreeWnd::RecalcColumnWidths() {
    totalWidth = 0;
    const int count = std::min(GetColumnCount(), ColumnTreeRules::maxColumns);
    for (int i = 0; i < count; ++i) {
        columnWidths[i] = header->Width(i);
        totalWidth += columnWidths[i];
        if (i == 0)
            tree->firstColumnWidth = columnWidths[0];
    }
    tree->totalWidth = totalWidth;
    UpdateScroller();
    RepositionControls();
}

int CColumnTreeWnd::ChromeWidth() const {
    return GetSize().GetWidth() - GetClientSize().GetWidth() + tree->GetSize().GetWidth() -
           tree->GetClientSize().GetWidth();
}

int CColumnTreeWnd::ScrolledWidth() const {
    return ColumnTreeRules::ScrolledWidth(totalWidth,
                                          tree->GetSize().GetWidth() - tree->GetClientSize().GetWidth());
}

void CColumnTreeWnd::UpdateScroller() {
    const int page = GetClientSize().GetWidth();
    const int extent = ScrolledWidth();
    scrollOffset = ColumnTreeRules::ClampScrollOffset(scrollOffset, extent, page);
    SetScrollbar(wxHORIZONTAL, scrollOffset, page, extent, true);
}

void CColumnTreeWnd::RepositionControls() {
    if (!tree || !header)
        return;
    const wxSize client = GetClientSize();
    int d = 0;
    int width = client.GetWidth();
    if (client.GetWidth() < ScrolledWidth()) {
        d = scrollOffset;
        width += d;
    }
    header->SetSize(-d, 0, std::max(0, width), headerHeight);
    tree->SetSize(-d, headerHeight, std::max(0, width), std::max(0, client.GetHeight() - headerHeight));
    header->Refresh();
    tree->Refresh();
}

void CColumnTreeWnd::OnSize(wxSizeEvent& event) {
    UpdateScroller();
    RepositionControls();
    event.Skip();
}

void CColumnTreeWnd::ScrollHorizontally(int code, int thumbPosition) {
    const int next = ColumnTreeRules::ScrollTo(static_cast<ColumnTreeRules::ScrollCode>(code), scrollOffset,
                                               thumbPosition, ScrolledWidth(), GetClientSize().GetWidth());
    if (next != scrollOffset) {
        scrollOffset = next;
        SetScrollPos(wxHORIZONTAL, scrollOffset, true);
        RepositionControls();
    }
}

void CColumnTreeWnd::OnScroll(wxScrollWinEvent& event) {
    using ColumnTreeRules::ScrollCode;
    if (event.GetOrientation() != wxHORIZONTAL)
        return;
    const wxEventType t = event.GetEventType();
    ScrollCode code = ScrollCode::Other;
    if (t == wxEVT_SCROLLWIN_LINEUP)
        code = ScrollCode::LineLeft;
    else if (t == wxEVT_SCROLLWIN_LINEDOWN)
        code = ScrollCode::LineRight;
    else if (t == wxEVT_SCROLLWIN_PAGEUP)
        code = ScrollCode::PageLeft;
    else if (t == wxEVT_SCROLLWIN_PAGEDOWN)
        code = ScrollCode::PageRight;
    else if (t == wxEVT_SCROLLWIN_THUMBTRACK || t == wxEVT_SCROLLWIN_THUMBRELEASE)
        code = ScrollCode::ThumbTrack;
    else if (t == wxEVT_SCROLLWIN_TOP)
        code = ScrollCode::LeftEnd;
    else if (t == wxEVT_SCROLLWIN_BOTTOM)
        code = ScrollCode::RightEnd;
    ScrollHorizontally(static_cast<int>(code), event.GetPosition());
}

void CColumnTreeWnd::OnHeaderChanged(wxEvent& event) {
    // The header sends these only for the user's drag.
    const auto& change = static_cast<wxHeaderCtrlEvent&>(event);
    if (change.GetColumn() >= 0 && change.GetColumn() < ColumnTreeRules::maxColumns)
        userWidths[change.GetColumn()] = std::max(1, change.GetWidth());
    RecalcColumnWidths();
    tree->Refresh();
    event.Skip();
}

void CColumnTreeWnd::OnDividerDoubleClick(wxEvent& event) {
    const int column = static_cast<wxHeaderCtrlEvent&>(event).GetColumn();
    AdjustColumnWidth(column, true);
    if (column >= 0 && column < ColumnTreeRules::maxColumns)
        userWidths[column] = std::max(1, header->Width(column));
    event.Skip(); // the owner hears of the change too
}

void CColumnTreeWnd::AdjustColumnWidth(int column, bool visibleOnly) {
    int width = 0;
    for (const auto& root : tree->GetRootItems())
        width = std::max(width, GetMaxColumnWidth(root.get(), column, 0, visibleOnly));
    SetColumnWidth(column, width + 20);
}

int CColumnTreeWnd::GetMaxColumnWidth(const CColumnTreeCtrl::Item* item, int column, int depth,
                                      bool visibleOnly) const {
    int w = 0;
    if (const auto piece = ColumnTreeRules::Piece(FromWx(item->text), column)) {
        // Bold labels are drawn bold (Latin scripts only), so they are measured so. The window
        // measures without a device context: a tree of many rows is measured at every change.
        wxFont font = tree->GetFont();
        if (item->bold && languageIndex < 9)
            font.MakeBold();
        int height = 0;
        tree->GetTextExtent(ToWx(*piece), &w, &height, nullptr, nullptr, &font);
    }
    if (column == 0)
        w += (depth + (item->image >= 0 ? 1 : 0) +
              ((tree->GetStyle() & CColumnTreeCtrl::LinesAtRoot) ? 1 : 0)) *
             tree->GetIndent();
    if (!visibleOnly || item->expanded)
        for (const auto& child : item->children)
            w = std::max(w, GetMaxColumnWidth(child.get(), column, depth + 1, visibleOnly));
    return w;
}
