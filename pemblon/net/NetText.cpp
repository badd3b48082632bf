#include "pemblon/net/NetText.h"

#include "platform/common/Cp1252.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

const char* lineBreaker(const ostring& text, bool nulBreaks) {
    for (unsigned int i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r')
            return "a CR";
        if (c == L'\n')
            return "an LF";
        if (c == L'\0' && nulBreaks)
            return "a NUL";
    }
    return nullptr;
}

bool breaksLine(const ostring& text) {
    return lineBreaker(text) != nullptr;
}

std::string lineRefusal(const std::string& what, const ostring& text, bool nulBreaks) {
    const char* found = lineBreaker(text, nulBreaks);
    if (!found)
        return std::string();
    if (std::strcmp(found, "a NUL") == 0)
        return what + " holds a NUL, which would cut its line short";
    return what + " holds a line break (" + (std::strcmp(found, "a CR") == 0 ? "CR" : "LF") +
           "), which would start a line of its own";
}

} // namespace PBN::Net::Detail
