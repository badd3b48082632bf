#pragma once

// A static text painted through an off-screen bitmap, so that frequent changes do not flicker.
// The text colour is the window's foreground colour. Screen readers read the text as the
// control's accessible name and description.

#include <wx/window.h>

class CustomStatic : public wxWindow {
public:
    CustomStatic(wxWindow* parent, wxWindowID id, const wxString& label = wxString(),
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    void SetLabel(const wxString& label) override;
    wxString GetLabel() const override { return label; }

    // The text last painted, read from the window text at each paint.
    wxString text;

private:
    void OnPaint(wxPaintEvent& event);
    wxString label;
};
