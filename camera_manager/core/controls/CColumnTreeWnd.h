#pragma once

// A tree with columns: a header (child id 1) above the owner-drawn tree (child id 2). The window
// keeps the two in step, scrolls them horizontally together by moving them left, and holds the
// column geometry the tree draws with. The tree's notifications reach the window's parent with
// the window's own id.

#include "camera_manager/core/controls/CColumnTreeCtrl.h"

#include <wx/containr.h>
#include <wx/window.h>

class wxHeaderCtrl;
class ColumnTreeHeader;

// The window holds the keyboard focus for the tree: Tab and a click give it to the tree itself,
// and Tab from the tree goes on to the dialog's next control.
class CColumnTreeWnd : public wxNavigationEnabled<wxWindow> {
public:
    CColumnTreeWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);

    CColumnTreeCtrl& GetTree() { return *tree; }
    wxHeaderCtrl& GetHeader();

    // Header columns, kept by the window (the owner adds them, then calls RecalcColumnWidths).
    void InsertColumn(const wxString& title, int width);
    void SetColumnTitle(int column, const wxString& title);
    wxString GetColumnTitle(int column) const;
    void SetColumnWidth(int column, int width);
    int GetColumnCount() const;

    void RecalcColumnWidths();
    void SetLanguageIndex(int index) { languageIndex = index; }
    int GetLanguageIndex() const { return languageIndex; }
    void UpdateScroller();
    void RepositionControls();
    // Header divider double click: the widest text of the column among the visible items + 20.
    void AdjustColumnWidth(int column, bool visibleOnly);
    int GetMaxColumnWidth(const CColumnTreeCtrl::Item* item, int column, int depth, bool visibleOnly) const;
    // Horizontal scrolling (tests call it with the codes of ColumnTreeRules::ScrollCode).
    void ScrollHorizontally(int code, int thumbPosition);
    // The window's width that no column can take: its border and the rows' vertical scroll bar
    // while it shows.
    int ChromeWidth() const;

    int headerHeight = 0;
    int totalWidth = 0;
    int scrollOffset = 0;
    int columnWidths[16] = {};
    // Widths the user gave columns by dragging or double-clicking their divider (0: none); the
    // owner's layout keeps them.
    int userWidths[16] = {};
    int textOffset = 9;
    int languageIndex = 0;
    // The one item text whose values are drawn red: "DHCP enabled", tab, "Yes" in the current language.
    wxString dhcpEnabledYes = wxT("DHCP enabled\tYes");

private:
    void OnSize(wxSizeEvent& event);
    void OnScroll(wxScrollWinEvent& event);
    void OnHeaderChanged(wxEvent& event);
    void OnDividerDoubleClick(wxEvent& event);
    int ScrolledWidth() const;

    CColumnTreeCtrl* tree = nullptr;
    ColumnTreeHeader* header = nullptr;
};
