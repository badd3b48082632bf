#include "pemblon/net/MemorySink.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace PBN::Net::Detail {

namespace {

// An announced length is reserved up to this much before the bytes come: a server may announce
// more than it sends. Beyond it the block grows as bytes arrive.
constexpr curl_off_t kLargestReservation = curl_off_t(64) << 20;

} // namespace

MemorySink::MemorySink(CURL* transfer) : m_transfer(transfer), m_sized(false), m_size(0), m_capacity(0) {}

bool MemorySink::reserve(size_t capacity) {
    if (capacity <= m_capacity)
        return true;
    std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
    if (!grown)
        return false;
    if (m_size > 0)
        std::memcpy(grown.get(), m_block.get(), m_size);
    m_block = std::move(grown);
    m_capacity = capacity;
    return true;
}

size_t MemorySink::OnSysWrite(const void* buffer, size_t size) {
    if (!m_sized) {
        m_sized = true;
        curl_off_t announced = -1;
        if (m_transfer &&
            curl_easy_getinfo(m_transfer, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
            announced > 0)
            reserve(static_cast<size_t>(std::min(announced, kLargestReservation)) + 1);
    }
    if (m_size + size > m_capacity && !reserve(std::max(m_size + size, 2 * m_capacity) + 1)) {
        m_lasterror = wxSTREAM_WRITE_ERROR;
        return 0;
    }
    std::memcpy(m_block.get() + m_size, buffer, size);
    m_size += size;
    return size;
}

unsigned int MemorySink::releaseBlock(char*& data) {
    data = nullptr;
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
