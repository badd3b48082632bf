#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <libxml/tree.h>

namespace PBN {
namespace XML {

class XMLDoc;
class XMLNode;

// A non-owning handle on one processing instruction (name and text).
class PBN_API XMLProcInst {
public:
    XMLProcInst();
    // A new instruction with empty text appended to `parent`.
    XMLProcInst(const Strings::ostring& name, const XMLNode& parent);
    XMLProcInst(const XMLProcInst& other) = default;
    XMLProcInst& operator=(const XMLProcInst& other) = default;
    virtual ~XMLProcInst();

    bool operator==(const XMLProcInst& other) const;
    bool operator!=(const XMLProcInst& other) const;
    bool isNull() const;
    const XMLDoc* getDoc() const;
    XMLNode getParent() const;
    Strings::ostring getName() const;
    void setName(const Strings::ostring& name);
    Strings::ostring getText() const;
    // Stored unescaped. Text containing "?>" would end the instruction early: refused, returns false.
    bool setText(const Strings::ostring& text);
    // Names and texts both equal ignoring case.
    bool equals(const XMLProcInst& other) const;

protected:
    XMLProcInst(xmlNode* node, const XMLDoc* doc);
    xmlNode* getNative() const;
    XMLNode castToNode() const;

private:
    xmlNode* node;
    const XMLDoc* doc;

    friend class XMLDoc;
    friend class XMLNode;
    friend class XMLMixedNode;
    friend class XMLStream;
};

} // namespace XML
} // namespace PBN
