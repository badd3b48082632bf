#pragma once

// FRX::ComplexMatrix, an N-dimensional array of FRX::Complex with the layout, index order,
// broadcast rule and messages of FRX::Matrix, element-wise arithmetic and exact comparison.
// Element access is not bounds-checked (debug builds assert).

#include "ferrulon/Complex.h"
#include "ferrulon/Export.h"

namespace FRX {

namespace ArrayCore {
struct Array;
}

class FRX_API ComplexMatrix {
public:
    // No dimensions and no elements.
    ComplexMatrix();
    // `dimCount` sizes copied from `dims`; every element 0 + 0i. Throws PBN::Exception "Matrix
    // too large" when the element count does not fit an unsigned int.
    ComplexMatrix(const unsigned& dimCount, const unsigned* dims);
    ComplexMatrix(const ComplexMatrix& other);
    // Takes other's elements; other is left without dimensions and elements.
    ComplexMatrix(ComplexMatrix&& other) noexcept;
    // A deep copy, into this storage when the shapes are equal; self-assignment does nothing. On
    // failure the matrix is unchanged.
    ComplexMatrix& operator=(const ComplexMatrix& other);
    ComplexMatrix& operator=(ComplexMatrix&& other) noexcept;
    virtual ~ComplexMatrix();

    // ---- shape ----
    bool isNull() const;
    bool isScalar() const;
    bool isVector() const;
    bool isBiDimMatrix() const;
    bool isTriDimMatrix() const;
    unsigned getDimCount() const;
    // The size of dimension n; 0 past the last dimension.
    unsigned getDimension(const unsigned& n) const;

    // ---- elements ----
    const Complex& get() const; // element 0
    const Complex& get(const unsigned& i) const;
    const Complex& get(const unsigned& i, const unsigned& j) const;
    const Complex& get(const unsigned& i, const unsigned& j, const unsigned& k) const;
    void put(const Complex& value); // element 0
    void put(const unsigned& i, const Complex& value);
    void put(const unsigned& i, const unsigned& j, const Complex& value);
    void put(const unsigned& i, const unsigned& j, const unsigned& k, const Complex& value);
    Complex& operator()(const unsigned& i);
    Complex& operator()(const unsigned& i, const unsigned& j);
    Complex& operator()(const unsigned& i, const unsigned& j, const unsigned& k);
    const Complex& operator()(const unsigned& i) const;
    const Complex& operator()(const unsigned& i, const unsigned& j) const;
    const Complex& operator()(const unsigned& i, const unsigned& j, const unsigned& k) const;

    // ---- element-wise arithmetic ----
    // Throw "Matrices cannot be added" / "subtracted" / "multiplied" / "divided" when the shapes
    // do not fit.
    ComplexMatrix& operator+=(const ComplexMatrix& right);
    ComplexMatrix& operator-=(const ComplexMatrix& right);
    ComplexMatrix& operator*=(const ComplexMatrix& right);
    ComplexMatrix& operator/=(const ComplexMatrix& right);
    ComplexMatrix operator+(const ComplexMatrix& right) const;
    ComplexMatrix operator-(const ComplexMatrix& right) const;
    ComplexMatrix operator*(const ComplexMatrix& right) const;
    ComplexMatrix operator/(const ComplexMatrix& right) const;
    ComplexMatrix& invert(); // every element negated
    ComplexMatrix operator-() const;

    // Same shape and every element pair exactly equal.
    bool operator==(const ComplexMatrix& right) const;
    bool operator!=(const ComplexMatrix& right) const;

    // ---- factories: every element set to v ----
    static ComplexMatrix createScalar(const Complex& v);
    static ComplexMatrix createVector(const unsigned& n, const Complex& v);
    static ComplexMatrix createBiDimMatrix(const unsigned& n, const unsigned& m, const Complex& v);
    static ComplexMatrix createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p,
                                            const Complex& v);

private:
    // The array operations, shared with Matrix.
    friend struct ArrayCore::Array;

    Complex* items;
    unsigned* dims;
    unsigned dimCount;
    unsigned total;
};

} // namespace FRX
