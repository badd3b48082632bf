#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

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

FRX::Matrix filled(unsigned n, double v) {
    return FRX::Matrix::createVector(n, v);
}

void MatrixAddValue(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 1.0);
    const FRX::Matrix b = filled(n, 1e-9);
    FRX::Matrix c;
    for (auto _ : state) {
        c = a + b;
        benchmark::DoNotOptimize(&c(0));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(MatrixAddValue)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", smallest);

void MatrixSqrtValue(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 2.0);
    FRX::Matrix c;
    for (auto _ : state) {
        c = a.sqrt();
        benchmark::DoNotOptimize(&c(0));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(MatrixSqrtValue)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", smallest);

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
BENCHMARK(MatrixAddInPlace)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", smallest);

// The yardstick: one pass writing a fresh array.
void PlainLoopFreshAdd(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 1.0);
    const FRX::Matrix b = filled(n, 1e-9);
    const double* x = &a(0);
    const double* y = &b(0);
    for (auto _ : state) {
        std::unique_ptr<double[]> c(new double[n]);
        for (unsigned k = 0; k < n; ++k) {
            c[k] = x[k] + y[k];
        }
        benchmark::DoNotOptimize(c.get());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(PlainLoopFreshAdd)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", smallest);

void PlainLoopFreshSqrt(benchmark::State& state) {
    const auto n = static_cast<unsigned>(state.range(0));
    const FRX::Matrix a = filled(n, 2.0);
    const double* x = &a(0);
    for (auto _ : state) {
        std::unique_ptr<double[]> c(new double[n]);
        for (unsigned k = 0; k < n; ++k) {
            c[k] = std::sqrt(x[k]);
        }
        benchmark::DoNotOptimize(c.get());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(PlainLoopFreshSqrt)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", smallest);

} // namespace

BENCHMARK_MAIN();
