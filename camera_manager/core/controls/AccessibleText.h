#pragma once

// Texts that a control paints itself are invisible to screen readers unless the control says
// them on the accessibility bus: this gives the control's accessible object (GTK's ATK object of
// its widget, which has no text interface) the role of a static text and the text as its name
// and description.

#include <wx/string.h>

class wxWindow;

// Call it whenever the painted text changes.
void SetAccessibleText(wxWindow* window, const wxString& text);
