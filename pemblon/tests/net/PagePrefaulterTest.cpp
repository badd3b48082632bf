#include "pemblon/net/PagePrefaulter.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

using PBN::Net::Detail::PagePrefaulter;

namespace {

constexpr size_t kBlock = size_t(96) << 20;

// A fresh anonymous block, unmapped when the test ends.
struct FreshBlock {
    char* data;
    FreshBlock() {
        void* p = mmap(nullptr, kBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        data = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
    }
    ~FreshBlock() {
        if (data)
            munmap(data, kBlock);
    }
    // Bytes of [from, to) whose pages are in memory.
    size_t resident(size_t from, size_t to) const {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        std::vector<unsigned char> in((to - from + page - 1) / page);
        if (mincore(data + from, to - from, in.data()) != 0)
            return 0;
        size_t pages = 0;
        for (unsigned char v : in)
            pages += v & 1;
        return pages * page;
    }
};

// Waits until the prefaulter has mapped at least `bytes`, or 10 s have passed.
bool waitForMapped(PagePrefaulter& prefaulter, size_t bytes) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (prefaulter.mapped() < bytes) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool canPrefault() {
    FreshBlock probe;
    return probe.data && madvise(probe.data, 4096, MADV_POPULATE_WRITE) == 0;
}

} // namespace

// The pages ahead of the writer are mapped, never more than the window beyond it, and the
// bytes already written are left as they are.
TEST(PagePrefaulterTest, MapsAWindowAheadOfTheWriterAndKeepsItsBytes) {
    if (!canPrefault())
        GTEST_SKIP() << "the kernel cannot map pages in advance";
    FreshBlock block;
    ASSERT_NE(block.data, nullptr);
    const size_t written = size_t(1) << 20;
    std::memset(block.data, 'x', written);
    PagePrefaulter prefaulter;
    prefaulter.start(block.data, kBlock, written);
    ASSERT_TRUE(waitForMapped(prefaulter, written + PagePrefaulter::kAhead));
    // A moment more: it must stay where it is until the writer moves on.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(prefaulter.mapped(), written + PagePrefaulter::kAhead);
    EXPECT_EQ(block.resident(written, written + PagePrefaulter::kAhead), PagePrefaulter::kAhead);
    EXPECT_EQ(block.resident(written + PagePrefaulter::kAhead + 4096, kBlock), 0u);

    // Pages the writer has passed it leaves to the writer; it maps on from where the writer is.
    const size_t moved = kBlock - PagePrefaulter::kAhead / 2;
    prefaulter.advance(moved);
    ASSERT_TRUE(waitForMapped(prefaulter, kBlock));
    prefaulter.stop();
    EXPECT_EQ(block.resident(moved, kBlock), kBlock - moved);
    EXPECT_EQ(std::string(block.data, written), std::string(written, 'x'));
    EXPECT_EQ(block.data[written], 0);
}

// stop() returns with the block partly mapped, and a prefaulter can be stopped twice, started
// again on another block, or destroyed while it works.
TEST(PagePrefaulterTest, StopsAtOnceAndStartsAgain) {
    FreshBlock first, second;
    ASSERT_TRUE(first.data && second.data);
    PagePrefaulter prefaulter;
    prefaulter.start(first.data, kBlock, 0);
    prefaulter.stop();
    prefaulter.stop();
    EXPECT_LE(prefaulter.mapped(), PagePrefaulter::kAhead);
    prefaulter.start(second.data, kBlock, 0);
    prefaulter.advance(kBlock);
    PagePrefaulter destroyedAtWork;
    destroyedAtWork.start(first.data, kBlock, 0);
    destroyedAtWork.advance(kBlock);
}
