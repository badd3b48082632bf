#pragma once

#include <functional>

#include <wx/window.h>

namespace WidgetsTest {

// Runs the GUI event loop (pending events, then idle) for about `ms` milliseconds.
void pump(int ms);
// Runs it until `done` holds or `ms` milliseconds have passed; the final value of `done`. The
// default is long: a first frame drawn in software under the sanitizers, beside the other tests,
// has taken over ten seconds.
bool pumpUntil(const std::function<bool()>& done, int ms = 20000);
// Shows the top-level window and waits until `window` is realised and shown on screen.
bool showAndWait(wxWindow* topLevel, wxWindow* window);

// Moves the X pointer (screen coordinates) and presses or releases button 1, as a user would.
void pointerTo(const wxPoint& screen);
void pointerButton(bool down);

// With PBN_WIDGETS_SNAPSHOTS naming a folder, saves the screen there as <name>.png.
void snapshot(const char* name);

} // namespace WidgetsTest
