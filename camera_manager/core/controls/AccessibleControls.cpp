#include "camera_manager/core/controls/AccessibleControls.h"

#include "camera_manager/core/controls/AccessibleText.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/rules/ListControlRules.h"

#include <wx/listctrl.h>
#include <wx/treectrl.h>

#include <functional>

namespace {

// The window of a generic list that paints the rows and takes the focus.
wxWindow* ItemArea(const wxListCtrl& list) {
    for (wxWindow* child : list.GetChildren())
        if (wxString(child->GetClassInfo()->GetClassName()) == wxT("wxListMainWindow"))
            return child;
    return const_cast<wxListCtrl*>(&list);
}

// Readers are told once every change of one event's handling has been made.
void NotifyLater(wxWindow* control, wxWindow* area) {
    control->CallAfter([area] { NotifyAccessibleRows(area); });
}

} // namespace

std::vector<AccessibleRow> AccessibleListRows(const wxListCtrl& list) {
    std::vector<std::u16string> titles;
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        list.GetColumn(c, column);
        titles.push_back(FromWx(column.GetText()));
    }
    wxWindow* area = ItemArea(list);
    std::vector<AccessibleRow> rows;
    for (long row = 0; row < list.GetItemCount(); ++row) {
        std::vector<std::u16string> cells;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            cells.push_back(FromWx(list.GetItemText(row, c)));
        AccessibleRow said;
        said.name = ToWx(ListControlRules::SpokenRow(titles, cells));
        said.selected = list.GetItemState(row, wxLIST_STATE_SELECTED) != 0;
        // The list's rectangles count from the list's own corner, above its header.
        wxRect r;
        if (list.GetItemRect(row, r))
            said.area = wxRect(area->ScreenToClient(list.ClientToScreen(r.GetPosition())), r.GetSize());
        rows.push_back(said);
    }
    return rows;
}

std::vector<AccessibleRow> AccessibleTreeRows(const wxTreeCtrl& tree) {
    std::vector<AccessibleRow> rows;
    const wxTreeItemId root = tree.GetRootItem();
    if (!root.IsOk())
        return rows;
    std::function<void(const wxTreeItemId&, int, int)> walk = [&](const wxTreeItemId& item, int level,
                                                                  int parentRow) {
        AccessibleRow said;
        said.name = tree.GetItemText(item);
        said.selected = tree.IsSelected(item);
        said.expandable = tree.ItemHasChildren(item);
        said.expanded = tree.IsExpanded(item);
        said.level = level;
        said.parentRow = parentRow;
        wxRect r;
        if (tree.GetBoundingRect(item, r))
            said.area = r;
        const int row = static_cast<int>(rows.size());
        rows.push_back(said);
        if (!tree.IsExpanded(item))
            return;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
             child = tree.GetNextChild(item, cookie))
            walk(child, level + 1, row);
    };
    if (tree.HasFlag(wxTR_HIDE_ROOT)) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(root, cookie); child.IsOk();
             child = tree.GetNextChild(root, cookie))
            walk(child, 1, -1);
    } else {
        walk(root, 1, -1);
    }
    return rows;
}

void ExposeAccessibleRows(wxListCtrl* list, const wxString& name) {
    wxWindow* area = ItemArea(*list);
    SetAccessibleRows(area, AccessibleRowKind::ListItem, [list] { return AccessibleListRows(*list); });
    SetAccessibleName(area, name);
    for (const auto& type : {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_DESELECTED, wxEVT_LIST_INSERT_ITEM,
                             wxEVT_LIST_DELETE_ITEM, wxEVT_LIST_DELETE_ALL_ITEMS})
        list->Bind(type, [list, area](wxListEvent& event) {
            NotifyLater(list, area);
            event.Skip();
        });
    list->Bind(wxEVT_DESTROY, [list, area](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == list)
            ForgetAccessibleRows(area);
        event.Skip();
    });
}

void ExposeAccessibleRows(wxTreeCtrl* tree, const wxString& name) {
    SetAccessibleRows(tree, AccessibleRowKind::TreeItem, [tree] { return AccessibleTreeRows(*tree); });
    SetAccessibleName(tree, name);
    for (const auto& type : {wxEVT_TREE_SEL_CHANGED, wxEVT_TREE_ITEM_EXPANDED, wxEVT_TREE_ITEM_COLLAPSED,
                             wxEVT_TREE_DELETE_ITEM})
        tree->Bind(type, [tree](wxTreeEvent& event) {
            NotifyLater(tree, tree);
            event.Skip();
        });
    tree->Bind(wxEVT_DESTROY, [tree](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == tree)
            ForgetAccessibleRows(tree);
        event.Skip();
    });
}
