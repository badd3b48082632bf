#pragma once

// FRX::Matrix, an N-dimensional array of double with element-wise arithmetic (no linear
// algebra: * and / work element by element), element functions and tolerant comparison.
//
// The first index runs fastest: (i, j) is flat element i + dims[0] * j, (i, j, k) is flat
// element i + dims[0] * (j + dims[1] * k); one index always addresses the flat array. Element
// access is not bounds-checked (debug builds assert).
//
// A right operand whose every dimension is at most 1 and that holds an element is applied to
// every element (broadcast); otherwise the shapes must be equal. Failures throw PBN::Exception
// with severity SEVERE before any element changes.

#include "ferrulon/Export.h"

namespace FRX {

namespace ArrayCore {
struct Array;
}

class FRX_API Matrix {
public:
    // No dimensions and no elements.
    Matrix();
    // `dimCount` sizes copied from `dims`; every element 0. Without dimensions the matrix holds
    // one element. Throws PBN::Exception "Matrix too large" when the element count does not fit
    // an unsigned int.
    Matrix(const unsigned& dimCount, const unsigned* dims);
    Matrix(const Matrix& other);
    // Takes other's elements; other is left without dimensions and elements.
    Matrix(Matrix&& other) noexcept;
    // A deep copy, into this storage when the shapes are equal; self-assignment does nothing. On
    // failure the matrix is unchanged.
    Matrix& operator=(const Matrix& other);
    Matrix& operator=(Matrix&& other) noexcept;
    virtual ~Matrix();

    // ---- shape ----
    bool isNull() const;   // no dimensions
    bool isScalar() const; // every dimension at most 1 (also without dimensions)
    bool isVector() const;
    bool isBiDimMatrix() const;
    bool isTriDimMatrix() const;
    unsigned getDimCount() const;
    // The size of dimension n; 0 past the last dimension.
    unsigned getDimension(const unsigned& n) const;

    // ---- elements ----
    double get() const; // element 0
    double get(const unsigned& i) const;
    double get(const unsigned& i, const unsigned& j) const;
    double get(const unsigned& i, const unsigned& j, const unsigned& k) const;
    void put(const double& value); // element 0
    void put(const unsigned& i, const double& value);
    void put(const unsigned& i, const unsigned& j, const double& value);
    void put(const unsigned& i, const unsigned& j, const unsigned& k, const double& value);
    double& operator()(const unsigned& i);
    double& operator()(const unsigned& i, const unsigned& j);
    double& operator()(const unsigned& i, const unsigned& j, const unsigned& k);
    const double& operator()(const unsigned& i) const;
    const double& operator()(const unsigned& i, const unsigned& j) const;
    const double& operator()(const unsigned& i, const unsigned& j, const unsigned& k) const;

    // ---- element-wise arithmetic ----
    // Throw "Matrices cannot be added" / "subtracted" / "multiplied" / "divided" when the shapes
    // do not fit. Division by 0 follows IEEE arithmetic.
    Matrix& operator+=(const Matrix& right);
    Matrix& operator-=(const Matrix& right);
    Matrix& operator*=(const Matrix& right);
    Matrix& operator/=(const Matrix& right);
    // The right element replaces this one when it is greater (setMax) or smaller (setMin); a NaN
    // on either side leaves the element. Throw "Dimensionalities mismatch" (dimension counts
    // differ) or "Dimensions mismatch" (a size differs).
    Matrix& setMax(const Matrix& right);
    Matrix& setMin(const Matrix& right);
    Matrix operator+(const Matrix& right) const;
    Matrix operator-(const Matrix& right) const;
    Matrix operator*(const Matrix& right) const;
    Matrix operator/(const Matrix& right) const;
    Matrix max(const Matrix& right) const;
    Matrix min(const Matrix& right) const;

    // ---- element functions: in place, or on a copy ----
    Matrix& invert(); // sign change
    Matrix operator-() const;
    Matrix& setAbs();
    Matrix abs() const;
    Matrix& setSqrt();
    Matrix sqrt() const;
    Matrix& setLog();
    Matrix log() const;
    Matrix& setLog10();
    Matrix log10() const;
    Matrix& setExp();
    Matrix exp() const;
    // x to the integer power by repeated squaring; a negative n gives 1 / x to the power -n.
    Matrix& setPow(const int& n);
    Matrix pow(const int& n) const;
    Matrix& setPow(const double& y);
    Matrix pow(const double& y) const;

    // ---- comparison ----
    // Same shape and every element pair equal within the relative tolerance of PBN::Maths::eq.
    bool operator==(const Matrix& right) const;
    bool operator!=(const Matrix& right) const;
    // Every element pair strictly ordered beyond that tolerance. Throw "Matrices are not
    // comparable" when the shapes differ.
    bool operator>(const Matrix& right) const;
    bool operator<(const Matrix& right) const;
    bool operator>=(const Matrix& right) const; // not <
    bool operator<=(const Matrix& right) const; // not >

    // ---- factories: every element set to v ----
    static Matrix createScalar(const double& v); // one dimension of size 1
    static Matrix createVector(const unsigned& n, const double& v);
    static Matrix createBiDimMatrix(const unsigned& n, const unsigned& m, const double& v);
    static Matrix createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p,
                                     const double& v);

private:
    // The array operations, shared with ComplexMatrix.
    friend struct ArrayCore::Array;

    double* items;
    unsigned* dims;
    unsigned dimCount;
    unsigned total;
};

} // namespace FRX
