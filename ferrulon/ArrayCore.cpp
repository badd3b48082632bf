#include "ferrulon/ArrayCore.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#include "pemblon/core/Exception.h"

namespace FRX {
namespace ArrayCore {

namespace {

[[noreturn]] void fail(const char* text) {
    throw PBN::Exception(PBN::Strings::ostring(text), PBN::Exception::SEVERE);
}

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Blocks from 1 MiB on are mapped on their own and so go back to the system when their array dies.
// From malloc they would not: glibc's mapping threshold rises to the size of each block freed (up to
// 32 MiB), so that later ones come from its heap, where any small block allocated after them keeps
// the heap from shrinking: 10^6-element arrays left tens of megabytes behind per thread.
constexpr std::size_t kMappedFrom = std::size_t(1) << 20;
// From 4 MiB on in 2 MiB pages, 2 MiB aligned, so that a first touch costs one fault per 2 MiB
// instead of one per 4 KiB; below, the rounding to whole 2 MiB pages would waste too much.
constexpr std::size_t kHugeFrom = std::size_t(4) << 20;
// A fresh mapping costs its first touch, which for a value operation (c = a + b) is as much as
// the operation itself. So one released block below 32 MiB is kept for the next request of its
// length, but only while other mapped arrays still live: once the last one dies it goes back too,
// and a program that has let go of its arrays holds none of their memory.
constexpr std::size_t kSpareBelow = std::size_t(32) << 20;

// The mapped length: whole 2 MiB pages, or whole pages below kHugeFrom.
std::size_t mappedLength(std::size_t bytes) {
    const std::size_t unit = bytes >= kHugeFrom ? kHugePage : static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + unit - 1) / unit * unit;
}

void* mapped(std::size_t bytes) {
    const std::size_t length = mappedLength(bytes);
    if (bytes < kHugeFrom) {
        void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) {
            throw std::bad_alloc();
        }
        return mapping;
    }
    // Mapped with one spare 2 MiB page, then trimmed to the aligned part.
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

// The mapped blocks alive, and the one released block kept while any is (shared by all threads).
struct MappedBlocks {
    std::mutex mutex;
    std::size_t live = 0;
    void* spare = nullptr;
    std::size_t spareLength = 0;
};

MappedBlocks& mappedBlocks() {
    static MappedBlocks* const blocks = new MappedBlocks; // never destroyed: arrays may outlive statics
    return *blocks;
}

void* takeMapped(std::size_t bytes, bool zeroed) {
    MappedBlocks& blocks = mappedBlocks();
    const std::size_t length = mappedLength(bytes);
    void* items = nullptr;
    {
        std::lock_guard<std::mutex> lock(blocks.mutex);
        ++blocks.live;
        if (blocks.spare != nullptr && blocks.spareLength == length) {
            items = blocks.spare;
            blocks.spare = nullptr;
        }
    }
    if (items != nullptr) {
        if (zeroed) {
            std::memset(items, 0, bytes);
        }
        return items;
    }
    try {
        return mapped(bytes); // a fresh mapping reads 0
    } catch (...) {
        std::lock_guard<std::mutex> lock(blocks.mutex);
        --blocks.live;
        throw;
    }
}

void releaseMapped(void* items, std::size_t bytes) noexcept {
    MappedBlocks& blocks = mappedBlocks();
    const std::size_t length = mappedLength(bytes);
    void* unmapItems = items;
    void* unmapSpare = nullptr;
    std::size_t unmapSpareLength = 0;
    {
        std::lock_guard<std::mutex> lock(blocks.mutex);
        --blocks.live;
        // The newest block is the likeliest to be asked for again.
        const bool keep = blocks.live > 0 && bytes < kSpareBelow;
        if (keep || blocks.live == 0) {
            std::swap(unmapSpare, blocks.spare);
            unmapSpareLength = blocks.spareLength;
        }
        if (keep) {
            blocks.spare = std::exchange(unmapItems, nullptr);
            blocks.spareLength = length;
        }
    }
    if (unmapSpare != nullptr) {
        munmap(unmapSpare, unmapSpareLength);
    }
    if (unmapItems != nullptr) {
        munmap(unmapItems, length);
    }
}

} // namespace

void* allocateStorage(std::size_t bytes, bool zeroed) {
    if (bytes == 0) {
        return nullptr;
    }
    if (bytes >= kMappedFrom) {
        return takeMapped(bytes, zeroed);
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
        releaseMapped(items, bytes);
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
