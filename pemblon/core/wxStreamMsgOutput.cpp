#include "pemblon/core/wxStreamMsgOutput.h"

#include <cstdarg>

#include <wx/string.h>

#include "pemblon/core/WideFormat.h"

namespace PBN {

wxStreamMsgOutput::wxStreamMsgOutput(std::ostream* stream) : ::wxMessageOutput(), m_stream(stream) {}

wxStreamMsgOutput::wxStreamMsgOutput(const wxStreamMsgOutput& other)
    : ::wxMessageOutput(), m_stream(other.m_stream) {}

wxStreamMsgOutput& wxStreamMsgOutput::operator=(const wxStreamMsgOutput& other) {
    m_stream = other.m_stream;
    return *this;
}

wxStreamMsgOutput::~wxStreamMsgOutput() = default;

void wxStreamMsgOutput::Output(const wxString& text) {
    if (!m_stream)
        return;
    wxCharBuffer bytes = text.mb_str(wxConvLibc);
    // Text the C library's encoding cannot hold (any non-ASCII text in the C locale) is written
    // as UTF-8 rather than dropped.
    if (bytes.length() == 0 && !text.empty())
        bytes = text.utf8_str();
    if (bytes.data())
        *m_stream << bytes.data();
}

void wxStreamMsgOutput::Printf(const wchar_t* format, ...) {
    if (!m_stream || !format)
        return;
    va_list args;
    va_start(args, format);
    wxString text;
    text.PrintfV(wxString(Detail::windowsWideFormat(format)), args);
    va_end(args);
    Output(text);
}

} // namespace PBN
