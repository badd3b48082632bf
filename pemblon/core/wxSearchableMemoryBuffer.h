#pragma once

#include <cstddef>

#include <wx/buffer.h>
#include <wx/string.h>

#include "pemblon/core/Export.h"

namespace PBN {

// A wx memory buffer (copies share one reference-counted block, not thread-safe) that can
// search for a byte sequence and copy out a sub-range.
class PBN_API wxSearchableMemoryBuffer : public wxMemoryBuffer {
public:
    explicit wxSearchableMemoryBuffer(size_t size = wxMemoryBufferData::DefBufSize);
    wxSearchableMemoryBuffer(const wxSearchableMemoryBuffer& other);
    wxSearchableMemoryBuffer& operator=(const wxSearchableMemoryBuffer& other);
    virtual ~wxSearchableMemoryBuffer();

    // Index of the first occurrence within the used bytes: 0 for an empty pattern, -1 (all bits
    // set) when the buffer is empty or nothing matches.
    size_t Find(const void* pattern, size_t length) const;
    // A copy (own block) of count bytes from first; wxString::npos means to the end. A range
    // past the used bytes raises a wx assertion and is cut at the end.
    wxSearchableMemoryBuffer Mid(size_t first, size_t count = wxString::npos) const;
};

} // namespace PBN
