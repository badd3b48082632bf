#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ferrulon/mpfloat.h"
#include "ferrulon/tests/mpfloatSupport.h"

using PBN::Strings::ostring;

namespace {

std::string text(const mpfloat& x) {
    std::ostringstream out;
    out << x;
    return out.str();
}

} // namespace

// ---- storage ----

TEST_F(MpfloatTest, DefaultValueIsNanAndCopiesOutliveTheOriginal) {
    auto* x = new mpfloat;
    EXPECT_TRUE(isNan(*x));
    EXPECT_EQ(x->getPrecision(), 53UL);
    mpfloat y(*x);
    EXPECT_TRUE(sharesStorage(*x, y));
    delete x;
    EXPECT_TRUE(isNan(y));

    mpfloat z(1.5);
    z = z;
    EXPECT_TRUE(z == 1.5);
    mpfloat w(z);
    w = w;
    w = z;
    EXPECT_TRUE(sharesStorage(w, z));
}

TEST_F(MpfloatTest, WritingASharedValueLeavesTheOtherHolders) {
    const mpfloat x(1.0 / 3.0);
    mpfloat y = x;
    y.changePrec(mpfloat::ROUND_NEAREST, 200);
    EXPECT_EQ(x.getPrecision(), 53UL);
    EXPECT_EQ(y.getPrecision(), 200UL);
    EXPECT_TRUE(x == 1.0 / 3.0);
    EXPECT_TRUE(y == x);

    mpfloat z = x;
    z.setPrecision(80);
    EXPECT_TRUE(isNan(z));
    EXPECT_EQ(z.getPrecision(), 80UL);
    EXPECT_TRUE(x == 1.0 / 3.0);

    mpfloat sole(2.0);
    sole.changePrec(mpfloat::ROUND_NEAREST, 10);
    EXPECT_EQ(sole.getPrecision(), 10UL);
    EXPECT_TRUE(sole == 2.0);
}

TEST_F(MpfloatTest, ReleasedStorageServesLaterValuesOfAnyPrecision) {
    // Results made and dropped in turn, their precisions growing and shrinking.
    mpfr_t expected;
    mpfr_init2(expected, 2);
    for (unsigned long prec : {4096UL, 64UL, 70000UL, 2UL, 256UL, 4096UL, 100UL, 64UL}) {
        mpfloat::setDefaultPrecision(prec);
        const mpfloat third = mpfloat(1) / 3;
        const mpfloat nan;
        mpfr_set_prec(expected, static_cast<mpfr_prec_t>(prec));
        mpfr_set_ui(expected, 1, MPFR_RNDN);
        mpfr_div_ui(expected, expected, 3, MPFR_RNDN);
        EXPECT_TRUE(sameValue(third, expected)) << prec;
        EXPECT_TRUE(isNan(nan));
        EXPECT_EQ(nan.getPrecision(), prec);
    }
    mpfr_clear(expected);

    // Values made on a thread that has ended, released here.
    mpfloat::setDefaultPrecision(300);
    std::vector<mpfloat> survivors;
    std::thread worker([&survivors] {
        for (int i = 0; i < 600; ++i) {
            const mpfloat v = mpfloat(i) / 7;
            if (i % 3 == 0) {
                survivors.push_back(v);
            }
        }
    });
    worker.join();
    ASSERT_EQ(survivors.size(), 200U);
    for (int k = 0; k < 200; ++k) {
        EXPECT_TRUE(survivors[k] == mpfloat(3 * k) / 7) << k;
    }
    survivors.clear();
    EXPECT_EQ((mpfloat(5) / 7).getPrecision(), 300UL);
}

TEST_F(MpfloatTest, CopyIsDeepAndMayReadItself) {
    mpfloat x(1.0 / 3.0);
    x.copy(x, mpfloat::ROUND_DOWN, 8); // sole owner copying itself
    EXPECT_EQ(x.getPrecision(), 8UL);
    EXPECT_TRUE(x == 0.33203125); // 85/256, rounded down

    const mpfloat source(2.0);
    mpfloat target(source);
    target.copy(source, mpfloat::ROUND_NEAREST, 100);
    EXPECT_FALSE(sharesStorage(target, source));
    EXPECT_EQ(target.getPrecision(), 100UL);
    EXPECT_TRUE(target == 2.0);
}

TEST_F(MpfloatTest, DefaultsApplyToLaterValues) {
    mpfloat::setDefaultPrecision(100);
    EXPECT_EQ(mpfloat::getDefaultPrecision(), 100UL);
    EXPECT_EQ(mpfloat().getPrecision(), 100UL);
    EXPECT_EQ(mpfloat(3).getPrecision(), 100UL);
    mpfloat::setDefaultRndMode(mpfloat::ROUND_UP);
    EXPECT_EQ(mpfloat::getDefaultRndMode(), mpfloat::ROUND_UP);
    // Out of MPFR's range: brought into it rather than aborting.
    mpfloat::setDefaultPrecision(0);
    EXPECT_EQ(mpfloat::getDefaultPrecision(), static_cast<unsigned long>(MPFR_PREC_MIN));
    EXPECT_EQ(mpfloat(1.0, mpfloat::ROUND_NEAREST, 0UL).getPrecision(),
              static_cast<unsigned long>(MPFR_PREC_MIN));
}

TEST_F(MpfloatTest, ConstructorsSetTheValueExactlyOrRounded) {
    EXPECT_TRUE(mpfloat(0.1f) == 0.1f);
    EXPECT_TRUE(mpfloat(short(-7)) == -7);
    EXPECT_TRUE(mpfloat(LONG_MIN, mpfloat::ROUND_NEAREST, 64UL) == LONG_MIN);
    EXPECT_TRUE(mpfloat(ULONG_MAX, mpfloat::ROUND_NEAREST, 64UL) == ULONG_MAX);
    EXPECT_TRUE(mpfloat(3.0, mpfloat::ROUND_NEAREST, 2UL) == 3.0);
    EXPECT_TRUE(mpfloat(5.0, mpfloat::ROUND_DOWN, 2UL) == 4.0);
    EXPECT_TRUE(mpfloat(5.0, mpfloat::ROUND_UP, 2UL) == 6.0);

    EXPECT_TRUE(mpfloat(ostring("ff"), 16) == 255);
    EXPECT_TRUE(mpfloat(ostring(L"0x10"), 0) == 16);
    // Bases MPFR cannot read leave the value NaN instead of aborting.
    EXPECT_TRUE(isNan(mpfloat(ostring("10"), 1)));
    EXPECT_TRUE(isNan(mpfloat(ostring("10"), 63)));
    EXPECT_TRUE(isNan(mpfloat(ostring("10"), -10)));
}

TEST_F(MpfloatTest, ConstantsHaveTheRequestedPrecision) {
    mpfr_t expected;
    mpfr_init2(expected, 300);
    mpfr_const_pi(expected, MPFR_RNDU);
    EXPECT_TRUE(sameValue(mpfloat::Pi(mpfloat::ROUND_UP, 300), expected));
    mpfr_const_log2(expected, MPFR_RNDN);
    EXPECT_TRUE(sameValue(mpfloat::Log2(mpfloat::ROUND_NEAREST, 300), expected));
    mpfr_const_euler(expected, MPFR_RNDD);
    EXPECT_TRUE(sameValue(mpfloat::Euler(mpfloat::ROUND_DOWN, 300), expected));
    mpfr_clear(expected);

    const mpfloat pi = mpfloat::Pi(mpfloat::ROUND_NEAREST, 200);
    EXPECT_NE(pi.canRound(190, mpfloat::ROUND_NEAREST, mpfloat::ROUND_NEAREST, 100), 0);
    EXPECT_EQ(pi.canRound(10, mpfloat::ROUND_NEAREST, mpfloat::ROUND_NEAREST, 100), 0);
}

TEST_F(MpfloatTest, Predicates) {
    const mpfloat zero(0.0), negZero(-0.0), inf(INFINITY), negInf(-INFINITY), nan, one(1);
    EXPECT_TRUE(isZero(zero) && isZero(negZero) && !isZero(one));
    EXPECT_TRUE(isInf(inf) && isInf(negInf) && !isInf(nan));
    EXPECT_TRUE(isNan(nan) && !isNan(inf));
    EXPECT_TRUE(isNumber(one) && isNumber(zero) && !isNumber(inf) && !isNumber(nan));
    EXPECT_EQ(sign(negZero), -1);
    EXPECT_EQ(sign(zero), 1);
    EXPECT_EQ(sign(negInf), -1);
    EXPECT_EQ(sign(mpfloat(-3)), -1);
}

TEST_F(MpfloatTest, ConversionsSaturate) {
    const auto rn = mpfloat::ROUND_NEAREST;
    EXPECT_EQ(toShort(mpfloat(40000), rn), 32767);
    EXPECT_EQ(toShort(mpfloat(-40000), rn), -32768);
    EXPECT_EQ(toUShort(mpfloat(70000), rn), 65535);
    EXPECT_EQ(toUShort(mpfloat(-5), rn), 0);
    EXPECT_EQ(toFloat(mpfloat(1e39), rn), 3.4028234663852886e+38f);
    EXPECT_EQ(toFloat(mpfloat(0.0), rn), 0.0f);
    EXPECT_EQ(toFloat(mpfloat(1e-10), rn), 1e-10f);
    // int and unsigned int saturate as they do where long is 32 bits.
    EXPECT_EQ(toInt(mpfloat(3e9), rn), INT_MAX);
    EXPECT_EQ(toInt(mpfloat(-3e9), rn), INT_MIN);
    EXPECT_EQ(toUInt(mpfloat(5e9), rn), UINT_MAX);
    EXPECT_EQ(toLong(mpfloat(3e9), rn), 3000000000L);
    EXPECT_EQ(toLong(mpfloat(1e30), rn), LONG_MAX);
    EXPECT_EQ(toULong(mpfloat(5e9), rn), 5000000000UL);
    EXPECT_EQ(toInt(mpfloat(2.5), mpfloat::ROUND_UP), 3);
    EXPECT_EQ(toInt(mpfloat(2.5), mpfloat::ROUND_DOWN), 2);
    EXPECT_EQ(toDouble(mpfloat(1.0 / 3.0), rn), 1.0 / 3.0);
    EXPECT_EQ(toInt(mpfloat(), rn), 0);
}

// ---- text ----

TEST_F(MpfloatTest, WritesSpecialValuesAndScientificText) {
    EXPECT_EQ(text(mpfloat(0.0)), "0");
    EXPECT_EQ(text(mpfloat(-0.0)), "-0");
    EXPECT_EQ(text(mpfloat(-INFINITY)), "-Inf");
    EXPECT_EQ(text(mpfloat(INFINITY)), "Inf");
    EXPECT_EQ(text(-mpfloat()), "NaN");
    EXPECT_EQ(text(mpfloat(1234.5)), "1.2345000000000000E3");
    EXPECT_EQ(text(mpfloat(1.5)), "1.5000000000000000");
    EXPECT_EQ(text(mpfloat(0.001)), "1.0000000000000000E-3");
    EXPECT_EQ(text(mpfloat(-2.0)), "-2.0000000000000000");

    std::wostringstream wide;
    wide << mpfloat(1234.5) << L' ' << mpfloat(-INFINITY);
    EXPECT_EQ(wide.str(), L"1.2345000000000000E3 -Inf");

    std::ostringstream out;
    mpfloat(255).put(out, mpfloat::ROUND_NEAREST, 53, 16, 4);
    EXPECT_EQ(out.str(), "f.f00@1");
    out.str("");
    mpfloat(1234.5).put(out, mpfloat::ROUND_NEAREST, 53, 10, -3); // counts as 0
    EXPECT_EQ(out.str(), "1.2345000000000000E3");
}

TEST_F(MpfloatTest, WrittenTextReadsBackInItsBase) {
    // Above base 10 MPFR does not read "E" as an exponent mark (from base 15 it is a digit):
    // the mark there is "@".
    std::ostringstream upper;
    mpfloat(255).put(upper, mpfloat::ROUND_NEAREST, 53, -16, 0);
    EXPECT_EQ(upper.str(), "F.F000000000000@1");
    std::ostringstream binary;
    mpfloat(-6).put(binary, mpfloat::ROUND_NEAREST, 53, 2, 3);
    EXPECT_EQ(binary.str(), "-1.10E2");

    const double values[] = {255, 1234.5, -1.0 / 3.0, 1e-30, 6.02e23, 0.5, -7.25e300};
    for (unsigned long prec : {53UL, 200UL}) {
        for (double value : values) {
            const mpfloat x = mpfloat(value, mpfloat::ROUND_NEAREST, prec) / 7;
            const mpfloat exact = mpfloat(value, mpfloat::ROUND_NEAREST, prec);
            for (const mpfloat& number : {x, exact}) {
                const mpfloat sized = mpfloat(0, mpfloat::ROUND_NEAREST, prec) += number;
                for (int base : {2, 8, 10, 11, 12, 13, 14, 16, 36, 62, -11, -14, -16}) {
                    std::ostringstream out;
                    sized.put(out, mpfloat::ROUND_NEAREST, prec, base, 0);
                    const mpfloat back(ostring(out.str().c_str()), std::abs(base), mpfloat::ROUND_NEAREST,
                                       prec);
                    EXPECT_TRUE(sameValue(back, raw(sized))) << out.str() << " in base " << base;
                }
            }
        }
    }
}

TEST_F(MpfloatTest, BaseThatCannotBeWrittenFailsTheStream) {
    for (int base : {0, 1, 63, -1, -37}) {
        std::ostringstream out;
        mpfloat(2.5).put(out, mpfloat::ROUND_NEAREST, 53, base, 0);
        EXPECT_TRUE(out.fail()) << base;
        EXPECT_EQ(out.str(), "") << base;
    }
    std::wostringstream wide;
    mpfloat(2.5).put(wide, mpfloat::ROUND_NEAREST, 53, 99, 0);
    EXPECT_TRUE(wide.fail());
}

TEST_F(MpfloatTest, ReadsOneTokenAndLeavesTheRest) {
    std::istringstream in("  2.5 word");
    mpfloat x;
    in >> x;
    EXPECT_TRUE(x == 2.5);
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, " word");

    const std::string digits = "1" + std::string(249, '0');
    std::istringstream longIn(digits);
    mpfloat big(0, mpfloat::ROUND_NEAREST, 1000UL);
    longIn >> big;
    EXPECT_TRUE(big == mpfloat(ostring(digits.c_str()), 10, mpfloat::ROUND_NEAREST, 1000UL));
    EXPECT_EQ(big.getPrecision(), 1000UL);

    std::wistringstream wide(L"\t-1e3\n");
    wide >> x;
    EXPECT_TRUE(x == -1000);
}

TEST_F(MpfloatTest, ReadingLoopEndsAtTheEndOfInput) {
    std::istringstream in("1 2 3  ");
    mpfloat x, sum(0);
    int count = 0;
    while (in >> x && count < 10) {
        sum += x;
        ++count;
    }
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(sum == 6);
    EXPECT_TRUE(x == 3); // no token left: x keeps its value
    EXPECT_TRUE(in.fail());

    std::istringstream empty("");
    mpfloat y(7);
    EXPECT_FALSE(empty >> y);
    EXPECT_TRUE(y == 7);

    std::wistringstream wide(L"4");
    int wideCount = 0;
    while (wide >> x && wideCount < 10) {
        ++wideCount;
    }
    EXPECT_EQ(wideCount, 1);
}

TEST_F(MpfloatTest, ReadingASharedValueDetaches) {
    const mpfloat original(1);
    mpfloat reader(original);
    std::istringstream in("9");
    in >> reader;
    EXPECT_TRUE(original == 1);
    EXPECT_TRUE(reader == 9);
}

TEST_F(MpfloatTest, TextThatIsNotANumberIsRefused) {
    for (const char* bad : {"abc", "1,5", "0x10", "2.5abc", "1e", "--1", "+", "."}) {
        std::istringstream in(bad);
        mpfloat x(7.0);
        const mpfloat holder(x);
        EXPECT_FALSE(in >> x) << bad;
        EXPECT_TRUE(in.fail()) << bad;
        EXPECT_TRUE(x == 7 && sharesStorage(x, holder)) << bad;
        EXPECT_TRUE(isNan(mpfloat(ostring(bad), 10))) << bad;
    }
    std::wistringstream wide(L"1,5 4");
    mpfloat x(7.0);
    EXPECT_FALSE(wide >> x);
    EXPECT_TRUE(x == 7);
    std::wistringstream euro(L"12\u20ac34");
    EXPECT_FALSE(euro >> x);
    EXPECT_TRUE(x == 7);

    // A wide character without a narrow form, and empty text, are no numbers either.
    EXPECT_TRUE(isNan(mpfloat(ostring(L"12\u20ac34"), 10)));
    EXPECT_TRUE(isNan(mpfloat(ostring(""), 10)));
    EXPECT_TRUE(isNan(mpfloat(ostring("  "), 10)));
    EXPECT_TRUE(isNan(mpfloat(ostring("1f"), 10)));
    EXPECT_TRUE(isNan(mpfloat(ostring("1g"), 16)));
}

TEST_F(MpfloatTest, NumbersReadAsMpfrReadsThem) {
    const std::pair<const char*, int> good[] = {
        {"2.5", 10},    {"-1e3", 10},  {"+0.125", 10},
        {"1.5E-3", 10}, {"NaN", 10},   {"-Inf", 10},
        {"@inf@", 10},  {"-0", 10},    {"ff", 16},
        {"F.F@1", 16},  {"0x10", 0},   {"0b101", 0},
        {"1p4", 16},    {"zz@-2", 36}, {" 7", 10},
        {"7 \n", 10},   {"1@1", 62},   {"123456789012345678901234567890", 10}};
    for (const auto& [text, base] : good) {
        mpfr_t expected;
        mpfr_init2(expected, 80);
        mpfr_strtofr(expected, text, nullptr, base, MPFR_RNDN);
        EXPECT_TRUE(sameValue(mpfloat(ostring(text), base, mpfloat::ROUND_NEAREST, 80UL), expected)) << text;
        if (base == 10 && text[0] != ' ') {
            std::istringstream in(text);
            mpfloat x(0, mpfloat::ROUND_NEAREST, 80UL);
            EXPECT_TRUE(in >> x) << text;
            EXPECT_TRUE(sameValue(x, expected)) << text;
        }
        mpfr_clear(expected);
    }
}

TEST_F(MpfloatTest, ConcatenatesWithText) {
    const ostring before = ostring("x = ") + mpfloat(1.5);
    EXPECT_EQ(before.wstr(), L"x = 1.5000000000000000");
    EXPECT_TRUE(before.isUnicode());
    const ostring after = mpfloat(-0.0) + ostring(L" m");
    EXPECT_EQ(after.wstr(), L"-0 m");
    ostring grown("n=");
    grown += mpfloat(1234.5);
    EXPECT_EQ(grown.wstr(), L"n=1.2345000000000000E3");
}
