#include "pemblon/widgets/wxDragTreeCtrl.h"

#include <wx/utils.h>

namespace PBN {
namespace Widgets {

wxIMPLEMENT_DYNAMIC_CLASS(wxDragTreeCtrl, wxTreeCtrl);

wxDragTreeCtrl::wxDragTreeCtrl() {
    setDefaults();
    connect();
}

wxDragTreeCtrl::wxDragTreeCtrl(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                               const long& style, const wxValidator& validator, const wxString& name)
    : wxTreeCtrl(parent, id, pos, size, style, validator, name) {
    setDefaults();
    connect();
}

wxDragTreeCtrl::~wxDragTreeCtrl() {
    _stayTimer.Stop();
    disconnect();
}

void wxDragTreeCtrl::setDefaults() {
    _expandOnLeftDClick = true;
    _handleCursor = true;
    _scrollTimer = 100;
    _expandWhileDragging = true;
    _expandWhileDraggingTimer = 1000;
    _expansionAllowed = true;
    _lastDraggedItem = wxTreeItemId();
    _lastScrollTime = wxDateTime();
    _stayTimer.SetOwner(this, 0);
    _dragging = false;
    _allowDragInPlace = false;
    _cursor = wxCURSOR_NONE;
}

void wxDragTreeCtrl::connect() {
    Bind(wxEVT_TIMER, &wxDragTreeCtrl::OnDragTreeStayTimer, this, 0);
    Bind(wxEVT_LEFT_DCLICK, &wxDragTreeCtrl::OnDragTreeLeftDClick, this);
    Bind(wxEVT_MOTION, &wxDragTreeCtrl::OnDragTreeMouseMotion, this);
    Bind(wxEVT_COMMAND_TREE_BEGIN_DRAG, &wxDragTreeCtrl::OnDragTreeBeginDrag, this);
    Bind(wxEVT_COMMAND_TREE_END_DRAG, &wxDragTreeCtrl::OnDragTreeEndDrag, this);
    Bind(wxEVT_COMMAND_TREE_ITEM_COLLAPSING, &wxDragTreeCtrl::OnDragTreeItemCollapsing, this);
    Bind(wxEVT_COMMAND_TREE_ITEM_EXPANDING, &wxDragTreeCtrl::OnDragTreeItemExpanding, this);
}

void wxDragTreeCtrl::disconnect() {
    Unbind(wxEVT_TIMER, &wxDragTreeCtrl::OnDragTreeStayTimer, this, 0);
    Unbind(wxEVT_LEFT_DCLICK, &wxDragTreeCtrl::OnDragTreeLeftDClick, this);
    Unbind(wxEVT_MOTION, &wxDragTreeCtrl::OnDragTreeMouseMotion, this);
    Unbind(wxEVT_COMMAND_TREE_BEGIN_DRAG, &wxDragTreeCtrl::OnDragTreeBeginDrag, this);
    Unbind(wxEVT_COMMAND_TREE_END_DRAG, &wxDragTreeCtrl::OnDragTreeEndDrag, this);
    Unbind(wxEVT_COMMAND_TREE_ITEM_COLLAPSING, &wxDragTreeCtrl::OnDragTreeItemCollapsing, this);
    Unbind(wxEVT_COMMAND_TREE_ITEM_EXPANDING, &wxDragTreeCtrl::OnDragTreeItemExpanding, this);
}

void wxDragTreeCtrl::setDragCursor(wxStockCursor cursor) {
    _cursor = cursor;
    SetCursor(wxCursor(cursor));
}

wxTreeItemId wxDragTreeCtrl::GetLastExpandedChild(const wxTreeItemId& item) const {
    if (item.IsOk() && ItemHasChildren(item) && IsExpanded(item)) {
        const wxTreeItemId last = GetLastChild(item);
        if (last.IsOk()) {
            return GetLastExpandedChild(last);
        }
    }
    return item;
}

wxTreeItemId wxDragTreeCtrl::GetPreviousItem(const wxTreeItemId& item) const {
    const wxTreeItemId root = GetRootItem();
    if (item == root) {
        return root;
    }
    const wxTreeItemId sibling = GetPrevSibling(item);
    if (sibling.IsOk()) {
        return GetLastExpandedChild(sibling);
    }
    const wxTreeItemId parent = GetItemParent(item);
    return parent.IsOk() ? parent : root;
}

void wxDragTreeCtrl::OnDragTreeBeginDrag(wxTreeEvent& event) {
    event.Allow();
    _lastDraggedItem = event.GetItem();
    _dragging = true;
    // Not passed on: the generic tree starts its drag only when the event counts as processed.
}

void wxDragTreeCtrl::OnDragTreeMouseMotion(wxMouseEvent& event) {
    if (!_dragging) {
        event.Skip();
        return;
    }
    const wxDateTime now = wxDateTime::UNow();
    if (_lastScrollTime.IsValid() && (now - _lastScrollTime).GetMilliseconds() <= _scrollTimer) {
        return; // not passed on
    }
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (_handleCursor) {
        const bool refused = !item.IsOk() || (!_allowDragInPlace && item == _lastDraggedItem);
        setDragCursor(refused ? wxCURSOR_NO_ENTRY : wxCURSOR_ARROW);
    }
    if (item.IsOk()) {
        if (item == GetFirstVisibleItem()) {
            const wxTreeItemId previous = GetPreviousItem(item);
            if (previous.IsOk() && previous != GetRootItem()) {
                EnsureVisible(previous);
            }
        } else {
            EnsureVisible(item);
        }
    }
    _lastScrollTime = now;
    if (_expandWhileDragging) {
        _stayTimer.Start(static_cast<int>(_expandWhileDraggingTimer), wxTIMER_CONTINUOUS);
    }
    event.Skip();
}

void wxDragTreeCtrl::OnDragTreeStayTimer(wxTimerEvent&) {
    if (!_dragging) {
        return;
    }
    int flags = 0;
    const wxTreeItemId item = HitTest(ScreenToClient(wxGetMousePosition()), flags);
    if (item.IsOk() && ItemHasChildren(item) && !IsExpanded(item)) {
        Expand(item);
    }
}

void wxDragTreeCtrl::OnDragTreeEndDrag(wxTreeEvent& event) {
    if (_handleCursor) {
        setDragCursor(wxCURSOR_ARROW);
    }
    _stayTimer.Stop();
    _dragging = false;
    event.Skip();
}

void wxDragTreeCtrl::OnDragTreeLeftDClick(wxMouseEvent& event) {
    if (!_expandOnLeftDClick) {
        int flags = 0;
        const wxTreeItemId item = HitTest(event.GetPosition(), flags);
        // Only a branch has an expansion to keep back; a leaf would leave the flag set and
        // swallow the user's next real expansion.
        if (item.IsOk() && ItemHasChildren(item)) {
            _expansionAllowed = false;
        }
    }
    event.Skip();
}

void wxDragTreeCtrl::OnDragTreeItemExpanding(wxTreeEvent& event) {
    if (!_expandOnLeftDClick && !_expansionAllowed) {
        // Not passed on: the generic tree honours a veto only of an event that was processed.
        event.Veto();
        _expansionAllowed = true;
        return;
    }
    event.Skip();
}

void wxDragTreeCtrl::OnDragTreeItemCollapsing(wxTreeEvent& event) {
    if (!_expandOnLeftDClick && !_expansionAllowed) {
        event.Veto();
        _expansionAllowed = true;
        return;
    }
    event.Skip();
}

} // namespace Widgets
} // namespace PBN
