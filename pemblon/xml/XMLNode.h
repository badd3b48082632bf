#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <vector>

#include <libxml/tree.h>

namespace PBN {
namespace XML {

class XMLDoc;
class XMLAttribute;
class XMLMixedNode;
class XMLProcInst;
class XMLNamespace;
class XInclude;

// A non-owning handle on an element of a document (or on a free-standing element the caller
// owns). Copies are shallow. A null handle answers 0, "", null or does nothing; no operation
// throws on its own, but what libxml2 reports while one runs arrives as XMLException.
//
// Children are counted three ways: element children (getChildrenCount, getChildAt, getChild,
// addChild(node), removeChildAt, removeChildren, first/last/sibling), non-text children
// (getElementsCount, comments, processing instructions, attach, detach, addChild(name)), and all
// children (XMLMixedNode).
//
// Linking a node from another document adopts it into this one; linking a node under itself or
// one of its descendants is refused with no change. A detached node no longer refers to anything
// of its former document, so it survives that document.
class PBN_API XMLNode {
public:
    XMLNode();
    // A new element appended to `parent`; with a null parent it stands alone, owned by the caller.
    XMLNode(const Strings::ostring& name, const XMLNode& parent);
    XMLNode(const XMLNode& other) = default;
    XMLNode& operator=(const XMLNode& other) = default;
    virtual ~XMLNode() {}

    bool operator==(const XMLNode& other) const;
    bool operator!=(const XMLNode& other) const;
    bool isNull() const;
    const XMLDoc* getDoc() const;
    // -1 for a null handle.
    int getLine() const;
    Strings::ostring getName() const;
    void setName(const Strings::ostring& name);
    bool isEmpty() const;
    // Same attributes pairwise (XMLAttribute::equals); names and children are not compared.
    bool equals(const XMLNode& other) const;

    XMLNode getParent() const;
    XMLNode getFirstChild() const;
    XMLNode getLastChild() const;
    XMLNode getSibling() const;
    XMLNode getPrevSibling() const;
    unsigned int getChildrenCount() const;
    XMLNode getChildAt(const unsigned int& index) const;
    // Name and prefix ignore case; no namespace or a default namespace is prefix "".
    XMLNode getChild(const Strings::ostring& name, const Strings::ostring& prefix = Strings::ostring()) const;
    unsigned int getElementsCount() const;
    XMLMixedNode castToMixedNode() const;
    XMLMixedNode getMixedChildAt(const unsigned int& index) const;
    XMLMixedNode getMixedChild(const Strings::ostring& name,
                               const Strings::ostring& prefix = Strings::ostring()) const;

    XMLAttribute getFirstAttribute() const;
    unsigned int getAttributesCount() const;
    XMLAttribute getAttributeAt(const unsigned int& index) const;
    XMLAttribute getAttribute(const Strings::ostring& name,
                              const Strings::ostring& prefix = Strings::ostring()) const;
    std::vector<XMLAttribute> getAttributes(const Strings::ostring& name) const;
    // Replaces the value of an existing attribute of that name in place.
    XMLAttribute addAttribute(const Strings::ostring& name, const Strings::ostring& value);
    void removeAttributeAt(const unsigned int& index);
    void removeAttribute(const XMLAttribute& attribute);
    void removeAttribute(const Strings::ostring& name, const Strings::ostring& prefix = Strings::ostring());
    void removeAttributes(const Strings::ostring& name);
    void clearAttributes();

    // Before the element child at `pos`, else last. The child handle's document is left as it was.
    void addChild(const XMLNode& child, const int& pos = -1);
    XMLNode addChild(const Strings::ostring& name, const int& pos = -1);
    // Before the non-text child at `pos`, else last; the handle takes this document.
    void attach(XMLNode& child, const int& pos = -1);
    void addSibling(XMLNode& sibling);
    XMLNode addSibling(const Strings::ostring& name);
    void setParent(XMLNode& parent);
    void detach();
    void detach(XMLNode& child);
    XMLNode detachNodeAt(const unsigned int& index);
    void removeChildAt(const unsigned int& index);
    // Frees `child` wherever it is linked (no parent check) and nulls the handle.
    void removeChild(XMLNode& child);
    // Exact, case-sensitive names.
    void removeChildren(const Strings::ostring& name);
    void clearChildren();
    void destroy();
    XMLNode clone() const;

    Strings::ostring getText() const;
    // Replaces every child by the text. Without `escape` the text is taken as markup-escaped.
    // Throws: XMLException when libxml2 reports (an unterminated entity reference, say).
    void setText(const Strings::ostring& text, const bool& escape = true);
    void split(const bool& all);
    void removeBlanks();
    Strings::ostring getCommentAt(const unsigned int& index) const;
    // Refused: text containing "--" or ending in "-".
    void addComment(const Strings::ostring& text, const int& pos = -1);
    void removeCommentAt(const unsigned int& index);
    void clearComments();
    XMLProcInst getProcInstAt(const unsigned int& index) const;
    void addProcInst(const XMLProcInst& procInst, const int& pos = -1);
    // Refused (null handle): text containing "?>".
    XMLProcInst addProcInst(const Strings::ostring& name, const Strings::ostring& text, const int& pos = -1);
    void removeProcInstAt(const unsigned int& index);
    // Names ignore case.
    void removeProcInsts(const Strings::ostring& name);
    void clearProcInsts();
    // XInclude is resolved when a document loads; these change nothing.
    XInclude addXInclude(const Strings::ostring& href, const Strings::ostring& pointer, const int& pos = -1);
    void addXInclude(const XInclude& include);

    // Serialised in the document's encoding (UTF-8 without a document or withEncoding false).
    // Throws: XMLException when libxml2 reports.
    Strings::ostring toString(const bool& withEncoding = false, const unsigned int& level = 0) const;
    Strings::ostring toHTMLString(const bool& withEncoding = false) const;
    // A free-standing element "root" holding the parsed fragment; null when it does not parse.
    static XMLNode fromString(const Strings::ostring& text);

    XMLNamespace getThisNamespace() const;
    void setNamespace(const XMLNamespace& ns);
    unsigned int getNsDefCount() const;
    XMLNamespace getNsDefAt(const unsigned int& index) const;
    // "" looks only at the element's own default declaration.
    XMLNamespace getNamespace(const Strings::ostring& prefix) const;
    XMLNamespace getNamespaceByHref(const Strings::ostring& uri) const;
    // Declarations of the element, then of each ancestor element, nearest first.
    std::vector<XMLNamespace> getAvailableNamespaces() const;
    void removeNamespace(const Strings::ostring& prefix, const bool& recursive = false);
    void removeThisNamespace(const bool& recursive = false);

protected:
    XMLNode(xmlNode* node, const XMLDoc* doc);
    xmlNode* getNative() const;

private:
    xmlNode* node;
    const XMLDoc* doc;

    // toString and toHTMLString: the node in the document's save settings.
    Strings::ostring dumpText(const bool& html, const bool& withEncoding, const unsigned int& level) const;

    friend class XMLDoc;
    friend class XMLAttribute;
    friend class XMLMixedNode;
    friend class XMLProcInst;
    friend class XMLNamespace;
    friend class XSLTSheet;
    friend class XPathExpr;
    friend class XMLStream;
    friend class SAXHandler;
    friend class XInclude;
};

// Walking a tree creates a handle per step: these stay inline so that a walk costs little more
// than following libxml2's links.
inline XMLNode::XMLNode() : node(nullptr), doc(nullptr) {}
inline XMLNode::XMLNode(xmlNode* native, const XMLDoc* document)
    : node(native), doc(native != nullptr ? document : nullptr) {}
inline bool XMLNode::operator==(const XMLNode& other) const {
    return node == other.node;
}
inline bool XMLNode::operator!=(const XMLNode& other) const {
    return node != other.node;
}
inline bool XMLNode::isNull() const {
    return node == nullptr;
}
inline const XMLDoc* XMLNode::getDoc() const {
    return doc;
}
inline xmlNode* XMLNode::getNative() const {
    return node;
}

inline XMLNode XMLNode::getFirstChild() const {
    if (node != nullptr) {
        for (xmlNode* c = node->children; c != nullptr; c = c->next) {
            if (c->type == XML_ELEMENT_NODE) {
                return XMLNode(c, doc);
            }
        }
    }
    return XMLNode();
}

inline XMLNode XMLNode::getSibling() const {
    if (node != nullptr) {
        for (xmlNode* c = node->next; c != nullptr; c = c->next) {
            if (c->type == XML_ELEMENT_NODE) {
                return XMLNode(c, doc);
            }
        }
    }
    return XMLNode();
}

} // namespace XML
} // namespace PBN

// The handle types XMLNode hands out, complete for every includer.
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLProcInst.h"
