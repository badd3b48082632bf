#include "ferrulon/Matrix.h"

#include <cmath>
#include <utility>

#include "ferrulon/ArrayCore.h"
#include "pemblon/core/Exception.h"
#include "pemblon/core/Maths.h"

namespace FRX {

namespace {

// x to the power n by repeated squaring.
double powerOf(double x, unsigned n) {
    double result = 1.0;
    while (n != 0) {
        if (n & 1U) {
            result *= x;
        }
        x *= x;
        n >>= 1;
    }
    return result;
}

} // namespace

Matrix::Matrix() : items(nullptr), dims(nullptr), dimCount(0), total(0) {}

Matrix::Matrix(const unsigned& dimCount, const unsigned* dims)
    : items(nullptr), dims(nullptr), dimCount(dimCount), total(ArrayCore::elementCount(dimCount, dims)) {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(dims, dimCount));
    items = ArrayCore::allocateDoubles(total, true);
    this->dims = sizes.release();
}

Matrix::Matrix(const Matrix& other, Unset) : Matrix() {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(other.dims, other.dimCount));
    items = ArrayCore::allocateDoubles(other.total, false);
    dims = sizes.release();
    dimCount = other.dimCount;
    total = other.total;
}

Matrix::Matrix(const Matrix& other) : Matrix(other, Unset{}) {
    std::copy(other.items, other.items + total, items);
}

Matrix::Matrix(Matrix&& other) noexcept : Matrix() {
    swap(other);
}

Matrix& Matrix::operator=(const Matrix& other) {
    if (this != &other &&
        !ArrayCore::copyIntoSameShape(items, ArrayCore::Shape{dimCount, dims, total}, other.items,
                                      ArrayCore::Shape{other.dimCount, other.dims, other.total})) {
        Matrix copy(other);
        swap(copy);
    }
    return *this;
}

Matrix& Matrix::operator=(Matrix&& other) noexcept {
    if (this != &other) {
        Matrix taken(std::move(other));
        swap(taken);
    }
    return *this;
}

Matrix::~Matrix() {
    ArrayCore::releaseDoubles(items, total);
    delete[] dims;
}

void Matrix::swap(Matrix& other) noexcept {
    std::swap(items, other.items);
    std::swap(dims, other.dims);
    std::swap(dimCount, other.dimCount);
    std::swap(total, other.total);
}

// ---- shape ----

bool Matrix::isNull() const {
    return dimCount == 0;
}
bool Matrix::isScalar() const {
    return ArrayCore::isScalar(ArrayCore::Shape{dimCount, dims, total});
}
bool Matrix::isVector() const {
    return dimCount == 1;
}
bool Matrix::isBiDimMatrix() const {
    return dimCount == 2;
}
bool Matrix::isTriDimMatrix() const {
    return dimCount == 3;
}
unsigned Matrix::getDimCount() const {
    return dimCount;
}
unsigned Matrix::getDimension(const unsigned& n) const {
    return n < dimCount ? dims[n] : 0;
}

// ---- elements ----

double Matrix::get() const {
    return (*this)(0);
}
double Matrix::get(const unsigned& i) const {
    return (*this)(i);
}
double Matrix::get(const unsigned& i, const unsigned& j) const {
    return (*this)(i, j);
}
double Matrix::get(const unsigned& i, const unsigned& j, const unsigned& k) const {
    return (*this)(i, j, k);
}
void Matrix::put(const double& value) {
    (*this)(0) = value;
}
void Matrix::put(const unsigned& i, const double& value) {
    (*this)(i) = value;
}
void Matrix::put(const unsigned& i, const unsigned& j, const double& value) {
    (*this)(i, j) = value;
}
void Matrix::put(const unsigned& i, const unsigned& j, const unsigned& k, const double& value) {
    (*this)(i, j, k) = value;
}

double& Matrix::operator()(const unsigned& i) {
    assert(i < total);
    return items[i];
}
double& Matrix::operator()(const unsigned& i, const unsigned& j) {
    assert(dimCount >= 1);
    return (*this)(ArrayCore::flatIndex(dims, i, j));
}
double& Matrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) {
    assert(dimCount >= 2);
    return (*this)(ArrayCore::flatIndex(dims, i, j, k));
}
const double& Matrix::operator()(const unsigned& i) const {
    assert(i < total);
    return items[i];
}
const double& Matrix::operator()(const unsigned& i, const unsigned& j) const {
    assert(dimCount >= 1);
    return (*this)(ArrayCore::flatIndex(dims, i, j));
}
const double& Matrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) const {
    assert(dimCount >= 2);
    return (*this)(ArrayCore::flatIndex(dims, i, j, k));
}

// ---- element-wise arithmetic ----

namespace {

const char* const kAdded = "Matrices cannot be added";
const char* const kSubtracted = "Matrices cannot be subtracted";
const char* const kMultiplied = "Matrices cannot be multiplied";
const char* const kDivided = "Matrices cannot be divided";
const char* const kCountDiffers = "Dimensionalities mismatch";
const char* const kSizeDiffers = "Dimensions mismatch";

// One operation each, shared by the in-place form and the one returning a new matrix.
const auto plus = [](double a, double b) { return a + b; };
const auto minus = [](double a, double b) { return a - b; };
const auto times = [](double a, double b) { return a * b; };
const auto over = [](double a, double b) { return a / b; };
// A NaN on either side keeps the left element.
const auto greater = [](double a, double b) { return b > a ? b : a; };
const auto smaller = [](double a, double b) { return a > b ? b : a; };
const auto negated = [](double a) { return -a; };
const auto absolute = [](double a) { return PBN::Maths::abs(a); };
const auto root = [](double a) { return std::sqrt(a); };
const auto natural = [](double a) { return std::log(a); };
const auto decimal = [](double a) { return std::log10(a); };
const auto exponential = [](double a) { return std::exp(a); };

auto integerPower(const int& n) {
    // The magnitude as unsigned: -INT_MIN does not fit an int.
    const unsigned magnitude = n < 0 ? 0U - static_cast<unsigned>(n) : static_cast<unsigned>(n);
    const bool reciprocal = n < 0;
    return [magnitude, reciprocal](double a) {
        const double p = powerOf(a, magnitude);
        return reciprocal ? 1.0 / p : p;
    };
}

auto realPower(const double& y) {
    return [y](double a) { return std::pow(a, y); };
}

} // namespace

template <typename Op>
Matrix& Matrix::apply(const Matrix& right, const char* countDiffers, const char* sizeDiffers, Op op) {
    ArrayCore::combine(items, items, ArrayCore::Shape{dimCount, dims, total}, right.items,
                       ArrayCore::Shape{right.dimCount, right.dims, right.total},
                       ArrayCore::Mismatch{countDiffers, sizeDiffers}, op);
    return *this;
}

template <typename Op>
Matrix Matrix::combined(const Matrix& right, const char* countDiffers, const char* sizeDiffers, Op op) const {
    const ArrayCore::Shape shape{dimCount, dims, total};
    const ArrayCore::Shape rightShape{right.dimCount, right.dims, right.total};
    const ArrayCore::Mismatch texts{countDiffers, sizeDiffers};
    // Checked before the result's storage is taken.
    ArrayCore::broadcasts(shape, rightShape, texts);
    Matrix result(*this, Unset{});
    ArrayCore::combine(result.items, items, shape, right.items, rightShape, texts, op);
    return result;
}

Matrix& Matrix::operator+=(const Matrix& right) {
    return apply(right, kAdded, kAdded, plus);
}
Matrix& Matrix::operator-=(const Matrix& right) {
    return apply(right, kSubtracted, kSubtracted, minus);
}
Matrix& Matrix::operator*=(const Matrix& right) {
    return apply(right, kMultiplied, kMultiplied, times);
}
Matrix& Matrix::operator/=(const Matrix& right) {
    return apply(right, kDivided, kDivided, over);
}
Matrix& Matrix::setMax(const Matrix& right) {
    return apply(right, kCountDiffers, kSizeDiffers, greater);
}
Matrix& Matrix::setMin(const Matrix& right) {
    return apply(right, kCountDiffers, kSizeDiffers, smaller);
}

Matrix Matrix::operator+(const Matrix& right) const {
    return combined(right, kAdded, kAdded, plus);
}
Matrix Matrix::operator-(const Matrix& right) const {
    return combined(right, kSubtracted, kSubtracted, minus);
}
Matrix Matrix::operator*(const Matrix& right) const {
    return combined(right, kMultiplied, kMultiplied, times);
}
Matrix Matrix::operator/(const Matrix& right) const {
    return combined(right, kDivided, kDivided, over);
}
Matrix Matrix::max(const Matrix& right) const {
    return combined(right, kCountDiffers, kSizeDiffers, greater);
}
Matrix Matrix::min(const Matrix& right) const {
    return combined(right, kCountDiffers, kSizeDiffers, smaller);
}

// ---- element functions ----

template <typename Op> Matrix& Matrix::applyEach(Op op) {
    ArrayCore::forEach(items, items, total, op);
    return *this;
}

template <typename Op> Matrix Matrix::mapped(Op op) const {
    Matrix result(*this, Unset{});
    ArrayCore::forEach(result.items, items, total, op);
    return result;
}

Matrix& Matrix::invert() {
    return applyEach(negated);
}
Matrix Matrix::operator-() const {
    return mapped(negated);
}
Matrix& Matrix::setAbs() {
    return applyEach(absolute);
}
Matrix Matrix::abs() const {
    return mapped(absolute);
}
Matrix& Matrix::setSqrt() {
    return applyEach(root);
}
Matrix Matrix::sqrt() const {
    return mapped(root);
}
Matrix& Matrix::setLog() {
    return applyEach(natural);
}
Matrix Matrix::log() const {
    return mapped(natural);
}
Matrix& Matrix::setLog10() {
    return applyEach(decimal);
}
Matrix Matrix::log10() const {
    return mapped(decimal);
}
Matrix& Matrix::setExp() {
    return applyEach(exponential);
}
Matrix Matrix::exp() const {
    return mapped(exponential);
}
Matrix& Matrix::setPow(const int& n) {
    return applyEach(integerPower(n));
}
Matrix Matrix::pow(const int& n) const {
    return mapped(integerPower(n));
}
Matrix& Matrix::setPow(const double& y) {
    return applyEach(realPower(y));
}
Matrix Matrix::pow(const double& y) const {
    return mapped(realPower(y));
}

// ---- comparison ----

namespace {

template <typename Test> bool everyPair(const double* a, const double* b, unsigned total, Test test) {
    for (unsigned k = 0; k < total; ++k) {
        if (!test(a[k], b[k])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool Matrix::operator==(const Matrix& right) const {
    return ArrayCore::sameShape(ArrayCore::Shape{dimCount, dims, total},
                                ArrayCore::Shape{right.dimCount, right.dims, right.total}) &&
           everyPair(items, right.items, total,
                     [](const double& a, const double& b) { return PBN::Maths::eq(a, b); });
}
bool Matrix::operator!=(const Matrix& right) const {
    return !(*this == right);
}

bool Matrix::operator>(const Matrix& right) const {
    requireSameShape(right);
    return everyPair(items, right.items, total,
                     [](const double& a, const double& b) { return PBN::Maths::gt(a, b); });
}
bool Matrix::operator<(const Matrix& right) const {
    requireSameShape(right);
    return everyPair(items, right.items, total,
                     [](const double& a, const double& b) { return PBN::Maths::lt(a, b); });
}
void Matrix::requireSameShape(const Matrix& right) const {
    if (!ArrayCore::sameShape(ArrayCore::Shape{dimCount, dims, total},
                              ArrayCore::Shape{right.dimCount, right.dims, right.total})) {
        throw PBN::Exception(PBN::Strings::ostring("Matrices are not comparable"), PBN::Exception::SEVERE);
    }
}
bool Matrix::operator>=(const Matrix& right) const {
    return !(*this < right);
}
bool Matrix::operator<=(const Matrix& right) const {
    return !(*this > right);
}

// ---- factories ----

Matrix Matrix::createScalar(const double& v) {
    const unsigned dims[] = {1};
    return ArrayCore::filled<Matrix>(1, dims, v);
}
Matrix Matrix::createVector(const unsigned& n, const double& v) {
    const unsigned dims[] = {n};
    return ArrayCore::filled<Matrix>(1, dims, v);
}
Matrix Matrix::createBiDimMatrix(const unsigned& n, const unsigned& m, const double& v) {
    const unsigned dims[] = {n, m};
    return ArrayCore::filled<Matrix>(2, dims, v);
}
Matrix Matrix::createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p, const double& v) {
    const unsigned dims[] = {n, m, p};
    return ArrayCore::filled<Matrix>(3, dims, v);
}

} // namespace FRX
