#include "pemblon/net/NetText.h"

#include "pemblon/core/Defines.h"

#include <boost/format.hpp>
#include <glib.h>
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
    const std::string out = text.get(ostring("UTF-8"));
    if (g_utf8_validate(out.data(), static_cast<gssize>(out.size()), nullptr))
        return out;
    return ostring::convert(text.str(), ostring("ISO-8859-1"), ostring("UTF-8"));
}

std::string bytes(const ostring& text) {
    return text.get(Defines::appEncoding());
}

} // namespace PBN::Net::Detail
