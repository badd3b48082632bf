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

ComplexMatrix::ComplexMatrix(const ComplexMatrix& other, Zeros) : ComplexMatrix() {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(other.dims, other.dimCount));
    items = ArrayCore::allocate<Complex>(other.total);
    dims = sizes.release();
    dimCount = other.dimCount;
    total = other.total;
}

ComplexMatrix::ComplexMatrix(const ComplexMatrix& other) : ComplexMatrix(other, Zeros{}) {
    std::copy(other.items, other.items + total, items);
}

ComplexMatrix::ComplexMatrix(ComplexMatrix&& other) noexcept : ComplexMatrix() {
    swap(other);
}

ComplexMatrix& ComplexMatrix::operator=(const ComplexMatrix& other) {
    if (this != &other &&
        !ArrayCore::copyIntoSameShape(items, ArrayCore::Shape{dimCount, dims, total}, other.items,
                                      ArrayCore::Shape{other.dimCount, other.dims, other.total})) {
        ComplexMatrix copy(other);
        swap(copy);
    }
    return *this;
}

ComplexMatrix& ComplexMatrix::operator=(ComplexMatrix&& other) noexcept {
    if (this != &other) {
        ComplexMatrix taken(std::move(other));
        swap(taken);
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

namespace {

const char* const kAdded = "Matrices cannot be added";
const char* const kSubtracted = "Matrices cannot be subtracted";
const char* const kMultiplied = "Matrices cannot be multiplied";
const char* const kDivided = "Matrices cannot be divided";

// One operation each, shared by the in-place form and the one returning a new matrix.
const auto plus = [](const Complex& a, const Complex& b) { return a + b; };
const auto minus = [](const Complex& a, const Complex& b) { return a - b; };
const auto times = [](const Complex& a, const Complex& b) { return a * b; };
const auto over = [](const Complex& a, const Complex& b) { return a / b; };

} // namespace

template <typename Op>
ComplexMatrix& ComplexMatrix::apply(const ComplexMatrix& right, const char* text, Op op) {
    ArrayCore::combine(items, items, ArrayCore::Shape{dimCount, dims, total}, right.items,
                       ArrayCore::Shape{right.dimCount, right.dims, right.total},
                       ArrayCore::Mismatch{text, text}, op);
    return *this;
}

template <typename Op>
ComplexMatrix ComplexMatrix::combined(const ComplexMatrix& right, const char* text, Op op) const {
    const ArrayCore::Shape shape{dimCount, dims, total};
    const ArrayCore::Shape rightShape{right.dimCount, right.dims, right.total};
    const ArrayCore::Mismatch texts{text, text};
    // Checked before the result's storage is taken.
    ArrayCore::broadcasts(shape, rightShape, texts);
    ComplexMatrix result(*this, Zeros{});
    ArrayCore::combine(result.items, items, shape, right.items, rightShape, texts, op);
    return result;
}

ComplexMatrix& ComplexMatrix::operator+=(const ComplexMatrix& right) {
    return apply(right, kAdded, plus);
}
ComplexMatrix& ComplexMatrix::operator-=(const ComplexMatrix& right) {
    return apply(right, kSubtracted, minus);
}
ComplexMatrix& ComplexMatrix::operator*=(const ComplexMatrix& right) {
    return apply(right, kMultiplied, times);
}
ComplexMatrix& ComplexMatrix::operator/=(const ComplexMatrix& right) {
    return apply(right, kDivided, over);
}
ComplexMatrix ComplexMatrix::operator+(const ComplexMatrix& right) const {
    return combined(right, kAdded, plus);
}
ComplexMatrix ComplexMatrix::operator-(const ComplexMatrix& right) const {
    return combined(right, kSubtracted, minus);
}
ComplexMatrix ComplexMatrix::operator*(const ComplexMatrix& right) const {
    return combined(right, kMultiplied, times);
}
ComplexMatrix ComplexMatrix::operator/(const ComplexMatrix& right) const {
    return combined(right, kDivided, over);
}

ComplexMatrix& ComplexMatrix::invert() {
    ArrayCore::forEach(items, items, total, [](const Complex& a) { return -a; });
    return *this;
}
ComplexMatrix ComplexMatrix::operator-() const {
    ComplexMatrix result(*this, Zeros{});
    ArrayCore::forEach(result.items, items, total, [](const Complex& a) { return -a; });
    return result;
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
