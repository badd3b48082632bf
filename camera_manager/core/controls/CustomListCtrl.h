#pragma once

// The main dialog's camera list: a wheel turn scrolls the list or, with the cursor over it, the
// parameter tree (the partner); keys go to the dialog; the background is erased only where no
// item is drawn.

#include "camera_manager/core/rules/ListControlRules.h"

#include <wx/listctrl.h>

struct AccessibleRow;

class CColumnTreeCtrl;

class CustomListCtrl : public wxListCtrl {
public:
    CustomListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~CustomListCtrl() override;

    void SetPartner(CColumnTreeCtrl* window) { partner = window; }
    // Handles one wheel turn with the cursor at a screen position; always handled.
    void RouteWheel(const wxPoint& screenPoint, int delta);
    // The areas the erase handler fills, in client coordinates of the list's item area.
    std::vector<ListControlRules::EraseFill> EraseAreas() const;
    wxWindow* GetItemArea() const;
    // The rows as a screen reader reads them, in display order.
    std::vector<AccessibleRow> AccessibleRows() const;

    CColumnTreeCtrl* partner = nullptr;
    int windowsVersion = 0;

private:
    void OnWheel(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnErase(wxEraseEvent& event);
    void OnRowsChanged(wxListEvent& event);
    bool accessibleNotePending = false;
};
