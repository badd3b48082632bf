#pragma once

// Private to the network clients.

#include <vector>

#include <wx/stream.h>

namespace PBN::Net::Detail {

// An output stream that collects bytes in memory and doubles its storage when it runs out.
// (wxMemoryOutputStream grows by the bytes missing at each write and so copies the whole body
// again at every write of a download.)
class MemorySink : public wxOutputStream {
public:
    const std::vector<char>& bytes() const { return m_bytes; }
    // The bytes in a new block of size + 1 bytes ending with 0 (freed with delete[]); returns
    // the size, or 0 with data null when the block cannot be allocated.
    unsigned int copyToNewBlock(char*& data) const;
    bool IsSeekable() const override { return false; }

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;
    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(m_bytes.size()); }

private:
    std::vector<char> m_bytes;
};

} // namespace PBN::Net::Detail
