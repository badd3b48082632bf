#pragma once

// Library-internal access to mpfloat's storage, shared by the sources of the class, its
// operators and its functions. Not installed with the public headers.

#include "ferrulon/mpfloat.h"

struct mpfloatAccess {
    static mpfr_srcptr num(const mpfloat& x) { return x.number; }
    static bool shared(const mpfloat& x) { return x.counter->value() > 1; }
    static unsigned long defaultPrec() { return mpfloat::_currPrec; }
    static mpfr_rnd_t defaultRound() { return mpfloat::_currRound; }

    // A fresh NaN of `prec` bits, sole owner of its storage.
    static mpfloat fresh(const unsigned long& prec) { return mpfloat(mpfloat::Fresh{}, prec); }

    // A fresh value of `prec` bits that compute(out) fills.
    template <typename F> static mpfloat make(const unsigned long& prec, F&& compute) {
        mpfloat result(mpfloat::Fresh{}, prec);
        compute(result.number);
        return result;
    }

    // Writes a result of `prec` bits into x. compute(out) runs while x still holds its old
    // number, so it may read x or any value sharing x's storage. A shared x (or one whose
    // precision changes) is given fresh storage; the other holders keep the old value.
    template <typename F> static void store(mpfloat& x, const unsigned long& prec, F&& compute) {
        if (x.counter->value() > 1 || mpfr_get_prec(x.number) != static_cast<mpfr_prec_t>(prec)) {
            x = make(prec, compute);
        } else {
            compute(x.number);
        }
    }

    // The same at x's own precision.
    template <typename F> static void update(mpfloat& x, F&& compute) {
        store(x, static_cast<unsigned long>(mpfr_get_prec(x.number)), compute);
    }
};
