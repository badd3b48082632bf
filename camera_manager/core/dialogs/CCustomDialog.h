#pragma once

// Base of the main dialog: records once where every control of the dialog sits, moves and sizes
// them on every resize in the normal or the expert layout, keeps the minimum width of the
// layout, and paints the background itself through one off-screen bitmap, with rounded group
// frames instead of the standard group boxes and a size grip.

#include "camera_manager/core/rules/CustomDialogLayout.h"

#include <wx/dialog.h>

#include <map>

class wxDC;

class CCustomDialog : public wxDialog {
public:
    CCustomDialog(wxWindow* parent, const wxString& title);

    // Records sizes and placements once the derived dialog has built its controls; hides the
    // group boxes the dialog paints itself and makes the layout ready.
    virtual bool OnInitDialog();
    // Places every known control for a client area of cx by cy; nType is not used.
    void LayoutControls(int nType, int cx, int cy);
    void DrawGroupFrame(wxDC& dc, int id);
    // Applies the minimum width of the current mode and the minimum height (none until the layout
    // is ready).
    void UpdateMinimumWidth();
    bool IsExpertMode() const;

    wxRect initialWindowRect;
    wxRect initialClientRect;
    int narrowMinWidth = 0;
    int fullMinWidth = 0;
    int initialHeight = 0;
    bool layoutReady = false;
    std::map<int, ControlPlacement> placements;
    // The widths the tree's columns need for their longest label and value (0: none).
    int treeLabelWidth = 0;
    int treeValueWidth = 0;
    // The tree's border and vertical scroll bar when the columns were last laid out.
    int treeChrome = -1;
    // The widths the list's columns need for their texts in the current language.
    CustomDialogLayout::ListFit listFit;

protected:
    void PaintBackground(wxDC& dc);

private:
    void OnPaint(wxPaintEvent& event);
};

// Paints a window's size grip into the lower-right corner of its client area.
void DrawSizeGrip(wxDC& dc, const wxWindow& window);
