#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLDoc.h"

#include <libxml/tree.h>

namespace PBN {
namespace XML {

class XMLNode;
class XMLProcInst;

// A view of an element in which every child, text included, has an index. Positions insert
// before the child at `pos`; negative or past the end appends. libxml2 merges adjacent text, so
// adding text may not grow the count. Nothing throws on its own.
class PBN_API XMLMixedNode {
public:
    XMLMixedNode();
    XMLMixedNode(const XMLNode& node);
    // A new element appended to `parent`.
    XMLMixedNode(const Strings::ostring& name, const XMLNode& parent);
    XMLMixedNode(const XMLMixedNode& other) = default;
    XMLMixedNode& operator=(const XMLMixedNode& other) = default;
    virtual ~XMLMixedNode();

    bool operator==(const XMLMixedNode& other) const;
    bool operator!=(const XMLMixedNode& other) const;
    bool isNull() const;
    const XMLDoc* getDoc() const;
    XMLNode getParent() const;
    Strings::ostring getName() const;
    void setName(const Strings::ostring& name);
    XMLNode castToNode() const;
    // Always true: content is not compared.
    bool equals(const XMLMixedNode& other) const;

    unsigned int getElementsCount() const;
    // Kinds other than element, text, comment and processing instruction (CDATA ...) give ELEM_NONE.
    XMLDoc::ElemType getElementTypeAt(const unsigned int& index) const;
    XMLNode getNodeAt(const unsigned int& index) const;
    XMLMixedNode getMixedNodeAt(const unsigned int& index) const;
    XMLProcInst getProcInstAt(const unsigned int& index) const;
    Strings::ostring getTextAt(const unsigned int& index) const;
    Strings::ostring getCommentAt(const unsigned int& index) const;
    XMLNode getNode(const Strings::ostring& name, const Strings::ostring& prefix = Strings::ostring()) const;
    XMLMixedNode getMixedNode(const Strings::ostring& name,
                              const Strings::ostring& prefix = Strings::ostring()) const;

    // Links an existing node (moved when linked elsewhere, adopted from another document;
    // refused when it is this element or one of its ancestors). The handle's document is kept.
    void addNode(const XMLNode& node, const int& pos = -1);
    void addProcInst(const XMLProcInst& procInst, const int& pos = -1);
    void addMixedNode(const XMLMixedNode& node, const int& pos = -1);
    void addText(const Strings::ostring& text, const int& pos = -1);
    // Refused: text containing "--" or ending in "-".
    void addComment(const Strings::ostring& text, const int& pos = -1);
    XMLNode addNode(const Strings::ostring& name, const int& pos = -1);
    XMLMixedNode addMixedNode(const Strings::ostring& name, const int& pos = -1);
    XMLProcInst addProcInst(const Strings::ostring& name, const int& pos = -1);

    void removeElementAt(const unsigned int& index);
    void removeTextAt(const unsigned int& index);
    void removeNodeAt(const unsigned int& index);
    void removeProcInstAt(const unsigned int& index);
    void removeCommentAt(const unsigned int& index);
    // Only a child of this element is freed; the handle passed is left as it is (dangling).
    void removeNode(const XMLNode& node);
    void removeProcInst(const XMLProcInst& procInst);
    void removeMixedNode(const XMLMixedNode& node);
    void removeNode(const Strings::ostring& name, const Strings::ostring& prefix = Strings::ostring());
    // Elements and processing instructions, names ignoring case.
    void removeNodes(const Strings::ostring& name);
    void removeProcInsts(const Strings::ostring& name);
    void clearText();
    void clearNodes();
    void clearProcInst();
    void clearComments();
    void clear();

protected:
    XMLMixedNode(xmlNode* node, const XMLDoc* doc);
    xmlNode* getNative() const;

private:
    xmlNode* node;
    const XMLDoc* doc;

    xmlNode* childAt(const unsigned int& index) const;
    void link(xmlNode* child, const int& pos);
    void removeWhere(bool (*match)(xmlNode*, const void*), const void* data);

    friend class XMLDoc;
    friend class XMLNode;
    friend class XMLProcInst;
    friend class XMLStream;
};

} // namespace XML
} // namespace PBN
