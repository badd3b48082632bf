#include "ferrulon/ArrayCore.h"

#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include <sys/mman.h>

#include "pemblon/core/Exception.h"

namespace FRX {
namespace ArrayCore {

namespace {

[[noreturn]] void fail(const char* text) {
    throw PBN::Exception(PBN::Strings::ostring(text), PBN::Exception::SEVERE);
}

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// glibc's malloc hands a freed block below this size to the next request of that size (its
// mapping threshold rises to at most 32 MiB), so those pages are touched once; at and above
// it every request is a fresh mapping with a fault per 4 KiB page.
constexpr std::size_t kMappedFrom = std::size_t(32) << 20;
// Blocks kept for reuse (see Spare): from 1 MiB, where a first touch starts to cost more than
// the element loop, up to 256 MiB, the most one idle thread holds on to.
constexpr std::size_t kKeptFrom = std::size_t(1) << 20;
constexpr std::size_t kKeptUpTo = std::size_t(256) << 20;

std::size_t bytesOf(unsigned n) {
    return std::size_t(n) * sizeof(double);
}

// The mapped length: whole 2 MiB pages.
std::size_t mappedLength(unsigned n) {
    return (bytesOf(n) + kHugePage - 1) / kHugePage * kHugePage;
}

} // namespace

namespace {

double* freshDoubles(const unsigned& n, bool zeroed) {
    if (bytesOf(n) < kMappedFrom) {
        return zeroed ? new double[n]() : new double[n];
    }
    // Mapped with one spare 2 MiB page, then trimmed to the aligned part.
    const std::size_t length = mappedLength(n);
    void* mapped =
        mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned != start) {
        munmap(mapped, aligned - start);
    }
    if (const std::uintptr_t tail = start + length + kHugePage - (aligned + length); tail != 0) {
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
    // Advice only: without it (or where the kernel declines) the pages are 4 KiB ones.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<double*>(aligned);
}

void freeDoubles(double* items, const unsigned& n) noexcept {
    if (bytesOf(n) < kMappedFrom) {
        delete[] items;
    } else {
        munmap(items, mappedLength(n));
    }
}

// The last large block this thread released, kept for the next request of its size: in
// `c = a + b` the storage c gives up becomes the next result, its pages already touched.
struct Spare {
    double* items = nullptr;
    unsigned n = 0;
    Spare() = default;
    Spare(const Spare&) = delete;
    Spare& operator=(const Spare&) = delete;
    ~Spare() {
        if (items != nullptr) {
            freeDoubles(items, n);
        }
    }
};
thread_local Spare spare;

bool kept(const unsigned& n) {
    return bytesOf(n) >= kKeptFrom && bytesOf(n) <= kKeptUpTo;
}

} // namespace

double* allocateDoubles(const unsigned& n, bool zeroed) {
    if (n == 0) {
        return nullptr;
    }
    if (spare.items != nullptr && spare.n == n) {
        double* items = std::exchange(spare.items, nullptr);
        if (zeroed) {
            std::fill(items, items + n, 0.0);
        }
        return items;
    }
    return freshDoubles(n, zeroed);
}

void releaseDoubles(double* items, const unsigned& n) noexcept {
    if (items == nullptr) {
        return;
    }
    if (!kept(n)) {
        freeDoubles(items, n);
        return;
    }
    if (spare.items != nullptr) {
        freeDoubles(spare.items, spare.n);
    }
    spare.items = items;
    spare.n = n;
}

bool isScalar(const Shape& shape) {
    return std::all_of(shape.dims, shape.dims + shape.dimCount, [](unsigned d) { return d <= 1; });
}

unsigned elementCount(const unsigned& dimCount, const unsigned* dims) {
    unsigned total = 1;
    for (unsigned n = 0; n < dimCount; ++n) {
        if (dims[n] != 0 && total > std::numeric_limits<unsigned>::max() / dims[n]) {
            fail("Matrix too large");
        }
        total *= dims[n];
    }
    return total;
}

bool broadcasts(const Shape& left, const Shape& right, const Mismatch& texts) {
    if (right.total != 0 && isScalar(right)) {
        return true;
    }
    if (left.dimCount != right.dimCount) {
        fail(texts.countDiffers);
    }
    // A matrix without dimensions holds one element when it was given its (empty) list of
    // sizes, none when it was default-constructed: the totals tell them apart.
    if (!std::equal(left.dims, left.dims + left.dimCount, right.dims) || left.total != right.total) {
        fail(texts.sizeDiffers);
    }
    return false;
}

bool sameShape(const Shape& a, const Shape& b) {
    return a.dimCount == b.dimCount && a.total == b.total && std::equal(a.dims, a.dims + a.dimCount, b.dims);
}

} // namespace ArrayCore
} // namespace FRX
