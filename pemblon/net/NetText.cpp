#include "pemblon/net/NetText.h"

#include <boost/format.hpp>
#include <wx/intl.h>
#include <wx/string.h>

namespace PBN::Net::Detail {

using Strings::ostring;

ostring translated(const wchar_t* text) {
    return ostring(wxGetTranslation(wxString(text), wxS("Pemblon")));
}

ostring translated(const wchar_t* text, const ostring& value) {
    const std::wstring translation = wxGetTranslation(wxString(text), wxS("Pemblon")).ToStdWstring();
    try {
        return ostring((boost::wformat(translation) % value.wstr()).str());
    } catch (const boost::io::format_error&) {
        return ostring((boost::wformat(text) % value.wstr()).str());
    }
}

ostring decodeReceived(const char* data, size_t length) {
    if (length == 0)
        return ostring(wxString());
    wxString text = wxString::FromUTF8(data, length);
    if (text.empty())
        text = wxString(data, wxConvISO8859_1, length);
    return ostring(text);
}

ostring decodeReceived(const wxMemoryBuffer& buffer) {
    return decodeReceived(static_cast<const char*>(buffer.GetData()), buffer.GetDataLen());
}

std::string utf8(const ostring& text) {
    const wxString wide = text.wxstr();
    const wxScopedCharBuffer bytes = wide.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

} // namespace PBN::Net::Detail
