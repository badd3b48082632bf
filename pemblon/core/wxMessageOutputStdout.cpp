#include "pemblon/core/wxMessageOutputStdout.h"

#include <cstdarg>
#include <cstdio>

#include <wx/string.h>

#include "pemblon/core/MessageText.h"

namespace PBN {

wxMessageOutputStdout::wxMessageOutputStdout() : ::wxMessageOutput() {}

wxMessageOutputStdout::wxMessageOutputStdout(const wxMessageOutputStdout&) : ::wxMessageOutput() {}

wxMessageOutputStdout& wxMessageOutputStdout::operator=(const wxMessageOutputStdout&) {
    return *this;
}

wxMessageOutputStdout::~wxMessageOutputStdout() = default;

void wxMessageOutputStdout::Output(const wxString& text) {
    const wxCharBuffer bytes = Detail::messageBytes(text);
    std::fprintf(stdout, "%s", bytes.data() ? bytes.data() : "");
}

void wxMessageOutputStdout::Printf(const wchar_t* format, ...) {
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    const wxString text = Detail::formatMessage(format, args);
    va_end(args);
    Output(text);
}

} // namespace PBN
