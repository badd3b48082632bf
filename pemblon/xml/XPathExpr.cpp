#include "pemblon/xml/XPathExpr.h"

#include "pemblon/xml/XMLNode.h"

namespace PBN {
namespace XML {

using Strings::ostring;

XPathExpr::XPathExpr() = default;
XPathExpr::XPathExpr(const ostring&) {}
XPathExpr::XPathExpr(const XPathExpr& other)
    : expression(other.expression), prefixes(other.prefixes), uris(other.uris) {}
XPathExpr& XPathExpr::operator=(const XPathExpr& other) = default;
XPathExpr::~XPathExpr() = default;

void XPathExpr::setExpression(const ostring&) {}
ostring XPathExpr::getExpression() const {
    return expression;
}
void XPathExpr::eval(const XMLDoc&) {}
void XPathExpr::eval(const XMLNode&) {}
void XPathExpr::reset(const bool&) {}

void XPathExpr::registerNs(const XMLNamespace&) {}
void XPathExpr::registerNs(const ostring&, const ostring&) {}
void XPathExpr::unregisterNs(const XMLNamespace&) {}
void XPathExpr::unregisterNs(const ostring&) {}
void XPathExpr::unregisterNsByHref(const ostring&) {}
void XPathExpr::clearRegisteredNs() {}
unsigned int XPathExpr::getRegisteredNsCount() const {
    return 0;
}
ostring XPathExpr::getRegisteredNsAt(const unsigned int&) const {
    return ostring();
}
ostring XPathExpr::getRegisteredNsUriAt(const unsigned int&) const {
    return ostring();
}
ostring XPathExpr::getRegisteredNsPrefix(const ostring&) const {
    return ostring();
}
ostring XPathExpr::getRegisteredNsUri(const ostring&) const {
    return ostring();
}

XPathExpr::ResType XPathExpr::getResultType() const {
    return RES_UNDEFINED;
}
ostring XPathExpr::getString() const {
    return ostring();
}
double XPathExpr::getNumber() const {
    return 0.0;
}
bool XPathExpr::getBoolean() const {
    return true;
}
unsigned int XPathExpr::getNodesCount() const {
    return 0;
}
XMLNode XPathExpr::getNodeAt(const unsigned int&) const {
    return XMLNode();
}

bool XPathExpr::operator==(const XPathExpr& other) const {
    return expression == other.expression;
}
bool XPathExpr::operator!=(const XPathExpr& other) const {
    return !(*this == other);
}
bool XPathExpr::equals(const XPathExpr& other) const {
    return expression == other.expression && prefixes == other.prefixes && uris == other.uris;
}

} // namespace XML
} // namespace PBN
