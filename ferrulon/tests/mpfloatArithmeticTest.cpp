#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "ferrulon/mpfloat.h"
#include "ferrulon/tests/mpfloatSupport.h"

namespace {

// An MPFR number for the expected results, cleared at the end of the scope.
struct Expected {
    mpfr_t v;
    explicit Expected(mpfr_prec_t prec) { mpfr_init2(v, prec); }
    ~Expected() { mpfr_clear(v); }
    operator mpfr_ptr() { return v; }
};

} // namespace

// ---- shortcuts that share storage ----

TEST_F(MpfloatTest, AddingAnIntegerZeroSharesTheOperand) {
    auto* x = new mpfloat(1.25, mpfloat::ROUND_NEAREST, 300UL);
    auto* sum = new mpfloat(*x + 0);
    EXPECT_TRUE(sharesStorage(*x, *sum));
    EXPECT_EQ(sum->getPrecision(), 300UL);
    EXPECT_TRUE(sharesStorage(*x, *x - 0UL));
    EXPECT_TRUE(sharesStorage(*x, short(0) + *x));
    delete x; // the storage must outlive the first holder...
    EXPECT_TRUE(*sum == 1.25);
    delete sum; // ...and be freed once by the last (AddressSanitizer checks both)
}

TEST_F(MpfloatTest, SumWithAZeroSharesTheOtherOperand) {
    const mpfloat zero(0, mpfloat::ROUND_NEAREST, 10UL);
    const mpfloat y(1.0 / 3.0, mpfloat::ROUND_NEAREST, 120UL);
    const mpfloat left = zero + y;
    EXPECT_TRUE(sharesStorage(left, y));
    EXPECT_EQ(left.getPrecision(), 120UL);
    EXPECT_TRUE(sharesStorage(y + zero, y));
    // -0 + +0 is +0 whatever the rounding, since the result is the right operand.
    mpfloat::setDefaultRndMode(mpfloat::ROUND_DOWN);
    EXPECT_EQ(sign(mpfloat(-0.0) + mpfloat(0.0)), 1);
    EXPECT_EQ(sign(mpfloat(0.0) + mpfloat(-0.0)), -1);
}

TEST_F(MpfloatTest, ZeroWithIntegers) {
    const mpfloat zero(0, mpfloat::ROUND_NEAREST, 300UL);
    const mpfloat plus = zero + 7;
    EXPECT_TRUE(plus == 7);
    EXPECT_EQ(plus.getPrecision(), 53UL);
    EXPECT_TRUE(zero - 5 == -5);
    EXPECT_TRUE(5U - zero == 5);
    EXPECT_TRUE(0UL - mpfloat(3) == -3);
    EXPECT_EQ(sign(0U - mpfloat(0.0)), -1); // unsigned 0 - x is -x
}

TEST_F(MpfloatTest, SignedAndUnsignedOperandsAgree) {
    const mpfloat x(3);
    EXPECT_TRUE(7 - x == 7U - x);
    EXPECT_TRUE(7L * x == 7UL * x);
    EXPECT_TRUE(7 / x == 7U / x);
    EXPECT_TRUE(x / 7L == x / 7UL);
    EXPECT_TRUE(x - short(7) == x - static_cast<unsigned short>(7));
    EXPECT_TRUE(x + -7 == x - 7);
    EXPECT_TRUE(7.0 / x == 7 / x);
    EXPECT_TRUE(0.5f * x == 1.5);
}

// ---- built-in operands are exact ----

TEST_F(MpfloatTest, LongOperandsAreNotRoundedToTheDefaultPrecisionFirst) {
    mpfloat::setDefaultRndMode(mpfloat::ROUND_DOWN);
    const long n = (1L << 53) + 1;
    const mpfloat tiny = mpfloat(1, mpfloat::ROUND_NEAREST, 53UL) / (1UL << 50) / (1UL << 50);
    Expected expected(53);
    mpfr_si_sub(expected, n, raw(tiny), MPFR_RNDD);
    EXPECT_TRUE(sameValue(n - tiny, expected));
    EXPECT_TRUE(mpfloat(1L << 53) < n);
    EXPECT_TRUE(n > mpfloat(1L << 53));
}

TEST_F(MpfloatTest, MostNegativeLongIsHandledWithoutOverflow) {
    mpfloat::setDefaultPrecision(64);
    const mpfloat x(3);
    EXPECT_TRUE(x + LONG_MIN == mpfloat(LONG_MIN) + 3);
    EXPECT_TRUE(x - LONG_MIN == mpfloat(LONG_MAX) + 4);
    EXPECT_TRUE(LONG_MIN - x == mpfloat(LONG_MIN) - 3);
    mpfloat y(x);
    y *= LONG_MIN;
    EXPECT_TRUE(y == mpfloat(LONG_MIN) * 3);
    y /= LONG_MIN;
    EXPECT_TRUE(y == 3);
    y -= LONG_MIN;
    y += LONG_MIN;
    EXPECT_TRUE(y == 3);
}

TEST_F(MpfloatTest, NegativeFactorsRoundInTheRequestedDirection) {
    const mpfloat third = mpfloat(1) / 3; // 53 bits, so times 3 needs rounding
    for (mpfr_rnd_t rnd : {mpfloat::ROUND_UP, mpfloat::ROUND_DOWN, mpfloat::ROUND_TO_ZERO}) {
        mpfloat::setDefaultRndMode(rnd);
        Expected product(53), quotient(53);
        mpfr_mul_si(product, raw(third), -3, rnd);
        mpfr_div_si(quotient, raw(third), -3, rnd);
        mpfloat x(third);
        x *= -3L;
        EXPECT_TRUE(sameValue(x, product)) << rnd;
        mpfloat y(third);
        y /= -3;
        EXPECT_TRUE(sameValue(y, quotient)) << rnd;
    }
    mpfloat::setDefaultRndMode(mpfloat::ROUND_UP);
    mpfloat x(third);
    x *= -3;
    EXPECT_TRUE(x > -1); // toward plus infinity
}

TEST_F(MpfloatTest, DivisionByAnIntegerZero) {
    mpfloat x(2);
    x /= 0L;
    EXPECT_TRUE(isInf(x) && sign(x) == 1);
    mpfloat y(-2);
    y /= 0;
    EXPECT_TRUE(isInf(y) && sign(y) == -1);
    mpfloat z(0.0);
    z /= 0L;
    EXPECT_TRUE(isNan(z));
    EXPECT_TRUE(isInf(mpfloat(-2) / 0UL) && sign(mpfloat(-2) / 0L) == -1);
}

// ---- compound assignments ----

TEST_F(MpfloatTest, CompoundAssignmentsKeepPrecisionAndDetach) {
    const mpfloat original(1, mpfloat::ROUND_NEAREST, 100UL);
    mpfloat x(original);
    x += 1;
    x *= 3.0;
    x -= 0.5f;
    x /= 2U;
    EXPECT_TRUE(x == 2.75);
    EXPECT_EQ(x.getPrecision(), 100UL);
    EXPECT_TRUE(original == 1);

    mpfloat shared(original);
    shared *= mpfloat(3);
    shared -= mpfloat(0.5);
    shared /= shared;
    shared += shared;
    EXPECT_TRUE(shared == 2);
    EXPECT_TRUE(original == 1);
    EXPECT_TRUE(isInf(mpfloat(INFINITY) += mpfloat(1)));
    EXPECT_TRUE(isNan(mpfloat(1) /= mpfloat()));

    mpfloat::setDefaultRndMode(mpfloat::ROUND_UP);
    mpfloat third(1, mpfloat::ROUND_NEAREST, 20UL);
    third /= mpfloat(3, mpfloat::ROUND_NEAREST, 200UL);
    Expected expected(20);
    mpfr_set_ui(expected, 1, MPFR_RNDN);
    mpfr_div_ui(expected, expected, 3, MPFR_RNDU);
    EXPECT_TRUE(sameValue(third, expected));
}

namespace {

// b = a, then a op= n: b keeps its value and precision, for every start (regular numbers take the
// inline path, zeros and special values the general one) and every operator n's type has.
template <typename T> void expectCompoundsLeaveTheOtherHolder(const T& n, const char* type) {
    const mpfloat starts[] = {mpfloat(1.25, mpfloat::ROUND_NEAREST, 100UL),
                              mpfloat(0.0, mpfloat::ROUND_NEAREST, 100UL),
                              mpfloat(-0.0, mpfloat::ROUND_NEAREST, 100UL),
                              mpfloat(-INFINITY, mpfloat::ROUND_NEAREST, 100UL), mpfloat()};
    for (const mpfloat& start : starts) {
        Expected before(mpfr_get_prec(raw(start)));
        mpfr_set(before, raw(start), MPFR_RNDN);
        const auto check = [&](const char* op, auto apply) {
            mpfloat a(start);
            const mpfloat b = a;
            apply(a);
            EXPECT_TRUE(sameValue(b, before)) << "b = a; a " << op << " " << type;
            EXPECT_TRUE(sameValue(start, before)) << op << " " << type;
        };
        check("+=", [&](mpfloat& a) { a += n; });
        check("-=", [&](mpfloat& a) { a -= n; });
        check("*=", [&](mpfloat& a) { a *= n; });
        if constexpr (requires(mpfloat a) { a /= n; }) {
            check("/=", [&](mpfloat& a) { a /= n; });
        }
    }
}

} // namespace

TEST_F(MpfloatTest, CompoundAssignmentsNeverChangeAnotherHolder) {
    for (int k : {3, 0}) {
        expectCompoundsLeaveTheOtherHolder(mpfloat(0.375 * k, mpfloat::ROUND_NEAREST, 60UL), "mpfloat");
        expectCompoundsLeaveTheOtherHolder(mpfloat(0.375 * k), "mpfloat, same precision");
        expectCompoundsLeaveTheOtherHolder(0.375f * k, "float");
        expectCompoundsLeaveTheOtherHolder(0.375 * k, "double");
        expectCompoundsLeaveTheOtherHolder(static_cast<short>(-k), "short");
        expectCompoundsLeaveTheOtherHolder(static_cast<unsigned short>(k), "unsigned short");
        expectCompoundsLeaveTheOtherHolder(-k, "int");
        expectCompoundsLeaveTheOtherHolder(static_cast<unsigned>(k), "unsigned int");
        expectCompoundsLeaveTheOtherHolder(static_cast<long>(-k), "long");
        expectCompoundsLeaveTheOtherHolder(static_cast<unsigned long>(k), "unsigned long");
    }
    // The case the inline path must guard: both regular, the same precision.
    mpfloat a(1.25);
    const mpfloat b = a;
    a += mpfloat(0.375);
    EXPECT_TRUE(b == 1.25);
    EXPECT_TRUE(a == 1.625);
}

TEST_F(MpfloatTest, CompoundShortcutsWithZeros) {
    const mpfloat y(1.0 / 3.0); // 53 bits
    mpfloat same(0, mpfloat::ROUND_NEAREST, 53UL);
    same += y;
    EXPECT_TRUE(sharesStorage(same, y));

    mpfloat narrow(0, mpfloat::ROUND_NEAREST, 8UL);
    narrow += y;
    EXPECT_EQ(narrow.getPrecision(), 8UL);
    EXPECT_TRUE(narrow == 0.333984375);

    mpfloat x(2);
    const mpfloat holder(x);
    x += mpfloat(0.0);
    x -= mpfloat(-0.0);
    x += 0;
    x -= 0U;
    EXPECT_TRUE(sharesStorage(x, holder)); // nothing was written

    mpfloat zero(0.0);
    zero -= mpfloat(0.0);
    EXPECT_EQ(sign(zero), 1); // 0 -= 0 stays +0

    mpfloat negated(0, mpfloat::ROUND_NEAREST, 8UL);
    negated -= y;
    EXPECT_EQ(negated.getPrecision(), 8UL);
    EXPECT_TRUE(negated == -0.333984375);
}

// ---- operations into a given result ----

TEST_F(MpfloatTest, ResultOperationsReadOperandsBeforeWriting) {
    mpfloat x(5, mpfloat::ROUND_NEAREST, 30UL);
    const mpfloat z(x);
    const mpfloat y(2);
    mpfloat::sub(x, x, y, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(x == 3);
    EXPECT_TRUE(z == 5);
    EXPECT_EQ(x.getPrecision(), 30UL);

    mpfloat r(0, mpfloat::ROUND_NEAREST, 4UL);
    mpfloat::add(r, y, mpfloat(1.0 / 3.0), mpfloat::ROUND_DOWN);
    EXPECT_EQ(r.getPrecision(), 4UL);
    EXPECT_TRUE(r == 2.25);

    mpfloat m(3);
    const mpfloat m0(m);
    mpfloat::mul(m, m, m, mpfloat::ROUND_NEAREST);
    mpfloat::fma(m, m, m0, m, mpfloat::ROUND_NEAREST); // 9 * 3 + 9
    EXPECT_TRUE(m == 36);
    mpfloat::div(m, m, y, mpfloat::ROUND_NEAREST);
    mpfloat::neg(m, m, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(m == -18);
    EXPECT_TRUE(m0 == 3);
}

// ---- comparison ----

TEST_F(MpfloatTest, NanComparesEqualToEverything) {
    const mpfloat nan;
    EXPECT_EQ(compare(nan, mpfloat(1)), 0);
    EXPECT_TRUE(nan == mpfloat(1) && nan <= 1 && nan >= 1.0);
    EXPECT_FALSE(nan != 1 || nan < 1 || nan > 1);
    EXPECT_TRUE(2 == nan);
    EXPECT_TRUE(isNan(nan));
}

TEST_F(MpfloatTest, ReversedComparisonsAgree) {
    const std::vector<double> values = {-INFINITY, -3, -0.0, 0.0, 1.5, 2, 2.0000001, 1e300, INFINITY};
    for (double v : values) {
        const mpfloat x(v);
        EXPECT_EQ(2 < x, x > 2) << v;
        EXPECT_EQ(2U <= x, x >= 2U) << v;
        EXPECT_EQ(2.0f > x, x < 2.0f) << v;
        EXPECT_EQ(short(2) >= x, x <= short(2)) << v;
        EXPECT_EQ(2L == x, x == 2L) << v;
        EXPECT_EQ(2UL != x, x != 2UL) << v;
        EXPECT_EQ(x < mpfloat(2), compare(x, 2.0) < 0) << v;
    }
    EXPECT_GT(compare(mpfloat(1e10), 4000000000U), 0);
    EXPECT_LT(compare(mpfloat(-1), static_cast<unsigned short>(0)), 0);
    EXPECT_EQ(compare(mpfloat(0.1f), 0.1f), 0);
}
