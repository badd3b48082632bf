#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "ferrulon/ComplexMatrix.h"
#include "ferrulon/Matrix.h"

// Matrix value operations (c = a + b, c = sqrt(a)) and in-place add (a += b) against a plain loop
// that writes its result into a fresh array of new double[n] in every iteration. The argument is
// the element count. Run as measured:
//   build/bench/ferrulon_array_bench --benchmark_repetitions=7 --benchmark_min_time=0.3
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// (one command line)
//
// Measured on the 8-core build machine while 7 other builds ran (load 15-35), so the figures are
// noisy: min / median of 7 repetitions, wall time, GCC run tree.
//
// Before (a value operation zeroed a new array, copied the operand into it and its result was
// copied once more; no moves):
//   c = a + b    10^6:  86 ms median, 10^7: 3359 ms median
//   c = sqrt(a)  10^6:  79 ms median, 10^7: 1900 ms median
//   a += b       10^6: 0.45 ms median, 10^7:  7.3 ms median
// After (one new array, the result computed into it, moves; arrays of 32 MiB and more on 2 MiB
// pages; the last large block a thread released serves its next request of that size):
//                 10^6 min / median      10^7 min / median
//   c = a + b     1.14 / 1.89 ms         15.0 / 17.2 ms (28 / 280 interleaved, see below)
//   c = sqrt(a)   3.15 / 5.25 ms         28.3 / 29.3 ms (33 / 52 interleaved)
//   a += b        0.41 / 0.44 ms          5.4 / 6.1 ms
//   plain loop, fresh array, add:   0.67 / 0.76 ms     461 / 740 ms
//   plain loop, fresh array, sqrt:  2.66 / 2.90 ms     673 / 1250 ms
// At 10^7 a value operation is 0.03-0.08x the plain loop, which faults in every 4 KiB page of
// its fresh 80 MB. At 10^6 malloc hands the loop back the block it just freed, while `c = a + b`
// holds two results at once (c's old one and the new one), 32 MB of memory in use against 24 MB:
// add is 1.7x the loop by the minimum, sqrt 1.2x. Interleaved repetitions start cold, and a fresh
// 80 MB mapping costs 240-620 ms to touch on this machine under load even with 2 MiB pages
// (540-1320 ms with 4 KiB pages; no compaction stalls seen, thp_fault_fallback 0).
//
// numpy 1.24 (Debian's python3-numpy) on the same machine and load, min / median of 7:
//   c = a + b     10^6: 2.15 / 2.35 ms     10^7: 26.8 / 34.8 ms
//   c = sqrt(a)   10^6: 2.02 / 2.47 ms     10^7: 33.3 / 41.7 ms
//   a += b        10^6: 0.23 / 0.25 ms     10^7:  5.8 / 6.4 ms

namespace {

double smallest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Results either replace the previous one, whose storage is then freed (and may serve the next
// result), or are kept, four at a time, so that every result needs fresh memory; the kept ones
// are destroyed outside the timing.
enum class Results { Freed, Kept };
constexpr std::size_t kKept = 4;

template <typename R, typename Make> void run(benchmark::State& state, Results results, Make make) {
    std::vector<R> kept;
    kept.reserve(kKept);
    R last{};
    for (auto _ : state) {
        if (results == Results::Freed) {
            last = make();
            benchmark::DoNotOptimize(&last);
        } else {
            if (kept.size() == kKept) {
                state.PauseTiming();
                kept.clear();
                state.ResumeTiming();
            }
            kept.push_back(make());
            benchmark::DoNotOptimize(&kept.back());
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", smallest);
}

// ---- Matrix ----

FRX::Matrix filled(unsigned n, double v) {
    return FRX::Matrix::createVector(n, v);
}

void MatrixAddValue(benchmark::State& state, Results results) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 1.0);
    const FRX::Matrix b = filled(n, 1e-9);
    run<FRX::Matrix>(state, results, [&] { return a + b; });
}
BENCHMARK_CAPTURE(MatrixAddValue, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(MatrixAddValue, kept, Results::Kept)->Apply(sizes);

void MatrixSqrtValue(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 2.0);
    run<FRX::Matrix>(state, Results::Freed, [&] { return a.sqrt(); });
}
BENCHMARK(MatrixSqrtValue)->Apply(sizes);

void MatrixAddInPlace(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    FRX::Matrix a = filled(n, 1.0);
    const FRX::Matrix b = filled(n, 1e-9);
    for (auto _ : state) {
        a += b;
        benchmark::DoNotOptimize(&a(0));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(MatrixAddInPlace)->Apply(sizes);

// ---- ComplexMatrix ----

FRX::ComplexMatrix filled(unsigned n, const FRX::Complex& v) {
    return FRX::ComplexMatrix::createVector(n, v);
}

struct ComplexOperands {
    explicit ComplexOperands(unsigned n)
        : a(filled(n, FRX::Complex(1.0, 2.0))), b(filled(n, FRX::Complex(1e-9, -3e-9))),
          s(FRX::ComplexMatrix::createScalar(FRX::Complex(0.5, 0.25))) {}
    FRX::ComplexMatrix a, b, s;
};

template <typename Op> void complexValue(benchmark::State& state, Results results, Op op) {
    const ComplexOperands x(static_cast<unsigned>(state.range(0)));
    run<FRX::ComplexMatrix>(state, results, [&] { return op(x); });
}

void ComplexAddValue(benchmark::State& state, Results results) {
    complexValue(state, results, [](const ComplexOperands& x) { return x.a + x.b; });
}
void ComplexSubtractValue(benchmark::State& state, Results results) {
    complexValue(state, results, [](const ComplexOperands& x) { return x.a - x.b; });
}
void ComplexMultiplyValue(benchmark::State& state, Results results) {
    complexValue(state, results, [](const ComplexOperands& x) { return x.a * x.b; });
}
void ComplexScaleValue(benchmark::State& state, Results results) {
    complexValue(state, results, [](const ComplexOperands& x) { return x.a * x.s; });
}
void ComplexNegateValue(benchmark::State& state, Results results) {
    complexValue(state, results, [](const ComplexOperands& x) { return -x.a; });
}
BENCHMARK_CAPTURE(ComplexAddValue, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexAddValue, kept, Results::Kept)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexSubtractValue, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexMultiplyValue, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexMultiplyValue, kept, Results::Kept)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexScaleValue, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(ComplexNegateValue, freed, Results::Freed)->Apply(sizes);

// ---- the yardsticks: one pass writing a fresh array of the same element type ----

// n elements in storage from operator new (malloc, as new[]), each constructed once from fill(k).
template <typename T> struct Fresh {
    Fresh() = default;
    template <typename Fill> Fresh(unsigned n, Fill fill) : items(std::allocator<T>().allocate(n)), n(n) {
        for (unsigned k = 0; k < n; ++k) {
            ::new (static_cast<void*>(items + k)) T(fill(k));
        }
    }
    Fresh(Fresh&& other) noexcept : items(std::exchange(other.items, nullptr)), n(other.n) {}
    Fresh& operator=(Fresh&& other) noexcept {
        std::swap(items, other.items);
        std::swap(n, other.n);
        return *this;
    }
    ~Fresh() {
        if (items != nullptr) {
            std::destroy_n(items, n);
            std::allocator<T>().deallocate(items, n);
        }
    }
    T* items = nullptr;
    unsigned n = 0;
};

void PlainLoopFreshAdd(benchmark::State& state, Results results) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 1.0);
    const FRX::Matrix b = filled(n, 1e-9);
    const double* x = &a(0);
    const double* y = &b(0);
    run<Fresh<double>>(state, results,
                       [&] { return Fresh<double>(n, [&](unsigned k) { return x[k] + y[k]; }); });
}
BENCHMARK_CAPTURE(PlainLoopFreshAdd, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshAdd, kept, Results::Kept)->Apply(sizes);

void PlainLoopFreshSqrt(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 2.0);
    const double* x = &a(0);
    run<Fresh<double>>(state, Results::Freed,
                       [&] { return Fresh<double>(n, [&](unsigned k) { return std::sqrt(x[k]); }); });
}
BENCHMARK(PlainLoopFreshSqrt)->Apply(sizes);

// FRX::Complex elements (what a ComplexMatrix holds: 24 bytes with the vtable pointer).
template <typename Op> void plainComplex(benchmark::State& state, Results results, Op op) {
    const ComplexOperands operands(static_cast<unsigned>(state.range(0)));
    const FRX::Complex* x = &operands.a(0);
    const FRX::Complex* y = &operands.b(0);
    const FRX::Complex s = operands.s(0);
    const auto n = static_cast<unsigned>(state.range(0));
    run<Fresh<FRX::Complex>>(state, results, [&] {
        return Fresh<FRX::Complex>(n, [&](unsigned k) { return op(x[k], y[k], s); });
    });
}
void PlainLoopFreshComplexAdd(benchmark::State& state, Results results) {
    plainComplex(state, results,
                 [](const FRX::Complex& x, const FRX::Complex& y, const FRX::Complex&) { return x + y; });
}
void PlainLoopFreshComplexMultiply(benchmark::State& state, Results results) {
    plainComplex(state, results,
                 [](const FRX::Complex& x, const FRX::Complex& y, const FRX::Complex&) { return x * y; });
}
void PlainLoopFreshComplexScale(benchmark::State& state, Results results) {
    plainComplex(state, results,
                 [](const FRX::Complex& x, const FRX::Complex&, const FRX::Complex& s) { return x * s; });
}
void PlainLoopFreshComplexNegate(benchmark::State& state, Results results) {
    plainComplex(state, results,
                 [](const FRX::Complex& x, const FRX::Complex&, const FRX::Complex&) { return -x; });
}
BENCHMARK_CAPTURE(PlainLoopFreshComplexAdd, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshComplexAdd, kept, Results::Kept)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshComplexMultiply, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshComplexMultiply, kept, Results::Kept)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshComplexScale, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshComplexNegate, freed, Results::Freed)->Apply(sizes);

// std::complex<double> elements (16 bytes), the loop numpy's complex128 arrays compare with.
void PlainLoopFreshStdComplexAdd(benchmark::State& state, Results results) {
    const auto n = static_cast<unsigned>(state.range(0));
    const std::vector<std::complex<double>> x(n, {1.0, 2.0});
    const std::vector<std::complex<double>> y(n, {1e-9, -3e-9});
    run<Fresh<std::complex<double>>>(state, results, [&] {
        return Fresh<std::complex<double>>(n, [&](unsigned k) { return x[k] + y[k]; });
    });
}
BENCHMARK_CAPTURE(PlainLoopFreshStdComplexAdd, freed, Results::Freed)->Apply(sizes);
BENCHMARK_CAPTURE(PlainLoopFreshStdComplexAdd, kept, Results::Kept)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
