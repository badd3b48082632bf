#pragma once

// FRX::Complex, a double-precision complex number; every operation is the standard library's.
// Comparison is exact. Nothing here throws.

#include <complex>

#include "ferrulon/Export.h"

namespace FRX {

class FRX_API Complex {
public:
    Complex(const double& re = 0.0, const double& im = 0.0);
    Complex(const std::complex<double>& value);
    Complex(const Complex& other);
    Complex& operator=(const Complex& other);
    // The real part; the imaginary part becomes 0.
    Complex& operator=(const double& re);
    virtual ~Complex();

    double real() const;
    double imag() const;
    void real(const double& re);
    void imag(const double& im);
    double abs() const;
    double arg() const;

    Complex cos() const;
    Complex cosh() const;
    Complex exp() const;
    Complex log() const;
    Complex conj() const;
    Complex sin() const;
    Complex sinh() const;
    Complex sqrt() const;
    Complex tan() const;
    Complex tanh() const;
    Complex pow(const int& n) const;
    Complex pow(const double& y) const;
    Complex pow(const Complex& y) const;

    Complex& operator+=(const double& v);
    Complex& operator-=(const double& v);
    Complex& operator*=(const double& v);
    Complex& operator/=(const double& v);
    Complex& operator+=(const Complex& v);
    Complex& operator-=(const Complex& v);
    Complex& operator*=(const Complex& v);
    Complex& operator/=(const Complex& v);
    Complex operator+(const double& v) const;
    Complex operator-(const double& v) const;
    Complex operator*(const double& v) const;
    Complex operator/(const double& v) const;
    Complex operator+(const Complex& v) const;
    Complex operator-(const Complex& v) const;
    Complex operator*(const Complex& v) const;
    Complex operator/(const Complex& v) const;
    Complex operator-() const;

    // Both parts exactly equal; a double is a value with imaginary part 0.
    bool operator==(const double& v) const;
    bool operator!=(const double& v) const;
    bool operator==(const Complex& v) const;
    bool operator!=(const Complex& v) const;

private:
    std::complex<double> value;
};

// Construction, copies, parts, arithmetic and comparison are inline, so that array loops over
// elements compile to the standard library's arithmetic on the values.
inline Complex::Complex(const double& re, const double& im) : value(re, im) {}
inline Complex::Complex(const std::complex<double>& value) : value(value) {}
inline Complex::Complex(const Complex& other) = default;
inline Complex& Complex::operator=(const Complex& other) = default;
inline Complex& Complex::operator=(const double& re) {
    value = re;
    return *this;
}
inline Complex::~Complex() = default;
inline double Complex::real() const {
    return value.real();
}
inline double Complex::imag() const {
    return value.imag();
}
inline void Complex::real(const double& re) {
    value.real(re);
}
inline void Complex::imag(const double& im) {
    value.imag(im);
}
inline Complex& Complex::operator+=(const double& v) {
    value += v;
    return *this;
}
inline Complex& Complex::operator-=(const double& v) {
    value -= v;
    return *this;
}
inline Complex& Complex::operator*=(const double& v) {
    value *= v;
    return *this;
}
inline Complex& Complex::operator/=(const double& v) {
    value /= v;
    return *this;
}
inline Complex& Complex::operator+=(const Complex& v) {
    value += v.value;
    return *this;
}
inline Complex& Complex::operator-=(const Complex& v) {
    value -= v.value;
    return *this;
}
inline Complex& Complex::operator*=(const Complex& v) {
    value *= v.value;
    return *this;
}
inline Complex& Complex::operator/=(const Complex& v) {
    value /= v.value;
    return *this;
}
inline Complex Complex::operator+(const double& v) const {
    return value + v;
}
inline Complex Complex::operator-(const double& v) const {
    return value - v;
}
inline Complex Complex::operator*(const double& v) const {
    return value * v;
}
inline Complex Complex::operator/(const double& v) const {
    return value / v;
}
inline Complex Complex::operator+(const Complex& v) const {
    return value + v.value;
}
inline Complex Complex::operator-(const Complex& v) const {
    return value - v.value;
}
inline Complex Complex::operator*(const Complex& v) const {
    return value * v.value;
}
inline Complex Complex::operator/(const Complex& v) const {
    return value / v.value;
}
inline Complex Complex::operator-() const {
    return -value;
}
inline bool Complex::operator==(const double& v) const {
    return value == v;
}
inline bool Complex::operator!=(const double& v) const {
    return value != v;
}
inline bool Complex::operator==(const Complex& v) const {
    return value == v.value;
}
inline bool Complex::operator!=(const Complex& v) const {
    return value != v.value;
}

} // namespace FRX
