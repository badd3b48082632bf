#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ferrulon/mpfloat.h"
#include "ferrulon/tests/mpfloatSupport.h"

using PBN::Strings::ostring;

namespace {

using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using MpfrBinary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
using Unary = mpfloat (*)(const mpfloat&, const mpfr_rnd_t&);
using Binary = mpfloat (*)(const mpfloat&, const mpfloat&, const mpfr_rnd_t&);

struct UnaryCase {
    const char* name;
    Unary ours;
    MpfrUnary mpfr;
    const char* argument;
};

struct BinaryCase {
    const char* name;
    Binary ours;
    MpfrBinary mpfr;
};

// Functions are computed at the default precision: set it to 200 bits, hand them arguments of
// other precisions, and compare with MPFR writing into a 200-bit number.
class MpfloatFunctionsTest : public MpfloatTest {
protected:
    void SetUp() override {
        MpfloatTest::SetUp();
        mpfloat::setDefaultPrecision(200);
        mpfr_init2(expected, 200);
    }
    void TearDown() override {
        mpfr_clear(expected);
        MpfloatTest::TearDown();
    }
    static mpfloat arg(const char* text) { return mpfloat(ostring(text), 10, mpfloat::ROUND_NEAREST, 300UL); }

    mpfr_t expected;
};

const mpfr_rnd_t modes[] = {mpfloat::ROUND_NEAREST, mpfloat::ROUND_TO_ZERO, mpfloat::ROUND_UP,
                            mpfloat::ROUND_DOWN};

} // namespace

TEST_F(MpfloatFunctionsTest, UnaryFunctionsMatchMpfr) {
    const UnaryCase cases[] = {
        {"sqrt", sqrt, mpfr_sqrt, "2.718281828459045235360287471352662497757"},
        {"cbrt", cbrt, mpfr_cbrt, "-10.5"},
        {"exp", exp, mpfr_exp, "1.2345678901234567890123456789"},
        {"exp2", exp2, mpfr_exp2, "0.3333333333333333333333333333333333"},
        {"expm1", expm1, mpfr_expm1, "1e-30"},
        {"log", log, mpfr_log, "7.389056098930650227230427460575"},
        {"log2", log2, mpfr_log2, "1000.5"},
        {"log10", log10, mpfr_log10, "0.001234"},
        {"log1p", log1p, mpfr_log1p, "1e-25"},
        {"sin", sin, mpfr_sin, "1e10"},
        {"cos", cos, mpfr_cos, "3.14159"},
        {"tan", tan, mpfr_tan, "1.5707963"},
        {"asin", asin, mpfr_asin, "0.70710678118654752440084436210485"},
        {"acos", acos, mpfr_acos, "-0.25"},
        {"atan", atan, mpfr_atan, "123.456"},
        {"sinh", sinh, mpfr_sinh, "2.5"},
        {"cosh", cosh, mpfr_cosh, "-3.75"},
        {"tanh", tanh, mpfr_tanh, "0.125"},
        {"asinh", asinh, mpfr_asinh, "-7.5"},
        {"acosh", acosh, mpfr_acosh, "1.0000001"},
        {"atanh", atanh, mpfr_atanh, "0.999"},
        {"gamma", gamma, mpfr_gamma, "4.5"},
        {"erf", erf, mpfr_erf, "0.6"},
        {"zeta", zeta, mpfr_zeta, "3"},
        {"sqrt of a negative", sqrt, mpfr_sqrt, "-1"},
        {"log of zero", log, mpfr_log, "0"},
    };
    for (const UnaryCase& c : cases) {
        const mpfloat x = arg(c.argument);
        for (mpfr_rnd_t rnd : modes) {
            c.mpfr(expected, raw(x), rnd);
            const mpfloat result = c.ours(x, rnd);
            EXPECT_TRUE(sameValue(result, expected)) << c.name << " rounding " << rnd;
        }
    }
}

TEST_F(MpfloatFunctionsTest, BinaryFunctionsMatchMpfr) {
    const BinaryCase cases[] = {{"agm", agm, mpfr_agm}, {"hypot", hypot, mpfr_hypot}};
    const mpfloat a = arg("1.4142135623730950488016887242097");
    const mpfloat b = arg("-0.577215664901532860606512090082");
    for (const BinaryCase& c : cases) {
        for (mpfr_rnd_t rnd : modes) {
            c.mpfr(expected, raw(a), raw(b), rnd);
            EXPECT_TRUE(sameValue(c.ours(a, b, rnd), expected)) << c.name << " rounding " << rnd;
            c.mpfr(expected, raw(b), raw(a), rnd);
            EXPECT_TRUE(sameValue(c.ours(b, a, rnd), expected)) << c.name << " swapped, rounding " << rnd;
        }
    }
    for (mpfr_rnd_t rnd : modes) {
        mpfr_reldiff(expected, raw(a), raw(b), rnd);
        EXPECT_TRUE(sameValue(relDiff(a, b, rnd), expected)) << "relDiff rounding " << rnd;
        mpfr_fac_ui(expected, 100, rnd);
        EXPECT_TRUE(sameValue(factorial(100, rnd), expected)) << rnd;
    }
}

TEST_F(MpfloatFunctionsTest, PowersRaiseTheValueItselfAtItsPrecision) {
    const mpfloat base = arg("1.0000000000000000000000001");
    const mpfloat y = arg("-2.5");
    mpfr_t exact;
    mpfr_init2(exact, 300);
    for (mpfr_rnd_t rnd : modes) {
        mpfloat a(base), b(base), c(base);
        mpfr_pow_ui(exact, raw(base), 1000000, rnd);
        EXPECT_TRUE(sameValue(a.pow(1000000UL, rnd), exact)) << rnd;
        mpfr_pow_si(exact, raw(base), -77, rnd);
        EXPECT_TRUE(sameValue(b.pow(-77L, rnd), exact)) << rnd;
        mpfr_pow(exact, raw(base), raw(y), rnd);
        EXPECT_TRUE(sameValue(c.pow(y, rnd), exact)) << rnd;
        EXPECT_TRUE(base == arg("1.0000000000000000000000001")); // the copies detached
    }
    mpfloat self(3);
    self.pow(self, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(self == 27);
    mpfr_clear(exact);
}

TEST_F(MpfloatFunctionsTest, RoundingToIntegers) {
    const mpfloat x = arg("-2.5");
    const mpfloat y = arg("2.5");
    EXPECT_TRUE(round(y) == 3);
    EXPECT_TRUE(round(x) == -3);
    EXPECT_TRUE(floor(x) == -3);
    EXPECT_TRUE(trunc(x) == -2);
    EXPECT_TRUE(ceil(x) == -2);
    EXPECT_TRUE(frac(x) == -0.5);
    EXPECT_EQ(round(x).getPrecision(), 200UL);

    const mpfloat big = arg("123456789012345678901234567890.75");
    mpfr_round(expected, raw(big));
    EXPECT_TRUE(sameValue(round(big), expected));
    mpfr_rint(expected, raw(big), MPFR_RNDD);
    EXPECT_TRUE(sameValue(floor(big), expected));
    mpfr_rint(expected, raw(big), MPFR_RNDZ);
    EXPECT_TRUE(sameValue(trunc(big), expected));
    mpfr_rint(expected, raw(big), MPFR_RNDU);
    EXPECT_TRUE(sameValue(ceil(big), expected));
    mpfloat::setDefaultRndMode(mpfloat::ROUND_UP);
    mpfr_frac(expected, raw(big), MPFR_RNDU);
    EXPECT_TRUE(sameValue(frac(big), expected));
}

TEST_F(MpfloatFunctionsTest, NeighboursStepOneUnitOfTheDefaultPrecision) {
    mpfloat::setDefaultPrecision(53);
    const mpfloat one(1, mpfloat::ROUND_NEAREST, 300UL);
    const mpfloat above = nextAbove(one);
    EXPECT_EQ(above.getPrecision(), 53UL);
    EXPECT_TRUE(above == 1 + std::ldexp(1.0, -52));
    EXPECT_TRUE(nextBelow(one) == 1 - std::ldexp(1.0, -53));
    EXPECT_TRUE(nextToward(one, mpfloat(5)) == above);
    EXPECT_TRUE(nextToward(one, mpfloat(-5)) == nextBelow(one));
    EXPECT_TRUE(one == 1);

    mpfloat::setDefaultPrecision(200);
    const mpfloat x = arg("0.1");
    mpfr_set(expected, raw(x), MPFR_RNDN);
    mpfr_nexttoward(expected, raw(arg("-1")));
    EXPECT_TRUE(sameValue(nextToward(x, arg("-1")), expected));
    mpfr_set(expected, raw(x), MPFR_RNDN);
    mpfr_nextabove(expected);
    EXPECT_TRUE(sameValue(nextAbove(x), expected));
    mpfr_set(expected, raw(x), MPFR_RNDN);
    mpfr_nextbelow(expected);
    EXPECT_TRUE(sameValue(nextBelow(x), expected));
}

TEST_F(MpfloatFunctionsTest, RandomValuesHaveTheirPrecisionAndDetach) {
    mpfloat x(0.75);
    const mpfloat before(x);
    for (int i = 0; i < 50; ++i) {
        x.random(10);
        EXPECT_EQ(x.getPrecision(), 10UL);
        EXPECT_TRUE(x >= 0 && x < 1);
        const mpfloat scaled = x * 1024U;
        EXPECT_NE(mpfr_integer_p(raw(scaled)), 0); // 10 random bits, no more
    }
    EXPECT_TRUE(before == 0.75);
    mpfloat sole(2);
    sole.random(300);
    EXPECT_EQ(sole.getPrecision(), 300UL);
    EXPECT_TRUE(sole >= 0 && sole < 1);
}

TEST_F(MpfloatFunctionsTest, AbsoluteValue) {
    const mpfloat positive = arg("2.25");
    const mpfloat same = abs(positive, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(sharesStorage(same, positive));
    EXPECT_EQ(same.getPrecision(), 300UL);
    EXPECT_TRUE(isNan(abs(mpfloat(), mpfloat::ROUND_NEAREST)));

    const mpfloat negative = arg("-0.1");
    mpfr_neg(expected, raw(negative), MPFR_RNDN);
    const mpfloat magnitude = abs(negative, mpfloat::ROUND_UP); // the mode is not used
    EXPECT_TRUE(sameValue(magnitude, expected));
    EXPECT_EQ(magnitude.getPrecision(), 200UL);

    // Never negative, not even for -0.
    const mpfloat negZero(-0.0, mpfloat::ROUND_NEAREST, 70UL);
    const mpfloat zero = abs(negZero, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(isZero(zero));
    EXPECT_EQ(sign(zero), 1);
    EXPECT_EQ(zero.getPrecision(), 70UL);
    EXPECT_EQ(sign(negZero), -1);
    EXPECT_EQ(sign(abs(mpfloat(0.0), mpfloat::ROUND_NEAREST)), 1);
}

TEST_F(MpfloatFunctionsTest, SineAndCosineTogether) {
    const mpfloat angle = arg("0.5");
    mpfloat x(angle);
    const mpfloat holder(x);
    mpfloat c(0, mpfloat::ROUND_NEAREST, 100UL);
    sinCos(x, c, x, mpfloat::ROUND_NEAREST);
    mpfr_t sine, cosine;
    mpfr_init2(sine, 300);
    mpfr_init2(cosine, 100);
    mpfr_sin_cos(sine, cosine, raw(angle), MPFR_RNDN);
    EXPECT_TRUE(sameValue(x, sine));
    EXPECT_TRUE(sameValue(c, cosine));
    EXPECT_TRUE(holder == angle);

    // One object for both results: no abort; it ends with the cosine.
    mpfloat both(0, mpfloat::ROUND_NEAREST, 100UL);
    sinCos(both, both, angle, mpfloat::ROUND_NEAREST);
    EXPECT_TRUE(sameValue(both, cosine));
    mpfr_clear(sine);
    mpfr_clear(cosine);
}
