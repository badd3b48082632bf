#pragma once

#include "pemblon/core/ByteStream.h"
#include "pemblon/core/Export.h"

#include <wx/file.h>

namespace PBN {
namespace Files {

// A byte stream over a file. Reading is not provided: read() returns 0 and leaves `out` as it
// was. Only derived classes construct it.
class PBN_API FileStream : public PBN::ByteStream {
public:
    ~FileStream() override;

    unsigned int read(ByteArray& out, const unsigned int& count) override;

protected:
    FileStream();

private:
    wxFile m_file;
};

} // namespace Files
} // namespace PBN
