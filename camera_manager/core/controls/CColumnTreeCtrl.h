#pragma once

// The tree inside the column tree window: an owner-drawn tree whose item texts hold all columns
// joined by '\t'. It keeps its own items, expands and collapses them, selects with mouse and
// keys, scrolls vertically by rows and paints through one off-screen bitmap.

#include <wx/event.h>
#include <wx/vscroll.h>

#include <memory>
#include <vector>

class CColumnTreeWnd;

// Notifications of the tree, sent to the column tree window's parent with the window's own id
// (the item concerned is the event's client data).
wxDECLARE_EVENT(EVT_COLUMNTREE_SELCHANGED, wxCommandEvent);
wxDECLARE_EVENT(EVT_COLUMNTREE_ITEMEXPANDING, wxCommandEvent);
wxDECLARE_EVENT(EVT_COLUMNTREE_SETFOCUS, wxCommandEvent);
wxDECLARE_EVENT(EVT_COLUMNTREE_DBLCLK, wxCommandEvent);

class CColumnTreeCtrl : public wxVScrolledWindow {
public:
    struct Item {
        wxString text;
        long data = 0;
        bool bold = false;
        bool expanded = false;
        int image = -1;
        Item* parent = nullptr;
        std::vector<std::unique_ptr<Item>> children;
    };

    // Style bits read at draw time.
    enum Style { HasButtons = 1, LinesAtRoot = 2, FullRowSelect = 4, ShowSelectionAlways = 8 };

    CColumnTreeCtrl(CColumnTreeWnd* owner, wxWindowID id);
    ~CColumnTreeCtrl() override;

    void SetStyle(int style);
    int GetStyle() const { return style; }
    int GetIndent() const { return indent; }
    int GetRowHeight() const { return rowHeight; }

    Item* InsertItem(const wxString& text, Item* parent = nullptr, long data = 0, bool bold = false);
    void DeleteAllItems();
    const std::vector<std::unique_ptr<Item>>& GetRootItems() const { return roots; }
    size_t GetCount() const;
    // Expands or collapses a node without notifying anyone, as a program does.
    void Expand(Item* item, bool expand);
    static bool IsExpanded(const Item* item) { return item && item->expanded; }
    Item* GetSelectedItem() const { return selected; }
    // Selects an item (null: none) and makes it visible; notifies the parent when it changed.
    void SelectItem(Item* item);
    // Changes an item's text; only its row is drawn again, and only when the text differs.
    void SetItemText(Item* item, const wxString& text);
    // Every item, depth-first (collapsed branches included).
    std::vector<Item*> GetAllItems() const;
    // First item, depth-first, whose data equals `data`.
    Item* FindItemByData(long data) const;
    // Rows currently shown (expanded branches only), in display order.
    const std::vector<Item*>& GetVisibleItems() const { return visible; }
    // The first row shown, the vertical scroll position.
    int GetScrollRow() const { return static_cast<int>(GetVisibleRowsBegin()); }
    void SetScrollRow(int row);
    // Row rectangle of a visible item in client coordinates, and its label rectangle.
    wxRect GetLabelRect(const Item* item) const;

    int firstColumnWidth = 0;
    int totalWidth = 0;

    // Mouse and key handling, also called directly by tests.
    void HandleClick(const wxPoint& point, bool doubleClick);
    void HandleKey(int keyCode);

private:
    wxCoord OnGetRowHeight(size_t row) const override;
    void OnPaint(wxPaintEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnMouseDouble(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void Relist();
    int Depth(const Item* item) const;
    int RowOf(const Item* item) const;
    int LabelLeft(const Item* item) const;
    int TextWidth(const wxString& text, bool bold) const;
    void Toggle(Item* item);
    void Notify(const wxEventType& type, Item* item);
    void DrawRow(wxDC& dc, const Item* item, int y);

    CColumnTreeWnd* owner;
    int style = 0;
    int indent = 19;
    int rowHeight = 17;
    std::vector<std::unique_ptr<Item>> roots;
    std::vector<Item*> visible;
    Item* selected = nullptr;
};
