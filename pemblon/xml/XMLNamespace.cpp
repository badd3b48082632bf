#include "pemblon/xml/XMLNamespace.h"

#include "pemblon/core/Defines.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLTree.h"

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

// The element whose declarations include `ns`, searching `from` and its ancestors.
xmlNode* declaringElement(xmlNode* from, const xmlNs* ns) {
    for (xmlNode* n = from; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) {
        for (xmlNs* d = n->nsDef; d != nullptr; d = d->next) {
            if (d == ns) {
                return n;
            }
        }
    }
    return nullptr;
}

} // namespace

XMLNamespace::XMLNamespace() : ns(nullptr) {}

XMLNamespace::XMLNamespace(xmlNs* native, const XMLNode& node) : owner(node), ns(native) {}

XMLNamespace::XMLNamespace(const XMLNode& node, const ostring& prefix, const ostring& uri,
                           const ostring& schemaLocation)
    : ns(nullptr) {
    xmlNode* element = node.getNative();
    if (element == nullptr || element->type != XML_ELEMENT_NODE) {
        return;
    }
    const std::string prefixBytes = XMLTree::nameBytes(prefix);
    // An empty prefix must reach libxml2 as null, or it writes xmlns:="...".
    ns = xmlNewNs(element, BAD_CAST XMLTree::nameBytes(uri).c_str(),
                  prefixBytes.empty() ? nullptr : BAD_CAST prefixBytes.c_str());
    if (ns == nullptr) {
        return;
    }
    owner = node;
    if (schemaLocation != ostring("")) {
        setSchemaLocation(schemaLocation);
    }
}

XMLNamespace::~XMLNamespace() {}

bool XMLNamespace::operator==(const XMLNamespace& other) const {
    return ns == other.ns;
}
bool XMLNamespace::operator!=(const XMLNamespace& other) const {
    return ns != other.ns;
}
bool XMLNamespace::isNull() const {
    return ns == nullptr;
}
xmlNs* XMLNamespace::getNative() const {
    return ns;
}

ostring XMLNamespace::getPrefix() const {
    return ns == nullptr ? ostring() : XMLTree::fromBytes(ns->prefix);
}
ostring XMLNamespace::getURI() const {
    return ns == nullptr ? ostring() : XMLTree::fromBytes(ns->href);
}

bool XMLNamespace::equals(const XMLNamespace& other) const {
    return getURI() == other.getURI();
}

void XMLNamespace::setPrefix(const ostring& prefix) {
    if (ns == nullptr || xmlStrEqual(ns->prefix, BAD_CAST "xml")) {
        return;
    }
    const std::string bytes = XMLTree::nameBytes(prefix);
    if (bytes == "xml" || bytes == "xmlns") {
        return;
    }
    // Two declarations of one prefix on one element would make the file unreadable.
    if (xmlNode* element = declaringElement(owner.getNative(), ns)) {
        for (xmlNs* d = element->nsDef; d != nullptr; d = d->next) {
            if (d != ns &&
                (bytes.empty() ? d->prefix == nullptr : xmlStrEqual(d->prefix, BAD_CAST bytes.c_str()))) {
                return;
            }
        }
    }
    // Changed in place: elements and attributes refer to this very declaration.
    if (ns->prefix != nullptr) {
        xmlFree(const_cast<xmlChar*>(ns->prefix));
    }
    ns->prefix = bytes.empty() ? nullptr : xmlStrdup(BAD_CAST bytes.c_str());
}

void XMLNamespace::setURI(const ostring& uri) {
    // The xml: namespace is fixed, and libxml2 shares its declaration across the document.
    if (ns == nullptr || xmlStrEqual(ns->prefix, BAD_CAST "xml")) {
        return;
    }
    if (ns->href != nullptr) {
        xmlFree(const_cast<xmlChar*>(ns->href));
    }
    ns->href = xmlStrdup(BAD_CAST XMLTree::nameBytes(uri).c_str());
}

ostring XMLNamespace::findSchema(const ostring& value, const ostring& uri) {
    const std::vector<ostring> tokens = value.tokenize(ostring(" "), false);
    for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
        if (ci_eq(tokens[i], uri)) {
            return tokens[i + 1];
        }
    }
    return ostring();
}

ostring XMLNamespace::removeSchema(const ostring& value, const ostring& uri) {
    const std::vector<ostring> tokens = value.tokenize(ostring(" "), false);
    if (tokens.size() <= 2) {
        return ostring();
    }
    // operator+ (not +=) so that a wide token keeps the result wide.
    ostring result;
    for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
        if (!ci_eq(tokens[i], uri)) {
            if (result.size() != 0) {
                result = result + ostring(" ");
            }
            result = result + tokens[i] + ostring(" ") + tokens[i + 1];
        }
    }
    return result;
}

namespace {

// The owner's schemaLocation attribute in the schema-instance namespace `xsi`.
XMLAttribute schemaAttribute(const XMLNode& owner, const XMLNamespace& xsi) {
    for (const XMLAttribute& a : owner.getAttributes(Defines::schemaLocation())) {
        if (ci_eq(a.getPrefix(), xsi.getPrefix())) {
            return a;
        }
    }
    return XMLAttribute();
}

} // namespace

ostring XMLNamespace::getSchemaLocation() const {
    if (ns == nullptr) {
        return ostring();
    }
    XMLNamespace xsi = owner.getNamespaceByHref(Defines::xmlSchemaURI());
    if (xsi.isNull()) {
        return ostring();
    }
    XMLAttribute attribute = schemaAttribute(owner, xsi);
    return attribute.isNull() ? ostring() : findSchema(attribute.getValue(), getURI());
}

void XMLNamespace::setSchemaLocation(const ostring& location) {
    if (ns == nullptr) {
        return;
    }
    XMLNode node = owner;
    if (location == ostring("")) {
        if (getSchemaLocation() == ostring("")) {
            return;
        }
        XMLNamespace xsi = owner.getNamespaceByHref(Defines::xmlSchemaURI());
        XMLAttribute attribute = xsi.isNull() ? XMLAttribute() : schemaAttribute(owner, xsi);
        if (attribute.isNull()) {
            return;
        }
        const ostring remaining = removeSchema(attribute.getValue(), getURI());
        if (remaining == ostring("")) {
            node.removeAttribute(attribute);
            // Declarations are not attributes in libxml2, so this finds nothing and the xsi
            // declaration stays; kept as the file format has always had it.
            node.removeAttribute(Defines::xsi(), Defines::xmlns());
        } else {
            attribute.setValue(remaining);
        }
        return;
    }
    XMLNamespace xsi = owner.getNamespaceByHref(Defines::xmlSchemaURI());
    if (xsi.isNull()) {
        xsi = XMLNamespace(owner, Defines::xsi(), Defines::xmlSchemaURI(), ostring());
        if (xsi.isNull()) {
            return;
        }
    }
    XMLAttribute attribute = schemaAttribute(owner, xsi);
    if (attribute.isNull()) {
        // Created without a namespace and moved into it, so that an existing plain
        // schemaLocation attribute is not the one replaced.
        xmlAttr* created = xmlNewNsProp(node.getNative(), xsi.ns,
                                        BAD_CAST Defines::schemaLocation().str().c_str(), BAD_CAST "");
        if (created == nullptr) {
            return;
        }
        attribute = XMLAttribute(created, owner.getDoc());
    }
    ostring text = attribute.getValue();
    if (text.size() != 0) {
        text = text + ostring(" ");
    }
    attribute.setValue(text + getURI() + ostring(" ") + location);
}

} // namespace XML
} // namespace PBN
