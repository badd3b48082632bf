#pragma once

// PBN::Defines, the library's fixed names and texts.

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {

// A class of static functions only; never instantiated. Every function returns a new narrow
// ostring, except smtpDftBoundary (wide) and smtpMsgTerminator (a NUL-terminated "\r\n"). None
// throws.
class PBN_API Defines {
public:
    Defines(const Defines&) {}
    Defines& operator=(const Defines&) { return *this; }
    virtual ~Defines();

    static Strings::ostring name();            // "Pemblon", also the translation domain
    static Strings::ostring version();         // "1.0alpha1"
    static Strings::ostring desription();      // (sic) a one-line French description, CP1252 bytes
    static Strings::ostring systemEncoding();  // "CP1252"
    static Strings::ostring appEncoding();     // "CHAR" (resolved to CP1252 by ostring::convert)
    static Strings::ostring dftXmlEncoding();  // "ISO-8859-1"
    static Strings::ostring libxmlEncoding();  // "UTF-8"
    static Strings::ostring xmlSchemaURI();    // "http://www.w3.org/2001/XMLSchema-instance"
    static Strings::ostring xmlns();           // "xmlns"
    static Strings::ostring xsi();             // "xsi"
    static Strings::ostring schemaLocation();  // "schemaLocation"
    static Strings::ostring dftConfFilename(); // "Conf.xml"
    static Strings::ostring smtpDftMailer();   // "Anonymous mailer"
    static const char* smtpMsgTerminator();    // "\r\n"
    // A fresh random v4 UUID at each call, as 64 characters
    // "0xXXXXXXXX,0xXXXX,0xXXXX,0xXX,...,0xXX"; wide.
    static Strings::ostring smtpDftBoundary();
    static Strings::ostring defaultVersionSeparator(); // "."
    static Strings::ostring defaultConfigRootName();   // "config"
    static Strings::ostring configVersionAttr();       // "version"
    static Strings::ostring configVersion();           // "1.0"

protected:
    Defines() {}
};

} // namespace PBN
