// mpfloat's operators, compound assignments, the operations into a given result, and comparison.

#include "ferrulon/mpfloat.h"

#include <type_traits>

#include "ferrulon/mpfloatAccess.h"

using A = mpfloatAccess;

namespace {

template <typename T> constexpr bool isSignedInt = std::is_integral_v<T>&& std::is_signed_v<T>;
template <typename T> constexpr bool isUnsignedInt = std::is_integral_v<T>&& std::is_unsigned_v<T>;

// A built-in value as an exact mpfloat: 24 bits hold any float, 53 any double, 64 any integer
// (long has 64 bits here, more than the default precision holds).
template <typename T> mpfloat exact(const T& n) {
    if constexpr (std::is_same_v<T, float>) {
        return mpfloat(n, mpfloat::getDefaultRndMode(), 24UL);
    } else if constexpr (std::is_same_v<T, double>) {
        return mpfloat(n, mpfloat::getDefaultRndMode(), 53UL);
    } else {
        return mpfloat(n, mpfloat::getDefaultRndMode(), 64UL);
    }
}

template <typename F> mpfloat result(F&& compute) {
    return A::make(A::defaultPrec(), compute);
}

} // namespace

// ---- mpfloat with mpfloat ----

mpfloat mpfloat::operator+(const mpfloat& y) const {
    if (mpfr_zero_p(number)) {
        return y;
    }
    if (mpfr_zero_p(y.number)) {
        return *this;
    }
    return result([&](mpfr_ptr out) { mpfr_add(out, number, y.number, _currRound); });
}

mpfloat mpfloat::operator-(const mpfloat& y) const {
    return result([&](mpfr_ptr out) { mpfr_sub(out, number, y.number, _currRound); });
}

mpfloat mpfloat::operator*(const mpfloat& y) const {
    return result([&](mpfr_ptr out) { mpfr_mul(out, number, y.number, _currRound); });
}

mpfloat mpfloat::operator/(const mpfloat& y) const {
    return result([&](mpfr_ptr out) { mpfr_div(out, number, y.number, _currRound); });
}

mpfloat mpfloat::operator-() const {
    return result([&](mpfr_ptr out) { mpfr_neg(out, number, _currRound); });
}

mpfloat& mpfloat::addAssign(const mpfloat& y) {
    if (mpfr_zero_p(y.number)) {
        return *this;
    }
    if (mpfr_zero_p(number)) {
        if (mpfr_get_prec(number) == mpfr_get_prec(y.number)) {
            return *this = y;
        }
        A::update(*this, [&](mpfr_ptr out) { mpfr_set(out, y.number, _currRound); });
        return *this;
    }
    A::update(*this, [&](mpfr_ptr out) { mpfr_add(out, number, y.number, _currRound); });
    return *this;
}

mpfloat& mpfloat::subAssign(const mpfloat& y) {
    if (mpfr_zero_p(y.number)) {
        return *this;
    }
    if (mpfr_zero_p(number)) {
        A::update(*this, [&](mpfr_ptr out) { mpfr_neg(out, y.number, _currRound); });
        return *this;
    }
    A::update(*this, [&](mpfr_ptr out) { mpfr_sub(out, number, y.number, _currRound); });
    return *this;
}

mpfloat& mpfloat::mulAssign(const mpfloat& y) {
    A::update(*this, [&](mpfr_ptr out) { mpfr_mul(out, number, y.number, _currRound); });
    return *this;
}

mpfloat& mpfloat::divAssign(const mpfloat& y) {
    A::update(*this, [&](mpfr_ptr out) { mpfr_div(out, number, y.number, _currRound); });
    return *this;
}

// ---- compound assignments with built-in values ----
// Signed integers use MPFR's signed forms, which round the whole operation in the requested
// direction (what multiplying by the magnitude with the opposite direction and negating gives)
// and take LONG_MIN, whose magnitude no long can hold.

template <mpfloatOperand T> mpfloat& mpfloat::operator+=(const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return *this += exact(n);
    } else {
        if (n == 0) {
            return *this;
        }
        A::update(*this, [&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_add_si(out, number, static_cast<long>(n), _currRound);
            } else {
                mpfr_add_ui(out, number, static_cast<unsigned long>(n), _currRound);
            }
        });
        return *this;
    }
}

template <mpfloatOperand T> mpfloat& mpfloat::operator-=(const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return *this -= exact(n);
    } else {
        if (n == 0) {
            return *this;
        }
        A::update(*this, [&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_sub_si(out, number, static_cast<long>(n), _currRound);
            } else {
                mpfr_sub_ui(out, number, static_cast<unsigned long>(n), _currRound);
            }
        });
        return *this;
    }
}

template <mpfloatOperand T> mpfloat& mpfloat::operator*=(const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return *this *= exact(n);
    } else {
        A::update(*this, [&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_mul_si(out, number, static_cast<long>(n), _currRound);
            } else {
                mpfr_mul_ui(out, number, static_cast<unsigned long>(n), _currRound);
            }
        });
        return *this;
    }
}

// A divisor of 0 is an unsigned zero: an infinity of x's sign, or NaN for a zero or NaN x.
template <mpfloatDivOperand T> mpfloat& mpfloat::operator/=(const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return *this /= exact(n);
    } else {
        A::update(*this, [&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_div_si(out, number, static_cast<long>(n), _currRound);
            } else {
                mpfr_div_ui(out, number, static_cast<unsigned long>(n), _currRound);
            }
        });
        return *this;
    }
}

// ---- operations into a given result ----

void mpfloat::add(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_add(out, a.number, b.number, rnd); });
}

void mpfloat::sub(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_sub(out, a.number, b.number, rnd); });
}

void mpfloat::mul(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_mul(out, a.number, b.number, rnd); });
}

void mpfloat::div(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_div(out, a.number, b.number, rnd); });
}

void mpfloat::neg(mpfloat& result, const mpfloat& a, const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_neg(out, a.number, rnd); });
}

void mpfloat::fma(mpfloat& result, const mpfloat& a, const mpfloat& b, const mpfloat& c,
                  const mpfr_rnd_t& rnd) {
    A::update(result, [&](mpfr_ptr out) { mpfr_fma(out, a.number, b.number, c.number, rnd); });
}

// ---- mixed binary operators ----

template <mpfloatOperand T> mpfloat operator+(const mpfloat& x, const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return x + exact(n);
    } else {
        if (n == 0) {
            return x;
        }
        return result([&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_add_si(out, A::num(x), static_cast<long>(n), A::defaultRound());
            } else {
                mpfr_add_ui(out, A::num(x), static_cast<unsigned long>(n), A::defaultRound());
            }
        });
    }
}

template <mpfloatOperand T> mpfloat operator+(const T& n, const mpfloat& x) {
    return x + n;
}

template <mpfloatOperand T> mpfloat operator-(const mpfloat& x, const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return x - exact(n);
    } else {
        if (n == 0) {
            return x;
        }
        return result([&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_sub_si(out, A::num(x), static_cast<long>(n), A::defaultRound());
            } else {
                mpfr_sub_ui(out, A::num(x), static_cast<unsigned long>(n), A::defaultRound());
            }
        });
    }
}

template <mpfloatOperand T> mpfloat operator-(const T& n, const mpfloat& x) {
    if constexpr (isUnsignedInt<T>) {
        if (n == 0) {
            return -x;
        }
        return result([&](mpfr_ptr out) {
            mpfr_ui_sub(out, static_cast<unsigned long>(n), A::num(x), A::defaultRound());
        });
    } else {
        return exact(n) - x;
    }
}

template <mpfloatOperand T> mpfloat operator*(const mpfloat& x, const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return x * exact(n);
    } else {
        return result([&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_mul_si(out, A::num(x), static_cast<long>(n), A::defaultRound());
            } else {
                mpfr_mul_ui(out, A::num(x), static_cast<unsigned long>(n), A::defaultRound());
            }
        });
    }
}

template <mpfloatOperand T> mpfloat operator*(const T& n, const mpfloat& x) {
    return x * n;
}

template <mpfloatDivOperand T> mpfloat operator/(const mpfloat& x, const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return x / exact(n);
    } else {
        return result([&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_div_si(out, A::num(x), static_cast<long>(n), A::defaultRound());
            } else {
                mpfr_div_ui(out, A::num(x), static_cast<unsigned long>(n), A::defaultRound());
            }
        });
    }
}

template <mpfloatDivOperand T> mpfloat operator/(const T& n, const mpfloat& x) {
    if constexpr (std::is_floating_point_v<T>) {
        return exact(n) / x;
    } else {
        return result([&](mpfr_ptr out) {
            if constexpr (isSignedInt<T>) {
                mpfr_si_div(out, static_cast<long>(n), A::num(x), A::defaultRound());
            } else {
                mpfr_ui_div(out, static_cast<unsigned long>(n), A::num(x), A::defaultRound());
            }
        });
    }
}

// ---- comparison ----

int compare(const mpfloat& x, const mpfloat& y) {
    return mpfr_cmp(A::num(x), A::num(y));
}

template <mpfloatOperand T> int compare(const mpfloat& x, const T& n) {
    if constexpr (std::is_floating_point_v<T>) {
        return mpfr_cmp_d(A::num(x), static_cast<double>(n));
    } else if constexpr (isSignedInt<T>) {
        return mpfr_cmp_si(A::num(x), static_cast<long>(n));
    } else {
        return mpfr_cmp_ui(A::num(x), static_cast<unsigned long>(n));
    }
}

bool operator==(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) == 0;
}
bool operator!=(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) != 0;
}
bool operator<(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) < 0;
}
bool operator<=(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) <= 0;
}
bool operator>(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) > 0;
}
bool operator>=(const mpfloat& x, const mpfloat& y) {
    return compare(x, y) >= 0;
}

// With the number on the right, each test is the reversed test of compare(x, n).
template <mpfloatOperand T> bool operator==(const mpfloat& x, const T& n) {
    return compare(x, n) == 0;
}
template <mpfloatOperand T> bool operator!=(const mpfloat& x, const T& n) {
    return compare(x, n) != 0;
}
template <mpfloatOperand T> bool operator<(const mpfloat& x, const T& n) {
    return compare(x, n) < 0;
}
template <mpfloatOperand T> bool operator<=(const mpfloat& x, const T& n) {
    return compare(x, n) <= 0;
}
template <mpfloatOperand T> bool operator>(const mpfloat& x, const T& n) {
    return compare(x, n) > 0;
}
template <mpfloatOperand T> bool operator>=(const mpfloat& x, const T& n) {
    return compare(x, n) >= 0;
}
template <mpfloatOperand T> bool operator==(const T& n, const mpfloat& x) {
    return compare(x, n) == 0;
}
template <mpfloatOperand T> bool operator!=(const T& n, const mpfloat& x) {
    return compare(x, n) != 0;
}
template <mpfloatOperand T> bool operator<(const T& n, const mpfloat& x) {
    return compare(x, n) > 0;
}
template <mpfloatOperand T> bool operator<=(const T& n, const mpfloat& x) {
    return compare(x, n) >= 0;
}
template <mpfloatOperand T> bool operator>(const T& n, const mpfloat& x) {
    return compare(x, n) < 0;
}
template <mpfloatOperand T> bool operator>=(const T& n, const mpfloat& x) {
    return compare(x, n) <= 0;
}

// ---- the exported instantiations ----

#define FRX_MPFLOAT_OPERAND(T)                                                                               \
    template FRX_API mpfloat& mpfloat::operator+=<T>(const T&);                                              \
    template FRX_API mpfloat& mpfloat::operator-=<T>(const T&);                                              \
    template FRX_API mpfloat& mpfloat::operator*=<T>(const T&);                                              \
    template FRX_API mpfloat operator+<T>(const mpfloat&, const T&);                                         \
    template FRX_API mpfloat operator+<T>(const T&, const mpfloat&);                                         \
    template FRX_API mpfloat operator-<T>(const mpfloat&, const T&);                                         \
    template FRX_API mpfloat operator-<T>(const T&, const mpfloat&);                                         \
    template FRX_API mpfloat operator*<T>(const mpfloat&, const T&);                                         \
    template FRX_API mpfloat operator*<T>(const T&, const mpfloat&);                                         \
    template FRX_API int compare<T>(const mpfloat&, const T&);                                               \
    template FRX_API bool operator==<T>(const mpfloat&, const T&);                                           \
    template FRX_API bool operator!=<T>(const mpfloat&, const T&);                                           \
    template FRX_API bool operator< <T>(const mpfloat&, const T&);                                           \
    template FRX_API bool operator<=<T>(const mpfloat&, const T&);                                           \
    template FRX_API bool operator><T>(const mpfloat&, const T&);                                            \
    template FRX_API bool operator>=<T>(const mpfloat&, const T&);                                           \
    template FRX_API bool operator==<T>(const T&, const mpfloat&);                                           \
    template FRX_API bool operator!=<T>(const T&, const mpfloat&);                                           \
    template FRX_API bool operator< <T>(const T&, const mpfloat&);                                           \
    template FRX_API bool operator<=<T>(const T&, const mpfloat&);                                           \
    template FRX_API bool operator><T>(const T&, const mpfloat&);                                            \
    template FRX_API bool operator>=<T>(const T&, const mpfloat&);

#define FRX_MPFLOAT_DIV_OPERAND(T)                                                                           \
    template FRX_API mpfloat& mpfloat::operator/=<T>(const T&);                                              \
    template FRX_API mpfloat operator/<T>(const mpfloat&, const T&);                                         \
    template FRX_API mpfloat operator/<T>(const T&, const mpfloat&);

FRX_MPFLOAT_OPERAND(float)
FRX_MPFLOAT_OPERAND(double)
FRX_MPFLOAT_OPERAND(short)
FRX_MPFLOAT_OPERAND(unsigned short)
FRX_MPFLOAT_OPERAND(int)
FRX_MPFLOAT_OPERAND(unsigned int)
FRX_MPFLOAT_OPERAND(long)
FRX_MPFLOAT_OPERAND(unsigned long)

FRX_MPFLOAT_DIV_OPERAND(double)
FRX_MPFLOAT_DIV_OPERAND(int)
FRX_MPFLOAT_DIV_OPERAND(unsigned int)
FRX_MPFLOAT_DIV_OPERAND(long)
FRX_MPFLOAT_DIV_OPERAND(unsigned long)
