#pragma once

// wx's list and tree paint their rows themselves on GTK: these give such a control its rows on
// the accessibility bus, with its name, and keep the readers told as rows are selected, opened
// and closed.

#include "camera_manager/core/controls/AccessibleRows.h"

class wxListCtrl;
class wxTreeCtrl;

// The rows of a report list, each said as "column: text, ..." of its non-empty cells.
std::vector<AccessibleRow> AccessibleListRows(const wxListCtrl& list);
// The rows of a tree that are shown (open branches only), in display order.
std::vector<AccessibleRow> AccessibleTreeRows(const wxTreeCtrl& tree);

// Call them right after the control is made; `name` is what a reader says for the control.
void ExposeAccessibleRows(wxListCtrl* list, const wxString& name);
void ExposeAccessibleRows(wxTreeCtrl* tree, const wxString& name);
