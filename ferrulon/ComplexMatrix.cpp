#include "ferrulon/ComplexMatrix.h"

#include <utility>

#include "ferrulon/ArrayCore.h"

namespace FRX {

ComplexMatrix::ComplexMatrix() : items(nullptr), dims(nullptr), dimCount(0), total(0) {}

ComplexMatrix::ComplexMatrix(const unsigned& dimCount, const unsigned* dims)
    : items(nullptr), dims(nullptr), dimCount(dimCount), total(ArrayCore::elementCount(dimCount, dims)) {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(dims, dimCount));
    items = ArrayCore::allocate<Complex>(total);
    this->dims = sizes.release();
}

ComplexMatrix::ComplexMatrix(const ComplexMatrix& other) : ComplexMatrix() {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(other.dims, other.dimCount));
    items = ArrayCore::duplicate(other.items, other.total);
    dims = sizes.release();
    dimCount = other.dimCount;
    total = other.total;
}

ComplexMatrix& ComplexMatrix::operator=(const ComplexMatrix& other) {
    if (this != &other) {
        ComplexMatrix copy(other);
        swap(copy);
    }
    return *this;
}

ComplexMatrix::~ComplexMatrix() {
    delete[] items;
    delete[] dims;
}

void ComplexMatrix::swap(ComplexMatrix& other) noexcept {
    std::swap(items, other.items);
    std::swap(dims, other.dims);
    std::swap(dimCount, other.dimCount);
    std::swap(total, other.total);
}

// ---- shape ----

bool ComplexMatrix::isNull() const {
    return dimCount == 0;
}
bool ComplexMatrix::isScalar() const {
    return ArrayCore::isScalar(ArrayCore::Shape{dimCount, dims, total});
}
bool ComplexMatrix::isVector() const {
    return dimCount == 1;
}
bool ComplexMatrix::isBiDimMatrix() const {
    return dimCount == 2;
}
bool ComplexMatrix::isTriDimMatrix() const {
    return dimCount == 3;
}
unsigned ComplexMatrix::getDimCount() const {
    return dimCount;
}
unsigned ComplexMatrix::getDimension(const unsigned& n) const {
    return n < dimCount ? dims[n] : 0;
}

// ---- elements ----

const Complex& ComplexMatrix::get() const {
    return (*this)(0);
}
const Complex& ComplexMatrix::get(const unsigned& i) const {
    return (*this)(i);
}
const Complex& ComplexMatrix::get(const unsigned& i, const unsigned& j) const {
    return (*this)(i, j);
}
const Complex& ComplexMatrix::get(const unsigned& i, const unsigned& j, const unsigned& k) const {
    return (*this)(i, j, k);
}
void ComplexMatrix::put(const Complex& value) {
    (*this)(0) = value;
}
void ComplexMatrix::put(const unsigned& i, const Complex& value) {
    (*this)(i) = value;
}
void ComplexMatrix::put(const unsigned& i, const unsigned& j, const Complex& value) {
    (*this)(i, j) = value;
}
void ComplexMatrix::put(const unsigned& i, const unsigned& j, const unsigned& k, const Complex& value) {
    (*this)(i, j, k) = value;
}

Complex& ComplexMatrix::operator()(const unsigned& i) {
    assert(i < total);
    return items[i];
}
Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j) {
    assert(dimCount >= 1);
    return (*this)(ArrayCore::flatIndex(dims, i, j));
}
Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) {
    assert(dimCount >= 2);
    return (*this)(ArrayCore::flatIndex(dims, i, j, k));
}
const Complex& ComplexMatrix::operator()(const unsigned& i) const {
    assert(i < total);
    return items[i];
}
const Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j) const {
    assert(dimCount >= 1);
    return (*this)(ArrayCore::flatIndex(dims, i, j));
}
const Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) const {
    assert(dimCount >= 2);
    return (*this)(ArrayCore::flatIndex(dims, i, j, k));
}

// ---- element-wise arithmetic ----

template <typename Op>
ComplexMatrix& ComplexMatrix::apply(const ComplexMatrix& right, const char* text, Op op) {
    ArrayCore::combine(items, ArrayCore::Shape{dimCount, dims, total}, right.items,
                       ArrayCore::Shape{right.dimCount, right.dims, right.total},
                       ArrayCore::Mismatch{text, text}, op);
    return *this;
}

ComplexMatrix& ComplexMatrix::operator+=(const ComplexMatrix& right) {
    return apply(right, "Matrices cannot be added", [](Complex& a, const Complex& b) { a += b; });
}
ComplexMatrix& ComplexMatrix::operator-=(const ComplexMatrix& right) {
    return apply(right, "Matrices cannot be subtracted", [](Complex& a, const Complex& b) { a -= b; });
}
ComplexMatrix& ComplexMatrix::operator*=(const ComplexMatrix& right) {
    return apply(right, "Matrices cannot be multiplied", [](Complex& a, const Complex& b) { a *= b; });
}
ComplexMatrix& ComplexMatrix::operator/=(const ComplexMatrix& right) {
    return apply(right, "Matrices cannot be divided", [](Complex& a, const Complex& b) { a /= b; });
}
ComplexMatrix ComplexMatrix::operator+(const ComplexMatrix& right) const {
    return ComplexMatrix(*this) += right;
}
ComplexMatrix ComplexMatrix::operator-(const ComplexMatrix& right) const {
    return ComplexMatrix(*this) -= right;
}
ComplexMatrix ComplexMatrix::operator*(const ComplexMatrix& right) const {
    return ComplexMatrix(*this) *= right;
}
ComplexMatrix ComplexMatrix::operator/(const ComplexMatrix& right) const {
    return ComplexMatrix(*this) /= right;
}

ComplexMatrix& ComplexMatrix::invert() {
    ArrayCore::forEach(items, total, [](Complex& a) { a = -a; });
    return *this;
}
ComplexMatrix ComplexMatrix::operator-() const {
    return ComplexMatrix(*this).invert();
}

// ---- comparison ----

bool ComplexMatrix::operator==(const ComplexMatrix& right) const {
    return ArrayCore::sameShape(ArrayCore::Shape{dimCount, dims, total},
                                ArrayCore::Shape{right.dimCount, right.dims, right.total}) &&
           std::equal(items, items + total, right.items);
}
bool ComplexMatrix::operator!=(const ComplexMatrix& right) const {
    return !(*this == right);
}

// ---- factories ----

ComplexMatrix ComplexMatrix::createScalar(const Complex& v) {
    const unsigned dims[] = {1};
    return ArrayCore::filled<ComplexMatrix>(1, dims, v);
}
ComplexMatrix ComplexMatrix::createVector(const unsigned& n, const Complex& v) {
    const unsigned dims[] = {n};
    return ArrayCore::filled<ComplexMatrix>(1, dims, v);
}
ComplexMatrix ComplexMatrix::createBiDimMatrix(const unsigned& n, const unsigned& m, const Complex& v) {
    const unsigned dims[] = {n, m};
    return ArrayCore::filled<ComplexMatrix>(2, dims, v);
}
ComplexMatrix ComplexMatrix::createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p,
                                                const Complex& v) {
    const unsigned dims[] = {n, m, p};
    return ArrayCore::filled<ComplexMatrix>(3, dims, v);
}

} // namespace FRX
