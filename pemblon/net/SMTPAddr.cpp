#include "pemblon/net/SMTPAddr.h"

#include <ostream>

#include "pemblon/net/SMTPText.h"

namespace PBN {
namespace Net {

using Strings::ostring;

namespace {

const ostring addrTrim(" \r\t\n>");
const ostring friendlyTrim(" \r\t\n>\"");
const ostring bareTrim(" \r\n\t");

// Characters that may not stand unquoted in a display name (blanks and the specials of a mail
// header); without quotes a name such as "Doe, John" would split the address list.
bool needsQuotes(const ostring& name) {
    static const wchar_t* const specials = L" \t()<>[]:;@\\,.\"";
    for (unsigned int i = 0; i < name.size(); ++i) {
        for (const wchar_t* s = specials; *s; ++s) {
            if (name[i] == *s)
                return true;
        }
    }
    return false;
}

ostring quoted(const ostring& name) {
    return ostring("\"") + SMTPText::quotedParameter(name) + ostring("\"");
}

} // namespace

SMTPAddr::SMTPAddr(const ostring& addrText, const ostring& friendlyText) {
    if (addrText.size() != 0)
        set(addrText, friendlyText);
}

SMTPAddr::SMTPAddr(const SMTPAddr& other) : addr(other.addr), friendly(other.friendly) {}

SMTPAddr& SMTPAddr::operator=(const SMTPAddr& other) {
    if (this != &other) {
        addr = other.addr;
        friendly = other.friendly;
    }
    return *this;
}

SMTPAddr::~SMTPAddr() {}

void SMTPAddr::set(const ostring& addrText, const ostring& friendlyText) {
    const int p = addrText.findFirstOf(ostring("<"));
    if (p >= 0) {
        friendly = addrText.substr(0, p);
        friendly.trim(friendlyTrim);
        addr = addrText.substr(static_cast<unsigned int>(p) + 1);
        addr.trim(addrTrim);
    } else {
        addr = addrText;
        addr.trim(bareTrim);
    }
    if (friendlyText.size() != 0) {
        friendly = friendlyText;
        friendly.trim(friendlyTrim);
    }
}

ostring SMTPAddr::getAddr() const {
    return addr;
}

ostring SMTPAddr::getFriendly() const {
    return friendly;
}

bool SMTPAddr::isValid() const {
    return addr.size() != 0;
}

ostring SMTPAddr::getFullAddr() const {
    if (friendly.size() == 0)
        return addr;
    const ostring name = needsQuotes(friendly) ? quoted(friendly) : friendly;
    return name + ostring(" <") + addr + ostring(">");
}

std::vector<SMTPAddr> SMTPAddr::interpretList(const ostring& text) {
    const std::vector<ostring> pieces = text.tokenize(std::vector<ostring>{ostring(","), ostring(";")}, true);
    std::vector<SMTPAddr> out;
    for (const ostring& piece : pieces) {
        if (piece.size() == 0)
            continue;
        SMTPAddr a;
        a.set(piece);
        out.push_back(a);
    }
    return out;
}

std::ostream& operator<<(std::ostream& os, const SMTPAddr& address) {
    return os << address.getFullAddr();
}

} // namespace Net
} // namespace PBN
