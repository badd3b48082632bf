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
    items = ArrayCore::allocate<double>(total);
    this->dims = sizes.release();
}

Matrix::Matrix(const Matrix& other) : Matrix() {
    std::unique_ptr<unsigned[]> sizes(ArrayCore::duplicate(other.dims, other.dimCount));
    items = ArrayCore::duplicate(other.items, other.total);
    dims = sizes.release();
    dimCount = other.dimCount;
    total = other.total;
}

Matrix& Matrix::operator=(const Matrix& other) {
    if (this != &other) {
        Matrix copy(other);
        swap(copy);
    }
    return *this;
}

Matrix::~Matrix() {
    delete[] items;
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

template <typename Op>
Matrix& Matrix::apply(const Matrix& right, const char* countDiffers, const char* sizeDiffers, Op op) {
    ArrayCore::combine(items, ArrayCore::Shape{dimCount, dims, total}, right.items,
                       ArrayCore::Shape{right.dimCount, right.dims, right.total},
                       ArrayCore::Mismatch{countDiffers, sizeDiffers}, op);
    return *this;
}

Matrix& Matrix::operator+=(const Matrix& right) {
    const char* text = "Matrices cannot be added";
    return apply(right, text, text, [](double& a, double b) { a += b; });
}
Matrix& Matrix::operator-=(const Matrix& right) {
    const char* text = "Matrices cannot be subtracted";
    return apply(right, text, text, [](double& a, double b) { a -= b; });
}
Matrix& Matrix::operator*=(const Matrix& right) {
    const char* text = "Matrices cannot be multiplied";
    return apply(right, text, text, [](double& a, double b) { a *= b; });
}
Matrix& Matrix::operator/=(const Matrix& right) {
    const char* text = "Matrices cannot be divided";
    return apply(right, text, text, [](double& a, double b) { a /= b; });
}
Matrix& Matrix::setMax(const Matrix& right) {
    return apply(right, "Dimensionalities mismatch", "Dimensions mismatch", [](double& a, double b) {
        if (b > a) {
            a = b;
        }
    });
}
Matrix& Matrix::setMin(const Matrix& right) {
    return apply(right, "Dimensionalities mismatch", "Dimensions mismatch", [](double& a, double b) {
        if (a > b) {
            a = b;
        }
    });
}

Matrix Matrix::operator+(const Matrix& right) const {
    return Matrix(*this) += right;
}
Matrix Matrix::operator-(const Matrix& right) const {
    return Matrix(*this) -= right;
}
Matrix Matrix::operator*(const Matrix& right) const {
    return Matrix(*this) *= right;
}
Matrix Matrix::operator/(const Matrix& right) const {
    return Matrix(*this) /= right;
}
Matrix Matrix::max(const Matrix& right) const {
    return Matrix(*this).setMax(right);
}
Matrix Matrix::min(const Matrix& right) const {
    return Matrix(*this).setMin(right);
}

// ---- element functions ----

template <typename Op> Matrix& Matrix::applyEach(Op op) {
    ArrayCore::forEach(items, total, op);
    return *this;
}

Matrix& Matrix::invert() {
    return applyEach([](double& a) { a = -a; });
}
Matrix Matrix::operator-() const {
    return Matrix(*this).invert();
}
Matrix& Matrix::setAbs() {
    return applyEach([](double& a) { a = PBN::Maths::abs(a); });
}
Matrix Matrix::abs() const {
    return Matrix(*this).setAbs();
}
Matrix& Matrix::setSqrt() {
    return applyEach([](double& a) { a = std::sqrt(a); });
}
Matrix Matrix::sqrt() const {
    return Matrix(*this).setSqrt();
}
Matrix& Matrix::setLog() {
    return applyEach([](double& a) { a = std::log(a); });
}
Matrix Matrix::log() const {
    return Matrix(*this).setLog();
}
Matrix& Matrix::setLog10() {
    return applyEach([](double& a) { a = std::log10(a); });
}
Matrix Matrix::log10() const {
    return Matrix(*this).setLog10();
}
Matrix& Matrix::setExp() {
    return applyEach([](double& a) { a = std::exp(a); });
}
Matrix Matrix::exp() const {
    return Matrix(*this).setExp();
}
Matrix& Matrix::setPow(const int& n) {
    // The magnitude as unsigned: -INT_MIN does not fit an int.
    const unsigned magnitude = n < 0 ? 0U - static_cast<unsigned>(n) : static_cast<unsigned>(n);
    if (n < 0) {
        return applyEach([magnitude](double& a) { a = 1.0 / powerOf(a, magnitude); });
    }
    return applyEach([magnitude](double& a) { a = powerOf(a, magnitude); });
}
Matrix Matrix::pow(const int& n) const {
    return Matrix(*this).setPow(n);
}
Matrix& Matrix::setPow(const double& y) {
    return applyEach([y](double& a) { a = std::pow(a, y); });
}
Matrix Matrix::pow(const double& y) const {
    return Matrix(*this).setPow(y);
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
