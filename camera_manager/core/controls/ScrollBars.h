#pragma once

// GTK draws scroll bars as overlays that appear only while the pointer moves or the view
// scrolls, so a list with hidden rows looks complete. The camera manager's lists show their
// scroll bar whenever rows are hidden, taking room beside the rows as a classic one does.

class wxWindow;

// For a window that scrolls itself (its widget a GtkScrolledWindow); others are left alone.
void ShowScrollBarsWhileNeeded(wxWindow* window);
