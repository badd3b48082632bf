#include "pemblon/net/MemorySink.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace PBN::Net::Detail {

namespace {

// An announced length is reserved up to this much before the bytes come: a server may announce
// more than it sends. Beyond it the block grows as bytes arrive.
constexpr curl_off_t kLargestReservation = curl_off_t(64) << 20;
constexpr size_t kGrowthOverReceived = 4;
constexpr size_t kHugePagesFrom = size_t(8) << 20;
// Blocks from this size on have their pages mapped ahead of the writer (see PagePrefaulter).
constexpr size_t kPrefaultFrom = size_t(8) << 20;

// Fresh memory costs a page fault per 4 KiB page when first written, which took longer than the
// whole transfer did; a large block asks for 2 MiB pages (where the system leaves them to the
// program's choice), so that it costs few faults. Only whole 2 MiB pages inside the block.
void adviseHugePages(char* block, size_t size) {
    constexpr uintptr_t huge = uintptr_t(2) << 20;
    if (size < kHugePagesFrom)
        return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + huge - 1) & ~(huge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(huge - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

} // namespace

MemorySink::MemorySink(CURL* transfer) : m_transfer(transfer), m_sized(false), m_size(0), m_capacity(0) {}

bool MemorySink::reserve(size_t capacity) {
    if (capacity <= m_capacity)
        return true;
    std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
    if (!grown)
        return false;
    adviseHugePages(grown.get(), capacity);
    m_prefaulter.stop();
    // The pages the copy fills are mapped beside it.
    if (capacity >= kPrefaultFrom)
        m_prefaulter.start(grown.get(), capacity, 0);
    if (m_size > 0)
        std::memcpy(grown.get(), m_block.get(), m_size);
    m_block = std::move(grown);
    m_capacity = capacity;
    m_prefaulter.advance(m_size);
    return true;
}

size_t MemorySink::OnSysWrite(const void* buffer, size_t size) {
    if (!m_sized) {
        m_sized = true;
        curl_off_t announced = -1;
        if (m_transfer &&
            curl_easy_getinfo(m_transfer, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
            announced > 0) {
            m_announced = static_cast<size_t>(announced);
            reserve(static_cast<size_t>(std::min(announced, kLargestReservation)) + 1);
        }
    }
    const size_t needed = m_size + size;
    if (needed > m_capacity) {
        size_t grown = std::max(needed, 2 * m_capacity);
        // Within the announced length, grow straight towards it (one copy instead of several), as
        // far as four times what has come: a server has to send a quarter of what it announces.
        if (needed <= m_announced)
            grown = std::max(needed, std::min(m_announced, kGrowthOverReceived * needed));
        if (!reserve(grown + 1)) {
            m_lasterror = wxSTREAM_WRITE_ERROR;
            return 0;
        }
    }
    std::memcpy(m_block.get() + m_size, buffer, size);
    m_size = needed;
    m_prefaulter.advance(m_size);
    return size;
}

unsigned int MemorySink::releaseBlock(char*& data) {
    data = nullptr;
    m_prefaulter.stop();
    if (!reserve(m_size + 1))
        return 0;
    m_block[m_size] = '\0';
    data = m_block.release();
    const size_t size = m_size;
    m_size = 0;
    m_capacity = 0;
    return static_cast<unsigned int>(size);
}

} // namespace PBN::Net::Detail
