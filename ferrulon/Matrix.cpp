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

using ArrayCore::Array;

Matrix::Matrix() : items(nullptr), dims(nullptr), dimCount(0), total(0) {}

Matrix::Matrix(const unsigned& dimCount, const unsigned* dims) : Matrix() {
    Array::make(*this, dimCount, dims);
}

Matrix::Matrix(const Matrix& other) : Matrix() {
    Array::copy(*this, other);
}

Matrix::Matrix(Matrix&& other) noexcept : Matrix() {
    Array::swap(*this, other);
}

Matrix& Matrix::operator=(const Matrix& other) {
    return Array::assign(*this, other);
}

Matrix& Matrix::operator=(Matrix&& other) noexcept {
    return Array::take(*this, std::move(other));
}

Matrix::~Matrix() {
    Array::release(*this);
}

// ---- shape ----

bool Matrix::isNull() const {
    return dimCount == 0;
}
bool Matrix::isScalar() const {
    return ArrayCore::isScalar(Array::shape(*this));
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
    return Array::dimension(*this, n);
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
    return Array::at(*this, i);
}
double& Matrix::operator()(const unsigned& i, const unsigned& j) {
    return Array::at(*this, i, j);
}
double& Matrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) {
    return Array::at(*this, i, j, k);
}
const double& Matrix::operator()(const unsigned& i) const {
    return Array::at(*this, i);
}
const double& Matrix::operator()(const unsigned& i, const unsigned& j) const {
    return Array::at(*this, i, j);
}
const double& Matrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) const {
    return Array::at(*this, i, j, k);
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

Matrix& Matrix::operator+=(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kAdded, kAdded}, plus);
}
Matrix& Matrix::operator-=(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kSubtracted, kSubtracted}, minus);
}
Matrix& Matrix::operator*=(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kMultiplied, kMultiplied}, times);
}
Matrix& Matrix::operator/=(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kDivided, kDivided}, over);
}
Matrix& Matrix::setMax(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kCountDiffers, kSizeDiffers}, greater);
}
Matrix& Matrix::setMin(const Matrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kCountDiffers, kSizeDiffers}, smaller);
}

Matrix Matrix::operator+(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kAdded, kAdded}, plus);
}
Matrix Matrix::operator-(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kSubtracted, kSubtracted}, minus);
}
Matrix Matrix::operator*(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kMultiplied, kMultiplied}, times);
}
Matrix Matrix::operator/(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kDivided, kDivided}, over);
}
Matrix Matrix::max(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kCountDiffers, kSizeDiffers}, greater);
}
Matrix Matrix::min(const Matrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kCountDiffers, kSizeDiffers}, smaller);
}

// ---- element functions ----

Matrix& Matrix::invert() {
    return Array::applyEach(*this, negated);
}
Matrix Matrix::operator-() const {
    return Array::mapped(*this, negated);
}
Matrix& Matrix::setAbs() {
    return Array::applyEach(*this, absolute);
}
Matrix Matrix::abs() const {
    return Array::mapped(*this, absolute);
}
Matrix& Matrix::setSqrt() {
    return Array::applyEach(*this, root);
}
Matrix Matrix::sqrt() const {
    return Array::mapped(*this, root);
}
Matrix& Matrix::setLog() {
    return Array::applyEach(*this, natural);
}
Matrix Matrix::log() const {
    return Array::mapped(*this, natural);
}
Matrix& Matrix::setLog10() {
    return Array::applyEach(*this, decimal);
}
Matrix Matrix::log10() const {
    return Array::mapped(*this, decimal);
}
Matrix& Matrix::setExp() {
    return Array::applyEach(*this, exponential);
}
Matrix Matrix::exp() const {
    return Array::mapped(*this, exponential);
}
Matrix& Matrix::setPow(const int& n) {
    return Array::applyEach(*this, integerPower(n));
}
Matrix Matrix::pow(const int& n) const {
    return Array::mapped(*this, integerPower(n));
}
Matrix& Matrix::setPow(const double& y) {
    return Array::applyEach(*this, realPower(y));
}
Matrix Matrix::pow(const double& y) const {
    return Array::mapped(*this, realPower(y));
}

// ---- comparison ----

namespace {

// Throws "Matrices are not comparable" unless both have the same shape.
void requireSameShape(const ArrayCore::Shape& a, const ArrayCore::Shape& b) {
    if (!ArrayCore::sameShape(a, b)) {
        throw PBN::Exception(PBN::Strings::ostring("Matrices are not comparable"), PBN::Exception::SEVERE);
    }
}

} // namespace

bool Matrix::operator==(const Matrix& right) const {
    return Array::equal(*this, right, [](const double& a, const double& b) { return PBN::Maths::eq(a, b); });
}
bool Matrix::operator!=(const Matrix& right) const {
    return !(*this == right);
}

bool Matrix::operator>(const Matrix& right) const {
    requireSameShape(Array::shape(*this), Array::shape(right));
    return Array::everyPair(*this, right,
                            [](const double& a, const double& b) { return PBN::Maths::gt(a, b); });
}
bool Matrix::operator<(const Matrix& right) const {
    requireSameShape(Array::shape(*this), Array::shape(right));
    return Array::everyPair(*this, right,
                            [](const double& a, const double& b) { return PBN::Maths::lt(a, b); });
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
    return Array::filled<Matrix>(1, dims, v);
}
Matrix Matrix::createVector(const unsigned& n, const double& v) {
    const unsigned dims[] = {n};
    return Array::filled<Matrix>(1, dims, v);
}
Matrix Matrix::createBiDimMatrix(const unsigned& n, const unsigned& m, const double& v) {
    const unsigned dims[] = {n, m};
    return Array::filled<Matrix>(2, dims, v);
}
Matrix Matrix::createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p, const double& v) {
    const unsigned dims[] = {n, m, p};
    return Array::filled<Matrix>(3, dims, v);
}

} // namespace FRX
