#include "camera_manager/core/rules/ScreenPlacement.h"

#include <algorithm>

namespace ScreenPlacement {

namespace {

// One axis: the start and length of the window on the area's start and length.
void fit(int& start, int& length, int areaStart, int areaLength, bool resizable) {
    if (length > areaLength && resizable)
        length = areaLength;
    start = std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

Rect KeepInside(Rect window, Rect area, bool resizable) {
    if (area.width <= 0 || area.height <= 0)
        return window;
    fit(window.x, window.width, area.x, area.width, resizable);
    fit(window.y, window.height, area.y, area.height, resizable);
    return window;
}

} // namespace ScreenPlacement
