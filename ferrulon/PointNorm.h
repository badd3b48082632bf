#pragma once

// The norm both point classes share. Library-internal; not installed.

#include "ferrulon/Matrix.h"

namespace FRX {

// sqrt of the sum of the coordinates to the integer power 2, added in coordinate order.
double pointNorm(const Matrix& values);

} // namespace FRX
