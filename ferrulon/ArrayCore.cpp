#include "ferrulon/ArrayCore.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

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
// it every request is a fresh mapping, which is made here, 2 MiB aligned.
constexpr std::size_t kMappedFrom = std::size_t(32) << 20;

// The mapped length: whole 2 MiB pages.
std::size_t mappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

void* mapped(std::size_t bytes) {
    // Mapped with one spare 2 MiB page, then trimmed to the aligned part.
    const std::size_t length = mappedLength(bytes);
    void* mapping =
        mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned != start) {
        munmap(mapping, aligned - start);
    }
    if (const std::uintptr_t tail = start + length + kHugePage - (aligned + length); tail != 0) {
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
    // Advice only: without it (or where the kernel declines) the pages are 4 KiB ones.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

} // namespace

void* allocateStorage(std::size_t bytes, bool zeroed) {
    if (bytes == 0) {
        return nullptr;
    }
    if (bytes >= kMappedFrom) {
        return mapped(bytes); // a fresh mapping reads 0
    }
    void* items = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (items == nullptr) {
        throw std::bad_alloc();
    }
    return items;
}

void releaseStorage(void* items, std::size_t bytes) noexcept {
    if (items == nullptr) {
        return;
    }
    if (bytes >= kMappedFrom) {
        munmap(items, mappedLength(bytes));
    } else {
        std::free(items);
    }
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
