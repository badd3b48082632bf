#include "pemblon/core/wxSearchableMemoryBuffer.h"

#include <cstring>

#include <wx/debug.h>
#include <wx/string.h>

namespace PBN {

wxSearchableMemoryBuffer::wxSearchableMemoryBuffer(size_t size) : wxMemoryBuffer(size) {}

wxSearchableMemoryBuffer::wxSearchableMemoryBuffer(const wxSearchableMemoryBuffer& other)
    : wxMemoryBuffer(other) {}

wxSearchableMemoryBuffer& wxSearchableMemoryBuffer::operator=(const wxSearchableMemoryBuffer& other) {
    if (this != &other)
        wxMemoryBuffer::operator=(other);
    return *this;
}

wxSearchableMemoryBuffer::~wxSearchableMemoryBuffer() = default;

size_t wxSearchableMemoryBuffer::Find(const void* pattern, size_t length) const {
    if (length == 0)
        return 0;
    const size_t len = GetDataLen();
    const auto* data = static_cast<const unsigned char*>(GetData());
    const auto* wanted = static_cast<const unsigned char*>(pattern);
    if (len == 0 || !data || !wanted || length > len)
        return static_cast<size_t>(-1);
    for (size_t i = 0; i + length <= len; ++i) {
        if (data[i] == wanted[0] && std::memcmp(data + i, wanted, length) == 0)
            return i;
    }
    return static_cast<size_t>(-1);
}

wxSearchableMemoryBuffer wxSearchableMemoryBuffer::Mid(size_t first, size_t count) const {
    const size_t len = GetDataLen();
    if (first >= len)
        return wxSearchableMemoryBuffer(0);
    if (count == wxString::npos)
        count = len - first;
    if (count > len - first) {
        wxFAIL_COND_MSG(first + count <= len, "");
        // Copy only what is there: the rest of the requested range does not exist.
        count = len - first;
    }
    wxSearchableMemoryBuffer out(count);
    out.AppendData(static_cast<const char*>(GetData()) + first, count);
    return out;
}

} // namespace PBN
