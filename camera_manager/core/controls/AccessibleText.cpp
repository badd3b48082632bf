#include "camera_manager/core/controls/AccessibleText.h"

#include <gtk/gtk.h>
#include <wx/checkbox.h>
#include <wx/control.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/window.h>

namespace {

// The widget that takes the focus: a painting window's drawing area, a field's entry.
AtkObject* FocusAccessible(wxWindow* window) {
    if (!window)
        return nullptr;
    GtkWidget* widget = window->m_wxwindow ? window->m_wxwindow : window->GetConnectWidget();
    return widget ? gtk_widget_get_accessible(widget) : nullptr;
}

} // namespace

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

void SetAccessibleName(wxWindow* window, const wxString& name) {
    const wxScopedCharBuffer utf8 = name.utf8_str();
    if (AtkObject* accessible = FocusAccessible(window))
        atk_object_set_name(accessible, utf8.data());
    // A list's rows are painted by an inner window, which takes the focus for the list: that is
    // the object a reader announces when the dialog opens, so it is said with the list's name.
    auto* list = dynamic_cast<wxListCtrl*>(window);
    if (!list && window)
        list = dynamic_cast<wxListCtrl*>(window->GetParent());
    if (!list)
        return;
    for (wxWindow* child : list->GetChildren())
        if (child != window && static_cast<const void*>(child) == static_cast<const void*>(list->m_mainWin))
            if (AtkObject* inner = FocusAccessible(child))
                atk_object_set_name(inner, utf8.data());
}

void SetAccessibleLabel(wxWindow* label, wxWindow* field) {
    AtkObject* labelObject =
        label ? gtk_widget_get_accessible(static_cast<GtkWidget*>(label->GetHandle())) : nullptr;
    AtkObject* fieldObject = FocusAccessible(field);
    if (!labelObject || !fieldObject)
        return;
    atk_object_set_name(fieldObject, wxControl::RemoveMnemonics(label->GetLabel()).utf8_str().data());
    // Adding a relation that stands already changes nothing.
    atk_object_add_relationship(fieldObject, ATK_RELATION_LABELLED_BY, labelObject);
    atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, fieldObject);
}

void TieOwnLabels(wxWindow* top) {
    if (!top)
        return;
    for (wxWindow* child : top->GetChildren()) {
        TieOwnLabels(child);
        if (!dynamic_cast<wxCheckBox*>(child) && !dynamic_cast<wxRadioButton*>(child) &&
            !dynamic_cast<wxStaticBox*>(child))
            continue;
        GtkWidget* control = child->GetConnectWidget();
        if (GTK_IS_FRAME(child->m_widget))
            control = child->m_widget;
        GtkWidget* label = nullptr;
        if (GTK_IS_FRAME(control))
            label = gtk_frame_get_label_widget(GTK_FRAME(control));
        else if (GTK_IS_BIN(control))
            label = gtk_bin_get_child(GTK_BIN(control));
        if (!label || !GTK_IS_LABEL(label))
            continue;
        AtkObject* controlObject = gtk_widget_get_accessible(control);
        AtkObject* labelObject = gtk_widget_get_accessible(label);
        // A radio button's object adds its group to its relations when they are first asked for,
        // after dropping a group relation it takes for stale; with none there yet but ours, that
        // drop asserts at every read. Asked once before ours is added, the group stands first.
        if (GTK_IS_RADIO_BUTTON(control))
            g_object_unref(atk_object_ref_relation_set(controlObject));
        atk_object_set_name(controlObject, wxControl::RemoveMnemonics(child->GetLabel()).utf8_str().data());
        atk_object_add_relationship(controlObject, ATK_RELATION_LABELLED_BY, labelObject);
        atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, controlObject);
    }
}
