#pragma once

// Private to the network clients.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace PBN::Net::Detail {

// Maps the fresh pages of a block ahead of the bytes written into it, on a thread of its own.
// Fresh memory costs a page fault at every 4 KiB first written, which for a large download took
// longer than the transfer itself; the kernel maps pages much faster in bulk
// (MADV_POPULATE_WRITE), and on this thread it does so while the transfer waits for the network.
// At most kAhead bytes beyond what has been written are mapped, so that a server announcing more
// than it sends costs no more memory than that. Where the kernel cannot map pages in advance the
// writer simply faults them in itself.
class PagePrefaulter {
public:
    static constexpr size_t kAhead = size_t(32) << 20;

    PagePrefaulter() = default;
    PagePrefaulter(const PagePrefaulter&) = delete;
    PagePrefaulter& operator=(const PagePrefaulter&) = delete;
    ~PagePrefaulter() { stop(); }

    // Starts mapping the pages of [block, block + size) from `written` on; stops a previous block
    // first. The block must stay allocated until stop().
    void start(char* block, size_t size, size_t written);
    // The writer has filled the block up to `written`.
    void advance(size_t written);
    // Returns once the thread has ended; no page of the block is touched after that.
    void stop();
    // How far the pages are mapped from the start of the block, once no step is under way (tests).
    size_t mapped();

private:
    void run();

    std::mutex m_lock;
    std::condition_variable m_wake;    // the writer has moved on, or stop()
    std::condition_variable m_stepped; // a step has ended
    std::thread m_thread;
    char* m_block = nullptr;
    size_t m_size = 0;
    size_t m_written = 0;
    size_t m_next = 0;      // where the next step begins
    bool m_working = false; // a step is under way
    bool m_failed = false;  // the kernel cannot map pages in advance
    bool m_stop = false;
};

} // namespace PBN::Net::Detail
