#include "pemblon/xml/XMLProcInst.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLTree.h"

namespace PBN {
namespace XML {

using Strings::ostring;

XMLProcInst::XMLProcInst() : node(nullptr), doc(nullptr) {}

XMLProcInst::XMLProcInst(xmlNode* native, const XMLDoc* document)
    : node(native), doc(native != nullptr ? document : nullptr) {}

XMLProcInst::XMLProcInst(const ostring& name, const XMLNode& parent) : node(nullptr), doc(nullptr) {
    xmlNode* element = parent.getNative();
    if (element == nullptr) {
        return;
    }
    xmlNode* pi = xmlNewDocPI(element->doc, BAD_CAST XMLTree::nameBytes(name).c_str(), BAD_CAST "");
    if (pi == nullptr) {
        return;
    }
    node = XMLTree::link(element, nullptr, pi);
    doc = node != nullptr ? parent.getDoc() : nullptr;
}

XMLProcInst::~XMLProcInst() {}

bool XMLProcInst::operator==(const XMLProcInst& other) const {
    return node == other.node;
}
bool XMLProcInst::operator!=(const XMLProcInst& other) const {
    return node != other.node;
}
bool XMLProcInst::isNull() const {
    return node == nullptr;
}
const XMLDoc* XMLProcInst::getDoc() const {
    return doc;
}
xmlNode* XMLProcInst::getNative() const {
    return node;
}
XMLNode XMLProcInst::castToNode() const {
    return XMLNode(node, doc);
}
XMLNode XMLProcInst::getParent() const {
    return node == nullptr ? XMLNode() : XMLNode(node->parent, doc);
}
ostring XMLProcInst::getName() const {
    return node == nullptr ? ostring() : XMLTree::fromBytes(node->name);
}

void XMLProcInst::setName(const ostring& name) {
    if (node != nullptr) {
        xmlNodeSetName(node, BAD_CAST XMLTree::nameBytes(name).c_str());
    }
}

ostring XMLProcInst::getText() const {
    return node == nullptr ? ostring() : XMLTree::fromUtf8(node->content);
}

bool XMLProcInst::setText(const ostring& text) {
    if (node == nullptr) {
        return false;
    }
    const std::string utf8 = XMLTree::toUtf8(text);
    if (!XMLTree::procInstTextAllowed(utf8)) {
        return false;
    }
    xmlNodeSetContent(node, BAD_CAST utf8.c_str());
    return true;
}

bool XMLProcInst::equals(const XMLProcInst& other) const {
    return ci_eq(getName(), other.getName()) && ci_eq(getText(), other.getText());
}

} // namespace XML
} // namespace PBN
