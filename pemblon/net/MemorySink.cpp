#include "pemblon/net/MemorySink.h"

#include <cstring>
#include <new>

namespace PBN::Net::Detail {

size_t MemorySink::OnSysWrite(const void* buffer, size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    return size;
}

unsigned int MemorySink::copyToNewBlock(char*& data) const {
    data = nullptr;
    const size_t size = m_bytes.size();
    char* block = new (std::nothrow) char[size + 1];
    if (!block)
        return 0;
    if (size > 0)
        std::memcpy(block, m_bytes.data(), size);
    block[size] = '\0';
    data = block;
    return static_cast<unsigned int>(size);
}

} // namespace PBN::Net::Detail
