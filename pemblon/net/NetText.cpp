#include "pemblon/net/NetText.h"

#include "platform/common/Cp1252.h"

#include <algorithm>
#include <cstdint>

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
    // Every character, a NUL included: a decoded name is checked for it before it goes out.
    return ostring(text.ToStdWstring());
}

ostring decodeReceived(const wxMemoryBuffer& buffer) {
    return decodeReceived(static_cast<const char*>(buffer.GetData()), buffer.GetDataLen());
}

std::string utf8(const ostring& text) {
    // Units below 256 are what str() holds of them, CP1252 bytes, which the table always converts
    // (NULs and the bytes Windows leaves undefined included). Any other wide text goes through the
    // string type's own UTF-8, which keeps every character where str() would hold NUL.
    if (!text.isUnicode())
        return Cp1252::toUtf8(text.str());
    const std::wstring wide = text.wstr();
    if (std::all_of(wide.begin(), wide.end(), [](wchar_t c) { return static_cast<uint32_t>(c) < 256u; }))
        return Cp1252::toUtf8(text.str());
    return text.get(ostring("UTF-8"));
}

std::string bytes(const ostring& text) {
    return utf8(text);
}

bool breaksLine(const ostring& text) {
    for (unsigned int i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n' || c == L'\0')
            return true;
    }
    return false;
}

} // namespace PBN::Net::Detail
