#include "pemblon/xml/XMLNode.h"

#include "pemblon/core/Defines.h"
#include "pemblon/xml/XInclude.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLProcInst.h"
#include "pemblon/xml/XMLTree.h"

#include <cstring>

#include <libxml/HTMLtree.h>
#include <libxml/entities.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

bool isElement(const xmlNode* n) {
    return n != nullptr && n->type == XML_ELEMENT_NODE;
}

ostring prefixOf(const xmlNs* ns) {
    return ns != nullptr && ns->prefix != nullptr ? XMLTree::fromBytes(ns->prefix) : ostring();
}

// Unlinks and frees every child that `match` accepts, taking the next sibling first.
template <typename F> void removeChildrenWhere(xmlNode* parent, F match) {
    if (parent == nullptr) {
        return;
    }
    for (xmlNode* c = parent->children; c != nullptr;) {
        xmlNode* next = c->next;
        if (match(c)) {
            XMLTree::unlinkAndFree(c);
        }
        c = next;
    }
}

// Attributes and namespace declarations hang off an element as singly linked lists.
template <typename Link> unsigned int countLinks(const Link* first) {
    unsigned int count = 0;
    for (const Link* l = first; l != nullptr; l = l->next) {
        ++count;
    }
    return count;
}

// Null past the end.
template <typename Link> Link* linkAt(Link* first, unsigned int index) {
    for (Link* l = first; l != nullptr; l = l->next) {
        if (index-- == 0) {
            return l;
        }
    }
    return nullptr;
}

} // namespace

XMLNode::XMLNode(const ostring& name, const XMLNode& parent) : node(nullptr), doc(parent.doc) {
    xmlNode* element = xmlNewNode(nullptr, BAD_CAST XMLTree::nameBytes(name).c_str());
    if (element == nullptr) {
        doc = nullptr;
        return;
    }
    node = element;
    if (parent.node != nullptr) {
        xmlAddChild(parent.node, element);
    }
}

int XMLNode::getLine() const {
    return node == nullptr ? -1 : static_cast<int>(xmlGetLineNo(node));
}

ostring XMLNode::getName() const {
    return node == nullptr ? ostring() : XMLTree::fromBytes(node->name);
}

void XMLNode::setName(const ostring& name) {
    if (node != nullptr) {
        xmlNodeSetName(node, BAD_CAST XMLTree::nameBytes(name).c_str());
    }
}

bool XMLNode::isEmpty() const {
    return node == nullptr || node->children == nullptr;
}

bool XMLNode::equals(const XMLNode& other) const {
    if (getAttributesCount() != other.getAttributesCount()) {
        return false;
    }
    XMLAttribute a = getFirstAttribute();
    XMLAttribute b = other.getFirstAttribute();
    for (; !a.isNull() && !b.isNull(); a = a.getSibling(), b = b.getSibling()) {
        if (!a.equals(b)) {
            return false;
        }
    }
    return true;
}

// ---- navigation ----

XMLNode XMLNode::getParent() const {
    return node == nullptr ? XMLNode() : XMLNode(node->parent, doc);
}

XMLNode XMLNode::getLastChild() const {
    if (node == nullptr) {
        return XMLNode();
    }
    for (xmlNode* c = node->last; c != nullptr; c = c->prev) {
        if (isElement(c)) {
            return XMLNode(c, doc);
        }
    }
    return XMLNode();
}

XMLNode XMLNode::getPrevSibling() const {
    if (node == nullptr) {
        return XMLNode();
    }
    for (xmlNode* c = node->prev; c != nullptr; c = c->prev) {
        if (isElement(c)) {
            return XMLNode(c, doc);
        }
    }
    return XMLNode();
}

unsigned int XMLNode::getChildrenCount() const {
    unsigned int count = 0;
    if (node != nullptr) {
        for (xmlNode* c = node->children; c != nullptr; c = c->next) {
            count += isElement(c) ? 1 : 0;
        }
    }
    return count;
}

XMLNode XMLNode::getChildAt(const unsigned int& index) const {
    return XMLNode(XMLTree::elementAt(node, index), doc);
}

XMLNode XMLNode::getChild(const ostring& name, const ostring& prefix) const {
    if (node == nullptr) {
        return XMLNode();
    }
    for (xmlNode* c = node->children; c != nullptr; c = c->next) {
        if (isElement(c) && ci_eq(XMLTree::fromBytes(c->name), name) && ci_eq(prefixOf(c->ns), prefix)) {
            return XMLNode(c, doc);
        }
    }
    return XMLNode();
}

unsigned int XMLNode::getElementsCount() const {
    unsigned int count = 0;
    if (node != nullptr) {
        for (xmlNode* c = node->children; c != nullptr; c = c->next) {
            count += c->type != XML_TEXT_NODE ? 1 : 0;
        }
    }
    return count;
}

XMLMixedNode XMLNode::castToMixedNode() const {
    return XMLMixedNode(node, doc);
}
XMLMixedNode XMLNode::getMixedChildAt(const unsigned int& index) const {
    return getChildAt(index).castToMixedNode();
}
XMLMixedNode XMLNode::getMixedChild(const ostring& name, const ostring& prefix) const {
    return getChild(name, prefix).castToMixedNode();
}

// ---- attributes ----

XMLAttribute XMLNode::getFirstAttribute() const {
    return isElement(node) ? XMLAttribute(node->properties, doc) : XMLAttribute();
}

unsigned int XMLNode::getAttributesCount() const {
    return isElement(node) ? countLinks(node->properties) : 0;
}

XMLAttribute XMLNode::getAttributeAt(const unsigned int& index) const {
    xmlAttr* a = isElement(node) ? linkAt(node->properties, index) : nullptr;
    return a != nullptr ? XMLAttribute(a, doc) : XMLAttribute();
}

XMLAttribute XMLNode::getAttribute(const ostring& name, const ostring& prefix) const {
    if (!isElement(node)) {
        return XMLAttribute();
    }
    for (xmlAttr* a = node->properties; a != nullptr; a = a->next) {
        if (ci_eq(XMLTree::fromBytes(a->name), name) && ci_eq(prefixOf(a->ns), prefix)) {
            return XMLAttribute(a, doc);
        }
    }
    return XMLAttribute();
}

std::vector<XMLAttribute> XMLNode::getAttributes(const ostring& name) const {
    std::vector<XMLAttribute> result;
    if (isElement(node)) {
        for (xmlAttr* a = node->properties; a != nullptr; a = a->next) {
            if (ci_eq(XMLTree::fromBytes(a->name), name)) {
                result.push_back(XMLAttribute(a, doc));
            }
        }
    }
    return result;
}

XMLAttribute XMLNode::addAttribute(const ostring& name, const ostring& value) {
    return isElement(node) ? XMLAttribute(name, value, *this) : XMLAttribute();
}

void XMLNode::removeAttributeAt(const unsigned int& index) {
    XMLAttribute a = getAttributeAt(index);
    if (!a.isNull()) {
        xmlRemoveProp(a.attribute);
    }
}

void XMLNode::removeAttribute(const XMLAttribute& attribute) {
    if (node != nullptr && attribute.attribute != nullptr) {
        xmlRemoveProp(attribute.attribute);
    }
}

void XMLNode::removeAttribute(const ostring& name, const ostring& prefix) {
    XMLAttribute a = getAttribute(name, prefix);
    if (!a.isNull()) {
        xmlRemoveProp(a.attribute);
    }
}

void XMLNode::removeAttributes(const ostring& name) {
    if (!isElement(node)) {
        return;
    }
    for (xmlAttr* a = node->properties; a != nullptr;) {
        xmlAttr* next = a->next;
        if (ci_eq(XMLTree::fromBytes(a->name), name)) {
            xmlRemoveProp(a);
        }
        a = next;
    }
}

void XMLNode::clearAttributes() {
    if (!isElement(node)) {
        return;
    }
    while (node->properties != nullptr) {
        xmlRemoveProp(node->properties);
    }
}

// ---- editing the children ----

void XMLNode::addChild(const XMLNode& child, const int& pos) {
    if (node == nullptr || child.node == nullptr) {
        return;
    }
    xmlNode* before = nullptr;
    if (pos >= 0) {
        before = XMLTree::elementAt(node, static_cast<unsigned int>(pos));
        if (before == child.node) {
            return;
        }
    }
    if (XMLTree::prepareMove(child.node, node, node->doc)) {
        XMLTree::link(node, before, child.node);
    }
}

XMLNode XMLNode::addChild(const ostring& name, const int& pos) {
    if (node == nullptr) {
        return XMLNode();
    }
    XMLNode child(xmlNewDocNode(node->doc, nullptr, BAD_CAST XMLTree::nameBytes(name).c_str(), nullptr),
                  nullptr);
    attach(child, pos);
    return XMLNode(child.node, doc);
}

void XMLNode::attach(XMLNode& child, const int& pos) {
    if (node == nullptr || child.node == nullptr) {
        return;
    }
    xmlNode* before = pos >= 0 ? XMLTree::nonTextAt(node, static_cast<unsigned int>(pos)) : nullptr;
    if (before == child.node) {
        child.doc = doc;
        return;
    }
    if (XMLTree::prepareMove(child.node, node, node->doc)) {
        XMLTree::link(node, before, child.node);
        child.doc = doc;
    }
}

void XMLNode::addSibling(XMLNode& sibling) {
    if (node == nullptr || sibling.node == nullptr || !XMLTree::isMovable(node)) {
        return;
    }
    if (XMLTree::prepareMove(sibling.node, node, node->doc)) {
        xmlNode* placed = xmlAddNextSibling(node, sibling.node);
        XMLTree::settleNamespaces(placed);
        sibling.doc = doc;
    }
}

XMLNode XMLNode::addSibling(const ostring& name) {
    if (node == nullptr || !XMLTree::isMovable(node)) {
        return XMLNode();
    }
    XMLNode sibling(xmlNewDocNode(node->doc, nullptr, BAD_CAST XMLTree::nameBytes(name).c_str(), nullptr),
                    nullptr);
    addSibling(sibling);
    return sibling;
}

void XMLNode::setParent(XMLNode& parent) {
    if (node == nullptr || parent.node == nullptr || !XMLTree::isMovable(node)) {
        return;
    }
    for (xmlNode* n = parent.node; n != nullptr; n = n->parent) {
        if (n == node) {
            return; // under itself: refused before anything is unlinked
        }
    }
    detach();
    parent.addChild(*this, -1);
}

void XMLNode::detach() {
    if (node == nullptr || !XMLTree::isMovable(node)) {
        return;
    }
    XMLTree::detach(node);
    doc = nullptr;
}

void XMLNode::detach(XMLNode& child) {
    if (node == nullptr || child.node == nullptr || child.node->parent != node ||
        child.node->type == XML_TEXT_NODE) {
        return;
    }
    XMLTree::detach(child.node);
    child.doc = nullptr;
}

XMLNode XMLNode::detachNodeAt(const unsigned int& index) {
    xmlNode* child = XMLTree::nonTextAt(node, index);
    if (child == nullptr) {
        return XMLNode();
    }
    XMLTree::detach(child);
    return XMLNode(child, nullptr);
}

void XMLNode::removeChildAt(const unsigned int& index) {
    XMLTree::unlinkAndFree(XMLTree::elementAt(node, index));
}

void XMLNode::removeChild(XMLNode& child) {
    if (node == nullptr || child.node == nullptr || !XMLTree::isMovable(child.node)) {
        return;
    }
    XMLTree::unlinkAndFree(child.node);
    child.node = nullptr;
    child.doc = nullptr;
}

void XMLNode::removeChildren(const ostring& name) {
    const std::string bytes = XMLTree::nameBytes(name);
    removeChildrenWhere(
        node, [&](xmlNode* c) { return isElement(c) && xmlStrEqual(c->name, BAD_CAST bytes.c_str()); });
}

void XMLNode::clearChildren() {
    removeChildrenWhere(node, [](xmlNode*) { return true; });
}

void XMLNode::destroy() {
    if (node == nullptr || !XMLTree::isMovable(node)) {
        return;
    }
    XMLTree::unlinkAndFree(node);
    node = nullptr;
    doc = nullptr;
}

XMLNode XMLNode::clone() const {
    if (node == nullptr || !XMLTree::isMovable(node)) {
        return XMLNode();
    }
    return XMLNode(xmlDocCopyNode(node, nullptr, 1), nullptr);
}

// ---- text, comments, processing instructions ----

ostring XMLNode::getText() const {
    if (node == nullptr) {
        return ostring();
    }
    std::string bytes;
    for (xmlNode* c = node->children; c != nullptr; c = c->next) {
        if (c->type == XML_TEXT_NODE && c->content != nullptr) {
            bytes += reinterpret_cast<const char*>(c->content);
        }
    }
    return XMLTree::fromUtf8(BAD_CAST bytes.c_str());
}

void XMLNode::setText(const ostring& text, const bool& escape) {
    if (node == nullptr) {
        return;
    }
    const std::string utf8 = XMLTree::textToUtf8(text);
    XMLErrorScope scope;
    if (escape) {
        xmlChar* escaped = xmlEncodeSpecialChars(node->doc, BAD_CAST utf8.c_str());
        xmlNodeSetContent(node, escaped);
        xmlFree(escaped);
    } else {
        xmlNodeSetContent(node, BAD_CAST utf8.c_str());
    }
    scope.check();
}

void XMLNode::split(const bool& all) {
    if (all) {
        setText(ostring(), true);
        return;
    }
    removeChildrenWhere(node, [](xmlNode* c) { return c->type == XML_TEXT_NODE; });
}

void XMLNode::removeBlanks() {
    if (node == nullptr) {
        return;
    }
    xmlNode* top = node;
    XMLTree::walk(top, [top](xmlNode* n) {
        if (n != top && n->type != XML_ELEMENT_NODE) {
            return false;
        }
        for (xmlNode* c = n->children; c != nullptr;) {
            xmlNode* next = c->next;
            if (c->type == XML_TEXT_NODE &&
                (c->content == nullptr || std::strspn(reinterpret_cast<const char*>(c->content), " \r\n\t") ==
                                              std::strlen(reinterpret_cast<const char*>(c->content)))) {
                XMLTree::unlinkAndFree(c);
            }
            c = next;
        }
        return true;
    });
}

ostring XMLNode::getCommentAt(const unsigned int& index) const {
    xmlNode* c = XMLTree::nonTextAt(node, index);
    return c != nullptr && c->type == XML_COMMENT_NODE ? XMLTree::fromUtf8(c->content) : ostring();
}

void XMLNode::addComment(const ostring& text, const int& pos) {
    if (node == nullptr) {
        return;
    }
    const std::string utf8 = XMLTree::toUtf8(text);
    if (!XMLTree::commentAllowed(utf8)) {
        return;
    }
    xmlNode* comment = xmlNewDocComment(node->doc, BAD_CAST utf8.c_str());
    if (comment != nullptr) {
        xmlNode* before = pos >= 0 ? XMLTree::nonTextAt(node, static_cast<unsigned int>(pos)) : nullptr;
        XMLTree::link(node, before, comment);
    }
}

void XMLNode::removeCommentAt(const unsigned int& index) {
    xmlNode* c = XMLTree::nonTextAt(node, index);
    if (c != nullptr && c->type == XML_COMMENT_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLNode::clearComments() {
    removeChildrenWhere(node, [](xmlNode* c) { return c->type == XML_COMMENT_NODE; });
}

XMLProcInst XMLNode::getProcInstAt(const unsigned int& index) const {
    xmlNode* c = XMLTree::nonTextAt(node, index);
    return c != nullptr && c->type == XML_PI_NODE ? XMLProcInst(c, doc) : XMLProcInst();
}

void XMLNode::addProcInst(const XMLProcInst& procInst, const int& pos) {
    xmlNode* pi = procInst.node;
    if (node == nullptr || pi == nullptr || pi->type != XML_PI_NODE) {
        return;
    }
    xmlNode* before = pos >= 0 ? XMLTree::nonTextAt(node, static_cast<unsigned int>(pos)) : nullptr;
    if (before == pi) {
        return;
    }
    if (XMLTree::prepareMove(pi, node, node->doc)) {
        XMLTree::link(node, before, pi);
    }
}

XMLProcInst XMLNode::addProcInst(const ostring& name, const ostring& text, const int& pos) {
    if (node == nullptr || !XMLTree::procInstTextAllowed(XMLTree::toUtf8(text))) {
        return XMLProcInst();
    }
    XMLProcInst pi(name, *this);
    pi.setText(text);
    addProcInst(pi, pos);
    return pi;
}

void XMLNode::removeProcInstAt(const unsigned int& index) {
    xmlNode* c = XMLTree::nonTextAt(node, index);
    if (c != nullptr && c->type == XML_PI_NODE) {
        XMLTree::unlinkAndFree(c);
    }
}

void XMLNode::removeProcInsts(const ostring& name) {
    removeChildrenWhere(
        node, [&](xmlNode* c) { return c->type == XML_PI_NODE && ci_eq(XMLTree::fromBytes(c->name), name); });
}

void XMLNode::clearProcInsts() {
    removeChildrenWhere(node, [](xmlNode* c) { return c->type == XML_PI_NODE; });
}

XInclude XMLNode::addXInclude(const ostring& /*href*/, const ostring& /*pointer*/, const int& /*pos*/) {
    return XInclude();
}

void XMLNode::addXInclude(const XInclude& /*include*/) {}

// ---- serialising ----

ostring XMLNode::toString(const bool& withEncoding, const unsigned int& level) const {
    return dumpText(false, withEncoding, level);
}

ostring XMLNode::toHTMLString(const bool& withEncoding) const {
    return dumpText(true, withEncoding, 0);
}

ostring XMLNode::dumpText(const bool& html, const bool& withEncoding, const unsigned int& level) const {
    if (node == nullptr) {
        return ostring();
    }
    std::string encoding = Defines::libxmlEncoding().str();
    if (doc != nullptr) {
        doc->applySaveSettings();
        encoding = doc->encoding.str();
    }
    xmlBuffer* buffer = xmlBufferCreate();
    if (buffer == nullptr) {
        return ostring();
    }
    XMLErrorScope scope;
    if (withEncoding) {
        xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(encoding.c_str());
        xmlOutputBuffer* out = xmlOutputBufferCreateBuffer(buffer, handler);
        if (out != nullptr) {
            if (html) {
                htmlNodeDumpOutput(out, node->doc, node, encoding.c_str());
            } else {
                xmlNodeDumpOutput(out, node->doc, node, static_cast<int>(level), 1, encoding.c_str());
            }
            xmlOutputBufferClose(out);
        }
    } else if (html) {
        htmlNodeDump(buffer, node->doc, node);
    } else {
        xmlNodeDump(buffer, node->doc, node, static_cast<int>(level), 1);
    }
    const ostring result(reinterpret_cast<const char*>(xmlBufferContent(buffer)));
    xmlBufferFree(buffer);
    scope.check();
    return result;
}

XMLNode XMLNode::fromString(const ostring& text) {
    // Read as UTF-8, whatever the form of the text.
    const std::string wrapped =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>" + XMLTree::toUtf8(text) + "</root>";
    try {
        XMLDoc parsed(true, ostring(wrapped.c_str()), true, false, ostring(""));
        xmlNode* root = xmlDocGetRootElement(parsed.document);
        if (root == nullptr) {
            return XMLNode();
        }
        // A copy made without a document owns all its strings; the temporary tree goes whole.
        return XMLNode(xmlDocCopyNode(root, nullptr, 1), nullptr);
    } catch (const XMLException&) {
        return XMLNode();
    }
}

// ---- namespaces ----

XMLNamespace XMLNode::getThisNamespace() const {
    return isElement(node) && node->ns != nullptr ? XMLNamespace(node->ns, *this) : XMLNamespace();
}

void XMLNode::setNamespace(const XMLNamespace& ns) {
    if (isElement(node)) {
        // A declaration out of this element's scope would be written without its xmlns, and
        // would dangle once the element declaring it is freed: the element declares its own.
        xmlSetNs(node, XMLTree::resolve(node, ns.ns));
    }
}

unsigned int XMLNode::getNsDefCount() const {
    return isElement(node) ? countLinks(node->nsDef) : 0;
}

XMLNamespace XMLNode::getNsDefAt(const unsigned int& index) const {
    xmlNs* d = isElement(node) ? linkAt(node->nsDef, index) : nullptr;
    return d != nullptr ? XMLNamespace(d, *this) : XMLNamespace();
}

XMLNamespace XMLNode::getNamespace(const ostring& prefix) const {
    if (!isElement(node)) {
        return XMLNamespace();
    }
    const std::string bytes = XMLTree::nameBytes(prefix);
    if (bytes.empty()) {
        for (xmlNs* d = node->nsDef; d != nullptr; d = d->next) {
            if (d->prefix == nullptr) {
                return XMLNamespace(d, *this);
            }
        }
        return XMLNamespace();
    }
    xmlNs* found = xmlSearchNs(node->doc, node, BAD_CAST bytes.c_str());
    return found != nullptr ? XMLNamespace(found, *this) : XMLNamespace();
}

XMLNamespace XMLNode::getNamespaceByHref(const ostring& uri) const {
    if (!isElement(node)) {
        return XMLNamespace();
    }
    xmlNs* found = xmlSearchNsByHref(node->doc, node, BAD_CAST XMLTree::nameBytes(uri).c_str());
    return found != nullptr ? XMLNamespace(found, *this) : XMLNamespace();
}

std::vector<XMLNamespace> XMLNode::getAvailableNamespaces() const {
    std::vector<XMLNamespace> result;
    for (xmlNode* n = node; isElement(n); n = n->parent) {
        for (xmlNs* d = n->nsDef; d != nullptr; d = d->next) {
            result.push_back(XMLNamespace(d, *this));
        }
    }
    return result;
}

void XMLNode::removeNamespace(const ostring& prefix, const bool& recursive) {
    if (!isElement(node)) {
        return;
    }
    if (node->ns != nullptr && prefixOf(node->ns) == prefix) {
        xmlSetNs(node, nullptr);
    }
    if (!recursive) {
        return;
    }
    XMLTree::walk(node, [&](xmlNode* n) {
        if (!isElement(n)) {
            return false;
        }
        if (n->ns != nullptr && prefixOf(n->ns) == prefix) {
            xmlSetNs(n, nullptr);
        }
        for (xmlAttr* a = n->properties; a != nullptr; a = a->next) {
            if (a->ns != nullptr && prefixOf(a->ns) == prefix) {
                a->ns = nullptr;
            }
        }
        return true;
    });
}

void XMLNode::removeThisNamespace(const bool& recursive) {
    if (isElement(node) && node->ns != nullptr) {
        removeNamespace(prefixOf(node->ns), recursive);
    }
}

} // namespace XML
} // namespace PBN
