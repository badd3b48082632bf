#include "pemblon/core/wxMessageOutputStdout.h"

#include <cstdarg>
#include <cstdio>

#include <wx/string.h>

#include "pemblon/core/WideFormat.h"

namespace PBN {

wxMessageOutputStdout::wxMessageOutputStdout() : ::wxMessageOutput() {}

wxMessageOutputStdout::wxMessageOutputStdout(const wxMessageOutputStdout&) : ::wxMessageOutput() {}

wxMessageOutputStdout& wxMessageOutputStdout::operator=(const wxMessageOutputStdout&) {
    return *this;
}

wxMessageOutputStdout::~wxMessageOutputStdout() = default;

void wxMessageOutputStdout::Output(const wxString& text) {
    wxCharBuffer bytes = text.mb_str(wxConvLibc);
    // Text the C library's encoding cannot hold (any non-ASCII text in the C locale) is written
    // as UTF-8 rather than dropped.
    if (bytes.length() == 0 && !text.empty())
        bytes = text.utf8_str();
    std::fprintf(stdout, "%s", bytes.data() ? bytes.data() : "");
}

void wxMessageOutputStdout::Printf(const wchar_t* format, ...) {
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    wxString text;
    text.PrintfV(wxString(Detail::windowsWideFormat(format)), args);
    va_end(args);
    Output(text);
}

} // namespace PBN
