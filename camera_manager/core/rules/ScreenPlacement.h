#pragma once

// Where a window may stand on the screen: every dialog of the manager is kept inside the work
// area of its display, so that its title bar and its buttons can be reached.

#include "camera_manager/core/rules/CustomDialogLayout.h"

namespace ScreenPlacement {

// A window's or an area's place on the screen.
using Rect = ControlPlacement;

// The window moved as little as needed to lie inside the area. A window larger than the area
// gets the area's size when it may be resized; one that may not keeps its size and its top-left
// corner at the area's, so that its title bar stays on the screen. An empty area (no display
// known) leaves the window as it is.
Rect KeepInside(Rect window, Rect area, bool resizable);

} // namespace ScreenPlacement
