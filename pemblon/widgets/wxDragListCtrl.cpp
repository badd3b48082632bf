#include "pemblon/widgets/wxDragListCtrl.h"

#include <wx/utils.h>

namespace PBN {
namespace Widgets {

wxIMPLEMENT_DYNAMIC_CLASS(wxDragListCtrl, wxListCtrl);

wxDragListCtrl::wxDragListCtrl() {
    setDefaults();
    connect();
}

wxDragListCtrl::wxDragListCtrl(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                               const long& style, const wxValidator& validator, const wxString& name)
    : wxListCtrl(parent, id, pos, size, style, validator, name) {
    setDefaults();
    connect();
}

wxDragListCtrl::~wxDragListCtrl() {
    disconnect();
    delete _dragImage;
}

void wxDragListCtrl::setDefaults() {
    _handleCursor = true;
    _allowDragInPlace = false;
    _scrollTimer = 100;
    _dragging = false;
    _lastDraggedItem = -1;
    _lastScrollTime = wxDateTime();
    _dragImage = nullptr;
    _cursor = wxCURSOR_NONE;
}

void wxDragListCtrl::connect() {
    Bind(wxEVT_COMMAND_LIST_BEGIN_DRAG, &wxDragListCtrl::OnDragListBeginDrag, this);
    Bind(wxEVT_LEFT_UP, &wxDragListCtrl::OnDragListMouseUp, this);
    Bind(wxEVT_MOTION, &wxDragListCtrl::OnDragListMouseMotion, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &wxDragListCtrl::OnDragListCaptureLost, this);
}

void wxDragListCtrl::disconnect() {
    Unbind(wxEVT_COMMAND_LIST_BEGIN_DRAG, &wxDragListCtrl::OnDragListBeginDrag, this);
    Unbind(wxEVT_LEFT_UP, &wxDragListCtrl::OnDragListMouseUp, this);
    Unbind(wxEVT_MOTION, &wxDragListCtrl::OnDragListMouseMotion, this);
    Unbind(wxEVT_MOUSE_CAPTURE_LOST, &wxDragListCtrl::OnDragListCaptureLost, this);
}

void wxDragListCtrl::setDragCursor(wxStockCursor cursor) {
    _cursor = cursor;
    SetCursor(wxCursor(cursor));
}

wxPoint wxDragListCtrl::rowsPosition(const wxMouseEvent& event) const {
    // While the drag image holds the capture the events arrive in this window's coordinates;
    // otherwise the rows' window passes its own on. HitTest wants the rows' window's.
    if (GetCapture() != this) {
        return event.GetPosition();
    }
    const wxWindow* rows = rowsWindow();
    return rows != nullptr ? rows->ScreenToClient(ClientToScreen(event.GetPosition())) : event.GetPosition();
}

const wxWindow* wxDragListCtrl::rowsWindow() const {
    // The generic list's children are its column header (report view only) and, below it and
    // taller than it, the window that shows the rows.
    const wxWindow* rows = nullptr;
    for (const wxWindow* child : GetChildren()) {
        if (rows == nullptr || child->GetSize().GetHeight() > rows->GetSize().GetHeight()) {
            rows = child;
        }
    }
    return rows;
}

void wxDragListCtrl::OnDragListBeginDrag(wxListEvent& event) {
    _lastDraggedItem = event.GetIndex();
    _dragging = true;
    delete _dragImage;
    _dragImage = new wxDragImage(*this, _lastDraggedItem);
    // The generic drag image captures the mouse on this window and releases it in EndDrag.
    if (_dragImage->BeginDrag(wxPoint(-10, -10), this, false)) {
        _dragImage->Show();
    }
    event.Skip();
}

void wxDragListCtrl::OnDragListMouseMotion(wxMouseEvent& event) {
    event.Skip();
    if (!_dragging) {
        return;
    }
    const wxDateTime now = wxDateTime::UNow();
    // Within the pause after a scroll the movement is passed on and nothing else happens: the
    // drag image stays where it is until the pause is over.
    if (_lastScrollTime.IsValid() && (now - _lastScrollTime).GetMilliseconds() <= _scrollTimer) {
        return;
    }
    if (_dragImage != nullptr) {
        _dragImage->Move(event.GetPosition());
    }
    int flags = 0;
    const long item = HitTest(rowsPosition(event), flags);
    if (_handleCursor) {
        if (!GetScreenRect().Contains(wxGetMousePosition())) {
            setDragCursor(wxCURSOR_NO_ENTRY);
            return;
        }
        setDragCursor(!_allowDragInPlace && item == _lastDraggedItem ? wxCURSOR_NO_ENTRY : wxCURSOR_ARROW);
    }
    if (item != -1) {
        const long top = GetTopItem();
        EnsureVisible(item);
        if (GetTopItem() != top) {
            // Only a real scroll starts the pause.
            _lastScrollTime = now;
        }
    }
}

void wxDragListCtrl::endDrag() {
    if (_dragImage != nullptr) {
        _dragImage->Hide();
        _dragImage->EndDrag();
        delete _dragImage;
        _dragImage = nullptr;
    }
    _dragging = false;
}

void wxDragListCtrl::OnDragListMouseUp(wxMouseEvent& event) {
    if (_dragging) {
        setDragCursor(wxCURSOR_ARROW);
        endDrag();
    }
    event.Skip();
}

void wxDragListCtrl::OnDragListCaptureLost(wxMouseCaptureLostEvent&) {
    // Processed, as wx requires of a window that held the capture.
    if (_dragging) {
        setDragCursor(wxCURSOR_ARROW);
        endDrag();
    }
}

} // namespace Widgets
} // namespace PBN
