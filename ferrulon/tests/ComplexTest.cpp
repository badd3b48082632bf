#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <utility>

#include "ferrulon/Complex.h"
#include "ferrulon/ComplexMatrix.h"
#include "pemblon/core/Exception.h"

using FRX::Complex;
using FRX::ComplexMatrix;

TEST(Complex, ArithmeticAndFunctionsAreTheStandardOnes) {
    const Complex z(3, 4);
    const std::complex<double> s(3, 4);
    EXPECT_EQ(z.abs(), 5.0);
    EXPECT_EQ(z.arg(), std::arg(s));
    EXPECT_FALSE(z == 3.0);
    EXPECT_TRUE(z != 3.0);
    EXPECT_TRUE(Complex(3) == 3.0);
    EXPECT_TRUE(z == Complex(s));
    EXPECT_TRUE(z.conj() == Complex(3, -4));
    EXPECT_TRUE(z.exp() == Complex(std::exp(s)));
    EXPECT_TRUE(z.log() == Complex(std::log(s)));
    EXPECT_TRUE(z.sqrt() == Complex(std::sqrt(s)));
    EXPECT_TRUE(z.sin() == Complex(std::sin(s)) && z.cos() == Complex(std::cos(s)) &&
                z.tan() == Complex(std::tan(s)));
    EXPECT_TRUE(z.sinh() == Complex(std::sinh(s)) && z.cosh() == Complex(std::cosh(s)) &&
                z.tanh() == Complex(std::tanh(s)));
    EXPECT_TRUE(z.pow(2) == Complex(std::pow(s, 2)));
    EXPECT_TRUE(z.pow(0.5) == Complex(std::pow(s, 0.5)));
    EXPECT_TRUE(z.pow(Complex(0, 1)) == Complex(std::pow(s, std::complex<double>(0, 1))));

    Complex w = z;
    w += 1.0;
    w *= Complex(0, 1);
    w -= Complex(1, 1);
    w /= 2.0;
    EXPECT_TRUE(w == Complex(-2.5, 1.5));
    EXPECT_TRUE(z * 2.0 - 1.0 == Complex(5, 8));
    EXPECT_TRUE((z + Complex(1, 1)) / Complex(0, 1) == Complex(5, -4));
    EXPECT_TRUE(-z == Complex(-3, -4));
    w = 7.0;
    EXPECT_TRUE(w == Complex(7, 0));
    w.real(1);
    w.imag(-1);
    EXPECT_EQ(w.real(), 1.0);
    EXPECT_EQ(w.imag(), -1.0);
    w = w;
    EXPECT_TRUE(w == Complex(1, -1));
    EXPECT_TRUE(std::isinf((Complex(1, 0) / 0.0).real()));
}

TEST(ComplexMatrix, StartsAtZeroAndBroadcastsScalars) {
    const unsigned dims[] = {2, 2};
    ComplexMatrix m(2, dims);
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_TRUE(m.get(k) == Complex(0, 0));
    }
    m.put(0, 0, Complex(1, 2));
    m.put(1, 1, Complex(-3, 0.5));
    m(1, 0) = Complex(4, 0);
    m.put(Complex(1, 2));
    const ComplexMatrix turned = m * ComplexMatrix::createScalar(Complex(0, 1));
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_TRUE(turned(k) == m(k) * Complex(0, 1)) << k;
    }
    EXPECT_TRUE(turned.get(1, 1) == Complex(-0.5, -3));
    EXPECT_TRUE((m - m).get(3) == Complex(0, 0));
    EXPECT_TRUE((m + m / ComplexMatrix::createVector(1, Complex(2, 0))).get(1) == Complex(6, 0));
    EXPECT_TRUE((-m).get() == Complex(-1, -2));
    const ComplexMatrix cube = ComplexMatrix::createTriDimMatrix(2, 3, 4, Complex(1, 1));
    EXPECT_TRUE(cube.isTriDimMatrix() && cube.get(1, 2, 3) == Complex(1, 1));
    EXPECT_TRUE(ComplexMatrix::createBiDimMatrix(1, 1, 0).isScalar());
}

TEST(ComplexMatrix, ExactEqualityAndDeepCopies) {
    ComplexMatrix a = ComplexMatrix::createVector(3, Complex(1.0 / 3.0, 0.1));
    ComplexMatrix b(a);
    EXPECT_TRUE(a == b);
    b(2) = Complex(std::nextafter(1.0 / 3.0, 1.0), 0.1);
    EXPECT_TRUE(a != b); // differs in the last bit
    EXPECT_FALSE(a == ComplexMatrix::createBiDimMatrix(3, 1, Complex(1.0 / 3.0, 0.1)));
    a = a;
    EXPECT_TRUE(a == ComplexMatrix::createVector(3, Complex(1.0 / 3.0, 0.1)));
    b = a;
    b.invert();
    EXPECT_TRUE(a.get(0) == Complex(1.0 / 3.0, 0.1));
    EXPECT_TRUE(b.get(0) == Complex(-1.0 / 3.0, -0.1));
    EXPECT_TRUE(-a == b);
    EXPECT_TRUE((-ComplexMatrix()).isNull());
    // A move takes the storage and leaves the source without dimensions.
    const Complex* storage = &b(0);
    ComplexMatrix c(std::move(b));
    EXPECT_EQ(&c(0), storage);
    EXPECT_TRUE(b.isNull()); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    a = std::move(c);
    EXPECT_EQ(&a(0), storage);
}

TEST(ComplexMatrix, SharesTheShapeRulesOfRealMatrices) {
    const ComplexMatrix m = ComplexMatrix::createBiDimMatrix(2, 3, Complex(1, 1));
    const struct {
        const char* text;
        void (*op)(ComplexMatrix&);
    } cases[] = {
        {"Matrices cannot be added",
         [](ComplexMatrix& a) { a += ComplexMatrix::createBiDimMatrix(3, 2, 0); }},
        {"Matrices cannot be subtracted", [](ComplexMatrix& a) { a -= ComplexMatrix::createVector(6, 0); }},
        {"Matrices cannot be multiplied", [](ComplexMatrix& a) { a *= ComplexMatrix(); }},
        {"Matrices cannot be divided",
         [](ComplexMatrix& a) { a /= ComplexMatrix::createBiDimMatrix(2, 0, 0); }},
    };
    for (const auto& c : cases) {
        ComplexMatrix target(m);
        try {
            c.op(target);
            ADD_FAILURE() << "no exception: " << c.text;
        } catch (const PBN::Exception& e) {
            EXPECT_EQ(e.getMessage().str(), c.text);
            EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
        }
        EXPECT_TRUE(target == m);
    }
}
