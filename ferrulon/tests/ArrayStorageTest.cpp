#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "ferrulon/ComplexMatrix.h"
#include "ferrulon/Matrix.h"

using FRX::Complex;
using FRX::ComplexMatrix;
using FRX::Matrix;

namespace {

// Element counts of storage from malloc (512 KiB of doubles) and of storage mapped on its own:
// 10^6 elements (8 MB of doubles, 24 MB of complex ones, which a released array may leave to the
// next of its size) and 32 MiB of doubles (96 MiB of complex elements).
constexpr unsigned kSmall = (512U << 10) / sizeof(double);
constexpr unsigned kMillion = 1000000;
constexpr unsigned kMapped = (32U << 20) / sizeof(double);

// Pages of the bytes at p that are in memory; none when the range is no longer mapped.
std::size_t residentPages(const void* p, std::size_t bytes) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(p) / page * page;
    const std::size_t length = reinterpret_cast<std::uintptr_t>(p) + bytes - start;
    std::vector<unsigned char> in((length + page - 1) / page);
    if (mincore(reinterpret_cast<void*>(start), length, in.data()) != 0) {
        return 0; // ENOMEM: unmapped
    }
    return static_cast<std::size_t>(
        std::count_if(in.begin(), in.end(), [](unsigned char c) { return (c & 1U) != 0; }));
}

// How many elements of m are not v.
unsigned countOther(const Matrix& m, double v) {
    unsigned other = 0;
    for (unsigned k = 0, n = m.getDimension(0); k < n; ++k) {
        other += m(k) != v ? 1U : 0U;
    }
    return other;
}

// Threads that wait, after their work, until they are let go.
class Workers {
public:
    template <typename Work> Workers(unsigned count, Work work) {
        for (unsigned t = 0; t < count; ++t) {
            threads.emplace_back([this, t, work] {
                work(t);
                std::unique_lock<std::mutex> lock(mutex);
                ++done;
                changed.notify_all();
                changed.wait(lock, [this] { return released; });
            });
        }
    }
    ~Workers() { letGo(); }
    void waitUntilDone() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return done == threads.size(); });
    }
    void letGo() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            released = true;
        }
        changed.notify_all();
        for (std::thread& t : threads) {
            if (t.joinable()) {
                t.join();
            }
        }
    }

private:
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    bool released = false;
};

} // namespace

// Storage a dead array leaves behind never reaches a new one: a new matrix reads 0 everywhere,
// whether its storage comes from malloc or is mapped, and whatever was released before (while
// another array lives, so that a released block may be handed on).
TEST(ArrayStorage, NewArraysNeverSeeTheElementsOfDeadOnes) {
    const Matrix alive = Matrix::createVector(kMillion, 1.0);
    for (const unsigned n : {kSmall, kMillion, kMapped}) {
        for (int round = 0; round < 3; ++round) {
            {
                Matrix used = Matrix::createVector(n, 7.0);
                used = used + used;
            }
            const Matrix fresh(1, &n);
            EXPECT_EQ(countOther(fresh, 0.0), 0U) << n << " elements, round " << round;
        }
    }
    for (const unsigned n : {kSmall, kMillion}) {
        { ComplexMatrix used = ComplexMatrix::createVector(n, Complex(7, -7)); }
        const ComplexMatrix fresh(1, &n);
        EXPECT_TRUE(fresh(0) == Complex(0, 0) && fresh(n - 1) == Complex(0, 0)) << n;
    }
}

// Nothing is held back for later: on the main thread and on each worker, which then stays idle,
// no page of a dead array's storage is left in memory (the storage is measured, not the
// process, whose size also holds the sanitizers' own records of every byte it touched).
TEST(ArrayStorage, DeadArraysGiveTheirMemoryBackOnEveryThread) {
    for (const unsigned n : {kMillion, kMapped}) {
        SCOPED_TRACE(n);
        auto useArrays = [n](unsigned thread) {
            struct Range {
                const void* start;
                std::size_t bytes;
            };
            std::vector<Range> used;
            {
                const Matrix a = Matrix::createVector(n, 1.0);
                const Matrix sum = a + a;
                const ComplexMatrix z = ComplexMatrix::createVector(n, Complex(1, 1));
                const ComplexMatrix product = z * z;
                EXPECT_EQ(sum(n - 1), 2.0);
                EXPECT_TRUE(product(n - 1) == Complex(0, 2));
                for (const Matrix* m : {&a, &sum}) {
                    used.push_back(Range{&(*m)(0), n * sizeof(double)});
                }
                for (const ComplexMatrix* m : {&z, &product}) {
                    used.push_back(Range{&(*m)(0), n * sizeof(Complex)});
                }
                EXPECT_GT(residentPages(used[0].start, used[0].bytes), 0U);
            }
            for (std::size_t k = 0; k < used.size(); ++k) {
                EXPECT_EQ(residentPages(used[k].start, used[k].bytes), 0U)
                    << "thread " << thread << ", array " << k;
            }
        };
        useArrays(0);
        // One worker after the other, so that no thread maps fresh storage where another's was.
        for (unsigned t = 1; t <= 2; ++t) {
            Workers worker(1, [&useArrays, t](unsigned) { useArrays(t); });
            worker.waitUntilDone();
        }
    }
}

// Threads building and releasing arrays of the same sizes at once never share storage: each one
// finds its new arrays at 0 and its results as it computed them.
TEST(ArrayStorage, ThreadsBuildAndReleaseArraysApart) {
    std::vector<unsigned> faults(4, 0);
    {
        Workers workers(4, [&faults](unsigned t) {
            for (int round = 0; round < 6; ++round) {
                const unsigned n = round % 2 == 0 ? kSmall : kMapped;
                Matrix m(1, &n);
                faults[t] += countOther(m, 0.0);
                m += Matrix::createScalar(t + 1.0);
                const Matrix twice = m + m;
                std::this_thread::yield();
                faults[t] += countOther(twice, 2.0 * (t + 1));
            }
        });
        workers.waitUntilDone();
    }
    for (unsigned t = 0; t < faults.size(); ++t) {
        EXPECT_EQ(faults[t], 0U) << "thread " << t;
    }
}
