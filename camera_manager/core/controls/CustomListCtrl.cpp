#include "camera_manager/core/controls/CustomListCtrl.h"

#include "camera_manager/core/controls/AccessibleControls.h"
#include "camera_manager/core/controls/ScrollBars.h"
#include "camera_manager/core/controls/WxText.h"

#include "camera_manager/core/controls/CColumnTreeCtrl.h"

#include <wx/dc.h>
#include <wx/settings.h>

#include <algorithm>

namespace {

const wxEventTypeTag<wxListEvent> rowEvents[] = {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_DESELECTED,
                                                 wxEVT_LIST_INSERT_ITEM, wxEVT_LIST_DELETE_ITEM,
                                                 wxEVT_LIST_DELETE_ALL_ITEMS};

ListControlRules::Rect ScreenRect(const wxWindow* w) {
    const wxRect r = w->GetScreenRect();
    return {r.GetLeft(), r.GetTop(), r.GetLeft() + r.GetWidth(), r.GetTop() + r.GetHeight()};
}

} // namespace

CustomListCtrl::CustomListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_THEME) {
    // Mouse events reach the item area, a child of the list, not the list itself.
    GetItemArea()->Bind(wxEVT_MOUSEWHEEL, &CustomListCtrl::OnWheel, this);
    GetItemArea()->Bind(wxEVT_ERASE_BACKGROUND, &CustomListCtrl::OnErase, this);
    Bind(wxEVT_KEY_DOWN, &CustomListCtrl::OnKeyDown, this);
    ShowScrollBarsWhileNeeded(GetItemArea());
    SetAccessibleRows(GetItemArea(), AccessibleRowKind::ListItem, [this] { return AccessibleRows(); });
    // Told once the texts of the changed rows are all set: they are set after the row goes in.
    for (const auto& type : rowEvents)
        Bind(type, &CustomListCtrl::OnRowsChanged, this);
}

CustomListCtrl::~CustomListCtrl() {
    // The base classes delete the rows after this part is gone.
    for (const auto& type : rowEvents)
        Unbind(type, &CustomListCtrl::OnRowsChanged, this);
    ForgetAccessibleRows(GetItemArea());
}

void CustomListCtrl::OnRowsChanged(wxListEvent& event) {
    if (!accessibleNotePending) {
        accessibleNotePending = true;
        CallAfter([this] {
            accessibleNotePending = false;
            NotifyAccessibleRows(GetItemArea());
        });
    }
    event.Skip();
}

std::vector<AccessibleRow> CustomListCtrl::AccessibleRows() const {
    return AccessibleListRows(*this);
}

wxWindow* CustomListCtrl::GetItemArea() const {
    for (wxWindow* child : GetChildren())
        if (wxString(child->GetClassInfo()->GetClassName()) == wxT("wxListMainWindow"))
            return child;
    return const_cast<CustomListCtrl*>(this);
}

void CustomListCtrl::RouteWheel(const wxPoint& p, int delta) {
    using namespace ListControlRules;
    const Rect partnerRect = partner ? ScreenRect(partner) : Rect{};
    switch (ListControlRules::RouteWheel(ScreenRect(this), partnerRect, p.x, p.y)) {
    case WheelTarget::List: {
        // 17 pixels are one row of the list on Windows; the generic list scrolls whole rows of
        // its own height, so one row it is.
        wxRect row;
        const int step = (GetItemCount() > 0 && GetItemRect(0, row)) ? std::max(row.height, 17) : 17;
        ScrollList(0, ListWheelScroll(delta) / wheelListPixels * step);
        break;
    }
    case WheelTarget::Partner:
        partner->Freeze();
        partner->SetScrollRow(PartnerWheelRow(partner->GetScrollRow(), delta));
        partner->Thaw();
        partner->Refresh(true);
        partner->Update();
        break;
    case WheelTarget::None:
        break;
    }
}

void CustomListCtrl::OnWheel(wxMouseEvent& event) {
    RouteWheel(wxGetMousePosition(), event.GetWheelRotation());
}

void CustomListCtrl::OnKeyDown(wxKeyEvent& event) {
    // Tab belongs to the dialog's keyboard navigation (which on Windows takes it before the list
    // sees it), so it goes on to the list's own handling, which moves the focus.
    if (event.GetKeyCode() == WXK_TAB) {
        event.Skip();
        return;
    }
    // The dialog moves the selection itself; the list only passes the key on.
    wxKeyEvent forwarded(event);
    forwarded.SetEventObject(this);
    if (wxWindow* parent = GetParent())
        parent->GetEventHandler()->ProcessEvent(forwarded);
}

std::vector<ListControlRules::EraseFill> CustomListCtrl::EraseAreas() const {
    const wxSize size = GetItemArea()->GetClientSize();
    const ListControlRules::Rect client{0, 0, size.GetWidth(), size.GetHeight()};
    std::optional<ListControlRules::Rect> first, last;
    wxRect r;
    if (GetItemCount() > 0 && GetItemRect(0, r)) {
        first = ListControlRules::Rect{r.GetLeft(), r.GetTop(), r.GetRight() + 1, r.GetBottom() + 1};
        if (GetItemRect(GetItemCount() - 1, r))
            last = ListControlRules::Rect{r.GetLeft(), r.GetTop(), r.GetRight() + 1, r.GetBottom() + 1};
    }
    return ListControlRules::PartialErase(client, 0, first, last, windowsVersion);
}

void CustomListCtrl::OnErase(wxEraseEvent& event) {
    wxDC* dc = event.GetDC();
    if (!dc)
        return;
    for (const auto& fill : EraseAreas()) {
        dc->SetPen(*wxTRANSPARENT_PEN);
        dc->SetBrush(fill.buttonFace ? wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE))
                                     : *wxWHITE_BRUSH);
        dc->DrawRectangle(fill.rect.left, fill.rect.top, fill.rect.Width(), fill.rect.Height());
    }
}
