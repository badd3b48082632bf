#include "ferrulon/ComplexMatrix.h"

#include <utility>

#include "ferrulon/ArrayCore.h"

namespace FRX {

using ArrayCore::Array;

ComplexMatrix::ComplexMatrix() : items(nullptr), dims(nullptr), dimCount(0), total(0) {}

ComplexMatrix::ComplexMatrix(const unsigned& dimCount, const unsigned* dims) : ComplexMatrix() {
    Array::make(*this, dimCount, dims);
}

ComplexMatrix::ComplexMatrix(const ComplexMatrix& other) : ComplexMatrix() {
    Array::copy(*this, other);
}

ComplexMatrix::ComplexMatrix(ComplexMatrix&& other) noexcept : ComplexMatrix() {
    Array::swap(*this, other);
}

ComplexMatrix& ComplexMatrix::operator=(const ComplexMatrix& other) {
    return Array::assign(*this, other);
}

ComplexMatrix& ComplexMatrix::operator=(ComplexMatrix&& other) noexcept {
    return Array::take(*this, std::move(other));
}

ComplexMatrix::~ComplexMatrix() {
    Array::release(*this);
}

// ---- shape ----

bool ComplexMatrix::isNull() const {
    return dimCount == 0;
}
bool ComplexMatrix::isScalar() const {
    return ArrayCore::isScalar(Array::shape(*this));
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
    return Array::dimension(*this, n);
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
    return Array::at(*this, i);
}
Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j) {
    return Array::at(*this, i, j);
}
Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) {
    return Array::at(*this, i, j, k);
}
const Complex& ComplexMatrix::operator()(const unsigned& i) const {
    return Array::at(*this, i);
}
const Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j) const {
    return Array::at(*this, i, j);
}
const Complex& ComplexMatrix::operator()(const unsigned& i, const unsigned& j, const unsigned& k) const {
    return Array::at(*this, i, j, k);
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
const auto negated = [](const Complex& a) { return -a; };

} // namespace

ComplexMatrix& ComplexMatrix::operator+=(const ComplexMatrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kAdded, kAdded}, plus);
}
ComplexMatrix& ComplexMatrix::operator-=(const ComplexMatrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kSubtracted, kSubtracted}, minus);
}
ComplexMatrix& ComplexMatrix::operator*=(const ComplexMatrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kMultiplied, kMultiplied}, times);
}
ComplexMatrix& ComplexMatrix::operator/=(const ComplexMatrix& right) {
    return Array::apply(*this, right, ArrayCore::Mismatch{kDivided, kDivided}, over);
}
ComplexMatrix ComplexMatrix::operator+(const ComplexMatrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kAdded, kAdded}, plus);
}
ComplexMatrix ComplexMatrix::operator-(const ComplexMatrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kSubtracted, kSubtracted}, minus);
}
ComplexMatrix ComplexMatrix::operator*(const ComplexMatrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kMultiplied, kMultiplied}, times);
}
ComplexMatrix ComplexMatrix::operator/(const ComplexMatrix& right) const {
    return Array::combined(*this, right, ArrayCore::Mismatch{kDivided, kDivided}, over);
}

ComplexMatrix& ComplexMatrix::invert() {
    return Array::applyEach(*this, negated);
}
ComplexMatrix ComplexMatrix::operator-() const {
    return Array::mapped(*this, negated);
}

// ---- comparison ----

bool ComplexMatrix::operator==(const ComplexMatrix& right) const {
    return Array::equal(*this, right, [](const Complex& a, const Complex& b) { return a == b; });
}
bool ComplexMatrix::operator!=(const ComplexMatrix& right) const {
    return !(*this == right);
}

// ---- factories ----

ComplexMatrix ComplexMatrix::createScalar(const Complex& v) {
    const unsigned dims[] = {1};
    return Array::filled<ComplexMatrix>(1, dims, v);
}
ComplexMatrix ComplexMatrix::createVector(const unsigned& n, const Complex& v) {
    const unsigned dims[] = {n};
    return Array::filled<ComplexMatrix>(1, dims, v);
}
ComplexMatrix ComplexMatrix::createBiDimMatrix(const unsigned& n, const unsigned& m, const Complex& v) {
    const unsigned dims[] = {n, m};
    return Array::filled<ComplexMatrix>(2, dims, v);
}
ComplexMatrix ComplexMatrix::createTriDimMatrix(const unsigned& n, const unsigned& m, const unsigned& p,
                                                const Complex& v) {
    const unsigned dims[] = {n, m, p};
    return Array::filled<ComplexMatrix>(3, dims, v);
}

} // namespace FRX
