#include "pemblon/core/Defines.h"

#include <cstdio>

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>

namespace PBN {

using Strings::ostring;

Defines::~Defines() = default;

ostring Defines::name() {
    return ostring("Pemblon");
}
ostring Defines::version() {
    return ostring("1.0alpha1");
}
// Narrow text is in the application charset (CP1252), so the accents are single-byte escapes.
ostring Defines::desription() {
    return ostring("Biblioth\xE8que portable d'objets utiles au d\xE9veloppement de logiciels");
}
ostring Defines::systemEncoding() {
    return ostring("CP1252");
}
ostring Defines::appEncoding() {
    return ostring("CHAR");
}
ostring Defines::dftXmlEncoding() {
    return ostring("ISO-8859-1");
}
ostring Defines::libxmlEncoding() {
    return ostring("UTF-8");
}
ostring Defines::xmlSchemaURI() {
    return ostring("http://www.w3.org/2001/XMLSchema-instance");
}
ostring Defines::xmlns() {
    return ostring("xmlns");
}
ostring Defines::xsi() {
    return ostring("xsi");
}
ostring Defines::schemaLocation() {
    return ostring("schemaLocation");
}
ostring Defines::dftConfFilename() {
    return ostring("Conf.xml");
}
ostring Defines::smtpDftMailer() {
    return ostring("Anonymous mailer");
}
const char* Defines::smtpMsgTerminator() {
    return "\r\n";
}
ostring Defines::defaultVersionSeparator() {
    return ostring(".");
}
ostring Defines::defaultConfigRootName() {
    return ostring("config");
}
ostring Defines::configVersionAttr() {
    return ostring("version");
}
ostring Defines::configVersion() {
    return ostring("1.0");
}

ostring Defines::smtpDftBoundary() {
    // A new generator at each call; Boost's random_generator draws from the
    // operating system's entropy source.
    boost::uuids::random_generator gen;
    const boost::uuids::uuid u = gen();
    const unsigned char* b = u.data;
    const unsigned long d1 = static_cast<unsigned long>(b[0]) | (static_cast<unsigned long>(b[1]) << 8) |
                             (static_cast<unsigned long>(b[2]) << 16) |
                             (static_cast<unsigned long>(b[3]) << 24);
    const unsigned d2 = static_cast<unsigned>(b[4]) | (static_cast<unsigned>(b[5]) << 8);
    const unsigned d3 = static_cast<unsigned>(b[6]) | (static_cast<unsigned>(b[7]) << 8);
    char text[80];
    std::snprintf(text, sizeof text,
                  "0x%08lX,0x%04X,0x%04X,0x%02X,0x%02X,0x%02X,0x%02X,0x%02X,0x%02X,0x%02X,0x%02X", d1, d2, d3,
                  b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return ostring(std::wstring(text, text + std::char_traits<char>::length(text)));
}

} // namespace PBN
