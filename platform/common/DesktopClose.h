#pragma once

#include <functional>

// The desktop's ways of ending a wx program, turned into the program's own close. SIGTERM (a
// logout, a shutdown, kill), SIGHUP (the terminal went) and SIGINT (Ctrl+C) no longer end the
// process where it stands: GLib's signal sources hand them to the GUI thread's main loop (any
// nested modal loop too). The modal dialogs above the top window are then
// dismissed, innermost first, as their title bar's close would (a native message box answers
// "closed"), and the top window is closed as its File → Quit or Close button would. A top-level
// window that an X client destroys (xdotool windowclose) ends in the same way: a dialog's modal
// loop ends, and the top window's destruction closes the program. The loss of the X connection
// (a logout, a display server that ends) closes the program as a signal does, where GDK would
// end the process at once with status 1; the pointer queries GTK makes as the dialogs go (a
// message box dismissed, buttons enabled under the pointer) answer "no window" on the dead
// display instead of crashing.
//
// Linked by every wx program of the suite; it needs wx and GTK and nothing of the suite.
class wxWindow;

class DesktopClose {
public:
    // Once, in OnInit, before the first window is shown. Later calls do nothing.
    static void install();
    // What a signal does, for the GUI thread (tests): dismisses the modal dialogs above the top
    // window, then closes it.
    static void request();
    // What must not wait for the windows to close when the display is gone (saving settings):
    // run once, at once, before the close is requested. Replaces an earlier one; empty: none.
    static void whenDisplayLost(std::function<void()> first);
    // True once the X window of window's top-level window was destroyed by another X client:
    // nothing may draw on it any more (a timer that paints stops), and a dialog ended that way is
    // made anew before it is shown again. False for a window that was never shown.
    static bool isDestroyed(const wxWindow& window);
};
