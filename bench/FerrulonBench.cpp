#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <boost/multiprecision/mpfr.hpp>

#include "ferrulon/mpfloat.h"

// Each precision is the argument (bits). Operands hold full mantissas, so that no MPFR fast path
// for short numbers applies; in-place products stay near 1 so that nothing overflows.

namespace {

using BoostFloat = boost::multiprecision::mpfr_float;

// Full-mantissa operands near 1 (a) and near 0.5 (b), set through MPFR at `bits`.
void operands(mpfr_ptr a, mpfr_ptr b) {
    mpfr_const_pi(a, MPFR_RNDN);
    mpfr_div_ui(a, a, 3, MPFR_RNDN); // 1.047...
    mpfr_const_log2(b, MPFR_RNDN);   // 0.693...
}

mpfr_srcptr raw(const mpfloat& x) {
    return reinterpret_cast<mpfr_srcptr>(&x);
}

struct MpfloatPair {
    mpfloat a, b;
    explicit MpfloatPair(unsigned long bits) {
        mpfloat::setDefaultPrecision(bits);
        a = mpfloat(0, mpfloat::ROUND_NEAREST, bits);
        b = mpfloat(0, mpfloat::ROUND_NEAREST, bits);
        operands(const_cast<mpfr_ptr>(raw(a)), const_cast<mpfr_ptr>(raw(b)));
    }
};

struct MpfrPair {
    mpfr_t a, b;
    explicit MpfrPair(mpfr_prec_t bits) {
        mpfr_init2(a, bits);
        mpfr_init2(b, bits);
        operands(a, b);
    }
    ~MpfrPair() {
        mpfr_clear(a);
        mpfr_clear(b);
    }
};

struct BoostPair {
    BoostFloat a, b;
    explicit BoostPair(unsigned long bits) {
        BoostFloat::default_precision(static_cast<unsigned>(std::ceil(bits * 0.30103)));
        a = BoostFloat(boost::multiprecision::mpfr_float(3.14159)) / 3;
        b = log(BoostFloat(2));
    }
};

// ---- in place ----

void AddInPlaceMpfloat(benchmark::State& state) {
    MpfloatPair p(state.range(0));
    mpfloat minus = -p.b;
    for (auto _ : state) {
        p.a += p.b;
        p.a += minus;
        benchmark::DoNotOptimize(&p.a);
    }
}
BENCHMARK(AddInPlaceMpfloat)->Arg(64)->Arg(256)->Arg(4096);

void AddInPlaceMpfr(benchmark::State& state) {
    MpfrPair p(state.range(0));
    mpfr_t minus;
    mpfr_init2(minus, state.range(0));
    mpfr_neg(minus, p.b, MPFR_RNDN);
    for (auto _ : state) {
        mpfr_add(p.a, p.a, p.b, MPFR_RNDN);
        mpfr_add(p.a, p.a, minus, MPFR_RNDN);
        benchmark::DoNotOptimize(p.a);
    }
    mpfr_clear(minus);
}
BENCHMARK(AddInPlaceMpfr)->Arg(64)->Arg(256)->Arg(4096);

void MulInPlaceMpfloat(benchmark::State& state) {
    MpfloatPair p(state.range(0));
    const mpfloat inverse = mpfloat(1) / p.a;
    mpfloat x = p.b;
    for (auto _ : state) {
        x *= p.a;
        x *= inverse;
        benchmark::DoNotOptimize(&x);
    }
}
BENCHMARK(MulInPlaceMpfloat)->Arg(64)->Arg(256)->Arg(4096);

void MulInPlaceMpfr(benchmark::State& state) {
    MpfrPair p(state.range(0));
    mpfr_t inverse;
    mpfr_init2(inverse, state.range(0));
    mpfr_ui_div(inverse, 1, p.a, MPFR_RNDN);
    for (auto _ : state) {
        mpfr_mul(p.b, p.b, p.a, MPFR_RNDN);
        mpfr_mul(p.b, p.b, inverse, MPFR_RNDN);
        benchmark::DoNotOptimize(p.b);
    }
    mpfr_clear(inverse);
}
BENCHMARK(MulInPlaceMpfr)->Arg(64)->Arg(256)->Arg(4096);

// ---- results in fresh storage ----
// Each mpfloat operator against the MPFR call it stands for, with the result's mpfr_init2 and
// mpfr_clear (what a fresh value costs). Compare the minimum of repeated runs pinned to one core,
// interleaved (see ferrulon.cmake).

double minimum(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

template <typename Op> void FreshMpfloat(benchmark::State& state, Op op) {
    MpfloatPair p(state.range(0));
    for (auto _ : state) {
        mpfloat r = op(p.a, p.b);
        benchmark::DoNotOptimize(&r);
    }
}

template <typename Op> void FreshMpfr(benchmark::State& state, Op op) {
    MpfrPair p(state.range(0));
    for (auto _ : state) {
        mpfr_t r;
        mpfr_init2(r, state.range(0));
        op(r, p.a, p.b);
        benchmark::DoNotOptimize(r);
        mpfr_clear(r);
    }
}

template <typename Op> void FreshBoost(benchmark::State& state, Op op) {
    BoostPair p(state.range(0));
    for (auto _ : state) {
        BoostFloat r = op(p.a, p.b);
        benchmark::DoNotOptimize(&r);
    }
}

using F = const mpfloat&;
using M = mpfr_srcptr;
using B = const BoostFloat&;
constexpr mpfr_rnd_t RN = MPFR_RNDN;

void sized(benchmark::internal::Benchmark* b) {
    b->Arg(64)->Arg(256)->Arg(4096)->ComputeStatistics("min", minimum);
}

BENCHMARK_CAPTURE(FreshMpfloat, add, [](F a, F b) { return a + b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, add, [](mpfr_ptr r, M a, M b) { mpfr_add(r, a, b, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshBoost, add, [](B a, B b) -> BoostFloat { return a + b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, sub, [](F a, F b) { return a - b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, sub, [](mpfr_ptr r, M a, M b) { mpfr_sub(r, a, b, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, mul, [](F a, F b) { return a * b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, mul, [](mpfr_ptr r, M a, M b) { mpfr_mul(r, a, b, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshBoost, mul, [](B a, B b) -> BoostFloat { return a * b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, div, [](F a, F b) { return a / b; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, div, [](mpfr_ptr r, M a, M b) { mpfr_div(r, a, b, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, neg, [](F a, F) { return -a; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, neg, [](mpfr_ptr r, M a, M) { mpfr_neg(r, a, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, add_si, [](F a, F) { return a + -3L; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, add_si, [](mpfr_ptr r, M a, M) { mpfr_add_si(r, a, -3L, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, mul_ui, [](F a, F) { return a * 3UL; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, mul_ui, [](mpfr_ptr r, M a, M) { mpfr_mul_ui(r, a, 3UL, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, ui_div, [](F a, F) { return 3UL / a; })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, ui_div, [](mpfr_ptr r, M a, M) { mpfr_ui_div(r, 3UL, a, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfloat, sqrt, [](F a, F) { return sqrt(a, mpfloat::ROUND_NEAREST); })->Apply(sized);
BENCHMARK_CAPTURE(FreshMpfr, sqrt, [](mpfr_ptr r, M a, M) { mpfr_sqrt(r, a, RN); })->Apply(sized);
BENCHMARK_CAPTURE(FreshBoost, sqrt, [](B a, B) -> BoostFloat { return sqrt(a); })->Apply(sized);

// ---- copies ----

void CopyMpfloat(benchmark::State& state) {
    MpfloatPair p(state.range(0));
    for (auto _ : state) {
        mpfloat c(p.a);
        benchmark::DoNotOptimize(&c);
    }
}
BENCHMARK(CopyMpfloat)->Arg(64)->Arg(256)->Arg(4096);

void CopyBoost(benchmark::State& state) {
    BoostPair p(state.range(0));
    for (auto _ : state) {
        BoostFloat c(p.a);
        benchmark::DoNotOptimize(&c);
    }
}
BENCHMARK(CopyBoost)->Arg(64)->Arg(256)->Arg(4096);

} // namespace

BENCHMARK_MAIN();
