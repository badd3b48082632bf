#include "camera_manager/core/rules/ProgressRules.h"

#include <cmath>

namespace ProgressRules {

double ElapsedPercent(int64_t startSeconds, int64_t nowSeconds, double expectedSeconds) {
    if (!(expectedSeconds > 0))
        return 100.0;
    return static_cast<double>(nowSeconds - startSeconds) / expectedSeconds * 100.0;
}

int BarPosition(double percent) {
    if (std::isnan(percent) || percent <= 0)
        return 0;
    if (percent >= 100)
        return 100;
    return static_cast<int>(percent);
}

Point CenterOnOwner(int ownerLeft, int ownerTop, int ownerRight, int ownerBottom, int width, int height) {
    return {ownerLeft + (ownerRight - width - ownerLeft) / 2,
            ownerTop + (ownerBottom - height - ownerTop) / 2};
}

} // namespace ProgressRules
