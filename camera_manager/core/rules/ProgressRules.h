#pragma once

// Arithmetic of the progress dialogs, apart from the windows.

#include <cstdint>

namespace ProgressRules {

// Percentage of an expected duration that has passed, both times in whole seconds. Past the
// expected duration the value exceeds 100. An expected duration of 0 or less counts as passed.
double ElapsedPercent(int64_t startSeconds, int64_t nowSeconds, double expectedSeconds);

// The bar position for a percentage: truncated toward zero and kept within 0 .. 100, so a bar
// past its expected duration stays full.
int BarPosition(double percent);

// Top-left corner that centres a window of width by height on an owner rectangle.
struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};
Point CenterOnOwner(int ownerLeft, int ownerTop, int ownerRight, int ownerBottom, int width, int height);

} // namespace ProgressRules
