#pragma once

// FRX::Point2D, a point (or vector) with its coordinates in a 2-element FRX::Matrix vector
// (x and y at indices 0 and 1).

#include "ferrulon/Export.h"
#include "ferrulon/Matrix.h"

namespace FRX {

class FRX_API Point2D {
public:
    // The origin.
    Point2D();
    Point2D(const double& x, const double& y);
    Point2D(const Point2D& other);
    Point2D& operator=(const Point2D& other);
    virtual ~Point2D();

    double& x();
    double& y();
    const double& x() const;
    const double& y() const;

    // Coordinate-wise difference.
    Point2D& operator-=(const Point2D& other);
    Point2D operator-(const Point2D& other) const;
    // sqrt of the squared coordinates added in order. Squares overflow for coordinates beyond
    // about 1e154, where the result becomes infinite.
    double norm() const;
    // norm(other - this).
    double distance(const Point2D& other) const;

private:
    Matrix values;
};

} // namespace FRX
