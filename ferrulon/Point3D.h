#pragma once

// FRX::Point3D, a point (or vector) with its coordinates in a 3-element FRX::Matrix vector
// (x, y, z at indices 0, 1, 2).

#include "ferrulon/Export.h"
#include "ferrulon/Matrix.h"

namespace FRX {

class FRX_API Point3D {
public:
    // The origin.
    Point3D();
    Point3D(const double& x, const double& y, const double& z);
    Point3D(const Point3D& other);
    Point3D& operator=(const Point3D& other);
    virtual ~Point3D();

    double& x();
    double& y();
    double& z();
    const double& x() const;
    const double& y() const;
    const double& z() const;

    // Coordinate-wise difference.
    Point3D& operator-=(const Point3D& other);
    Point3D operator-(const Point3D& other) const;
    // sqrt of the squared coordinates added in order. Squares overflow for coordinates beyond
    // about 1e154, where the result becomes infinite.
    double norm() const;
    // norm(other - this).
    double distance(const Point3D& other) const;

private:
    Matrix values;
};

} // namespace FRX
