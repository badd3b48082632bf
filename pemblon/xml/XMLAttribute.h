#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <libxml/tree.h>

namespace PBN {
namespace XML {

class XMLDoc;
class XMLNode;
class XMLNamespace;

// A non-owning handle on one attribute. Names pass as bytes; values are converted between the
// application charset and UTF-8. A null handle answers "", null, or does nothing.
class PBN_API XMLAttribute {
public:
    XMLAttribute();
    // Sets the attribute on the node's element, replacing the value of one of that name in place;
    // null for a null node.
    XMLAttribute(const Strings::ostring& name, const Strings::ostring& value, const XMLNode& node);
    XMLAttribute(const XMLAttribute& other) = default;
    XMLAttribute& operator=(const XMLAttribute& other) = default;
    virtual ~XMLAttribute();

    bool operator==(const XMLAttribute& other) const;
    bool operator!=(const XMLAttribute& other) const;
    bool isNull() const;

    XMLNode getParent() const;
    XMLAttribute getSibling() const;
    XMLNamespace getNamespace() const;
    Strings::ostring getPrefix() const;
    void setNamespace(const XMLNamespace& ns);
    // The declaration itself stays.
    void removeNamespace();
    Strings::ostring getName() const;
    // Re-creates the attribute: it loses its namespace and moves to the end of the list.
    void setName(const Strings::ostring& name);
    Strings::ostring getValue() const;
    void setValue(const Strings::ostring& value);
    // Names and values both equal ignoring case.
    bool equals(const XMLAttribute& other) const;

    const XMLDoc* getDoc() const;
    xmlAttr* getNative() const;

protected:
    XMLAttribute(xmlAttr* attribute, const XMLDoc* doc);

private:
    const XMLDoc* doc;
    xmlAttr* attribute;

    friend class XMLNode;
    friend class XMLNamespace;
    friend class XMLStream;
};

} // namespace XML
} // namespace PBN
