#include "pemblon/net/PagePrefaulter.h"

#include <algorithm>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace PBN::Net::Detail {

namespace {

// Mapped in steps of this much, so that stop() waits for one step at most.
constexpr size_t kStep = size_t(2) << 20;

// Maps the whole pages inside [from, to) of the block; false when the kernel cannot.
bool mapPages(char* block, size_t from, size_t to) {
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + from + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + to) & ~(page - 1);
    if (end <= start)
        return true;
    return madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE) == 0;
}

} // namespace

void PagePrefaulter::start(char* block, size_t size, size_t written) {
    stop();
    m_block = block;
    m_size = size;
    m_written = written;
    m_next = std::min(written, size);
    m_working = false;
    m_failed = false;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void PagePrefaulter::advance(size_t written) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_written = written;
        wake = !m_failed && m_next < m_size && m_next < written + kAhead;
    }
    if (wake)
        m_wake.notify_one();
}

void PagePrefaulter::stop() {
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_block = nullptr;
}

size_t PagePrefaulter::mapped() {
    std::unique_lock<std::mutex> lock(m_lock);
    m_stepped.wait(lock, [this] { return !m_working; });
    return m_next;
}

void PagePrefaulter::run() {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop && !m_failed && m_next < m_size) {
        // Pages the writer has passed are mapped already; go on from where it is.
        const size_t from = std::max(m_next, std::min(m_written, m_size));
        const size_t target = std::min(m_size, m_written + kAhead);
        if (from >= target) {
            m_next = from;
            m_wake.wait(lock);
            continue;
        }
        const size_t to = std::min(target, from + kStep);
        m_next = to;
        m_working = true;
        lock.unlock();
        const bool mapped = mapPages(m_block, from, to);
        lock.lock();
        m_working = false;
        m_failed = !mapped;
        m_stepped.notify_all();
    }
}

} // namespace PBN::Net::Detail
