#include "pemblon/xml/XInclude.h"

namespace PBN {
namespace XML {

using Strings::ostring;

XInclude::XInclude() : parse(PARSE_XML) {}

XInclude::XInclude(const ostring&, const ostring&, const ParseType&, const ostring&) : parse(PARSE_XML) {}

XInclude::XInclude(const XInclude&) : parse(PARSE_XML) {}

XInclude& XInclude::operator=(const XInclude&) {
    return *this;
}

XInclude::~XInclude() = default;

ostring XInclude::getHref() const {
    return ostring();
}
ostring XInclude::getPointer() const {
    return ostring();
}
ostring XInclude::getEncoding() const {
    return ostring();
}
ostring XInclude::getAccept() const {
    return ostring();
}
ostring XInclude::getAcceptLanguage() const {
    return ostring();
}
XInclude::ParseType XInclude::getParseType() const {
    return PARSE_XML;
}
XMLNode XInclude::getFallback() const {
    return XMLNode();
}

void XInclude::setHref(const ostring&) {}
void XInclude::setPointer(const ostring&) {}
void XInclude::setParseType(const ParseType&) {}
void XInclude::setEncoding(const ostring&) {}
void XInclude::setAccept(const ostring&, const ostring&) {}
void XInclude::setAcceptLanguage(const ostring&) {}
void XInclude::setFallback(const XMLNode&) {}
void XInclude::unsetFallback() {}

bool XInclude::equals(const XInclude&) const {
    return true;
}
bool XInclude::operator==(const XInclude&) const {
    return true;
}
bool XInclude::operator!=(const XInclude&) const {
    return false;
}

} // namespace XML
} // namespace PBN
