#include "platform/common/DesktopClose.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <set>
#include <unistd.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/toplevel.h>
// Last: Xlib's macros (None, Bool, Status) break the headers above.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/Xproto.h>
#include <gdk/gdkx.h>

namespace {

bool installed = false;
guint closing = 0; // the GLib source stepping through a requested close, 0 when none runs
DesktopClose::BeforeLeaving* latestGuard = nullptr;

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

gboolean onSignal(gpointer) {
    DesktopClose::request();
    return G_SOURCE_CONTINUE;
}

// The program cannot close as its Close does: what it must not lose is saved, and it ends with
// that close's status. Nothing runs after, neither the windows' destructors (they would call the
// toolkit on a display or windows that are gone) nor the process's exit handlers.
[[noreturn]] void leave() {
    static bool leaving = false;
    if (!leaving) {
        leaving = true;
        DesktopClose::BeforeLeaving::runAll();
    }
    std::fflush(nullptr);
    _exit(0);
}

// The X connection went (a logout, a display server that ended). GDK's own handler would end the
// process at once with status 1, past everything the program must save; the exit handler that
// Xlib calls next leaves instead.
int onDisplayLost(Display* display) {
    std::fprintf(stderr, "%s: the connection to the display %s was lost; leaving\n",
                 g_get_prgname() ? g_get_prgname() : "program", DisplayString(display));
    return 0;
}

void onDisplayLostExit(Display*, void*) {
    leave();
}

// The X windows of the program that another client destroyed (a top-level one and those inside
// it). Requests that GTK, cairo or wx sent them before the destruction was handled fail; those
// errors alone are dropped, whatever error trap is set. Xlib reads the destruction in the order
// the server sent it, before the errors of every later request, so the set is complete when
// they come, even where GDK's event filter has not seen the destruction yet.
std::set<XID> gone;
// The RENDER extension's first error: the server frees a destroyed window's pictures with it,
// and cairo's later requests on them (their free included) fail.
int renderErrors = -1;
constexpr int renderBadPicture = 1;
using WireToEvent = Bool (*)(Display*, XEvent*, xEvent*);
WireToEvent convertDestroyNotify = nullptr;
using WireToError = Bool (*)(Display*, XErrorEvent*, xError*);
WireToError convertBadWindow = nullptr, convertBadDrawable = nullptr, convertBadPicture = nullptr;

void rememberGone(GdkWindow* window) {
    if (gdk_window_has_native(window))
        gone.insert(gdk_x11_window_get_xid(window));
    GList* children = gdk_window_peek_children(window);
    for (GList* child = children; child; child = child->next)
        rememberGone(GDK_WINDOW(child->data));
}

// Runs inside Xlib as the event is read, where no request may be made: only GDK's tables are read.
Bool onDestroyNotifyRead(Display* connection, XEvent* event, xEvent* wire) {
    const Bool kept = convertDestroyNotify ? convertDestroyNotify(connection, event, wire) : True;
    GdkDisplay* display = gdk_x11_lookup_xdisplay(connection);
    GdkWindow* window =
        display ? gdk_x11_window_lookup_for_display(display, event->xdestroywindow.window) : nullptr;
    // (A window GDK destroyed itself is already marked so.)
    if (window && !gdk_window_is_destroyed(window))
        rememberGone(window);
    return kept;
}

Bool dropWhenGone(Display* connection, XErrorEvent* error, xError* wire, WireToError convert) {
    if (gone.count(error->resourceid))
        return False;
    return convert ? convert(connection, error, wire) : True;
}

Bool onBadWindowRead(Display* connection, XErrorEvent* error, xError* wire) {
    return dropWhenGone(connection, error, wire, convertBadWindow);
}

Bool onBadDrawableRead(Display* connection, XErrorEvent* error, xError* wire) {
    return dropWhenGone(connection, error, wire, convertBadDrawable);
}

// A picture does not say its window; only a program that saw a window of its own destroyed by
// another client has pictures that the server freed under it.
Bool onBadPictureRead(Display* connection, XErrorEvent* error, xError* wire) {
    if (!gone.empty())
        return False;
    return convertBadPicture ? convertBadPicture(connection, error, wire) : True;
}

void watchDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return;
    Display* connection = GDK_DISPLAY_XDISPLAY(display);
    XSetIOErrorHandler(onDisplayLost);
    XSetIOErrorExitHandler(connection, onDisplayLostExit, nullptr);
    convertDestroyNotify = XESetWireToEvent(connection, DestroyNotify, onDestroyNotifyRead);
    convertBadWindow = XESetWireToError(connection, BadWindow, onBadWindowRead);
    convertBadDrawable = XESetWireToError(connection, BadDrawable, onBadDrawableRead);
    int request = 0, event = 0;
    if (XQueryExtension(connection, "RENDER", &request, &event, &renderErrors))
        convertBadPicture = XESetWireToError(connection, renderErrors + renderBadPicture, onBadPictureRead);
}

// GTK takes a top-level window whose X window was destroyed for closed and destroys the widget
// under the wx window that owns it, whose modal loop then never ends. The wx dialog ends instead;
// the widget goes with it later (its X window is already gone, so GDK draws nothing).
gboolean onWindowDestroyed(GtkWidget* widget, GdkEvent*, gpointer) {
    GdkDisplay* display = gtk_widget_get_display(widget);
    // What the dialog's close sends its windows that are gone fails.
    gdk_x11_display_error_trap_push(display);
    gboolean handled = GTK_IS_DIALOG(widget);
    if (handled)
        gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
    for (auto node = wxTopLevelWindows.GetFirst(); node && !handled; node = node->GetNext()) {
        wxWindow* window = node->GetData();
        if (window->GetHandle() != widget)
            continue;
        if (auto* dialog = dynamic_cast<wxDialog*>(window))
            endDialog(*dialog);
        else
            window->Close(true);
        wxWakeUpIdle();
        handled = TRUE;
    }
    gdk_x11_display_error_trap_pop_ignored(display);
    return handled;
}

bool isTopWindow(GdkWindow* window) {
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    GtkWidget* widget = top ? top->GetHandle() : nullptr;
    return widget && gtk_widget_get_window(widget) == window;
}

// An X window that another client destroys is unmapped first, and GDK learns that it is gone only
// from the destruction that comes after. Meanwhile the events between them are handled as for a
// live window: without a window manager GDK takes the unmap for an iconify, which GTK answers by
// hiding the window, and the pointer leaving it makes the tool bar redraw the status bar. The
// unmap of a top-level window that no longer exists is therefore taken for its destruction. The
// top window's ends the program; another's is handed on as its destruction, which GDK marks
// before anything else runs, and which ends the window's loop.
GdkFilterReturn onXEvent(GdkXEvent* native, GdkEvent*, gpointer) {
    auto* event = static_cast<XEvent*>(native);
    GdkDisplay* display = gdk_display_get_default();
    if ((event->type != UnmapNotify && event->type != DestroyNotify) || !display ||
        !GDK_IS_X11_DISPLAY(display))
        return GDK_FILTER_CONTINUE;
    const Window xid = event->type == UnmapNotify ? event->xunmap.window : event->xdestroywindow.window;
    GdkWindow* window = gdk_x11_window_lookup_for_display(display, xid);
    if (!window || gdk_window_is_destroyed(window) ||
        gdk_window_get_window_type(window) != GDK_WINDOW_TOPLEVEL)
        return GDK_FILTER_CONTINUE;
    if (event->type == UnmapNotify && !gone.count(xid)) {
        XWindowAttributes attributes;
        gdk_x11_display_error_trap_push(display);
        const Status found = XGetWindowAttributes(GDK_DISPLAY_XDISPLAY(display), xid, &attributes);
        gdk_x11_display_error_trap_pop_ignored(display);
        if (found != 0)
            return GDK_FILTER_CONTINUE;
        rememberGone(window);
    }
    if (isTopWindow(window)) {
        // Whatever the program still sends the windows that are gone, saving included, fails.
        gdk_x11_display_error_trap_push(display);
        leave();
    }
    if (event->type == UnmapNotify) {
        event->type = DestroyNotify; // the same fields up to the window's
        event->xdestroywindow.event = xid;
        event->xdestroywindow.window = xid;
    }
    gpointer widget = nullptr;
    gdk_window_get_user_data(window, &widget);
    if (GTK_IS_WINDOW(widget) && !g_object_get_data(G_OBJECT(widget), "zeko-desktop-close")) {
        g_object_set_data(G_OBJECT(widget), "zeko-desktop-close", GINT_TO_POINTER(1));
        g_signal_connect(widget, "destroy-event", G_CALLBACK(onWindowDestroyed), nullptr);
    }
    return GDK_FILTER_CONTINUE;
}

} // namespace

void DesktopClose::install() {
    if (installed)
        return;
    installed = true;
    gdk_window_add_filter(nullptr, onXEvent, nullptr);
    modalLoops = new ModalLoops(); // lives as long as the program
    modalLoops->Register();
    // GLib's own signal sources: the handler only marks the signal, and the GUI thread's main
    // context (a nested modal loop's too) dispatches it.
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        g_unix_signal_add(signal, onSignal, nullptr);
    watchDisplay();
}

bool DesktopClose::isDestroyed(const wxWindow& window) {
    const wxWindow* top = wxGetTopLevelParent(const_cast<wxWindow*>(&window));
    GtkWidget* widget = top ? top->GetHandle() : nullptr;
    GdkWindow* shown = widget ? gtk_widget_get_window(widget) : nullptr;
    return shown && gdk_window_is_destroyed(shown);
}

void DesktopClose::request() {
    if (!closing)
        closing = g_timeout_add(50, closeStep, nullptr);
}

DesktopClose::BeforeLeaving::BeforeLeaving(std::function<void()> save)
    : save(std::move(save)), earlier(latestGuard) {
    latestGuard = this;
}

void DesktopClose::BeforeLeaving::runAll() {
    for (BeforeLeaving* guard = latestGuard; guard; guard = guard->earlier)
        try {
            guard->save();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", g_get_prgname() ? g_get_prgname() : "program", error.what());
        } catch (...) {
        }
}

DesktopClose::BeforeLeaving::~BeforeLeaving() {
    for (BeforeLeaving** link = &latestGuard; *link; link = &(*link)->earlier)
        if (*link == this) {
            *link = earlier;
            return;
        }
}
