#pragma once

// Private to the network clients.

#include <cstddef>
#include <memory>
#include <string>

#include <wx/stream.h>

namespace PBN::Net::Detail {

// An output stream into a local file that hands the bytes to the system in large writes: a
// download arrives in pieces of libcurl's receive buffer, and one write call per piece costs
// more than the copying. The file is created, or emptied, when the sink is made.
class FileSink : public wxOutputStream {
public:
    // Bytes gathered before they are written; a larger piece goes out at once.
    static constexpr size_t kBuffer = size_t(1) << 20;

    explicit FileSink(const std::string& path);
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    ~FileSink() override;

    bool IsSeekable() const override { return false; }
    // Writes what is gathered and closes the file; false when a write or the close failed.
    bool Close() override;

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;

private:
    bool writeAll(const char* data, size_t size);
    bool flush();

    int m_fd;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used;
    bool m_failed;
};

} // namespace PBN::Net::Detail
