#pragma once

// Private to the network clients.

#include <cstddef>
#include <memory>

#include <curl/curl.h>
#include <wx/stream.h>

#include "pemblon/net/PagePrefaulter.h"

namespace PBN::Net::Detail {

// An output stream that collects a download in one block for the caller. At the first write it
// sizes the block from the transfer's announced length, up to 64 MiB, so that a body is written
// once into its final place (fresh memory is costly to touch); past that it grows towards the
// announced length, and without one it doubles its storage. The pages of a large block are
// mapped ahead of the bytes on a thread of its own (PagePrefaulter).
// (wxMemoryOutputStream grows by the bytes missing at each write and so copies the whole body
// again at every write.)
class MemorySink : public wxOutputStream {
public:
    // libcurl's receive buffer for a download into a sink (bytes): with its default of 16 KiB a
    // large download takes many more reads and writes than the curl command line's.
    static constexpr long kReceiveBuffer = 512L * 1024;

    explicit MemorySink(CURL* transfer = nullptr);
    bool IsSeekable() const override { return false; }
    size_t size() const { return m_size; }
    const char* data() const { return m_block.get(); }
    // Hands the bytes over in a block of size + 1 bytes ending with 0 (freed with delete[]);
    // returns the size, or 0 with data null when memory runs out.
    unsigned int releaseBlock(char*& data);

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;
    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(m_size); }

private:
    bool reserve(size_t capacity);

    CURL* m_transfer;
    bool m_sized;
    size_t m_announced; // the transfer's announced length; 0 when none
    std::unique_ptr<char[]> m_block;
    size_t m_size;
    size_t m_capacity;
    PagePrefaulter m_prefaulter; // declared after the block: stops before the block is freed
};

} // namespace PBN::Net::Detail
