#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

#include <libxml/tree.h>

namespace PBN {
namespace XML {

// A non-owning handle on one namespace declaration, and the schema-location pairs of its URI
// in the owner element's xsi:schemaLocation attribute. Nothing throws.
class PBN_API XMLNamespace {
public:
    XMLNamespace();
    // Declares `uri` on `node` ("" = the default namespace); null when the node already declares
    // that prefix. A non-empty schemaLocation is then added as by setSchemaLocation.
    XMLNamespace(const XMLNode& node, const Strings::ostring& prefix, const Strings::ostring& uri,
                 const Strings::ostring& schemaLocation = Strings::ostring());
    XMLNamespace(const XMLNamespace& other) = default;
    XMLNamespace& operator=(const XMLNamespace& other) = default;
    virtual ~XMLNamespace();

    bool operator==(const XMLNamespace& other) const;
    bool operator!=(const XMLNamespace& other) const;
    bool isNull() const;
    Strings::ostring getPrefix() const;
    Strings::ostring getURI() const;
    // URIs compared exactly.
    bool equals(const XMLNamespace& other) const;
    // Change the declaration in place, so elements and attributes using it follow.
    void setPrefix(const Strings::ostring& prefix);
    void setURI(const Strings::ostring& uri);
    Strings::ostring getSchemaLocation() const;
    // Adds this URI's pair to the owner's xsi:schemaLocation, or removes it for "".
    void setSchemaLocation(const Strings::ostring& location);

protected:
    XMLNamespace(xmlNs* ns, const XMLNode& owner);
    xmlNs* getNative() const;
    static Strings::ostring findSchema(const Strings::ostring& value, const Strings::ostring& uri);
    static Strings::ostring removeSchema(const Strings::ostring& value, const Strings::ostring& uri);

private:
    XMLNode owner;
    xmlNs* ns;

    friend class XMLNode;
    friend class XMLAttribute;
    friend class XMLStream;
    friend class XPathExpr;
};

} // namespace XML
} // namespace PBN
