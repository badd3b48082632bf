#pragma once

#include <functional>

// The desktop's ways of ending a wx program, turned into the program's own close. SIGTERM (a
// logout, a shutdown, kill), SIGHUP (the terminal went) and SIGINT (Ctrl+C) no longer end the
// process where it stands: GLib's signal sources hand them to the GUI thread's main loop (any
// nested modal loop too). The modal dialogs above the top window are then
// dismissed, innermost first, as their title bar's close would (a native message box answers
// "closed"), and the top window is closed as its File → Quit or Close button would. A dialog
// whose X window another client destroys (xdotool windowclose) leaves its modal loop.
//
// Where the windows can no longer close, the program leaves instead: when the X connection is
// lost (a logout, a display server that ends) and when another client destroys the top window,
// what the program holds in BeforeLeaving guards runs at once on the GUI thread (settings saved,
// a film finished, port links removed), then the process ends with the status of its Close (0),
// without a further call of the toolkit on the dead display or the windows that are gone.
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
    // True once the X window of window's top-level window was destroyed by another X client:
    // nothing may draw on it any more, and a dialog ended that way is made anew before it is
    // shown again. False for a window that was never shown.
    static bool isDestroyed(const wxWindow& window);

    // What must not be lost when the program leaves without its close, for as long as the guard
    // lives. Guards run latest first; what they run must not touch a window.
    class BeforeLeaving {
    public:
        explicit BeforeLeaving(std::function<void()> save);
        ~BeforeLeaving();
        BeforeLeaving(const BeforeLeaving&) = delete;
        BeforeLeaving& operator=(const BeforeLeaving&) = delete;
        // What the program does as it leaves: every guard that lives, latest first.
        static void runAll();

    private:
        std::function<void()> save;
        BeforeLeaving* earlier;
    };
};
