#pragma once

// Texts that a control paints itself are invisible to screen readers unless the control says
// them on the accessibility bus: this gives the control's accessible object (GTK's ATK object of
// its widget, which has no text interface) the role of a static text and the text as its name
// and description. Fields and lists get the name a reader says for them, and the label beside a
// field is tied to it, so that a reader takes no other text near it for its label.

#include <wx/string.h>

class wxWindow;

// Call it whenever the painted text changes.
void SetAccessibleText(wxWindow* window, const wxString& text);
// The name of the window's focus widget as readers say it (the rows' container for a control
// with accessible rows, whose name is then set after SetAccessibleRows); a list's inner window,
// which takes the focus for it, is said with the list's name too.
void SetAccessibleName(wxWindow* window, const wxString& name);
// `label` names `field`: the field takes the label's text as its name, and each points to the
// other (labelled by, label for). Call it again when the label's text changes.
void SetAccessibleLabel(wxWindow* label, wxWindow* field);
// Check boxes, radio buttons and group frames under `top` are said with their own text, tied to
// them as their label, so that a reader takes no text before them (the last field's label, the
// caption of the group before) for theirs. Call it once the dialog's controls are made.
void TieOwnLabels(wxWindow* top);
