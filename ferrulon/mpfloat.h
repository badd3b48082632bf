#pragma once

// mpfloat, the library's arbitrary-precision binary floating-point number over GNU MPFR.
//
// Copies share one MPFR number (its limb array) until one of them is written: a copy only counts
// one more holder, and an operation that changes a shared value first gives it storage of its own
// (copy-on-write). Results of operators and functions live in fresh storage of the class-wide
// default precision unless a comment says otherwise. The storage of released values is kept per
// thread (a bounded number of them) and serves the next new values, so that results cost no
// allocation in a steady stream.
//
// Nothing here throws: invalid operations give MPFR's special values. Text that is not a number
// as a whole makes the text constructor give NaN and operator>> fail the stream, leaving its
// value as it was. Allocation failures end the process inside GMP.
//
// Threads: the holder count is a plain integer. Values that share storage must not be copied,
// changed or destroyed from two threads at once; give each thread its own values (copy() makes an
// unshared one). The defaults are process-wide and are passed to MPFR explicitly on every call,
// since MPFR keeps its own defaults per thread.

#include <concepts>
#include <iosfwd>

#include <mpfr.h>

#include "ferrulon/Export.h"
#include "pemblon/core/RefCounter.h"
#include "pemblon/strings/ostring.h"

// The built-in types that mix with mpfloat in +, -, *, their compound forms and comparisons.
template <typename T>
concept mpfloatOperand = std::same_as<T, float> || std::same_as<T, double> || std::same_as<T, short> ||
    std::same_as<T, unsigned short> || std::same_as<T, int> || std::same_as<T, unsigned int> ||
    std::same_as<T, long> || std::same_as<T, unsigned long>;

// The built-in types that mix with mpfloat in / and /=: no float, short or unsigned short.
template <typename T>
concept mpfloatDivOperand = std::same_as<T, double> || std::same_as<T, int> ||
    std::same_as<T, unsigned int> || std::same_as<T, long> || std::same_as<T, unsigned long>;

class FRX_API mpfloat {
public:
    static constexpr mpfr_rnd_t ROUND_NEAREST = MPFR_RNDN; // to nearest
    static constexpr mpfr_rnd_t ROUND_TO_ZERO = MPFR_RNDZ; // toward zero
    static constexpr mpfr_rnd_t ROUND_UP = MPFR_RNDU;      // toward plus infinity
    static constexpr mpfr_rnd_t ROUND_DOWN = MPFR_RNDD;    // toward minus infinity

    // ---- construction and storage ----
    // NaN at the default precision.
    mpfloat();
    // A fresh number of `prec` bits set from the value, rounded with `rnd`. A precision outside
    // MPFR's range is brought into it.
    explicit mpfloat(const float& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const double& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const short& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const unsigned short& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const int& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const unsigned int& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const long& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    explicit mpfloat(const unsigned long& value, const mpfr_rnd_t& rnd = _currRound,
                     const unsigned long& prec = _currPrec);
    // The text's narrow form read by MPFR in `base` (0 for "guess from a prefix" such as "0x",
    // or 2 to 62), white space before and after allowed. NaN when the text is not one number as
    // a whole (empty text, a wrong digit or trailing characters, a wide character at or above
    // 256, which has no narrow form), and for a base outside that range.
    mpfloat(const PBN::Strings::ostring& text, const int& base, const mpfr_rnd_t& rnd = _currRound,
            const unsigned long& prec = _currPrec);
    // Shares the other value's storage.
    mpfloat(const mpfloat& other) : counter(other.counter) {
        *number = *other.number;
        counter->incr();
    }
    ~mpfloat() { release(); }
    // Shares the other value's storage; self-assignment does nothing.
    mpfloat& operator=(const mpfloat& other) {
        if (this != &other) {
            // Counting the new holder first keeps storage alive that both already share.
            other.counter->incr();
            release();
            *number = *other.number;
            counter = other.counter;
        }
        return *this;
    }
    // A deep copy: fresh storage of `prec` bits set from `source` with `rnd`. `source` may be this
    // value itself.
    mpfloat& copy(const mpfloat& source, const mpfr_rnd_t& rnd, const unsigned long& prec);

    // ---- class-wide defaults ----
    // Also set MPFR's defaults of the calling thread.
    static void setDefaultPrecision(const unsigned long& prec);
    static unsigned long getDefaultPrecision();
    static void setDefaultRndMode(const mpfr_rnd_t& rnd);
    static mpfr_rnd_t getDefaultRndMode();

    // ---- precision of this value ----
    // The value becomes NaN at `prec` bits; other holders keep the old value.
    void setPrecision(const unsigned long& prec);
    unsigned long getPrecision() const;
    // Keeps the value, rounded to `prec` bits with `rnd`; other holders keep the old value.
    void changePrec(const mpfr_rnd_t& rnd, const unsigned long& prec);
    // mpfr_can_round of this value.
    int canRound(unsigned long err, const mpfr_rnd_t& rnd1, const mpfr_rnd_t& rnd2,
                 const unsigned long& prec) const;

    // ---- constants, `prec` bits rounded with `rnd` ----
    static mpfloat Pi(const mpfr_rnd_t& rnd, const unsigned long& prec);
    static mpfloat Log2(const mpfr_rnd_t& rnd, const unsigned long& prec);
    static mpfloat Euler(const mpfr_rnd_t& rnd, const unsigned long& prec);

    // ---- text output ----
    // "Inf", "-Inf", "NaN", "0", "-0", or [-]d.ddd in `base` followed by the exponent mark and
    // the exponent (of the base, in decimal) unless it is 0. The mark is "E", or "@" in bases
    // above 10 and below -10: MPFR reads "e" and "E" as the mark only up to base 10 (from base
    // 15 they are digits). A negative base writes upper-case digits.
    // `digits` 0 lets MPFR choose (17 for 53 bits in base 10); a negative count counts as 0.
    // `prec` is not used. For a base MPFR cannot write (other than 2 to 62 and -2 to -36) a
    // regular number writes nothing and sets failbit; the special values and zeros are written.
    std::ostream& put(std::ostream& os, const mpfr_rnd_t& rnd, const unsigned long& prec, const int& base,
                      const int& digits) const;
    std::wostream& put(std::wostream& os, const mpfr_rnd_t& rnd, const unsigned long& prec, const int& base,
                       const int& digits) const;

    // ---- arithmetic ----
    // x + y: with x zero the result shares y, else with y zero it shares x (so it keeps that
    // value's precision, and -0 + +0 gives +0 whatever the rounding). Other results are fresh,
    // of the default precision, rounded with the default mode.
    mpfloat operator+(const mpfloat& y) const;
    mpfloat operator-(const mpfloat& y) const;
    mpfloat operator*(const mpfloat& y) const;
    mpfloat operator/(const mpfloat& y) const;
    mpfloat operator-() const;

    // In place, keeping this value's precision, rounded with the default mode. The common case
    // (a sole owner and two regular numbers, where no shortcut applies) is handled inline.
    mpfloat& operator+=(const mpfloat& y) {
        if (inPlaceFast(y)) {
            mpfr_add(number, number, y.number, _currRound);
            return *this;
        }
        return addAssign(y);
    }
    mpfloat& operator-=(const mpfloat& y) {
        if (inPlaceFast(y)) {
            mpfr_sub(number, number, y.number, _currRound);
            return *this;
        }
        return subAssign(y);
    }
    mpfloat& operator*=(const mpfloat& y) {
        if (inPlaceFast(y)) {
            mpfr_mul(number, number, y.number, _currRound);
            return *this;
        }
        return mulAssign(y);
    }
    mpfloat& operator/=(const mpfloat& y) {
        if (inPlaceFast(y)) {
            mpfr_div(number, number, y.number, _currRound);
            return *this;
        }
        return divAssign(y);
    }
    template <mpfloatOperand T> mpfloat& operator+=(const T& n);
    template <mpfloatOperand T> mpfloat& operator-=(const T& n);
    template <mpfloatOperand T> mpfloat& operator*=(const T& n);
    template <mpfloatDivOperand T> mpfloat& operator/=(const T& n);

    // result = a op b (fma: a * b + c), at result's own precision; the operands are read as they
    // were before the call, also when one of them is result itself.
    static void add(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
    static void sub(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
    static void mul(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
    static void div(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
    static void neg(mpfloat& result, const mpfloat& a, const mpfr_rnd_t& rnd);
    static void fma(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfloat& c,
                    const mpfr_rnd_t& rnd);

    // ---- functions that change this value ----
    // Raise this value to the power, in place at its own precision; return it.
    mpfloat& pow(const unsigned long& n, const mpfr_rnd_t& rnd);
    mpfloat& pow(const long& n, const mpfr_rnd_t& rnd);
    mpfloat& pow(const mpfloat& y, const mpfr_rnd_t& rnd);
    // A uniformly distributed value in [0, 1) of `prec` bits; other holders keep the old value.
    void random(const unsigned long& prec);

protected:
    static unsigned long _currPrec;
    static mpfr_rnd_t _currRound;

private:
    friend struct mpfloatAccess;
    struct Fresh {};
    // A fresh number of `prec` bits (NaN) with its own counter.
    mpfloat(Fresh, const unsigned long& prec);
    // The last holder clears the number and frees the counter.
    void release() {
        if (counter->decr() <= 0) {
            destroy();
        }
    }
    void destroy();
    bool inPlaceFast(const mpfloat& y) const {
        return counter->value() == 1 && mpfr_regular_p(number) && mpfr_regular_p(y.number);
    }
    // The compound assignments with every rule: shared storage, zeros, special values.
    mpfloat& addAssign(const mpfloat& y);
    mpfloat& subAssign(const mpfloat& y);
    mpfloat& mulAssign(const mpfloat& y);
    mpfloat& divAssign(const mpfloat& y);

    mpfr_t number; // first member: the object is the MPFR number
    PBN::RefCounter* counter;
};

// ---- mixed arithmetic, comparison ----
// x + n and x - n with an integer 0 share x. Unsigned 0 - x is -x. A float or double n takes part
// as an exact value of 24 or 53 bits through the operators above, so 0 + n shares that value.
template <mpfloatOperand T> FRX_API mpfloat operator+(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API mpfloat operator+(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API mpfloat operator-(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API mpfloat operator-(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API mpfloat operator*(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API mpfloat operator*(const T& n, const mpfloat& x);
template <mpfloatDivOperand T> FRX_API mpfloat operator/(const mpfloat& x, const T& n);
template <mpfloatDivOperand T> FRX_API mpfloat operator/(const T& n, const mpfloat& x);

// The sign of x - y. A NaN operand compares equal to everything (0), so ==, <= and >= are true
// for it: test for NaN with isNan, never with ==.
FRX_API int compare(const mpfloat& x, const mpfloat& y);
template <mpfloatOperand T> FRX_API int compare(const mpfloat& x, const T& n);

FRX_API bool operator==(const mpfloat& x, const mpfloat& y);
FRX_API bool operator!=(const mpfloat& x, const mpfloat& y);
FRX_API bool operator<(const mpfloat& x, const mpfloat& y);
FRX_API bool operator<=(const mpfloat& x, const mpfloat& y);
FRX_API bool operator>(const mpfloat& x, const mpfloat& y);
FRX_API bool operator>=(const mpfloat& x, const mpfloat& y);
template <mpfloatOperand T> FRX_API bool operator==(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator!=(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator<(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator<=(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator>(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator>=(const mpfloat& x, const T& n);
template <mpfloatOperand T> FRX_API bool operator==(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API bool operator!=(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API bool operator<(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API bool operator<=(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API bool operator>(const T& n, const mpfloat& x);
template <mpfloatOperand T> FRX_API bool operator>=(const T& n, const mpfloat& x);

// ---- predicates ----
FRX_API bool isZero(const mpfloat& x);
FRX_API bool isInf(const mpfloat& x);
FRX_API bool isNan(const mpfloat& x);
FRX_API bool isNumber(const mpfloat& x); // neither NaN nor infinite
FRX_API int sign(const mpfloat& x);      // +1 or -1, from the stored sign (zeros have one too)

// ---- conversions ----
// Integers saturate at the type's range (as where long is 32 bits: toInt and toUInt clamp
// too); NaN gives 0. toFloat clamps only values above the largest float.
FRX_API short toShort(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API unsigned short toUShort(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API int toInt(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API unsigned int toUInt(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API long toLong(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API unsigned long toULong(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API float toFloat(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API double toDouble(const mpfloat& x, const mpfr_rnd_t& rnd);

// ---- text ----
// put() with the default rounding, base 10 and as many digits as the precision needs.
FRX_API std::ostream& operator<<(std::ostream& os, const mpfloat& x);
FRX_API std::wostream& operator<<(std::wostream& os, const mpfloat& x);
// Skips white space, reads up to the next white space (left in the stream) or the end, and sets
// x from the token in base 10 at x's precision (other holders keep the old value). A stream that
// is not good, one that holds no token, and a token that is not a number as a whole get failbit
// and x stays as it was, so `while (in >> x)` ends; such a token has been read.
FRX_API std::istream& operator>>(std::istream& is, mpfloat& x);
FRX_API std::wistream& operator>>(std::wistream& is, mpfloat& x);

// Wide text followed by (or following) the number as operator<< writes it.
FRX_API PBN::Strings::ostring operator+(const PBN::Strings::ostring& text, const mpfloat& x);
FRX_API PBN::Strings::ostring operator+(const mpfloat& x, const PBN::Strings::ostring& text);
FRX_API PBN::Strings::ostring& operator+=(PBN::Strings::ostring& text, const mpfloat& x);

// ---- functions: one MPFR call each, into a fresh value of the default precision ----
FRX_API mpfloat agm(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
FRX_API mpfloat sqrt(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat cbrt(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat hypot(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);
FRX_API mpfloat exp(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat exp2(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat expm1(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat log(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat log2(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat log10(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat log1p(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat sin(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat cos(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat tan(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat asin(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat acos(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat atan(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat sinh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat cosh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat tanh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat asinh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat acosh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat atanh(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat gamma(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat erf(const mpfloat& x, const mpfr_rnd_t& rnd);
FRX_API mpfloat zeta(const mpfloat& x, const mpfr_rnd_t& rnd);
// n! rounded to the default precision. The time grows with n without bound: a huge n runs for
// a very long time.
FRX_API mpfloat factorial(const unsigned long& n, const mpfr_rnd_t& rnd);
// |a - b| / a.
FRX_API mpfloat relDiff(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd);

// Rounding to an integer at the default precision: round takes halfway cases away from zero;
// frac is the fractional part rounded with the default mode.
FRX_API mpfloat round(const mpfloat& x);
FRX_API mpfloat floor(const mpfloat& x);
FRX_API mpfloat trunc(const mpfloat& x);
FRX_API mpfloat ceil(const mpfloat& x);
FRX_API mpfloat frac(const mpfloat& x);

// x copied to the default precision, then moved by one unit in the last place of that precision.
FRX_API mpfloat nextAbove(const mpfloat& x);
FRX_API mpfloat nextBelow(const mpfloat& x);
FRX_API mpfloat nextToward(const mpfloat& x, const mpfloat& y);

// Not negative (NaN included): x itself, sharing its storage and precision. -0: a fresh +0 of x's
// precision. Negative: -x at the default precision and rounding. `rnd` is not used.
FRX_API mpfloat abs(const mpfloat& x, const mpfr_rnd_t& rnd);
// s and c (at their own precisions) become the sine and cosine of x as it was before the call;
// x may be s or c, and s and c may be one value (it then holds the cosine).
FRX_API void sinCos(mpfloat& s, mpfloat& c, const mpfloat& x, const mpfr_rnd_t& rnd);
