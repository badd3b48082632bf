#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ferrulon/ComplexMatrix.h"
#include "ferrulon/Matrix.h"

// Matrix and ComplexMatrix value operations (c = a + b, a * b, a * s with s a broadcast scalar,
// -a, sqrt(a)) and in-place add (a += b) against a plain loop that constructs its results in one
// pass into a fresh array of the same element type (operator new, as new[]). The argument is the
// element count. "freed": each result replaces the previous one, whose storage is freed; "kept":
// four results stay alive, so every result needs fresh memory. Run as measured, one process per
// benchmark (the state of malloc's heap that one benchmark leaves changes the next one's 10^6
// figures by up to 50x):
//   for b in $(build/bench/ferrulon_array_bench --benchmark_list_tests); do
//     build/bench/ferrulon_array_bench --benchmark_filter="^$b\$" --benchmark_repetitions=5
//         --benchmark_min_time=0.3 --benchmark_report_aggregates_only=true; done
// (the second command one line). Figures: median / min of 5 repetitions, wall time, GCC Release
// tree, on the 8-core build machine at load 4-15 (other builds running). On this machine a first
// touch of fresh 4 KiB pages costs 12-150 us a page depending on the hour (80 MB: 0.25-3 s), fresh
// 2 MiB pages 7-80 ms for 80 MB.
//
// ComplexMatrix, before (elements value-initialised in new Complex[n](), then assigned through
// out-of-line Complex operators; a second pass) and after (one array core for both classes:
// storage taken uninitialised, each element constructed in place from the inline operation;
// 32 MiB and more on 2 MiB pages; nothing kept back):
//                   10^6 before     10^6 after    10^7 before   10^7 after
//   c = a + b       21.1 / 20.4     2.80 / 2.79    782 / 708    33.6 / 32.5 ms
//   c = a - b       29.3 / 27.1     7.24 / 6.71    825 / 816    43.0 / 41.8 ms
//   c = a * b       15.2 / 14.6     3.61 / 3.55    704 / 683    36.5 / 35.4 ms
//   c = a * s       13.7 / 13.6     2.02 / 1.92    797 / 733    34.6 / 32.3 ms
//   c = -a          11.9 / 11.3     2.10 / 2.03    913 / 734    24.8 / 24.3 ms
//   c = a + b kept  76.6 / 72.1     86.5 / 84.5    757 / 734    35.4 / 34.1 ms
// Plain loop writing FRX::Complex (24 bytes with the vtable pointer), same runs:
//   add             7.39 / 5.93                     701 / 684
//   multiply        5.52 / 4.73                     721 / 698
//   scale           2.66 / 2.64                     946 / 890
//   negate          6.64 / 6.54                     967 / 950
//   add kept         107 / 91.2                     782 / 738
// and std::complex<double> (16 bytes): add 2.01 / 1.95 (kept 55.1 / 53.6) at 10^6, 593 / 546
// (kept 720 / 640) at 10^7.
// After, against the FRX::Complex loop: at 10^6 0.32-0.76x by the median (a - b 0.98x of the
// loop's add), kept 0.81x; at 10^7 0.03-0.05x, the loop faulting in every 4 KiB page of its fresh
// 240 MB. Against the 16-byte std::complex loop, add is 1.39x at 10^6 (its elements are 1.5x the
// bytes). numpy's complex128 figures of the report this answered (another hour, not measured
// here: no numpy on this machine): 48-53 ms at 10^7, 2.8-3.7 ms at 10^6.
//
// Matrix, before (the last block of 1 to 256 MiB a thread released was kept for its next request
// of that size) and after (nothing kept: storage goes back to malloc, or when mapped to the
// system):
//                   10^6 before     10^6 after    10^7 before   10^7 after
//   c = a + b       0.419 / 0.406   0.664 / 0.640  8.09 / 7.47  11.5 / 11.2 ms
//                                   (0.451-0.468 / 0.443 in two later runs, the loop 0.504-0.703)
//   c = a + b kept  0.739 / 0.711   28.4 / 26.0    15.0 / 14.8  11.5 / 10.7 ms
//   plain loop      0.448 / 0.426                   257 / 253
//                   (0.504-0.703 / 0.497 later)
//   plain loop kept 25.2 / 24.0                     280 / 263
// So 0.65-1.5x the loop at 10^6 (noise of a shared machine; kept 1.1x: heap growth, as for the
// loop) and 0.04-0.05x at 10^7. The kept block made `c = a + b kept` at 10^6 fast only because
// it sat at the top of malloc's heap and stopped the heap from shrinking; the price was up to
// 256 MiB held by every idle thread.
//
// 2 MiB pages (MADV_HUGEPAGE) against 4 KiB ones for the mapped storage, 3 runs each, taken in
// turn, 5 repetitions a run, median / min over the runs' medians and minima:
//                          2 MiB pages            4 KiB pages            plain new[] loop
//   Matrix c = a + b kept  12.4-11.7 / 10.2 ms     307-226 / 211 ms       377-229 / 219 ms
//   ComplexMatrix ... kept 35.1-31.4 / 28.3 ms     799-632 / 625 ms
//   Matrix c = a + b       12.2-11.1 / 10.9 ms     375-319 / 246 ms
// (medians as their range over the runs, then the least minimum; the plain loop's over all 5 of
// its runs). 4 KiB pages are the plain loop's own cost; 2 MiB ones were 0.03-0.05x of it in every
// run, and a standalone first touch of 80 MB took 7-84 ms with them against 1.1-3.3 s without,
// over this session. The 2 MiB advice stays. The hour in which 2 MiB pages cost four times the
// 4 KiB ones (241-266 ms against 53-75 ms for the loop) did not come back here.
//
// Earlier figures (Matrix only, load 15-35, 7 interleaved repetitions), before the value
// operations wrote into one new array: c = a + b 86 ms at 10^6, 3359 ms at 10^7; c = sqrt(a)
// 79 / 1900 ms. numpy 1.24 (Debian's python3-numpy) then, min / median of 7:
//   c = a + b     10^6: 2.15 / 2.35 ms     10^7: 26.8 / 34.8 ms
//   c = sqrt(a)   10^6: 2.02 / 2.47 ms     10^7: 33.3 / 41.7 ms
//   a += b        10^6: 0.23 / 0.25 ms     10^7:  5.8 / 6.4 ms
//
// Storage from 1 MiB on mapped on its own, before (from 32 MiB on; 8 and 24 MB arrays from
// malloc) and after (from 1 MiB on; the newest released block below 32 MiB handed to the next
// request of its length while other arrays live). CPU time, median of 5, 10^6 elements, at load
// 9-15 (other builds running), the loop in the same run:
//                              before    loop      after     loop
//   Matrix c = a + b           0.924     0.942     0.778     1.06 ms
//   Matrix c = a + b kept      4.62      5.08      1.38      4.77 ms
//   ComplexMatrix c = a + b    4.82      4.62      2.24      5.29 ms
//   ComplexMatrix ... kept     16.1      -         4.47      14.2 ms
// so 0.73x the loop for Matrix and 0.42x for ComplexMatrix at 10^6 (at most 1.3x was the aim).
// Memory kept after the arrays died (ResidentAfterArraysDie, beside numpy 1.24 on Debian's
// Python 3.11 in the same run): before 61.1 MB on one thread and 183 MB on three; after 0.04
// and 0.07 MB; numpy 45.8 and 152-183 MB.

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

// Memory given back: on each of 1 or 3 threads, ten rounds of two 10^6-element Matrix and two
// ComplexMatrix arrays, each round also keeping a 100-element one (small blocks allocated after
// the large ones, as any program makes them); then every large array is dead and the threads
// wait. kept_MB is the resident memory the process holds then above what it held before. Beside
// it, the same in numpy (float64 and complex128 arrays) run by Debian's /usr/bin/python3, when it
// has numpy; each iteration is one run, in a child process of its own.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

void ResidentAfterArraysDie(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    double keptMB = 0;
    for (auto _ : state) {
        std::vector<FRX::Matrix> small;
        std::mutex mutex;
        std::condition_variable changed;
        unsigned done = 0;
        bool letGo = false;
        const long before = residentKiB();
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                std::vector<FRX::Matrix> mine;
                for (int round = 0; round < 10; ++round) {
                    const FRX::Matrix a = filled(1000000, 1.0);
                    const FRX::Matrix b = a + a;
                    const FRX::ComplexMatrix z = filled(1000000, FRX::Complex(1, 1));
                    const FRX::ComplexMatrix w = z + z;
                    benchmark::DoNotOptimize(b(0) + w(0).real());
                    mine.push_back(filled(100, 1.0));
                }
                std::unique_lock<std::mutex> lock(mutex);
                small.insert(small.end(), mine.begin(), mine.end());
                ++done;
                changed.notify_all();
                changed.wait(lock, [&] { return letGo; });
            });
        }
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return done == threads; });
            keptMB = double(residentKiB() - before) / 1024;
            letGo = true;
        }
        changed.notify_all();
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    state.counters["kept_MB"] = keptMB;
}
BENCHMARK(ResidentAfterArraysDie)->Arg(1)->Arg(3)->Iterations(1)->Unit(benchmark::kMillisecond);

void NumpyResidentAfterArraysDie(benchmark::State& state) {
    const std::string script = R"(
import sys, threading
import numpy as np
def rss():
    for line in open("/proc/self/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
threads = int(sys.argv[1])
small, done, let_go = [], threading.Barrier(threads + 1), threading.Event()
def work():
    mine = []
    for _ in range(10):
        a = np.full(1000000, 1.0); b = a + a
        z = np.full(1000000, 1 + 1j); w = z + z
        mine.append(np.ones(100))
        del a, b, z, w
    small.extend(mine)
    done.wait()
    let_go.wait()
before = rss()
workers = [threading.Thread(target=work) for _ in range(threads)]
for t in workers: t.start()
done.wait()
print((rss() - before) / 1024)
let_go.set()
for t in workers: t.join()
)";
    const std::string command = "/usr/bin/python3 -c '" + script + "' " + std::to_string(state.range(0));
    double keptMB = 0;
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr || std::fscanf(pipe, "%lf", &keptMB) != 1) {
            if (pipe != nullptr) {
                pclose(pipe);
            }
            state.SkipWithError("no numpy for /usr/bin/python3");
            return;
        }
        pclose(pipe);
    }
    state.counters["kept_MB"] = keptMB;
}
BENCHMARK(NumpyResidentAfterArraysDie)->Arg(1)->Arg(3)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
