#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemblon/core/Maths.h"
#include "pemblon/core/RefCounter.h"

using PBN::Maths;

TEST(Maths, SpecialValues) {
    EXPECT_TRUE(Maths::isNan(Maths::getNan()));
    EXPECT_TRUE(Maths::isNan(Maths::getNanF()));
    EXPECT_EQ(Maths::infSign(Maths::getPosInf()), 1);
    EXPECT_EQ(Maths::infSign(Maths::getNegInfF()), -1);
    EXPECT_EQ(Maths::infSign(1.0), 0);
    EXPECT_TRUE(Maths::isInf(Maths::getNegInf()));
    EXPECT_FALSE(Maths::isInf(Maths::getNan()));
    EXPECT_EQ(Maths::zeroSign(-0.0), -1);
    EXPECT_EQ(Maths::zeroSign(0.0f), 1);
    EXPECT_EQ(Maths::zeroSign(1e-300), 0);
    EXPECT_TRUE(Maths::isZero(-0.0));
    EXPECT_TRUE(Maths::isFinite(1.0));
    EXPECT_FALSE(Maths::isFinite(Maths::getPosInf()));
    EXPECT_FALSE(Maths::isFinite(Maths::getNanF()));
}

TEST(Maths, ParityAndSign) {
    EXPECT_TRUE(Maths::isOdd(int16_t(-3)));
    EXPECT_TRUE(Maths::isEven(uint32_t(4)));
    EXPECT_TRUE(Maths::isOdd(-1L));
    EXPECT_EQ(Maths::sign(0), 1);
    EXPECT_EQ(Maths::sign(-0.5), -1);
    EXPECT_EQ(Maths::sign(Maths::getNan()), 1);
    EXPECT_EQ(Maths::sign(int16_t(-7)), -1);
}

TEST(Maths, RoundingHalfAwayFromZero) {
    EXPECT_EQ(Maths::roundI(2.5), 3);
    EXPECT_EQ(Maths::roundI(-2.5), -3);
    EXPECT_EQ(Maths::roundI(-0.4), 0);
    EXPECT_EQ(Maths::roundI(2.5f), 3);
    EXPECT_EQ(Maths::roundUS(-1.0), 65535);
    EXPECT_EQ(Maths::roundS(40000.0), int16_t(40000 - 65536));
    EXPECT_EQ(Maths::roundL(-7.5), -8);
    // Out of range and NaN give the "integer indefinite" value, without undefined behaviour.
    EXPECT_EQ(Maths::roundI(3e9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Maths::roundI(Maths::getNan()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Maths::roundI(-2147483648.4), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Maths::roundI(2147483647.4), 2147483647);
    // Unsigned forms go through 64 bits and keep the low 32.
    EXPECT_EQ(Maths::roundUI(-1.0), 0xFFFFFFFFu);
    EXPECT_EQ(Maths::roundUI(4294967296.0 + 5), 5u);
    EXPECT_EQ(Maths::roundUL(3.5), 4u);
    EXPECT_EQ(Maths::roundUL(1e30), 0xFFFFFFFFu);
    EXPECT_EQ(Maths::roundUI(Maths::getNan()), 0u);
}

TEST(Maths, MinMaxAbs) {
    EXPECT_EQ(Maths::max(3, 7), 7);
    EXPECT_EQ(Maths::min(uint16_t(3), uint16_t(7)), 3);
    // Unordered or equal floats give the second argument.
    EXPECT_TRUE(std::isnan(Maths::max(1.0, Maths::getNan())));
    EXPECT_EQ(Maths::max(Maths::getNan(), 1.0), 1.0);
    EXPECT_TRUE(std::signbit(Maths::min(0.0, -0.0)));
    EXPECT_FALSE(std::signbit(Maths::max(-0.0f, 0.0f)));

    EXPECT_EQ(Maths::abs(std::numeric_limits<int32_t>::min()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Maths::abs(int16_t(-32768)), int16_t(-32768));
    EXPECT_EQ(Maths::abs(-5L), 5L);
    EXPECT_EQ(Maths::abs(-2.5), 2.5);

    EXPECT_EQ(Maths::max(std::vector<int32_t>{}), -2147483647 - 1);
    EXPECT_EQ(Maths::min(std::vector<uint16_t>{}), 65535);
    EXPECT_EQ(Maths::max(std::vector<double>{}), -1.7976931348623157e308);
    EXPECT_EQ(Maths::min(std::vector<float>{}), 3.4028235e38f);
    EXPECT_EQ(Maths::max(std::vector<long>{}), std::numeric_limits<long>::min());
    EXPECT_EQ(Maths::max(std::vector<int16_t>{-4, 9, 2}), 9);
    EXPECT_EQ(Maths::min(std::vector<double>{-4, 9, 2}), -4);

    std::vector<int32_t> v{-1, 2, std::numeric_limits<int32_t>::min()};
    Maths::abs(v);
    EXPECT_EQ(v, (std::vector<int32_t>{1, 2, std::numeric_limits<int32_t>::min()}));
    std::vector<double> d{-1.5, 0.0};
    Maths::abs(d);
    EXPECT_EQ(d, (std::vector<double>{1.5, 0.0}));
}

TEST(Maths, TolerantComparisons) {
    const double e52 = std::ldexp(1.0, -52), e50 = std::ldexp(1.0, -50);
    EXPECT_TRUE(Maths::eq(1.0, 1.0 + e52));
    EXPECT_FALSE(Maths::eq(1.0, 1.0 + e50));
    EXPECT_TRUE(Maths::neq(1.0, 1.0 + e50));
    EXPECT_FALSE(Maths::lt(1.0, 1.0 + e52));
    EXPECT_TRUE(Maths::lt(1.0, 1.0 + e50));
    EXPECT_TRUE(Maths::gt(1.0 + e50, 1.0));
    EXPECT_TRUE(Maths::lte(1.0 + e52, 1.0));
    EXPECT_TRUE(Maths::gte(1.0, 1.0 + e52));
    EXPECT_FALSE(Maths::eq(0.0, 1e-300));
    EXPECT_TRUE(Maths::eq(0.0, -0.0));

    const double nan = Maths::getNan();
    EXPECT_FALSE(Maths::eq(nan, nan));
    EXPECT_FALSE(Maths::neq(nan, 1.0));
    EXPECT_FALSE(Maths::lte(1.0, nan));
    EXPECT_FALSE(Maths::gte(Maths::getNanF(), 1.0f));

    const float f23 = std::ldexp(1.0f, -23), f21 = std::ldexp(1.0f, -21);
    EXPECT_TRUE(Maths::eq(1.0f, 1.0f + f23));
    EXPECT_FALSE(Maths::eq(1.0f, 1.0f + f21));
    EXPECT_TRUE(Maths::lt(1.0f, 1.0f + f21));
}

TEST(RefCounter, CountsAndReturnsNewValues) {
    PBN::RefCounter c(5);
    EXPECT_EQ(c++, 6);
    EXPECT_EQ(c.value(), 6);
    EXPECT_EQ(++c, 7);
    EXPECT_EQ(c--, 6);
    EXPECT_EQ(--c, 5);
    EXPECT_EQ(c.incr(), 6);
    EXPECT_EQ(c.decr(), 5);
    c.value() = 42;
    PBN::RefCounter d;
    EXPECT_TRUE(d != c);
    d = c;
    EXPECT_TRUE(d == c);
    d = 3;
    EXPECT_EQ(d.value(), 3);
}
