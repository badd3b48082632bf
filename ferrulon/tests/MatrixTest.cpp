#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "ferrulon/Matrix.h"
#include "pemblon/core/Exception.h"

using FRX::Matrix;

namespace {

// A matrix of the given sizes holding 0, 1, 2 ... in flat order.
Matrix counting(std::initializer_list<unsigned> sizes) {
    Matrix m(static_cast<unsigned>(sizes.size()), sizes.begin());
    unsigned total = 1;
    for (unsigned s : sizes) {
        total *= s;
    }
    for (unsigned k = 0; k < total; ++k) {
        m(k) = k;
    }
    return m;
}

// Runs the operation, expects a SEVERE PBN::Exception with that text, and checks that the
// left matrix kept its contents.
template <typename Op> void expectFailure(Matrix m, const std::string& text, Op op) {
    const Matrix before(m);
    try {
        op(m);
        ADD_FAILURE() << "no exception, expected " << text;
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), text);
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    EXPECT_TRUE(m == before) << text;
}

} // namespace

TEST(Matrix, ShapesAndFlatIndices) {
    const Matrix m = counting({2, 3});
    EXPECT_TRUE(m.isBiDimMatrix());
    EXPECT_FALSE(m.isScalar());
    EXPECT_EQ(m.getDimCount(), 2U);
    EXPECT_EQ(m.getDimension(1), 3U);
    EXPECT_EQ(m.getDimension(2), 0U);
    EXPECT_EQ(m.get(1, 2), 5.0);
    EXPECT_EQ(m(1, 2), 5.0);
    EXPECT_EQ(m.get(5), 5.0);
    const Matrix cube = counting({2, 3, 4});
    EXPECT_TRUE(cube.isTriDimMatrix());
    EXPECT_EQ(cube.get(1, 0, 1), 7.0);
    EXPECT_EQ(cube(1, 2, 3), 23.0);

    Matrix v = Matrix::createVector(3, 1.5);
    EXPECT_TRUE(v.isVector());
    v.put(2, 4.0);
    v.put(9.0);
    EXPECT_EQ(v.get(), 9.0);
    EXPECT_EQ(v.get(2), 4.0);
    Matrix c = counting({2, 3, 4});
    c.put(1, 2, 3, -1.0);
    c.put(0, 1, -2.0);
    EXPECT_EQ(c(23), -1.0);
    EXPECT_EQ(c(2), -2.0);

    const Matrix null;
    EXPECT_TRUE(null.isNull() && null.isScalar());
    EXPECT_TRUE(Matrix::createTriDimMatrix(1, 1, 1, 0).isScalar());
    const Matrix zeros(2, std::initializer_list<unsigned>{2, 2}.begin());
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_EQ(zeros(k), 0.0); // elements start at 0
    }
    const Matrix noDims(0, nullptr);
    EXPECT_TRUE(noDims.isNull());
    EXPECT_EQ(noDims.get(), 0.0); // one element
}

TEST(Matrix, CopiesAreDeepAndSelfAssignmentKeepsTheContents) {
    Matrix m = counting({2, 3});
    Matrix copy(m);
    copy(0) = 100;
    EXPECT_EQ(m(0), 0.0);
    m = m;
    EXPECT_TRUE(m == counting({2, 3}));
    copy = m;
    EXPECT_TRUE(copy == m);
    Matrix empty;
    copy = empty;
    EXPECT_TRUE(copy.isNull());
}

TEST(Matrix, MovesTakeTheStorageAndLeaveTheSourceEmpty) {
    Matrix a = counting({2, 3});
    const double* storage = &a(0);
    Matrix b(std::move(a));
    EXPECT_EQ(&b(0), storage);
    EXPECT_TRUE(a.isNull()); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(a.getDimension(0), 0U);
    Matrix c = counting({4});
    c = std::move(b);
    EXPECT_EQ(&c(0), storage);
    EXPECT_TRUE(c == counting({2, 3}));
    a = c; // a moved-from matrix takes a copy again
    EXPECT_TRUE(a == c);
    // A copy into a matrix of the same shape keeps its storage.
    Matrix d = counting({2, 3});
    const double* kept = &d(0);
    d(1) = 50;
    d = c;
    EXPECT_EQ(&d(0), kept);
    EXPECT_TRUE(d == c);
}

// Storage of 32 MiB and more is mapped apart, 2 MiB aligned; it starts at 0 like small storage,
// and value results, copies and moves of it behave like those of small matrices.
TEST(Matrix, LargeStorageIsAlignedZeroedAndBehavesLikeSmall) {
    const unsigned n = (33U << 20) / sizeof(double) + 3;
    Matrix a = Matrix::createVector(n, 2.0);
    Matrix zeros(1, &n);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&a(0)) % (2U << 20), 0U);
    EXPECT_EQ(zeros(0), 0.0);
    EXPECT_EQ(zeros(n - 1), 0.0);
    Matrix sum = a + zeros;
    Matrix root = a.sqrt();
    EXPECT_EQ(sum(n - 1), 2.0);
    EXPECT_EQ(root(n - 1), std::sqrt(2.0));
    Matrix copy(a);
    copy(n - 1) = 1.0;
    EXPECT_EQ(a(n - 1), 2.0);
    zeros = std::move(copy);
    EXPECT_EQ(zeros(n - 1), 1.0);
}

// Every value operation equals its in-place form, also under broadcast.
TEST(Matrix, ValueResultsEqualTheInPlaceOnes) {
    const Matrix a = counting({3, 2}) + Matrix::createScalar(1.0);
    const Matrix b = counting({3, 2}).setSqrt() + Matrix::createScalar(0.5);
    for (const Matrix& right : {b, Matrix::createScalar(1.5)}) {
        EXPECT_TRUE((a + right) == (Matrix(a) += right));
        EXPECT_TRUE((a - right) == (Matrix(a) -= right));
        EXPECT_TRUE((a * right) == (Matrix(a) *= right));
        EXPECT_TRUE((a / right) == (Matrix(a) /= right));
        EXPECT_TRUE(a.max(right) == Matrix(a).setMax(right));
        EXPECT_TRUE(a.min(right) == Matrix(a).setMin(right));
    }
    EXPECT_TRUE(-a == Matrix(a).invert());
    EXPECT_TRUE(a.abs() == Matrix(a).setAbs());
    EXPECT_TRUE(a.sqrt() == Matrix(a).setSqrt());
    EXPECT_TRUE(a.log() == Matrix(a).setLog());
    EXPECT_TRUE(a.log10() == Matrix(a).setLog10());
    EXPECT_TRUE(a.exp() == Matrix(a).setExp());
    EXPECT_TRUE(a.pow(-3) == Matrix(a).setPow(-3));
    EXPECT_TRUE(a.pow(0.5) == Matrix(a).setPow(0.5));
    // The operands stay as they were; a default-constructed matrix gives one without elements.
    EXPECT_TRUE(a == counting({3, 2}) + Matrix::createScalar(1.0));
    EXPECT_TRUE((-Matrix()).isNull());
    EXPECT_EQ((Matrix() + Matrix::createScalar(1.0)).getDimCount(), 0U);
}

TEST(Matrix, ElementCountThatOverflowsIsRefused) {
    const unsigned huge[] = {65536, 65536};
    try {
        Matrix m(2, huge);
        ADD_FAILURE() << "allocated " << m.getDimension(0);
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
        EXPECT_EQ(e.getMessage().str(), "Matrix too large");
    }
}

TEST(Matrix, ScalarOperandsAreBroadcast) {
    Matrix m = counting({2, 3});
    m += Matrix::createScalar(5);
    for (unsigned k = 0; k < 6; ++k) {
        EXPECT_EQ(m(k), k + 5.0);
    }
    m -= Matrix::createTriDimMatrix(1, 1, 1, 5);
    EXPECT_TRUE(m == counting({2, 3}));
    const Matrix twice = m * Matrix::createBiDimMatrix(1, 1, 2);
    EXPECT_EQ(twice(1, 2), 10.0);
    EXPECT_EQ((twice / Matrix::createScalar(4))(1, 2), 2.5);
    EXPECT_EQ((m + m)(5), 10.0);
    EXPECT_EQ((m - m)(5), 0.0);
    EXPECT_EQ((m / Matrix::createScalar(0))(1), INFINITY);
}

TEST(Matrix, MismatchedShapesThrowBeforeAnyChange) {
    const Matrix m = counting({2, 3});
    expectFailure(m, "Matrices cannot be added", [](Matrix& a) { a += counting({3, 2}); });
    expectFailure(m, "Matrices cannot be added", [](Matrix& a) { a += counting({6}); });
    expectFailure(m, "Matrices cannot be subtracted", [](Matrix& a) { a -= counting({3, 2}); });
    expectFailure(m, "Matrices cannot be multiplied", [](Matrix& a) { a *= counting({2, 3, 1}); });
    expectFailure(m, "Matrices cannot be divided", [](Matrix& a) { a /= counting({2}); });
    expectFailure(m, "Dimensionalities mismatch", [](Matrix& a) { a.setMax(counting({3})); });
    expectFailure(m, "Dimensions mismatch", [](Matrix& a) { a.setMax(counting({2, 4})); });
    expectFailure(m, "Dimensions mismatch", [](Matrix& a) { a.setMin(counting({2, 4})); });
    expectFailure(m, "Matrices cannot be added", [](Matrix& a) { a = a + counting({3, 2}); });
}

TEST(Matrix, OperandsWithoutElementsAreNeverBroadcast) {
    const Matrix m = counting({2, 3});
    expectFailure(m, "Matrices cannot be added", [](Matrix& a) { a += Matrix(); });
    expectFailure(m, "Dimensionalities mismatch", [](Matrix& a) { a.setMin(Matrix()); });
    expectFailure(m, "Matrices cannot be multiplied", [](Matrix& a) { a *= Matrix::createVector(0, 1); });
    // A single element without dimensions against an empty default matrix: same dimension
    // count, different element counts.
    expectFailure(Matrix(0, nullptr), "Matrices cannot be added", [](Matrix& a) { a += Matrix(); });
    // Empty operands of one shape combine: there is nothing to combine.
    Matrix empty;
    empty += Matrix();
    Matrix none = Matrix::createBiDimMatrix(0, 3, 1);
    none *= Matrix::createBiDimMatrix(0, 3, 1);
    EXPECT_TRUE(empty.isNull());
    EXPECT_EQ(none.getDimension(1), 3U);
}

TEST(Matrix, MaxAndMinKeepTheElementBesideNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Matrix a = Matrix::createVector(4, 1);
    a(1) = nan;
    Matrix b = Matrix::createVector(4, 2);
    b(2) = nan;
    b(3) = 0;
    const Matrix high = a.max(b);
    EXPECT_EQ(high(0), 2.0);
    EXPECT_TRUE(std::isnan(high(1)));
    EXPECT_EQ(high(2), 1.0);
    EXPECT_EQ(high(3), 1.0);
    const Matrix low = a.min(b);
    EXPECT_EQ(low(0), 1.0);
    EXPECT_TRUE(std::isnan(low(1)));
    EXPECT_EQ(low(2), 1.0);
    EXPECT_EQ(low(3), 0.0);
    EXPECT_EQ(a.setMax(Matrix::createScalar(3))(3), 3.0);
}

TEST(Matrix, ElementFunctions) {
    Matrix v = Matrix::createVector(2, 1);
    v(1) = -2;
    const Matrix inverted = -v;
    EXPECT_EQ(inverted(0), -1.0);
    EXPECT_EQ(inverted(1), 2.0);
    EXPECT_EQ(v(1), -2.0);
    EXPECT_EQ(v.abs()(1), 2.0);

    Matrix p = Matrix::createVector(2, 2);
    p(1) = 4;
    const Matrix reciprocal = p.pow(-2);
    EXPECT_EQ(reciprocal(0), 0.25);
    EXPECT_EQ(reciprocal(1), 0.0625);
    EXPECT_EQ(p.pow(10)(0), 1024.0);
    EXPECT_EQ(p.pow(0)(1), 1.0);
    EXPECT_EQ(p.pow(INT_MIN)(0), 0.0); // 1 / 2^2147483648 underflows to 0, without overflow of n
    EXPECT_EQ(Matrix::createScalar(1).pow(INT_MIN)(0), 1.0);
    EXPECT_DOUBLE_EQ(p.pow(0.5)(1), 2.0);
    EXPECT_DOUBLE_EQ(p.sqrt()(1), 2.0);
    EXPECT_DOUBLE_EQ(p.log()(0), std::log(2.0));
    EXPECT_DOUBLE_EQ(p.log10()(1), std::log10(4.0));
    EXPECT_DOUBLE_EQ(p.exp()(0), std::exp(2.0));
    p.setSqrt().setPow(2).invert().setAbs();
    EXPECT_DOUBLE_EQ(p(1), 4.0);
    EXPECT_TRUE(std::isnan(Matrix::createScalar(std::nan("")).setAbs()(0)));
}

TEST(Matrix, ComparisonIsTolerantAndStrictWhereItShouldBe) {
    const Matrix m = counting({2, 3});
    Matrix noisy(m);
    noisy(5) = 5.0 * (1 + std::numeric_limits<double>::epsilon());
    EXPECT_TRUE(m == noisy);
    EXPECT_FALSE(m != noisy);
    EXPECT_FALSE(m == counting({3, 2})); // a shape difference is simply unequal
    EXPECT_TRUE(m != Matrix());

    // A matrix is neither above nor below itself.
    EXPECT_FALSE(m > m);
    EXPECT_FALSE(m < m);
    EXPECT_TRUE(m >= m);
    EXPECT_TRUE(m <= m);
    const Matrix higher = m + Matrix::createScalar(1);
    EXPECT_TRUE(higher > m);
    EXPECT_TRUE(m < higher);
    EXPECT_FALSE(m > higher);
    EXPECT_TRUE(m <= higher);
    EXPECT_FALSE(m >= higher);

    try {
        (void)(m > counting({3, 2}));
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), "Matrices are not comparable");
    }
    EXPECT_THROW((void)(m <= counting({6})), PBN::Exception);
}
