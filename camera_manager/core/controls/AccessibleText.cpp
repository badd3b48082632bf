#include "camera_manager/core/controls/AccessibleText.h"

#include <gtk/gtk.h>
#include <wx/window.h>

void SetAccessibleText(wxWindow* window, const wxString& text) {
    GtkWidget* widget = window ? static_cast<GtkWidget*>(window->GetHandle()) : nullptr;
    AtkObject* accessible = widget ? gtk_widget_get_accessible(widget) : nullptr;
    if (!accessible)
        return;
    const wxScopedCharBuffer utf8 = text.utf8_str();
    // A static text, not a label: readers ask a label for its text interface, which the widget's
    // accessible object does not have, and every such question prints a toolkit assertion.
    atk_object_set_role(accessible, ATK_ROLE_STATIC);
    atk_object_set_name(accessible, utf8.data());
    atk_object_set_description(accessible, utf8.data());
}
