#include "ferrulon/Point3D.h"

#include "ferrulon/PointNorm.h"

namespace FRX {

Point3D::Point3D() : values(Matrix::createVector(3, 0.0)) {}

Point3D::Point3D(const double& x, const double& y, const double& z) : Point3D() {
    values.put(0, x);
    values.put(1, y);
    values.put(2, z);
}

Point3D::Point3D(const Point3D& other) = default;
Point3D& Point3D::operator=(const Point3D& other) = default;
Point3D::~Point3D() = default;

double& Point3D::x() {
    return values(0);
}
double& Point3D::y() {
    return values(1);
}
double& Point3D::z() {
    return values(2);
}
const double& Point3D::x() const {
    return values(0);
}
const double& Point3D::y() const {
    return values(1);
}
const double& Point3D::z() const {
    return values(2);
}

Point3D& Point3D::operator-=(const Point3D& other) {
    values -= other.values;
    return *this;
}

Point3D Point3D::operator-(const Point3D& other) const {
    return Point3D(*this) -= other;
}

double Point3D::norm() const {
    return pointNorm(values);
}

double Point3D::distance(const Point3D& other) const {
    return (other - *this).norm();
}

} // namespace FRX
