#include "camera_manager/core/controls/CustomStatic.h"

#include "camera_manager/core/controls/AccessibleText.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

CustomStatic::CustomStatic(wxWindow* parent, wxWindowID id, const wxString& initial, const wxPoint& pos,
                           const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_NONE), label(initial) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CustomStatic::OnPaint, this);
    SetAccessibleText(this, label);
}

void CustomStatic::SetLabel(const wxString& newLabel) {
    if (newLabel == label)
        return;
    label = newLabel;
    SetAccessibleText(this, label);
    Refresh();
}

void CustomStatic::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    text = label;
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetForegroundColour());
    // Word-wrapped into the width, as a multi-line static shows it.
    const int width = GetClientSize().GetWidth();
    wxString line, wrapped;
    for (const wxString& word : wxSplit(text, ' ', 0)) {
        const wxString candidate = line.empty() ? word : line + wxT(" ") + word;
        if (!line.empty() && dc.GetTextExtent(candidate).GetWidth() > width) {
            wrapped += line + wxT("\n");
            line = word;
        } else {
            line = candidate;
        }
    }
    wrapped += line;
    dc.DrawText(wrapped, 0, 0);
}
