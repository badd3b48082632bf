#include "ferrulon/Complex.h"

namespace FRX {

Complex::Complex(const double& re, const double& im) : value(re, im) {}
Complex::Complex(const std::complex<double>& value) : value(value) {}
Complex::Complex(const Complex& other) = default;
Complex& Complex::operator=(const Complex& other) = default;
Complex& Complex::operator=(const double& re) {
    value = re;
    return *this;
}
Complex::~Complex() = default;

double Complex::real() const {
    return value.real();
}
double Complex::imag() const {
    return value.imag();
}
void Complex::real(const double& re) {
    value.real(re);
}
void Complex::imag(const double& im) {
    value.imag(im);
}
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

Complex& Complex::operator+=(const double& v) {
    value += v;
    return *this;
}
Complex& Complex::operator-=(const double& v) {
    value -= v;
    return *this;
}
Complex& Complex::operator*=(const double& v) {
    value *= v;
    return *this;
}
Complex& Complex::operator/=(const double& v) {
    value /= v;
    return *this;
}
Complex& Complex::operator+=(const Complex& v) {
    value += v.value;
    return *this;
}
Complex& Complex::operator-=(const Complex& v) {
    value -= v.value;
    return *this;
}
Complex& Complex::operator*=(const Complex& v) {
    value *= v.value;
    return *this;
}
Complex& Complex::operator/=(const Complex& v) {
    value /= v.value;
    return *this;
}

Complex Complex::operator+(const double& v) const {
    return value + v;
}
Complex Complex::operator-(const double& v) const {
    return value - v;
}
Complex Complex::operator*(const double& v) const {
    return value * v;
}
Complex Complex::operator/(const double& v) const {
    return value / v;
}
Complex Complex::operator+(const Complex& v) const {
    return value + v.value;
}
Complex Complex::operator-(const Complex& v) const {
    return value - v.value;
}
Complex Complex::operator*(const Complex& v) const {
    return value * v.value;
}
Complex Complex::operator/(const Complex& v) const {
    return value / v.value;
}
Complex Complex::operator-() const {
    return -value;
}

bool Complex::operator==(const double& v) const {
    return value == v;
}
bool Complex::operator!=(const double& v) const {
    return value != v;
}
bool Complex::operator==(const Complex& v) const {
    return value == v.value;
}
bool Complex::operator!=(const Complex& v) const {
    return value != v.value;
}

} // namespace FRX
