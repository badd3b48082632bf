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

} // namespace FRX
