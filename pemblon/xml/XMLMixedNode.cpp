#include "pemblon/xml/XMLMixedNode.h"

#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"
#include "pemblon/xml/XMLTree.h"

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

bool matchesAny(xmlNode*, const void*) {
    return true;
}

template <xmlElementType type> bool matchesType(xmlNode* c, const void*) {
    return c->type == type;
}

bool matchesNamedNodeOrPI(xmlNode* c, const void* name) {
    return (c->type == XML_ELEMENT_NODE || c->type == XML_PI_NODE) &&
           ci_eq(XMLTree::fromBytes(c->name), *static_cast<const ostring*>(name));
}

bool matchesNamedPI(xmlNode* c, const void* name) {
    return c->type == XML_PI_NODE && ci_eq(XMLTree::fromBytes(c->name), *static_cast<const ostring*>(name));
}

} // namespace

XMLMixedNode::XMLMixedNode() : node(nullptr), doc(nullptr) {}

XMLMixedNode::XMLMixedNode(xmlNode* native, const XMLDoc* document)
    : node(native), doc(native != nullptr ? document : nullptr) {}

XMLMixedNode::XMLMixedNode(const XMLNode& other) : node(other.getNative()), doc(other.getDoc()) {}

XMLMixedNode::XMLMixedNode(const ostring& name, const XMLNode& parent) : node(nullptr), doc(nullptr) {
    XMLNode created(name, parent);
    node = created.getNative();
    doc = created.getDoc();
}

XMLMixedNode::~XMLMixedNode() {}

bool XMLMixedNode::operator==(const XMLMixedNode& other) const {
    return node == other.node;
}
bool XMLMixedNode::operator!=(const XMLMixedNode& other) const {
    return node != other.node;
}
bool XMLMixedNode::isNull() const {
    return node == nullptr;
}
const XMLDoc* XMLMixedNode::getDoc() const {
    return doc;
}
xmlNode* XMLMixedNode::getNative() const {
    return node;
}
XMLNode XMLMixedNode::castToNode() const {
    return XMLNode(node, doc);
}
XMLNode XMLMixedNode::getParent() const {
    return castToNode().getParent();
}
ostring XMLMixedNode::getName() const {
    return castToNode().getName();
}
void XMLMixedNode::setName(const ostring& name) {
    castToNode().setName(name);
}
bool XMLMixedNode::equals(const XMLMixedNode& /*other*/) const {
    return true;
}

xmlNode* XMLMixedNode::childAt(const unsigned int& index) const {
    return XMLTree::childAt(node, index);
}

unsigned int XMLMixedNode::getElementsCount() const {
    unsigned int count = 0;
    if (node != nullptr) {
        for (xmlNode* c = node->children; c != nullptr; c = c->next) {
            ++count;
        }
    }
    return count;
}

XMLDoc::ElemType XMLMixedNode::getElementTypeAt(const unsigned int& index) const {
    xmlNode* c = childAt(index);
    if (c == nullptr) {
        return XMLDoc::ELEM_NONE;
    }
    switch (c->type) {
    case XML_ELEMENT_NODE:
        return XMLDoc::ELEM_ELEMENT;
    case XML_TEXT_NODE:
        return XMLDoc::ELEM_TEXT;
    case XML_COMMENT_NODE:
        return XMLDoc::ELEM_COMMENT;
    case XML_PI_NODE:
        return XMLDoc::ELEM_PROCINST;
    default:
        return XMLDoc::ELEM_NONE;
    }
}

XMLNode XMLMixedNode::getNodeAt(const unsigned int& index) const {
    xmlNode* c = childAt(index);
    return c != nullptr && c->type == XML_ELEMENT_NODE ? XMLNode(c, doc) : XMLNode();
}

XMLMixedNode XMLMixedNode::getMixedNodeAt(const unsigned int& index) const {
    return XMLMixedNode(getNodeAt(index));
}

XMLProcInst XMLMixedNode::getProcInstAt(const unsigned int& index) const {
    xmlNode* c = childAt(index);
    return c != nullptr && c->type == XML_PI_NODE ? XMLProcInst(c, doc) : XMLProcInst();
}

ostring XMLMixedNode::getTextAt(const unsigned int& index) const {
    xmlNode* c = childAt(index);
    return c != nullptr && c->type == XML_TEXT_NODE ? XMLTree::fromUtf8(c->content) : ostring();
}

ostring XMLMixedNode::getCommentAt(const unsigned int& index) const {
    xmlNode* c = childAt(index);
    return c != nullptr && c->type == XML_COMMENT_NODE ? XMLTree::fromUtf8(c->content) : ostring();
}

XMLNode XMLMixedNode::getNode(const ostring& name, const ostring& prefix) const {
    return castToNode().getChild(name, prefix);
}

XMLMixedNode XMLMixedNode::getMixedNode(const ostring& name, const ostring& prefix) const {
    return XMLMixedNode(getNode(name, prefix));
}

void XMLMixedNode::link(xmlNode* child, const int& pos) {
    xmlNode* before = pos >= 0 ? childAt(static_cast<unsigned int>(pos)) : nullptr;
    if (before == child) {
        return;
    }
    if (XMLTree::prepareMove(child, node, node->doc)) {
        XMLTree::link(node, before, child);
    }
}

void XMLMixedNode::addNode(const XMLNode& other, const int& pos) {
    if (node != nullptr && other.getNative() != nullptr) {
        link(other.getNative(), pos);
    }
}

void XMLMixedNode::addProcInst(const XMLProcInst& procInst, const int& pos) {
    if (node != nullptr && procInst.node != nullptr && procInst.node->type == XML_PI_NODE) {
        link(procInst.node, pos);
    }
}

void XMLMixedNode::addMixedNode(const XMLMixedNode& other, const int& pos) {
    if (node != nullptr && other.node != nullptr) {
        link(other.node, pos);
    }
}

void XMLMixedNode::addText(const ostring& text, const int& pos) {
    if (node == nullptr) {
        return;
    }
    xmlNode* created = xmlNewDocText(node->doc, BAD_CAST XMLTree::textToUtf8(text).c_str());
    if (created != nullptr) {
        link(created, pos);
    }
}

void XMLMixedNode::addComment(const ostring& text, const int& pos) {
    if (node == nullptr) {
        return;
    }
    const std::string utf8 = XMLTree::toUtf8(text);
    if (!XMLTree::commentAllowed(utf8)) {
        return;
    }
    xmlNode* created = xmlNewDocComment(node->doc, BAD_CAST utf8.c_str());
    if (created != nullptr) {
        link(created, pos);
    }
}

XMLNode XMLMixedNode::addNode(const ostring& name, const int& pos) {
    if (node == nullptr) {
        return XMLNode();
    }
    xmlNode* created = xmlNewDocNode(node->doc, nullptr, BAD_CAST XMLTree::nameBytes(name).c_str(), nullptr);
    if (created == nullptr) {
        return XMLNode();
    }
    link(created, pos);
    return XMLNode(created, doc);
}

XMLMixedNode XMLMixedNode::addMixedNode(const ostring& name, const int& pos) {
    return XMLMixedNode(addNode(name, pos));
}

XMLProcInst XMLMixedNode::addProcInst(const ostring& name, const int& pos) {
    if (node == nullptr) {
        return XMLProcInst();
    }
    xmlNode* created = xmlNewDocPI(node->doc, BAD_CAST XMLTree::nameBytes(name).c_str(), BAD_CAST "");
    if (created == nullptr) {
        return XMLProcInst();
    }
    link(created, pos);
    return XMLProcInst(created, doc);
}

void XMLMixedNode::removeElementAt(const unsigned int& index) {
    XMLTree::unlinkAndFree(childAt(index));
}

void XMLMixedNode::removeTextAt(const unsigned int& index) {
    xmlNode* c = childAt(index);
    if (c != nullptr && c->type == XML_TEXT_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLMixedNode::removeNodeAt(const unsigned int& index) {
    xmlNode* c = childAt(index);
    if (c != nullptr && c->type == XML_ELEMENT_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLMixedNode::removeProcInstAt(const unsigned int& index) {
    xmlNode* c = childAt(index);
    if (c != nullptr && c->type == XML_PI_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLMixedNode::removeCommentAt(const unsigned int& index) {
    xmlNode* c = childAt(index);
    if (c != nullptr && c->type == XML_COMMENT_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLMixedNode::removeNode(const XMLNode& other) {
    xmlNode* c = other.getNative();
    if (node != nullptr && c != nullptr && c->parent == node) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLMixedNode::removeProcInst(const XMLProcInst& procInst) {
    if (node != nullptr && procInst.node != nullptr && procInst.node->parent == node) {
        XMLTree::unlinkAndFree(procInst.node);
    }
}

void XMLMixedNode::removeMixedNode(const XMLMixedNode& other) {
    if (node != nullptr && other.node != nullptr && other.node->parent == node) {
        XMLTree::unlinkAndFree(other.node);
    }
}

void XMLMixedNode::removeNode(const ostring& name, const ostring& prefix) {
    XMLTree::unlinkAndFree(getNode(name, prefix).getNative());
}

void XMLMixedNode::removeWhere(bool (*match)(xmlNode*, const void*), const void* data) {
    if (node == nullptr) {
        return;
    }
    for (xmlNode* c = node->children; c != nullptr;) {
        xmlNode* next = c->next;
        if (match(c, data)) {
            XMLTree::unlinkAndFree(c);
        }
        c = next;
    }
}

void XMLMixedNode::removeNodes(const ostring& name) {
    removeWhere(&matchesNamedNodeOrPI, &name);
}
void XMLMixedNode::removeProcInsts(const ostring& name) {
    removeWhere(&matchesNamedPI, &name);
}
void XMLMixedNode::clearText() {
    removeWhere(&matchesType<XML_TEXT_NODE>, nullptr);
}
void XMLMixedNode::clearNodes() {
    removeWhere(&matchesType<XML_ELEMENT_NODE>, nullptr);
}
void XMLMixedNode::clearProcInst() {
    removeWhere(&matchesType<XML_PI_NODE>, nullptr);
}
void XMLMixedNode::clearComments() {
    removeWhere(&matchesType<XML_COMMENT_NODE>, nullptr);
}
void XMLMixedNode::clear() {
    removeWhere(&matchesAny, nullptr);
}

} // namespace XML
} // namespace PBN
