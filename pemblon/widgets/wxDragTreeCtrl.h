#pragma once

#include <wx/datetime.h>
#include <wx/timer.h>
#include <wx/treectrl.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// A tree control that shows an item being dragged inside it: the cursor shows whether the place
// accepts the item, the rows scroll (also up from the first visible row), and a collapsed branch
// opens when the pointer rests on it. It moves nothing: the application drops the item in its
// end-drag handler. It can also keep a double click from opening or closing branches.
class PBN_API wxDragTreeCtrl : public wxTreeCtrl {
public:
    wxDragTreeCtrl();
    wxDragTreeCtrl(wxWindow* parent, const int& id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, const long& style = wxTR_DEFAULT_STYLE,
                   const wxValidator& validator = wxDefaultValidator,
                   const wxString& name = wxTreeCtrlNameStr);
    ~wxDragTreeCtrl() override;

    bool expandOnLeftDClick() const { return _expandOnLeftDClick; }
    void expandOnLeftDClick(const bool& on) { _expandOnLeftDClick = on; }
    bool handleCursor() const { return _handleCursor; }
    void handleCursor(const bool& on) { _handleCursor = on; }
    unsigned int scrollTimer() const { return _scrollTimer; }
    void scrollTimer(const unsigned int& ms) { _scrollTimer = ms; }
    bool expandWhileDragging() const { return _expandWhileDragging; }
    void expandWhileDragging(const bool& on) { _expandWhileDragging = on; }
    unsigned int expandWhileDraggingTimer() const { return _expandWhileDraggingTimer; }
    void expandWhileDraggingTimer(const unsigned int& ms) { _expandWhileDraggingTimer = ms; }
    bool allowDragInPlace() const { return _allowDragInPlace; }
    void allowDragInPlace(const bool& on) { _allowDragInPlace = on; }
    wxTreeItemId GetLastDraggedItem() const { return _lastDraggedItem; }
    bool isDragging() const { return _dragging; }

    // The lowest visible row of the item's branch.
    wxTreeItemId GetLastExpandedChild(const wxTreeItemId& item) const;
    // The row shown just above the item; the root for the root.
    wxTreeItemId GetPreviousItem(const wxTreeItemId& item) const;

protected:
    void OnDragTreeStayTimer(wxTimerEvent& event);
    void OnDragTreeLeftDClick(wxMouseEvent& event);
    void OnDragTreeMouseMotion(wxMouseEvent& event);
    void OnDragTreeBeginDrag(wxTreeEvent& event);
    void OnDragTreeEndDrag(wxTreeEvent& event);
    void OnDragTreeItemCollapsing(wxTreeEvent& event);
    void OnDragTreeItemExpanding(wxTreeEvent& event);
    void connect();
    void disconnect();
    // The cursor set last during a drag.
    wxStockCursor dragCursor() const { return _cursor; }

private:
    void setDefaults();
    void setDragCursor(wxStockCursor cursor);

    bool _expandOnLeftDClick;
    bool _handleCursor;
    unsigned int _scrollTimer;
    bool _expandWhileDragging;
    unsigned int _expandWhileDraggingTimer;
    bool _expansionAllowed;
    wxTreeItemId _lastDraggedItem;
    wxDateTime _lastScrollTime;
    wxTimer _stayTimer;
    bool _dragging;
    bool _allowDragInPlace;
    wxStockCursor _cursor;

    wxDECLARE_DYNAMIC_CLASS(wxDragTreeCtrl);
};

} // namespace Widgets
} // namespace PBN
