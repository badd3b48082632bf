#include "ferrulon/Complex.h"

namespace FRX {

double Complex::abs() const {
    return std::abs(value);
}
double Complex::arg() const {
    return std::arg(value);
}
Complex Complex::cos() const {
    return std::cos(value);
}
Complex Complex::cosh() const {
    return std::cosh(value);
}
Complex Complex::exp() const {
    return std::exp(value);
}
Complex Complex::log() const {
    return std::log(value);
}
Complex Complex::conj() const {
    return std::conj(value);
}
Complex Complex::sin() const {
    return std::sin(value);
}
Complex Complex::sinh() const {
    return std::sinh(value);
}
Complex Complex::sqrt() const {
    return std::sqrt(value);
}
Complex Complex::tan() const {
    return std::tan(value);
}
Complex Complex::tanh() const {
    return std::tanh(value);
}
Complex Complex::pow(const int& n) const {
    return std::pow(value, n);
}
Complex Complex::pow(const double& y) const {
    return std::pow(value, y);
}
Complex Complex::pow(const Complex& y) const {
    return std::pow(value, y.value);
}

} // namespace FRX
