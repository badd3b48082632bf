#pragma once

#include <cstdint>
#include <vector>

#include "pemblon/core/Export.h"

namespace PBN {

// Numeric helpers: special values, parity and sign, rounding half away from zero, min/max/abs,
// and comparisons of floating-point numbers within a relative epsilon. `long` overloads use
// the platform's long (64 bits here); the rounding results named L/UL stay 32-bit.
class PBN_API Maths {
public:
    Maths(const Maths&) {}
    Maths& operator=(const Maths&) { return *this; }
    virtual ~Maths();

    static double getNan();
    static float getNanF();
    static double getPosInf();
    static float getPosInfF();
    static double getNegInf();
    static float getNegInfF();

    static bool isNan(const double& x);
    static bool isNan(const float& x);
    static bool isInf(const double& x);
    static bool isInf(const float& x);
    // -1 for minus infinity, 1 for plus infinity, 0 otherwise.
    static int16_t infSign(const double& x);
    static int16_t infSign(const float& x);
    static bool isZero(const double& x);
    static bool isZero(const float& x);
    // -1 for minus zero, 1 for plus zero, 0 otherwise.
    static int16_t zeroSign(const double& x);
    static int16_t zeroSign(const float& x);
    // True for every number that is neither infinite nor NaN.
    static bool isFinite(const double& x);
    static bool isFinite(const float& x);

    static bool isOdd(const int16_t& x);
    static bool isOdd(const uint16_t& x);
    static bool isOdd(const int32_t& x);
    static bool isOdd(const uint32_t& x);
    static bool isOdd(const long& x);
    static bool isOdd(const unsigned long& x);
    static bool isEven(const int16_t& x);
    static bool isEven(const uint16_t& x);
    static bool isEven(const int32_t& x);
    static bool isEven(const uint32_t& x);
    static bool isEven(const long& x);
    static bool isEven(const unsigned long& x);

    // -1 below zero, otherwise 1 (zero and NaN give 1).
    static int16_t sign(const int16_t& x);
    static int16_t sign(const int32_t& x);
    static int16_t sign(const long& x);
    static int16_t sign(const float& x);
    static int16_t sign(const double& x);

    // Half away from zero. roundI/roundL give INT32_MIN for NaN and results out of range; the
    // 16-bit forms keep the low 16 bits of roundI; the unsigned 32-bit forms keep the low 32
    // bits of the 64-bit result (clamped to the 64-bit range, NaN giving 0).
    static int16_t roundS(const double& x);
    static int16_t roundS(const float& x);
    static uint16_t roundUS(const double& x);
    static uint16_t roundUS(const float& x);
    static int32_t roundI(const double& x);
    static int32_t roundI(const float& x);
    static int32_t roundL(const double& x);
    static int32_t roundL(const float& x);
    static uint32_t roundUI(const double& x);
    static uint32_t roundUI(const float& x);
    static uint32_t roundUL(const double& x);
    static uint32_t roundUL(const float& x);

    // For floating point, unordered or equal arguments give the second one.
    static int16_t max(const int16_t& a, const int16_t& b);
    static uint16_t max(const uint16_t& a, const uint16_t& b);
    static int32_t max(const int32_t& a, const int32_t& b);
    static uint32_t max(const uint32_t& a, const uint32_t& b);
    static long max(const long& a, const long& b);
    static unsigned long max(const unsigned long& a, const unsigned long& b);
    static float max(const float& a, const float& b);
    static double max(const double& a, const double& b);
    static int16_t min(const int16_t& a, const int16_t& b);
    static uint16_t min(const uint16_t& a, const uint16_t& b);
    static int32_t min(const int32_t& a, const int32_t& b);
    static uint32_t min(const uint32_t& a, const uint32_t& b);
    static long min(const long& a, const long& b);
    static unsigned long min(const unsigned long& a, const unsigned long& b);
    static float min(const float& a, const float& b);
    static double min(const double& a, const double& b);

    // The most negative integer stays as it is; NaN stays NaN.
    static int16_t abs(const int16_t& x);
    static int32_t abs(const int32_t& x);
    static long abs(const long& x);
    static float abs(const float& x);
    static double abs(const double& x);

    // Start from the type's lowest (max) or highest (min) value, which an empty vector gives.
    static int16_t max(const std::vector<int16_t>& v);
    static uint16_t max(const std::vector<uint16_t>& v);
    static int32_t max(const std::vector<int32_t>& v);
    static uint32_t max(const std::vector<uint32_t>& v);
    static long max(const std::vector<long>& v);
    static unsigned long max(const std::vector<unsigned long>& v);
    static float max(const std::vector<float>& v);
    static double max(const std::vector<double>& v);
    static int16_t min(const std::vector<int16_t>& v);
    static uint16_t min(const std::vector<uint16_t>& v);
    static int32_t min(const std::vector<int32_t>& v);
    static uint32_t min(const std::vector<uint32_t>& v);
    static long min(const std::vector<long>& v);
    static unsigned long min(const std::vector<unsigned long>& v);
    static float min(const std::vector<float>& v);
    static double min(const std::vector<double>& v);

    // In place.
    static void abs(std::vector<int16_t>& v);
    static void abs(std::vector<int32_t>& v);
    static void abs(std::vector<long>& v);
    static void abs(std::vector<float>& v);
    static void abs(std::vector<double>& v);

    // Each value x stands for [x - |x|e, x + |x|e], e the type's machine epsilon; a NaN
    // operand makes every comparison false.
    static bool lt(const double& a, const double& b);
    static bool lte(const double& a, const double& b);
    static bool gt(const double& a, const double& b);
    static bool gte(const double& a, const double& b);
    static bool eq(const double& a, const double& b);
    static bool neq(const double& a, const double& b);
    static bool lt(const float& a, const float& b);
    static bool lte(const float& a, const float& b);
    static bool gt(const float& a, const float& b);
    static bool gte(const float& a, const float& b);
    static bool eq(const float& a, const float& b);
    static bool neq(const float& a, const float& b);

protected:
    Maths() {}
};

} // namespace PBN
