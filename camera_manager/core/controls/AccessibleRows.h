#pragma once

// Rows that a control paints itself are invisible to screen readers: this gives the control an
// accessible object of its own (in place of GTK's plain container object of the widget that
// takes the focus), with one accessible child per row: the row's role, its spoken text as name,
// its selected (in a tree also its expanded) state, its level in a tree and where it is painted.
// The control is asked for its rows each time a reader looks, so what is read is what is painted.
// No class that GTK's own widgets use is changed: the file chooser and every other dialog of the
// toolkit keep their accessible objects as GTK made them.

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>
#include <vector>

class wxWindow;

struct AccessibleRow {
    wxString name;
    bool selected = false;
    bool expandable = false;
    bool expanded = false;
    // Depth in a tree, 1 for a top-level row; 0 in a list.
    int level = 0;
    // Index of the row whose branch holds this one; -1 for none.
    int parentRow = -1;
    // Where the row is painted, in the window's client coordinates (above or below the client
    // area while it is scrolled out of sight).
    wxRect area;
};

enum class AccessibleRowKind { ListItem, TreeItem };

// `rows` is asked until ForgetAccessibleRows. Call it right after the window is made, before a
// reader or a focus change asks for the window's accessible object.
void SetAccessibleRows(wxWindow* window, AccessibleRowKind kind,
                       std::function<std::vector<AccessibleRow>()> rows);
// No more rows are asked of the window (call it when the control's own part is destroyed).
void ForgetAccessibleRows(wxWindow* window);
// Tells listening readers what changed since they last looked (names, selection, count).
void NotifyAccessibleRows(wxWindow* window);
