#include "camera_manager/core/controls/WindowBehaviour.h"

#include "camera_manager/core/rules/ScreenPlacement.h"

#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

void KeepInsideWorkArea(wxTopLevelWindow& window) {
    const int index = wxDisplay::GetFromWindow(&window);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    const wxRect now = window.GetRect();
    const ScreenPlacement::Rect inside = ScreenPlacement::KeepInside(
        {now.x, now.y, now.width, now.height}, {area.x, area.y, area.width, area.height},
        window.HasFlag(wxRESIZE_BORDER));
    if (inside.width != now.width || inside.height != now.height)
        window.SetSize(inside.x, inside.y, inside.width, inside.height);
    else if (inside.x != now.x || inside.y != now.y)
        window.Move(inside.x, inside.y);
}

void TakeInputBesideModalWindows(wxTopLevelWindow& window) {
    GtkWidget* widget = window.GetHandle();
    if (!widget || !GTK_IS_WINDOW(widget))
        return;
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, GTK_WINDOW(widget));
    g_object_unref(group); // the window holds it from now on
}

void LimitTextLength(wxTextCtrl& field, int length) {
    GtkWidget* widget = field.GetHandle();
    // GTK's entry cuts an insertion at its own limit; wx's limit would stop the insertion whole.
    if (widget && GTK_IS_ENTRY(widget))
        gtk_entry_set_max_length(GTK_ENTRY(widget), length);
    else
        field.SetMaxLength(length);
}
