#pragma once

// Where GTK and wx behave differently from the Windows windows the manager was made for, in one
// place: a dialog placed past the screen's edge, a modeless window under a modal one, and an
// edit field's length limit.

#include <chrono>
#include <map>
#include <wx/eventfilter.h>
#include <wx/gdicmn.h>

class wxTextCtrl;
class wxTopLevelWindow;
class wxWindow;

// Moves (and, when it may be resized, shrinks) the window into the work area of its display.
void KeepInsideWorkArea(wxTopLevelWindow& window);

// Keeps every dialog inside the work area of its display: when it is shown, and again when the
// window manager's frame around it becomes known (after the mapping, which makes the window
// larger than it was placed: wx places a window with the frame of the one shown before it).
class WorkAreaKeeper : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override;

private:
    struct Shown {
        // The frame's extent (outer less inner size) when last kept inside.
        wxSize frame;
        // When that frame came, if it came after the show.
        std::chrono::steady_clock::time_point changed;
    };
    std::map<wxWindow*, Shown> frames;
};

// Moves the window's frame to (x, y) also where wx believes it stands there already: a window
// manager may have placed it elsewhere (openbox ignores a program's place given before the
// window is mapped), and wx skips a move to the place it last asked for.
void MoveTopLevelWindow(wxTopLevelWindow& window, int x, int y);

// Whether a control of the window holds its keyboard focus (also while another window is
// active). GTK's own parts of a control (a combo's button) are no wx windows, so wx's
// FindFocus does not see them.
bool HasFocusWithin(wxTopLevelWindow& window);

// The main dialog runs modally, and GTK then sends every click, key and close request of the
// other windows of its window group to it. Windows only disables a modal dialog's owner, so a
// modeless window opened from the main dialog takes input there: it gets a window group of its
// own, on which no modal window lies. Call before the window is shown.
void TakeInputBesideModalWindows(wxTopLevelWindow& window);

// A single-line field that holds at most `length` characters. Text typed or pasted beyond that
// is cut at the limit, as a Windows edit control does (wx's own limit refuses a paste whole).
void LimitTextLength(wxTextCtrl& field, int length);
