#include "ferrulon/PointNorm.h"

#include <cmath>

namespace FRX {

double pointNorm(const Matrix& values) {
    const Matrix squares = values.pow(2);
    double sum = 0.0;
    for (unsigned k = 0; k < squares.getDimension(0); ++k) {
        sum += squares(k);
    }
    return std::sqrt(sum);
}

} // namespace FRX
