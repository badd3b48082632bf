#include "camera_manager/core/controls/CColumnTreeCtrl.h"

#include "camera_manager/core/controls/AccessibleRows.h"
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/ScrollBars.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"

#include <wx/control.h>
#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>
#include <functional>

wxDEFINE_EVENT(EVT_COLUMNTREE_SELCHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_COLUMNTREE_ITEMEXPANDING, wxCommandEvent);
wxDEFINE_EVENT(EVT_COLUMNTREE_SETFOCUS, wxCommandEvent);
wxDEFINE_EVENT(EVT_COLUMNTREE_DBLCLK, wxCommandEvent);

namespace {

wxColour FromReference(unsigned ref) {
    return wxColour(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

wxRect ToWx(const ColumnTreeRules::Rect& r) {
    return wxRect(r.left, r.top, r.Width(), r.Height());
}

// Draws text into a rectangle, cut with an ellipsis when it does not fit; no prefix handling.
void DrawEllipsized(wxDC& dc, const wxString& text, const wxRect& r) {
    if (r.width <= 0 || text.empty())
        return;
    const wxString shown = wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, r.width, wxELLIPSIZE_FLAGS_NONE);
    wxDCClipper clip(dc, r);
    dc.DrawLabel(shown, r, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

} // namespace

CColumnTreeCtrl::CColumnTreeCtrl(CColumnTreeWnd* owner, wxWindowID id)
    : wxVScrolledWindow(owner, id, wxDefaultPosition, wxDefaultSize,
                        wxVSCROLL | wxWANTS_CHARS | wxBORDER_NONE),
      owner(owner) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    rowHeight = std::max(17, dc.GetCharHeight() + 4);
    SetRowCount(0);
    ShowScrollBarsWhileNeeded(this);
    Bind(wxEVT_PAINT, &CColumnTreeCtrl::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CColumnTreeCtrl::OnMouseDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CColumnTreeCtrl::OnMouseDouble, this);
    Bind(wxEVT_KEY_DOWN, &CColumnTreeCtrl::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CColumnTreeCtrl::OnChar, this);
    Bind(wxEVT_SET_FOCUS, &CColumnTreeCtrl::OnSetFocus, this);
    SetAccessibleRows(this, AccessibleRowKind::TreeItem, [this] {
        std::vector<AccessibleRow> rows;
        const int top = static_cast<int>(GetVisibleRowsBegin());
        const int width = GetClientSize().GetWidth();
        for (size_t row = 0; row < visible.size(); ++row) {
            const Item* item = visible[row];
            AccessibleRow said;
            said.name = ToWx(ColumnTreeRules::SpokenItem(FromWx(item->text)));
            said.selected = item == selected;
            said.expandable = !item->children.empty();
            said.expanded = item->expanded;
            said.level = Depth(item) + 1;
            said.parentRow = item->parent ? RowOf(item->parent) : -1;
            said.area = wxRect(0, (static_cast<int>(row) - top) * rowHeight, width, rowHeight);
            rows.push_back(said);
        }
        return rows;
    });
}

CColumnTreeCtrl::~CColumnTreeCtrl() {
    ForgetAccessibleRows(this);
}

void CColumnTreeCtrl::SetStyle(int newStyle) {
    style = newStyle;
    Refresh();
}

CColumnTreeCtrl::Item* CColumnTreeCtrl::InsertItem(const wxString& text, Item* parent, long data, bool bold) {
    auto item = std::make_unique<Item>();
    item->text = text;
    item->data = data;
    item->bold = bold;
    item->parent = parent;
    Item* raw = item.get();
    (parent ? parent->children : roots).push_back(std::move(item));
    if (!parent || (parent->expanded && std::find(visible.begin(), visible.end(), parent) != visible.end()))
        Relist();
    return raw;
}

void CColumnTreeCtrl::DeleteAllItems() {
    const bool hadSelection = selected != nullptr;
    selected = nullptr;
    roots.clear();
    Relist();
    if (hadSelection)
        Notify(EVT_COLUMNTREE_SELCHANGED, nullptr);
}

size_t CColumnTreeCtrl::GetCount() const {
    std::function<size_t(const std::vector<std::unique_ptr<Item>>&)> count =
        [&](const std::vector<std::unique_ptr<Item>>& items) {
            size_t n = items.size();
            for (const auto& i : items)
                n += count(i->children);
            return n;
        };
    return count(roots);
}

void CColumnTreeCtrl::Expand(Item* item, bool expand) {
    if (!item || item->expanded == expand)
        return;
    item->expanded = expand;
    // A collapsed branch cannot keep the selection out of sight: it moves to the node.
    if (!expand && selected) {
        for (Item* p = selected->parent; p; p = p->parent)
            if (p == item) {
                selected = item;
                Notify(EVT_COLUMNTREE_SELCHANGED, item);
                break;
            }
    }
    Relist();
}

void CColumnTreeCtrl::Toggle(Item* item) {
    if (!item || item->children.empty())
        return;
    Notify(EVT_COLUMNTREE_ITEMEXPANDING, item);
    Expand(item, !item->expanded);
}

void CColumnTreeCtrl::SelectItem(Item* item) {
    if (item == selected)
        return;
    if (item) // make it visible
        for (Item* p = item->parent; p; p = p->parent)
            if (!p->expanded) {
                p->expanded = true;
                Relist();
            }
    selected = item;
    const int row = RowOf(item);
    if (row >= 0 && !IsRowVisible(row))
        ScrollToRow(row);
    Refresh();
    NotifyAccessibleRows(this);
    Notify(EVT_COLUMNTREE_SELCHANGED, item);
}

CColumnTreeCtrl::Item* CColumnTreeCtrl::FindItemByData(long data) const {
    std::function<Item*(const std::vector<std::unique_ptr<Item>>&)> find =
        [&](const std::vector<std::unique_ptr<Item>>& items) -> Item* {
        for (const auto& i : items) {
            if (i->data == data)
                return i.get();
            if (Item* hit = find(i->children))
                return hit;
        }
        return nullptr;
    };
    return find(roots);
}

void CColumnTreeCtrl::SetItemText(Item* item, const wxString& text) {
    if (!item || item->text == text)
        return;
    item->text = text;
    const int row = RowOf(item);
    if (row >= 0 && IsRowVisible(static_cast<size_t>(row)))
        RefreshRow(static_cast<size_t>(row));
    NotifyAccessibleRows(this);
}

std::vector<CColumnTreeCtrl::Item*> CColumnTreeCtrl::GetAllItems() const {
    std::vector<Item*> all;
    std::function<void(const std::vector<std::unique_ptr<Item>>&)> walk =
        [&](const std::vector<std::unique_ptr<Item>>& items) {
            for (const auto& i : items) {
                all.push_back(i.get());
                walk(i->children);
            }
        };
    walk(roots);
    return all;
}

void CColumnTreeCtrl::SetScrollRow(int row) {
    if (visible.empty())
        return;
    ScrollToRow(static_cast<size_t>(std::clamp(row, 0, static_cast<int>(visible.size()) - 1)));
}

void CColumnTreeCtrl::Relist() {
    visible.clear();
    std::function<void(const std::vector<std::unique_ptr<Item>>&)> walk =
        [&](const std::vector<std::unique_ptr<Item>>& items) {
            for (const auto& i : items) {
                visible.push_back(i.get());
                if (i->expanded)
                    walk(i->children);
            }
        };
    walk(roots);
    const size_t top = GetVisibleRowsBegin();
    SetRowCount(visible.size());
    if (!visible.empty())
        ScrollToRow(std::min(top, visible.size() - 1));
    Refresh();
    NotifyAccessibleRows(this);
}

int CColumnTreeCtrl::Depth(const Item* item) const {
    int d = 0;
    for (const Item* p = item->parent; p; p = p->parent)
        ++d;
    return d;
}

int CColumnTreeCtrl::RowOf(const Item* item) const {
    const auto it = std::find(visible.begin(), visible.end(), item);
    return it == visible.end() ? -1 : static_cast<int>(it - visible.begin());
}

int CColumnTreeCtrl::LabelLeft(const Item* item) const {
    return (Depth(item) + ((style & LinesAtRoot) ? 1 : 0)) * indent + 3;
}

int CColumnTreeCtrl::TextWidth(const wxString& text, bool bold) const {
    wxClientDC dc(const_cast<CColumnTreeCtrl*>(this));
    wxFont font = GetFont();
    if (bold && owner->languageIndex < 9)
        font.MakeBold();
    dc.SetFont(font);
    return dc.GetTextExtent(text).GetWidth();
}

wxRect CColumnTreeCtrl::GetLabelRect(const Item* item) const {
    const int row = RowOf(item);
    if (row < 0)
        return wxRect();
    const int y = (row - static_cast<int>(GetVisibleRowsBegin())) * rowHeight;
    const int left = LabelLeft(item);
    const wxString piece = ToWx(ColumnTreeRules::Piece(FromWx(item->text), 0).value_or(std::u16string()));
    return wxRect(left, y, TextWidth(piece, item->bold) + 4, rowHeight);
}

wxCoord CColumnTreeCtrl::OnGetRowHeight(size_t) const {
    return rowHeight;
}

void CColumnTreeCtrl::Notify(const wxEventType& type, Item* item) {
    wxCommandEvent event(type, owner->GetId());
    event.SetEventObject(owner);
    event.SetClientData(item);
    owner->GetEventHandler()->ProcessEvent(event);
}

void CColumnTreeCtrl::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
    dc.Clear();
    const size_t begin = GetVisibleRowsBegin();
    const size_t end = std::min(GetVisibleRowsEnd(), visible.size());
    // Only the rows that lie in the damaged area: a changed value redraws its own row.
    const wxRect damaged = GetUpdateRegion().GetBox();
    for (size_t row = begin; row < end; ++row) {
        const int y = static_cast<int>(row - begin) * rowHeight;
        if (y + rowHeight > damaged.GetTop() && y <= damaged.GetBottom())
            DrawRow(dc, visible[row], y);
    }
}

void CColumnTreeCtrl::DrawRow(wxDC& dc, const Item* item, int y) {
    using namespace ColumnTreeRules;
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    std::vector<int> widths(owner->columnWidths,
                            owner->columnWidths + std::min(owner->GetColumnCount(), maxColumns));
    const int first = widths.empty() ? 0 : widths[0];
    const std::u16string text = FromWx(item->text);
    const wxString piece0 = ToWx(Piece(text, 0).value_or(std::u16string()));
    const bool boldFont = item->bold && owner->languageIndex < 9;
    wxFont font = GetFont();
    if (boldFont)
        font.MakeBold();
    dc.SetFont(font);
    const int textWidth = dc.GetTextExtent(piece0).GetWidth();
    const int left = LabelLeft(item);
    const Rect label{left, y, std::min(left + textWidth + 4, std::max(left, first)), y + rowHeight};
    const bool hasChildren = !item->children.empty();
    const bool focusShown = HasFocus() || (style & ShowSelectionAlways);
    const RowGeometry g = RowHighlight(label, textWidth, widths, (style & FullRowSelect) != 0, hasChildren,
                                       item == selected && focusShown);
    if (g.highlighted) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)));
        dc.DrawRectangle(ToWx(g.highlight));
    }
    // Expand button, centred in the indent before the label.
    if (hasChildren && (style & HasButtons)) {
        const int cx = left - 3 - indent / 2;
        const int cy = y + rowHeight / 2;
        dc.SetPen(wxPen(wxColour(0x80, 0x80, 0x80)));
        dc.SetBrush(wxBrush(window));
        dc.DrawRectangle(cx - 4, cy - 4, 9, 9);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawLine(cx - 2, cy, cx + 3, cy);
        if (!item->expanded)
            dc.DrawLine(cx, cy - 2, cx, cy + 3);
    }
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxColour highlightText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    dc.SetTextForeground(g.highlighted ? highlightText
                                       : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    Rect t = FirstColumnTextRect(label, item->bold, owner->languageIndex);
    t.right = std::min(t.right, first - 2);
    DrawEllipsized(dc, piece0, ToWx(t));
    dc.SetFont(GetFont());
    const std::vector<unsigned> colours =
        ValueColours(text, static_cast<int>(widths.size()), g.highlighted, FromWx(owner->dhcpEnabledYes));
    for (int i = 1; i < static_cast<int>(widths.size()); ++i) {
        const auto piece = Piece(text, i);
        if (!piece)
            continue;
        dc.SetTextForeground(FromReference(colours[i - 1]));
        DrawEllipsized(dc, ToWx(*piece), ToWx(ValueTextRect(label, widths, i, owner->textOffset)));
    }
}

void CColumnTreeCtrl::HandleClick(const wxPoint& point, bool doubleClick) {
    const int row = static_cast<int>(GetVisibleRowsBegin()) + point.y / rowHeight;
    Item* item = (point.y >= 0 && row < static_cast<int>(visible.size())) ? visible[row] : nullptr;
    auto takeFocus = [&] {
        if (!HasFocus())
            SetFocus();
    };
    if (!item) {
        takeFocus();
        return;
    }
    auto act = [&] {
        if (doubleClick) {
            Notify(EVT_COLUMNTREE_DBLCLK, item);
            Toggle(item);
        } else {
            SelectItem(item);
        }
    };
    const int x = point.x;
    const int left = LabelLeft(item);
    if (x < left - 3) { // on the indent or the button, not on the label
        if (x < firstColumnWidth) {
            takeFocus();
            const int buttonLeft = left - 3 - indent;
            if (x >= buttonLeft && !item->children.empty() && (style & HasButtons))
                Toggle(item);
            return;
        }
        takeFocus();
        if (x <= totalWidth)
            act();
        return;
    }
    takeFocus();
    if (style & FullRowSelect) {
        if (x < totalWidth)
            act();
        return;
    }
    // Without full-row selection only the text of the first column reacts.
    const wxString piece0 = ToWx(ColumnTreeRules::Piece(FromWx(item->text), 0).value_or(std::u16string()));
    const int right = std::min(left - 3 + TextWidth(piece0, item->bold) + 6, firstColumnWidth);
    if (x < right)
        act();
}

void CColumnTreeCtrl::OnMouseDown(wxMouseEvent& event) {
    HandleClick(event.GetPosition(), false);
}

void CColumnTreeCtrl::OnMouseDouble(wxMouseEvent& event) {
    HandleClick(event.GetPosition(), true);
}

void CColumnTreeCtrl::HandleKey(int key) {
    if (visible.empty())
        return;
    const int row = selected ? RowOf(selected) : -1;
    const int last = static_cast<int>(visible.size()) - 1;
    const int page = std::max(1, GetClientSize().GetHeight() / rowHeight - 1);
    switch (key) {
    case WXK_UP:
        SelectItem(visible[std::max(0, row - 1)]);
        break;
    case WXK_DOWN:
        SelectItem(visible[std::min(last, row + 1)]);
        break;
    case WXK_HOME:
        SelectItem(visible[0]);
        break;
    case WXK_END:
        SelectItem(visible[last]);
        break;
    case WXK_PAGEUP:
        SelectItem(visible[std::max(0, row - page)]);
        break;
    case WXK_PAGEDOWN:
        SelectItem(visible[std::min(last, std::max(0, row) + page)]);
        break;
    case WXK_LEFT:
        if (selected && selected->expanded)
            Toggle(selected);
        else if (selected && selected->parent)
            SelectItem(selected->parent);
        break;
    case WXK_RIGHT:
        if (selected && !selected->children.empty()) {
            if (!selected->expanded)
                Toggle(selected);
            else
                SelectItem(selected->children.front().get());
        }
        break;
    case WXK_ADD:
    case WXK_NUMPAD_ADD:
    case '+':
        if (selected && !selected->expanded)
            Toggle(selected);
        break;
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT:
    case '-':
        if (selected && selected->expanded)
            Toggle(selected);
        break;
    case WXK_RETURN:
        if (selected)
            Toggle(selected);
        break;
    default:
        break;
    }
}

void CColumnTreeCtrl::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    // Tab moves on; a typed character comes as a char event, since the key code is the
    // unshifted key's (plus on the main keyboard is Shift and '=').
    if (key == WXK_TAB || (key > WXK_SPACE && key < WXK_DELETE)) {
        event.Skip();
        return;
    }
    HandleKey(key);
}

void CColumnTreeCtrl::OnChar(wxKeyEvent& event) {
    const wxChar32 typed = event.GetUnicodeKey();
    if (typed == '+' || typed == '-')
        HandleKey(static_cast<int>(typed));
    else
        event.Skip();
}

void CColumnTreeCtrl::OnSetFocus(wxFocusEvent& event) {
    Refresh();
    Notify(EVT_COLUMNTREE_SETFOCUS, selected);
    event.Skip();
}
