#include "camera_manager/core/controls/WindowBehaviour.h"

#include "camera_manager/core/rules/ScreenPlacement.h"

#include <chrono>
#include <cstring>
#include <gtk/gtk.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

namespace {

// Runs after wx's own handler of the insertion, which lets everything through while GTK's entry
// has no limit of its own (with one it would refuse an insertion that does not fit whole).
void cutInsertion(GtkEditable* editable, const gchar* text, gint bytes, gint* position, gpointer limit) {
    const glong room = GPOINTER_TO_INT(limit) - glong(gtk_entry_get_text_length(GTK_ENTRY(editable)));
    const gssize size = bytes < 0 ? gssize(strlen(text)) : gssize(bytes);
    if (g_utf8_strlen(text, size) <= room)
        return;
    g_signal_stop_emission_by_name(editable, "insert-text");
    if (room <= 0) {
        gtk_widget_error_bell(GTK_WIDGET(editable));
        return;
    }
    // The part that fits goes in as a new insertion, which this handler then lets through.
    const gchar* cut = g_utf8_offset_to_pointer(text, room);
    gtk_editable_insert_text(editable, text, gint(cut - text), position);
}

// Moves (and, when it may be resized, shrinks) the window standing at `now` into the work area
// of its display. `moveAnyway` moves it also where wx believes it stands there already.
void placeInside(wxTopLevelWindow& window, const wxRect& now, bool moveAnyway) {
    const int index = wxDisplay::GetFromWindow(&window);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    const ScreenPlacement::Rect inside = ScreenPlacement::KeepInside(
        {now.x, now.y, now.width, now.height}, {area.x, area.y, area.width, area.height},
        window.HasFlag(wxRESIZE_BORDER));
    if (inside.width != now.width || inside.height != now.height)
        window.SetSize(inside.x, inside.y, inside.width, inside.height);
    else if (inside.x == now.x && inside.y == now.y)
        return;
    else if (moveAnyway)
        MoveTopLevelWindow(window, inside.x, inside.y);
    else
        window.Move(inside.x, inside.y);
}

// The window's frame where the X server holds it (wx's idea may be older).
void keepFrameInside(wxTopLevelWindow& window) {
    GtkWidget* widget = window.GetHandle();
    GdkWindow* shown = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!shown || !window.IsShown())
        return;
    GdkRectangle now{};
    gdk_window_get_frame_extents(shown, &now);
    placeInside(window, wxRect(now.x, now.y, now.width, now.height), true);
}

} // namespace

void KeepInsideWorkArea(wxTopLevelWindow& window) {
    placeInside(window, window.GetRect(), false);
}

int WorkAreaKeeper::FilterEvent(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_DESTROY) {
        // Sent while the window is taken apart, when it is a wxWindow no longer (a cast would
        // fail).
        std::erase_if(frames, [&](const auto& known) {
            return static_cast<wxObject*>(known.first) == event.GetEventObject();
        });
        return Event_Skip;
    }
    if (type != wxEVT_SHOW && type != wxEVT_SIZE && type != wxEVT_MOVE)
        return Event_Skip;
    auto* dialog = dynamic_cast<wxDialog*>(event.GetEventObject());
    if (!dialog)
        return Event_Skip;
    const wxSize frame = dialog->GetSize() - dialog->GetClientSize();
    if (type == wxEVT_SHOW) {
        if (static_cast<wxShowEvent&>(event).IsShown()) {
            KeepInsideWorkArea(*dialog);
            // The dialog may yet take its final size from its contents once shown (a few pixels
            // taller than its sizer said), with no frame to tell it: checked like a frame change.
            frames[dialog] = {frame, std::chrono::steady_clock::now()};
        } else {
            frames.erase(dialog);
        }
        return Event_Skip;
    }
    auto known = frames.find(dialog);
    if (known == frames.end())
        return Event_Skip;
    const auto now = std::chrono::steady_clock::now();
    if (known->second.frame != frame) {
        // The window manager's frame arrived or changed.
        known->second = {frame, now};
    } else if (known->second.changed == std::chrono::steady_clock::time_point() ||
               now - known->second.changed > std::chrono::seconds(1)) {
        // Other moves and size changes (the user's) are left alone.
        return Event_Skip;
    }
    // wx may still take the window for standing where it stood before the frame changed, and
    // the window manager may yet move it where a request made with the old frame put it: for a
    // moment after the change, each move is checked against the frame the X server holds.
    dialog->CallAfter([dialog] { keepFrameInside(*dialog); });
    return Event_Skip;
}

void MoveTopLevelWindow(wxTopLevelWindow& window, int x, int y) {
    window.Move(x, y);
    GtkWidget* widget = window.GetHandle();
    if (widget && GTK_IS_WINDOW(widget))
        gtk_window_move(GTK_WINDOW(widget), x, y);
}

bool HasFocusWithin(wxTopLevelWindow& window) {
    GtkWidget* widget = window.GetHandle();
    if (!widget || !GTK_IS_WINDOW(widget))
        return false;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(widget));
    return focus && gtk_widget_is_visible(focus) && gtk_widget_is_sensitive(focus);
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
    if (widget && GTK_IS_ENTRY(widget))
        g_signal_connect(widget, "insert-text", G_CALLBACK(cutInsertion), GINT_TO_POINTER(length));
    else
        field.SetMaxLength(length);
}
