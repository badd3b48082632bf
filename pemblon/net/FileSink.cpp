#include "pemblon/net/FileSink.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace PBN::Net::Detail {

FileSink::FileSink(const std::string& path)
    : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)), m_used(0),
      m_failed(m_fd < 0) {
    if (m_failed)
        m_lasterror = wxSTREAM_WRITE_ERROR;
    else
        m_buffer = std::make_unique<char[]>(kBuffer);
}

FileSink::~FileSink() {
    Close();
}

bool FileSink::writeAll(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileSink::flush() {
    if (m_used > 0 && !m_failed)
        m_failed = !writeAll(m_buffer.get(), m_used);
    m_used = 0;
    return !m_failed;
}

size_t FileSink::OnSysWrite(const void* buffer, size_t size) {
    if (m_failed || m_fd < 0) {
        m_lasterror = wxSTREAM_WRITE_ERROR;
        return 0;
    }
    const char* data = static_cast<const char*>(buffer);
    if (m_used + size > kBuffer && !flush()) {
        m_lasterror = wxSTREAM_WRITE_ERROR;
        return 0;
    }
    if (size >= kBuffer) {
        if (!writeAll(data, size)) {
            m_failed = true;
            m_lasterror = wxSTREAM_WRITE_ERROR;
            return 0;
        }
        return size;
    }
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return size;
}

bool FileSink::Close() {
    if (m_fd < 0)
        return !m_failed;
    flush();
    if (::close(m_fd) != 0)
        m_failed = true;
    m_fd = -1;
    if (m_failed)
        m_lasterror = wxSTREAM_WRITE_ERROR;
    return !m_failed;
}

} // namespace PBN::Net::Detail
