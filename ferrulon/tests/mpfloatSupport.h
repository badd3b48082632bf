#pragma once

// Helpers of the mpfloat tests: the MPFR number an mpfloat is, and the defaults each test starts
// from.

#include <gtest/gtest.h>

#include "ferrulon/mpfloat.h"

// mpfloat is laid out as the MPFR number it holds.
inline mpfr_srcptr raw(const mpfloat& x) {
    return reinterpret_cast<mpfr_srcptr>(&x);
}

inline bool sharesStorage(const mpfloat& a, const mpfloat& b) {
    return raw(a)->_mpfr_d == raw(b)->_mpfr_d;
}

// Same precision, same value, same sign (NaN equals NaN).
inline bool sameValue(const mpfloat& x, mpfr_srcptr expected) {
    if (mpfr_get_prec(raw(x)) != mpfr_get_prec(expected)) {
        return false;
    }
    if (mpfr_nan_p(expected)) {
        return mpfr_nan_p(raw(x)) != 0;
    }
    return mpfr_equal_p(raw(x), expected) && mpfr_signbit(raw(x)) == mpfr_signbit(expected);
}

// Each test starts from MPFR's defaults and leaves them as it found them.
class MpfloatTest : public ::testing::Test {
protected:
    void SetUp() override { restoreDefaults(); }
    void TearDown() override { restoreDefaults(); }
    static void restoreDefaults() {
        mpfloat::setDefaultPrecision(53);
        mpfloat::setDefaultRndMode(mpfloat::ROUND_NEAREST);
    }
};
