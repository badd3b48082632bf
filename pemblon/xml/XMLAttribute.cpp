#include "pemblon/xml/XMLAttribute.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLTree.h"

namespace PBN {
namespace XML {

using Strings::ostring;

XMLAttribute::XMLAttribute() : doc(nullptr), attribute(nullptr) {}

XMLAttribute::XMLAttribute(xmlAttr* native, const XMLDoc* document)
    : doc(native != nullptr ? document : nullptr), attribute(native) {}

XMLAttribute::XMLAttribute(const ostring& name, const ostring& value, const XMLNode& node)
    : doc(nullptr), attribute(nullptr) {
    xmlNode* element = node.getNative();
    if (element == nullptr || element->type != XML_ELEMENT_NODE) {
        return;
    }
    attribute = xmlSetProp(element, BAD_CAST XMLTree::nameBytes(name).c_str(),
                           BAD_CAST XMLTree::textToUtf8(value).c_str());
    doc = attribute != nullptr ? node.getDoc() : nullptr;
}

XMLAttribute::~XMLAttribute() {}

bool XMLAttribute::operator==(const XMLAttribute& other) const {
    return attribute == other.attribute;
}
bool XMLAttribute::operator!=(const XMLAttribute& other) const {
    return attribute != other.attribute;
}
bool XMLAttribute::isNull() const {
    return attribute == nullptr;
}
const XMLDoc* XMLAttribute::getDoc() const {
    return doc;
}
xmlAttr* XMLAttribute::getNative() const {
    return attribute;
}

XMLNode XMLAttribute::getParent() const {
    return attribute == nullptr ? XMLNode() : XMLNode(attribute->parent, doc);
}

XMLAttribute XMLAttribute::getSibling() const {
    return attribute == nullptr ? XMLAttribute() : XMLAttribute(attribute->next, doc);
}

XMLNamespace XMLAttribute::getNamespace() const {
    if (attribute == nullptr || attribute->ns == nullptr) {
        return XMLNamespace();
    }
    return XMLNamespace(attribute->ns, getParent());
}

ostring XMLAttribute::getPrefix() const {
    return getNamespace().getPrefix();
}

void XMLAttribute::setNamespace(const XMLNamespace& ns) {
    if (attribute != nullptr) {
        // As for elements: a declaration out of scope is declared again on the attribute's element.
        attribute->ns = attribute->parent != nullptr ? XMLTree::resolve(attribute->parent, ns.getNative())
                                                     : ns.getNative();
    }
}

void XMLAttribute::removeNamespace() {
    if (attribute != nullptr) {
        attribute->ns = nullptr;
    }
}

ostring XMLAttribute::getName() const {
    return attribute == nullptr ? ostring() : XMLTree::fromBytes(attribute->name);
}

void XMLAttribute::setName(const ostring& name) {
    if (attribute == nullptr || attribute->parent == nullptr) {
        return;
    }
    xmlNode* element = attribute->parent;
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute));
    xmlRemoveProp(attribute);
    attribute = xmlSetProp(element, BAD_CAST XMLTree::nameBytes(name).c_str(),
                           value != nullptr ? value : BAD_CAST "");
    xmlFree(value);
    if (attribute == nullptr) {
        doc = nullptr;
    }
}

ostring XMLAttribute::getValue() const {
    if (attribute == nullptr || attribute->children == nullptr) {
        return ostring();
    }
    // The whole value, also when an entity reference splits it into several nodes.
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute));
    ostring result = XMLTree::fromUtf8(value);
    xmlFree(value);
    return result;
}

void XMLAttribute::setValue(const ostring& value) {
    if (attribute == nullptr || attribute->parent == nullptr) {
        return;
    }
    const std::string utf8 = XMLTree::textToUtf8(value);
    xmlAttr* result =
        attribute->ns != nullptr
            ? xmlSetNsProp(attribute->parent, attribute->ns, attribute->name, BAD_CAST utf8.c_str())
            : xmlSetNsProp(attribute->parent, nullptr, attribute->name, BAD_CAST utf8.c_str());
    if (result != nullptr) {
        attribute = result;
    }
}

bool XMLAttribute::equals(const XMLAttribute& other) const {
    return ci_eq(getName(), other.getName()) && ci_eq(getValue(), other.getValue());
}

} // namespace XML
} // namespace PBN
