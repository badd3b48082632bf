// mpfloat's mathematical functions: each is one MPFR function.

#include "ferrulon/mpfloat.h"

#include <mutex>
#include <random>

#include "ferrulon/mpfloatAccess.h"

using A = mpfloatAccess;

namespace {

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using Binary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

mpfloat apply(Unary f, const mpfloat& x, const mpfr_rnd_t& rnd) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { f(out, A::num(x), rnd); });
}

mpfloat apply(Binary f, const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { f(out, A::num(a), A::num(b), rnd); });
}

// One generator for the process, seeded once; GMP's state is not safe to share without a lock.
struct RandomSource {
    std::mutex lock;
    gmp_randstate_t state;

    RandomSource() {
        gmp_randinit_default(state);
        std::random_device seed;
        gmp_randseed_ui(state, (static_cast<unsigned long>(seed()) << 32) ^ seed());
    }
    ~RandomSource() { gmp_randclear(state); }
};

RandomSource& randomSource() {
    static RandomSource source;
    return source;
}

} // namespace

mpfloat agm(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    return apply(mpfr_agm, a, b, rnd);
}
mpfloat sqrt(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_sqrt, x, rnd);
}
mpfloat cbrt(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_cbrt, x, rnd);
}
mpfloat hypot(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    return apply(mpfr_hypot, a, b, rnd);
}
mpfloat exp(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_exp, x, rnd);
}
mpfloat exp2(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_exp2, x, rnd);
}
mpfloat expm1(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_expm1, x, rnd);
}
mpfloat log(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_log, x, rnd);
}
mpfloat log2(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_log2, x, rnd);
}
mpfloat log10(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_log10, x, rnd);
}
mpfloat log1p(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_log1p, x, rnd);
}
mpfloat sin(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_sin, x, rnd);
}
mpfloat cos(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_cos, x, rnd);
}
mpfloat tan(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_tan, x, rnd);
}
mpfloat asin(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_asin, x, rnd);
}
mpfloat acos(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_acos, x, rnd);
}
mpfloat atan(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_atan, x, rnd);
}
mpfloat sinh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_sinh, x, rnd);
}
mpfloat cosh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_cosh, x, rnd);
}
mpfloat tanh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_tanh, x, rnd);
}
mpfloat asinh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_asinh, x, rnd);
}
mpfloat acosh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_acosh, x, rnd);
}
mpfloat atanh(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_atanh, x, rnd);
}
mpfloat gamma(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_gamma, x, rnd);
}
mpfloat erf(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_erf, x, rnd);
}
mpfloat zeta(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return apply(mpfr_zeta, x, rnd);
}

mpfloat factorial(const unsigned long& n, const mpfr_rnd_t& rnd) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_fac_ui(out, n, rnd); });
}

mpfloat relDiff(const mpfloat& a, const mpfloat& b, const mpfr_rnd_t& rnd) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_reldiff(out, A::num(a), A::num(b), rnd); });
}

// ---- powers of this value ----

mpfloat& mpfloat::pow(const unsigned long& n, const mpfr_rnd_t& rnd) {
    A::update(*this, [&](mpfr_ptr out) { mpfr_pow_ui(out, number, n, rnd); });
    return *this;
}

mpfloat& mpfloat::pow(const long& n, const mpfr_rnd_t& rnd) {
    A::update(*this, [&](mpfr_ptr out) { mpfr_pow_si(out, number, n, rnd); });
    return *this;
}

mpfloat& mpfloat::pow(const mpfloat& y, const mpfr_rnd_t& rnd) {
    A::update(*this, [&](mpfr_ptr out) { mpfr_pow(out, number, y.number, rnd); });
    return *this;
}

void mpfloat::random(const unsigned long& prec) {
    RandomSource& source = randomSource();
    A::store(*this, prec, [&](mpfr_ptr out) {
        const std::lock_guard<std::mutex> hold(source.lock);
        mpfr_urandomb(out, source.state);
    });
}

// ---- rounding to integers ----

mpfloat round(const mpfloat& x) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_round(out, A::num(x)); });
}

mpfloat floor(const mpfloat& x) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_rint(out, A::num(x), MPFR_RNDD); });
}

mpfloat trunc(const mpfloat& x) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_rint(out, A::num(x), MPFR_RNDZ); });
}

mpfloat ceil(const mpfloat& x) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_rint(out, A::num(x), MPFR_RNDU); });
}

mpfloat frac(const mpfloat& x) {
    return A::make(A::defaultPrec(), [&](mpfr_ptr out) { mpfr_frac(out, A::num(x), A::defaultRound()); });
}

// ---- neighbours ----

namespace {

mpfloat atDefaultPrecision(const mpfloat& x) {
    mpfloat result;
    result.copy(x, A::defaultRound(), A::defaultPrec());
    return result;
}

} // namespace

mpfloat nextAbove(const mpfloat& x) {
    mpfloat result = atDefaultPrecision(x);
    A::update(result, [](mpfr_ptr out) { mpfr_nextabove(out); });
    return result;
}

mpfloat nextBelow(const mpfloat& x) {
    mpfloat result = atDefaultPrecision(x);
    A::update(result, [](mpfr_ptr out) { mpfr_nextbelow(out); });
    return result;
}

mpfloat nextToward(const mpfloat& x, const mpfloat& y) {
    mpfloat result = atDefaultPrecision(x);
    A::update(result, [&](mpfr_ptr out) { mpfr_nexttoward(out, A::num(y)); });
    return result;
}

// ---- absolute value, sine and cosine ----

mpfloat abs(const mpfloat& x, const mpfr_rnd_t&) {
    if (mpfr_zero_p(A::num(x)) && mpfr_signbit(A::num(x))) {
        return A::make(x.getPrecision(), [](mpfr_ptr out) { mpfr_set_zero(out, 1); });
    }
    if (compare(x, 0) >= 0) {
        return x + 0;
    }
    return -x;
}

void sinCos(mpfloat& s, mpfloat& c, const mpfloat& x, const mpfr_rnd_t& rnd) {
    // MPFR needs two distinct outputs and x may be either of them: compute apart, then assign.
    mpfloat sine = A::fresh(s.getPrecision());
    mpfloat cosine = A::fresh(c.getPrecision());
    A::update(sine, [&](mpfr_ptr so) {
        A::update(cosine, [&](mpfr_ptr co) { mpfr_sin_cos(so, co, A::num(x), rnd); });
    });
    s = sine;
    c = cosine;
}
