#include "pemblon/core/wxStreamMsgOutput.h"

#include <cstdarg>

#include <wx/string.h>

#include "pemblon/core/MessageText.h"

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
    const wxCharBuffer bytes = Detail::messageBytes(text);
    if (bytes.data())
        *m_stream << bytes.data();
}

void wxStreamMsgOutput::Printf(const wchar_t* format, ...) {
    if (!m_stream || !format)
        return;
    va_list args;
    va_start(args, format);
    const wxString text = Detail::formatMessage(format, args);
    va_end(args);
    Output(text);
}

} // namespace PBN
