#include "pemblon/net/MemorySink.h"

namespace PBN::Net::Detail {

size_t MemorySink::OnSysWrite(const void* buffer, size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    return size;
}

} // namespace PBN::Net::Detail
