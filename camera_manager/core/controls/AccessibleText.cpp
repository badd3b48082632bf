#include "camera_manager/core/controls/AccessibleText.h"

#include <gtk/gtk.h>
#include <wx/window.h>

void SetAccessibleText(wxWindow* window, const wxString& text) {
    GtkWidget* widget = window ? static_cast<GtkWidget*>(window->GetHandle()) : nullptr;
    AtkObject* accessible = widget ? gtk_widget_get_accessible(widget) : nullptr;
    if (!accessible)
        return;
    const wxScopedCharBuffer utf8 = text.utf8_str();
    atk_object_set_role(accessible, ATK_ROLE_LABEL);
    atk_object_set_name(accessible, utf8.data());
    atk_object_set_description(accessible, utf8.data());
}
