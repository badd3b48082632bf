#pragma once

#include <wx/datetime.h>
#include <wx/dragimag.h>
#include <wx/listctrl.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// A list control that shows an item being dragged inside it: a drag image follows the pointer,
// the cursor shows whether the place accepts the item, and the row under the pointer scrolls
// into view. It moves nothing: the application drops the item on the left-button release and
// reads the dragged index from GetLastDraggedItem().
class PBN_API wxDragListCtrl : public wxListCtrl {
public:
    wxDragListCtrl();
    wxDragListCtrl(wxWindow* parent, const int& id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, const long& style = wxLC_REPORT,
                   const wxValidator& validator = wxDefaultValidator,
                   const wxString& name = wxListCtrlNameStr);
    ~wxDragListCtrl() override;

    bool handleCursor() const { return _handleCursor; }
    void handleCursor(const bool& on) { _handleCursor = on; }
    bool allowDragInPlace() const { return _allowDragInPlace; }
    void allowDragInPlace(const bool& on) { _allowDragInPlace = on; }
    unsigned int scrollTimer() const { return _scrollTimer; }
    void scrollTimer(const unsigned int& ms) { _scrollTimer = ms; }
    long GetLastDraggedItem() const { return _lastDraggedItem; }
    bool isDragging() const { return _dragging; }
    // The window that shows the rows, in whose coordinates item rectangles and HitTest are.
    const wxWindow* rowsWindow() const;

protected:
    void OnDragListBeginDrag(wxListEvent& event);
    void OnDragListMouseUp(wxMouseEvent& event);
    void OnDragListMouseMotion(wxMouseEvent& event);
    void OnDragListCaptureLost(wxMouseCaptureLostEvent& event);
    void connect();
    void disconnect();
    // The cursor set last during a drag.
    wxStockCursor dragCursor() const { return _cursor; }

private:
    void setDefaults();
    void setDragCursor(wxStockCursor cursor);
    void endDrag();
    // The event's position where HitTest expects it: in the rows' window.
    wxPoint rowsPosition(const wxMouseEvent& event) const;

    bool _handleCursor;
    bool _allowDragInPlace;
    unsigned int _scrollTimer;
    bool _dragging;
    long _lastDraggedItem;
    wxDateTime _lastScrollTime;
    wxDragImage* _dragImage;
    wxStockCursor _cursor;

    wxDECLARE_DYNAMIC_CLASS(wxDragListCtrl);
};

} // namespace Widgets
} // namespace PBN
