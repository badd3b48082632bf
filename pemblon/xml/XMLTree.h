#pragma once

// Internal helpers of the XML handles: tree walks, moving nodes between places and documents,
// and the text conversions every handle shares. Not exported.

#include "pemblon/strings/ostring.h"

#include <string>

#include <libxml/tree.h>

namespace PBN {
namespace XML {

class XMLTree {
public:
    // Application text to the UTF-8 bytes libxml2 takes, and back.
    static std::string toUtf8(const Strings::ostring& text);
    static Strings::ostring fromUtf8(const xmlChar* bytes);
    // Names, prefixes and URIs cross as bytes.
    static Strings::ostring fromBytes(const xmlChar* bytes);

    // A comment libxml2 would write so that it no longer parses ("--" inside, "-" at the end).
    static bool commentAllowed(const std::string& utf8);
    // Processing-instruction text that would end the instruction early ("?>").
    static bool procInstTextAllowed(const std::string& utf8);

    // Nodes a handle may unlink, move or free: never a document, attribute or declaration.
    static bool isMovable(const xmlNode* node);
    // Unlinks `child` so that it can be linked under `anchor` (the new parent, or the sibling it
    // goes next to) in `target`. Refused (false, nothing changed) for a null or unmovable node, or
    // when `child` is `anchor` or one of its ancestors. A node leaving another document is
    // disowned first.
    static bool prepareMove(xmlNode* child, xmlNode* anchor, xmlDoc* target);
    // Unlinks the node and leaves nothing in its subtree that refers to its former document.
    static void detach(xmlNode* node);
    // After a link or detach: points every namespace reference of the subtree at a declaration
    // in scope, declaring one where needed.
    static void settleNamespaces(xmlNode* top);
    // `ns` when it is in scope at `element`, else an equal declaration in scope, declared on
    // `element` when there is none.
    static xmlNs* resolve(xmlNode* element, xmlNs* ns);
    // Unlinks and frees, refusing unmovable nodes.
    static void unlinkAndFree(xmlNode* node);

    // Links a prepared node; `before` null appends to `parent`. Returns the node now in the tree
    // (libxml2 merges adjacent text and frees the merged node).
    static xmlNode* link(xmlNode* parent, xmlNode* before, xmlNode* child);

    // Child at `index` counting every child, only elements, or every non-text child.
    static xmlNode* childAt(const xmlNode* parent, unsigned int index);
    static xmlNode* elementAt(const xmlNode* parent, unsigned int index);
    static xmlNode* nonTextAt(const xmlNode* parent, unsigned int index);

private:
    static void disown(xmlNode* top, xmlDoc* oldDoc);
    static bool inScope(const xmlNode* element, const xmlNs* ns);
    static xmlNs* xmlNamespaceFor(xmlNode* element);
};

} // namespace XML
} // namespace PBN
