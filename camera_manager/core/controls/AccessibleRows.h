#pragma once

// Rows that a control paints itself are invisible to screen readers: this gives the control's
// accessible object (GTK's ATK object of the widget that takes the focus) one accessible child
// per row, with the row's role, its spoken text as name and its selected (in a tree also its
// expanded) state. The control is asked for its rows each time a reader looks, so what is read is
// what is painted.

#include <wx/string.h>

#include <functional>
#include <vector>

class wxWindow;

struct AccessibleRow {
    wxString name;
    bool selected = false;
    bool expandable = false;
    bool expanded = false;
};

enum class AccessibleRowKind { ListItem, TreeItem };

// `rows` is asked until ForgetAccessibleRows.
void SetAccessibleRows(wxWindow* window, AccessibleRowKind kind,
                       std::function<std::vector<AccessibleRow>()> rows);
// No more rows are asked of the window (call it when the control's own part is destroyed).
void ForgetAccessibleRows(wxWindow* window);
// Tells listening readers what changed since they last looked (names, selection, count).
void NotifyAccessibleRows(wxWindow* window);
