#include "platform/common/DesktopClose.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <utility>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/toplevel.h>
// Last: Xlib's macros (None, Bool, Status) break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <gdk/gdkx.h>

namespace {

bool installed = false;
guint closing = 0; // the GLib source stepping through a requested close, 0 when none runs
bool displayLost = false;
std::function<void()> firstWhenLost;

// Once the display is gone nothing may draw: Xlib's dead display hands cairo's XRender calls no
// request buffer, and they crash. Every window there is (and every one mapped later) keeps its
// last picture instead.
void stopDrawing(GtkWidget* widget) {
    GdkWindow* window = gtk_widget_get_window(widget);
    if (!window || g_object_get_data(G_OBJECT(window), "zeko-drawing-stopped"))
        return;
    g_object_set_data(G_OBJECT(window), "zeko-drawing-stopped", GINT_TO_POINTER(1));
    gdk_window_freeze_updates(window);
}

void stopAllDrawing() {
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next)
        stopDrawing(GTK_WIDGET(item->data));
    g_list_free(windows);
}

// Ends a wx dialog as its title bar's close does; a dialog that refuses still leaves its loop,
// since nothing may stay open above a program that is ending (or a window that is gone).
void endDialog(wxDialog& dialog) {
    dialog.Close();
    if (dialog.IsModal())
        dialog.EndModal(wxID_CANCEL);
}

// Dismisses the modal dialogs open above the top window: the native ones that GTK runs
// (message boxes), else the innermost wx one. True when one was found.
bool dismissInnermost() {
    bool found = false;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        GtkWidget* widget = GTK_WIDGET(item->data);
        if (GTK_IS_DIALOG(widget) && gtk_window_get_modal(GTK_WINDOW(widget)) &&
            gtk_widget_get_visible(widget)) {
            gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
            found = true;
        }
    }
    g_list_free(windows);
    if (found)
        return true;
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    for (auto node = wxTopLevelWindows.GetLast(); node; node = node->GetPrevious()) {
        auto* dialog = dynamic_cast<wxDialog*>(node->GetData());
        if (dialog && dialog != top && dialog->IsModal()) {
            endDialog(*dialog);
            return true;
        }
    }
    return false;
}

// One step of a requested close, every 50 ms until done: a dismissed dialog's loop ends, and
// the code after it may open another message, before the next dialog out is reached.
gboolean closeStep(gpointer) {
    if (displayLost)
        stopAllDrawing();
    if (dismissInnermost())
        return G_SOURCE_CONTINUE;
    closing = 0;
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (auto* dialog = dynamic_cast<wxDialog*>(top))
        endDialog(*dialog);
    else if (top)
        top->Close(true); // File → Quit
    // A closed frame is deleted, and the program ends, when wx next goes idle, which nothing
    // else would make it do now: no wx event was handled.
    wxWakeUpIdle();
    return G_SOURCE_REMOVE;
}

gboolean onSignal(gpointer) {
    DesktopClose::request();
    return G_SOURCE_CONTINUE;
}

// GTK takes a top-level window whose X window was destroyed for closed and destroys the widget
// under the wx window that owns it, whose modal loop then never ends. The wx window ends
// instead; the widget goes with it later (its X window is already gone, so GDK draws nothing).
gboolean onWindowDestroyed(GtkWidget* widget, GdkEvent*, gpointer) {
    if (GTK_IS_DIALOG(widget)) {
        gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
        return TRUE;
    }
    for (wxWindow* window : wxTopLevelWindows) {
        if (window->GetHandle() != widget)
            continue;
        if (window == wxTheApp->GetTopWindow())
            DesktopClose::request();
        else if (auto* dialog = dynamic_cast<wxDialog*>(window))
            endDialog(*dialog);
        else
            window->Close(true);
        wxWakeUpIdle();
        return TRUE;
    }
    return FALSE;
}

// The X connection went (a logout, a display server that ended). GDK's own handler ends the
// process at once with status 1, past every destructor: settings unsaved, links left behind.
// Here the failing call returns instead; Xlib takes the display for dead from now on (its later
// calls return at once, drawing nothing), and the program closes as a signal closes it.
int onDisplayLost(Display* display) {
    static bool said = false;
    if (!said) {
        said = true;
        std::fprintf(stderr, "%s: the connection to the display %s was lost; closing\n",
                     g_get_prgname() ? g_get_prgname() : "program", DisplayString(display));
    }
    return 0;
}

void onDisplayLostExit(Display*, void*) {
    if (!displayLost) {
        displayLost = true;
        // The windows' own close runs GTK code on a dead display, which is not safe in every
        // state: what matters most comes first.
        if (firstWhenLost)
            std::exchange(firstWhenLost, {})();
    }
    stopAllDrawing();
    DesktopClose::request();
}

void watchDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return;
    XSetIOErrorHandler(onDisplayLost);
    XSetIOErrorExitHandler(GDK_DISPLAY_XDISPLAY(display), onDisplayLostExit, nullptr);
}

gboolean onMap(GSignalInvocationHint*, guint, const GValue* values, gpointer) {
    GObject* object = static_cast<GObject*>(g_value_get_object(values));
    if (displayLost && GTK_IS_WIDGET(object))
        stopDrawing(GTK_WIDGET(object));
    if (GTK_IS_WINDOW(object) && !g_object_get_data(object, "zeko-desktop-close")) {
        g_object_set_data(object, "zeko-desktop-close", GINT_TO_POINTER(1));
        g_signal_connect(object, "destroy-event", G_CALLBACK(onWindowDestroyed), nullptr);
    }
    return TRUE; // stays for every later map
}

} // namespace

// GDK asks the X server where the pointer is whenever GTK moves its grab (a message box that
// goes) or changes the sensitivity of a widget under the pointer (the code after the box
// enabling buttons), for the crossing events it makes up, and wherever wx asks for the mouse.
// On a dead display XIQueryPointer fails at once without filling in its answers, and GDK frees
// the button mask it never got: the process crashed as its dialogs closed. The program's own
// XIQueryPointer (the dynamic linker takes it before libXi's) clears every answer before the
// real call, so that a failed one answers "no window, no button"; a successful one is
// unchanged.
extern "C" Bool XIQueryPointer(Display* display, int device, Window window, Window* root, Window* child,
                               double* rootX, double* rootY, double* windowX, double* windowY,
                               XIButtonState* buttons, XIModifierState* modifiers, XIGroupState* group) {
    using Query = Bool (*)(Display*, int, Window, Window*, Window*, double*, double*, double*, double*,
                           XIButtonState*, XIModifierState*, XIGroupState*);
    static const auto real = reinterpret_cast<Query>(dlsym(RTLD_NEXT, "XIQueryPointer"));
    for (Window* answer : {root, child})
        if (answer)
            *answer = 0;
    for (double* answer : {rootX, rootY, windowX, windowY})
        if (answer)
            *answer = 0;
    if (buttons)
        std::memset(buttons, 0, sizeof *buttons);
    if (modifiers)
        std::memset(modifiers, 0, sizeof *modifiers);
    if (group)
        std::memset(group, 0, sizeof *group);
    return real ? real(display, device, window, root, child, rootX, rootY, windowX, windowY, buttons,
                       modifiers, group)
                : False;
}

void DesktopClose::install() {
    if (installed)
        return;
    installed = true;
    g_signal_add_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), 0, onMap, nullptr, nullptr);
    // GLib's own signal sources: the handler only marks the signal, and the GUI thread's main
    // context (a nested modal loop's too) dispatches it.
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        g_unix_signal_add(signal, onSignal, nullptr);
    watchDisplay();
}

void DesktopClose::whenDisplayLost(std::function<void()> first) {
    firstWhenLost = std::move(first);
}

void DesktopClose::request() {
    if (!closing)
        closing = g_timeout_add(50, closeStep, nullptr);
}
