#pragma once

#include <wx/msgout.h>

#include "pemblon/core/Export.h"

namespace PBN {

// Writes formatted text to the process's standard output, in the C library's multibyte
// encoding, with no line end added.
class PBN_API wxMessageOutputStdout : public ::wxMessageOutput {
public:
    wxMessageOutputStdout();
    wxMessageOutputStdout(const wxMessageOutputStdout& other);
    wxMessageOutputStdout& operator=(const wxMessageOutputStdout& other);
    virtual ~wxMessageOutputStdout();

    // wx's own message output calls land here too.
    void Output(const wxString& text) override;
    // %s takes a wide string.
    virtual void Printf(const wchar_t* format, ...);
};

} // namespace PBN
