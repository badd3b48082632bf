#pragma once

#include <iosfwd>
#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {

// One mailbox: the bare address used in MAIL FROM and RCPT TO, and an optional display name.
// Nothing here throws except allocation failures; an address that makes no sense is stored as
// it is and shows in isValid.
class PBN_API SMTPAddr {
public:
    // Both fields stay empty when addrText is empty (a display name alone is dropped); otherwise
    // as set(addrText, friendlyText).
    SMTPAddr(const Strings::ostring& addrText = Strings::ostring(),
             const Strings::ostring& friendlyText = Strings::ostring());
    SMTPAddr(const SMTPAddr& other);
    SMTPAddr& operator=(const SMTPAddr& other);
    virtual ~SMTPAddr();

    // Reads "Name <addr>" or a bare address. With a "<", the text before it (trimmed of blanks,
    // line ends, ">" and double quotes) becomes the display name and the text after it (trimmed
    // of blanks, line ends and ">") the address. Without one, the whole text (trimmed of blanks
    // and line ends) becomes the address and the display name stays. A non-empty friendlyText
    // then replaces the display name.
    void set(const Strings::ostring& addrText, const Strings::ostring& friendlyText = Strings::ostring());

    Strings::ostring getAddr() const;
    Strings::ostring getFriendly() const;
    // True when the address is not empty.
    bool isValid() const;
    // The header form: the address alone, or the display name, " <", the address and ">". The
    // name is put in double quotes when it holds a blank or a character that would end it in a
    // header (such as "," or ";"), with inner quotes and backslashes escaped.
    Strings::ostring getFullAddr() const;

    // Splits text at every "," and ";" and sets one mailbox from every non-empty piece, untrimmed
    // (a piece of blanks gives a mailbox with an empty address).
    static std::vector<SMTPAddr> interpretList(const Strings::ostring& text);

private:
    Strings::ostring addr;
    Strings::ostring friendly;
};

// Writes getFullAddr().
PBN_API std::ostream& operator<<(std::ostream& os, const SMTPAddr& address);

} // namespace Net
} // namespace PBN
