#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <cstdint>
#include <vector>

namespace PBN {
namespace XML {

class XMLDoc;
class XMLNode;
class XMLNamespace;

// An XPath expression interface that evaluates nothing: it stores no expression, every query
// answers "", 0, 0.0, a null node or true (getBoolean), and every operation is ignored.
class PBN_API XPathExpr {
public:
    enum ResType { RES_UNDEFINED = 0 };

    explicit XPathExpr(const Strings::ostring& expression);
    XPathExpr(const XPathExpr& other);
    XPathExpr& operator=(const XPathExpr& other);
    virtual ~XPathExpr();

    void setExpression(const Strings::ostring& expression);
    Strings::ostring getExpression() const;
    void eval(const XMLDoc& doc);
    void eval(const XMLNode& node);
    void reset(const bool& all);

    void registerNs(const XMLNamespace& ns);
    void registerNs(const Strings::ostring& prefix, const Strings::ostring& uri);
    void unregisterNs(const XMLNamespace& ns);
    void unregisterNs(const Strings::ostring& prefix);
    void unregisterNsByHref(const Strings::ostring& uri);
    void clearRegisteredNs();
    unsigned int getRegisteredNsCount() const;
    Strings::ostring getRegisteredNsAt(const unsigned int& index) const;
    Strings::ostring getRegisteredNsUriAt(const unsigned int& index) const;
    Strings::ostring getRegisteredNsPrefix(const Strings::ostring& uri) const;
    Strings::ostring getRegisteredNsUri(const Strings::ostring& prefix) const;

    ResType getResultType() const;
    Strings::ostring getString() const;
    double getNumber() const;
    bool getBoolean() const;
    unsigned int getNodesCount() const;
    XMLNode getNodeAt(const unsigned int& index) const;

    bool operator==(const XPathExpr& other) const;
    bool operator!=(const XPathExpr& other) const;
    bool equals(const XPathExpr& other) const;

protected:
    XPathExpr();

private:
    Strings::ostring expression;
    std::vector<Strings::ostring> prefixes;
    std::vector<Strings::ostring> uris;
};

} // namespace XML
} // namespace PBN
