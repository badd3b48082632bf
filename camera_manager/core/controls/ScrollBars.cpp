#include "camera_manager/core/controls/ScrollBars.h"

#include <gtk/gtk.h>
#include <wx/window.h>

void ShowScrollBarsWhileNeeded(wxWindow* window) {
    GtkWidget* widget = window ? static_cast<GtkWidget*>(window->GetHandle()) : nullptr;
    if (widget && GTK_IS_SCROLLED_WINDOW(widget))
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(widget), FALSE);
}
