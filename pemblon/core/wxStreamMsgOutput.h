#pragma once

#include <ostream>

#include <wx/msgout.h>

#include "pemblon/core/Export.h"

namespace PBN {

// Writes formatted text to a standard stream (not owned), in the C library's multibyte
// encoding, with no line end added. Without a stream nothing is written.
class PBN_API wxStreamMsgOutput : public ::wxMessageOutput {
public:
    wxStreamMsgOutput(std::ostream* stream = nullptr);
    wxStreamMsgOutput(const wxStreamMsgOutput& other);
    wxStreamMsgOutput& operator=(const wxStreamMsgOutput& other);
    virtual ~wxStreamMsgOutput();

    // wx's own message output calls land here too.
    void Output(const wxString& text) override;
    // %s takes a wide string.
    virtual void Printf(const wchar_t* format, ...);

private:
    std::ostream* m_stream;
};

} // namespace PBN
