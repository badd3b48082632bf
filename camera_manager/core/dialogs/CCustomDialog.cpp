#include "camera_manager/core/dialogs/CCustomDialog.h"

#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/display.h>
#include <wx/headerctrl.h>
#include <wx/listctrl.h>
#include <wx/settings.h>

#include "camera_manager/core/controls/CColumnTreeWnd.h"

#include <algorithm>

namespace {

// wx refuses negative sizes; the layout arithmetic itself is not clamped.
void MoveControl(wxWindow* w, const ControlPlacement& p) {
    w->SetSize(p.x, p.y, std::max(0, p.width), std::max(0, p.height), wxSIZE_ALLOW_MINUS_ONE);
    w->Refresh();
}

// Column widths travel as 16-bit values.
int Width16(int width) {
    return std::max(0, static_cast<int>(static_cast<int16_t>(width)));
}

} // namespace

CCustomDialog::CCustomDialog(wxWindow* parent, const wxString& title)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CCustomDialog::OnPaint, this);
}

bool CCustomDialog::OnInitDialog() {
    initialWindowRect = GetScreenRect();
    initialClientRect = wxRect(GetClientSize());
    fullMinWidth = initialWindowRect.GetWidth();
    narrowMinWidth = fullMinWidth - CustomDialogLayout::narrowDelta;
    initialHeight = initialWindowRect.GetHeight();
    for (int id : CustomDialogLayout::hiddenGroupBoxes)
        if (wxWindow* w = FindWindow(id))
            w->Hide();
    for (int id : CustomDialogLayout::recordedControls)
        if (wxWindow* w = FindWindow(id)) {
            const wxRect r = w->GetRect(); // already in client coordinates
            placements[id] = {r.x, r.y, r.width, r.height};
        }
    layoutReady = true;
    return true;
}

bool CCustomDialog::IsExpertMode() const {
    auto* box = dynamic_cast<wxCheckBox*>(FindWindow(1106));
    return box && box->IsChecked();
}

void CCustomDialog::UpdateMinimumWidth() {
    const wxRect area = wxDisplay(this).GetClientArea();
    const int width = CustomDialogLayout::MinimumWidth(layoutReady, IsExpertMode(), fullMinWidth,
                                                       narrowMinWidth, area.GetWidth());
    const auto list = placements.find(1010);
    const int height = CustomDialogLayout::MinimumHeight(
        layoutReady && list != placements.end(), initialHeight,
        list != placements.end() ? list->second.height : 0, area.GetHeight());
    SetMinSize(wxSize(width > 0 ? width : -1, height > 0 ? height : -1));
}

void CCustomDialog::LayoutControls(int, int cx, int cy) {
    CustomDialogLayout::TreeFit fit;
    fit.labelWidth = treeLabelWidth;
    fit.valueWidth = treeValueWidth;
    if (auto* tree = dynamic_cast<CColumnTreeWnd*>(FindWindow(1082))) {
        fit.chrome = treeChrome = tree->ChromeWidth();
        fit.userWidths = {tree->userWidths[0], tree->userWidths[1]};
    }
    const auto layout = CustomDialogLayout::LayoutControls(placements, initialClientRect.GetWidth(),
                                                           initialClientRect.GetHeight(), cx, cy,
                                                           IsExpertMode(), fit, listFit);
    for (const auto& move : layout.moves) {
        wxWindow* w = FindWindow(move.id);
        if (!w)
            continue;
        if (move.id == 1010) {
            w->Freeze();
            MoveControl(w, move.placement);
            if (auto* list = dynamic_cast<wxListCtrl*>(w))
                for (int c = 0; c < list->GetColumnCount() && c < 7; ++c)
                    list->SetColumnWidth(c, Width16(layout.listColumnWidths[c]));
            w->Thaw();
        } else if (move.id == 1082) {
            w->Freeze();
            MoveControl(w, move.placement);
            if (auto* tree = dynamic_cast<CColumnTreeWnd*>(w))
                for (int c = 0; c < tree->GetColumnCount() && c < 2; ++c)
                    tree->SetColumnWidth(c, Width16(layout.treeColumnWidths[c]));
            w->Thaw();
        } else {
            MoveControl(w, move.placement);
        }
    }
    Refresh();
}

void CCustomDialog::DrawGroupFrame(wxDC& dc, int id) {
    wxWindow* box = FindWindow(id);
    if (!box)
        return;
    const wxRect r = box->GetRect();
    const int left = r.GetLeft(), top = r.GetTop(), right = r.GetLeft() + r.GetWidth(),
              bottom = r.GetTop() + r.GetHeight();
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.SetPen(wxPen(wxColour(0xB4, 0xB4, 0xB4), 1));
    dc.DrawRoundedRectangle(left, top + 7, right - left, bottom - 2 - (top + 7), 3);
    const wxString caption = box->GetLabel();
    if (caption.empty())
        return;
    wxFont font(wxFontInfo(wxSize(0, 13)).FaceName(wxT("Tahoma")).Family(wxFONTFAMILY_SWISS));
    dc.SetFont(font);
    // Opaque on white, so the frame line does not run through the caption.
    dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
    dc.SetTextBackground(*wxWHITE);
    dc.SetTextForeground(wxColour(0x00, 0x46, 0xD5));
    dc.DrawText(caption, left + 10, top);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawPoint(left + 9, top + 7);
}

void DrawSizeGrip(wxDC& dc, const wxWindow& window) {
    const wxSize client = window.GetClientSize();
    const int right = client.GetWidth();
    const int bottom = client.GetHeight();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW), 1));
    for (int d : {1, 4, 5, 8, 9, 12, 13})
        dc.DrawLine(right - d, bottom, right, bottom - d);
    dc.SetPen(wxPen(*wxWHITE, 1));
    for (int d : {2, 6, 10, 14})
        dc.DrawLine(right - d, bottom, right, bottom - d);
}

void CCustomDialog::PaintBackground(wxDC& dc) {
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    for (int id : CustomDialogLayout::PaintedGroupFrames(IsExpertMode()))
        DrawGroupFrame(dc, id);
    DrawSizeGrip(dc, *this);
}

void CCustomDialog::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PaintBackground(dc);
}
