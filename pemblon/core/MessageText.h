#pragma once

// Shared by the message outputs. Not exported.

#include <cstdarg>

#include <wx/string.h>

#include "pemblon/core/WideFormat.h"

namespace PBN::Detail {

// Text the C library's encoding cannot hold (any non-ASCII text in the C locale) comes out as
// UTF-8 rather than dropped.
inline wxCharBuffer messageBytes(const wxString& text) {
    wxCharBuffer bytes = text.mb_str(wxConvLibc);
    if (bytes.length() == 0 && !text.empty())
        bytes = text.utf8_str();
    return bytes;
}

inline wxString formatMessage(const wchar_t* format, va_list args) {
    wxString text;
    text.PrintfV(wxString(windowsWideFormat(format)), args);
    return text;
}

} // namespace PBN::Detail
