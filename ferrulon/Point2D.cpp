#include "ferrulon/Point2D.h"

#include "ferrulon/PointNorm.h"

namespace FRX {

Point2D::Point2D() : values(Matrix::createVector(2, 0.0)) {}

Point2D::Point2D(const double& x, const double& y) : Point2D() {
    values.put(0, x);
    values.put(1, y);
}

Point2D::Point2D(const Point2D& other) = default;
Point2D& Point2D::operator=(const Point2D& other) = default;
Point2D::~Point2D() = default;

double& Point2D::x() {
    return values(0);
}
double& Point2D::y() {
    return values(1);
}
const double& Point2D::x() const {
    return values(0);
}
const double& Point2D::y() const {
    return values(1);
}

Point2D& Point2D::operator-=(const Point2D& other) {
    values -= other.values;
    return *this;
}

Point2D Point2D::operator-(const Point2D& other) const {
    return Point2D(*this) -= other;
}

double Point2D::norm() const {
    return pointNorm(values);
}

double Point2D::distance(const Point2D& other) const {
    return (other - *this).norm();
}

} // namespace FRX
