#include "platform/common/DesktopClose.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <set>
#include <utility>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
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

// Counts the modal loops that run (ShowModal not returned yet, a dismissed dialog's too): the top
// window may only go once the code that opened them has gone on, since closing it deletes the
// dialogs it owns, those in that code's hands included.
class ModalLoops : public wxModalDialogHook {
public:
    int running = 0;

protected:
    int Enter(wxDialog*) override {
        ++running;
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { --running; }
};
ModalLoops* modalLoops = nullptr;

// One step of a requested close, every 50 ms until done: a dismissed dialog's loop ends, and
// the code after it may open another message, before the next dialog out is reached.
gboolean closeStep(gpointer) {
    if (displayLost)
        stopAllDrawing();
    if (dismissInnermost())
        return G_SOURCE_CONTINUE;
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    auto* topDialog = dynamic_cast<wxDialog*>(top);
    if (modalLoops && modalLoops->running > (topDialog && topDialog->IsModal() ? 1 : 0))
        return G_SOURCE_CONTINUE;
    closing = 0;
    if (topDialog)
        endDialog(*topDialog);
    else if (top)
        top->Close(true); // File → Quit
    // A closed frame is deleted, and the program ends, when wx next goes idle, which nothing
    // else would make it do now: no wx event was handled.
    wxWakeUpIdle();
    return G_SOURCE_REMOVE;
}

// Starts a close unless one runs; now: its first step at once rather than after 50 ms.
void startClose(bool now) {
    if (closing)
        return;
    if (now && closeStep(nullptr) == G_SOURCE_REMOVE)
        return;
    closing = g_timeout_add(50, closeStep, nullptr);
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
        // The top window closes at once where nothing is open above it, before a timer of its
        // can draw on the window that is gone.
        if (window == wxTheApp->GetTopWindow())
            startClose(true);
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

// The X windows (a top-level one and those inside it) that another client destroyed.
std::set<unsigned long> gone;
XErrorHandler toolkitErrors = nullptr;

void rememberGone(GdkWindow* window) {
    if (gdk_window_has_native(window))
        gone.insert(gdk_x11_window_get_xid(window));
    GList* children = gdk_window_peek_children(window);
    for (GList* child = children; child; child = child->next)
        rememberGone(GDK_WINDOW(child->data));
}

// The RENDER extension's request and first error codes: the server frees the pictures of a
// destroyed window with it, and cairo's later free of them fails.
int renderRequest = -1, renderErrors = -1;
constexpr int renderFreePicture = 7, renderBadPicture = 1;

// A request that GTK or wx sent to one of these windows before GDK learnt that it is gone fails;
// GDK would end the program on that error. Such errors are dropped, any other goes to GDK.
int onXError(Display* connection, XErrorEvent* error) {
    if (!gone.empty() && error->request_code == renderRequest && error->minor_code == renderFreePicture &&
        error->error_code == renderErrors + renderBadPicture)
        return 0;
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        GdkDisplay* display = gdk_x11_lookup_xdisplay(connection);
        // One of ours that GDK still takes for alive can only have been destroyed by another
        // client too. Once another client destroyed a window of ours, GDK also forgets windows
        // of that tree as it destroys them itself, while requests for them (a cursor, the
        // pointer's window) are still on their way: their errors name a window nobody has.
        if (!gone.empty() || (display && gdk_x11_window_lookup_for_display(display, error->resourceid)))
            return 0;
    }
    return toolkitErrors ? toolkitErrors(connection, error) : 0;
}

// An X window that another client destroys is unmapped first, and GDK learns that it is gone only
// from the destruction that comes after. Meanwhile the events between them are handled as for a
// live window: without a window manager GDK takes the unmap for an iconify, which GTK answers by
// hiding the window, and the pointer leaving it makes the tool bar redraw the status bar. Their
// requests go to a window that is gone, and the X error (BadWindow, BadDrawable) ends the program.
// The unmap of a top-level window that no longer exists is therefore handed on as its destruction:
// GDK marks the window destroyed before anything else runs, and draws nothing on it any more.
GdkFilterReturn onXEvent(GdkXEvent* native, GdkEvent*, gpointer) {
    auto* event = static_cast<XEvent*>(native);
    GdkDisplay* display = gdk_display_get_default();
    if ((event->type != UnmapNotify && event->type != DestroyNotify) || !display ||
        !GDK_IS_X11_DISPLAY(display))
        return GDK_FILTER_CONTINUE;
    const Window xid = event->type == UnmapNotify ? event->xunmap.window : event->xdestroywindow.window;
    GdkWindow* window = gdk_x11_window_lookup_for_display(display, xid);
    // (A window GDK destroyed itself is already marked so.)
    if (!window || gdk_window_is_destroyed(window) ||
        gdk_window_get_window_type(window) != GDK_WINDOW_TOPLEVEL)
        return GDK_FILTER_CONTINUE;
    if (event->type == UnmapNotify) {
        XWindowAttributes attributes;
        gdk_x11_display_error_trap_push(display);
        const Status found = XGetWindowAttributes(GDK_DISPLAY_XDISPLAY(display), xid, &attributes);
        gdk_x11_display_error_trap_pop_ignored(display);
        if (found != 0)
            return GDK_FILTER_CONTINUE;
        event->type = DestroyNotify; // the same fields up to the window's
        event->xdestroywindow.event = xid;
        event->xdestroywindow.window = xid;
    }
    rememberGone(window); // before GDK forgets the windows inside it
    return GDK_FILTER_CONTINUE;
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
    gdk_window_add_filter(nullptr, onXEvent, nullptr);
    modalLoops = new ModalLoops(); // lives as long as the program
    modalLoops->Register();
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
        int event = 0;
        if (!XQueryExtension(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), "RENDER", &renderRequest,
                             &event, &renderErrors))
            renderRequest = renderErrors = -1;
        toolkitErrors = XSetErrorHandler(onXError);
    }
    // GLib's own signal sources: the handler only marks the signal, and the GUI thread's main
    // context (a nested modal loop's too) dispatches it.
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        g_unix_signal_add(signal, onSignal, nullptr);
    watchDisplay();
}

void DesktopClose::whenDisplayLost(std::function<void()> first) {
    firstWhenLost = std::move(first);
}

bool DesktopClose::isDestroyed(const wxWindow& window) {
    const wxWindow* top = wxGetTopLevelParent(const_cast<wxWindow*>(&window));
    GtkWidget* widget = top ? top->GetHandle() : nullptr;
    GdkWindow* shown = widget ? gtk_widget_get_window(widget) : nullptr;
    return shown && gdk_window_is_destroyed(shown);
}

void DesktopClose::request() {
    startClose(false);
}
