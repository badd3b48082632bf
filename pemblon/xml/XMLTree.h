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
    // Application text to the UTF-8 bytes libxml2 takes, and back. Narrow text is CP1252 (all
    // 256 bytes convert); wide text goes to UTF-8 character by character, a well-formed
    // surrogate pair as the one character it stands for. Text coming back comes back narrow when
    // every character has a CP1252 byte, else wide with every character.
    static std::string toUtf8(const Strings::ostring& text);
    static Strings::ostring fromUtf8(const xmlChar* bytes);
    static Strings::ostring fromUtf8(const std::string& bytes);
    // Names, prefixes and URIs cross as bytes: narrow text as it stands (UTF-8 by convention),
    // wide text in UTF-8.
    static std::string nameBytes(const Strings::ostring& name);
    static Strings::ostring fromBytes(const xmlChar* bytes);

    // Whether every character of well-formed UTF-8 may stand in an XML 1.0 document: no C0
    // control but tab, LF and CR, no surrogate, neither U+FFFE nor U+FFFF.
    static bool charsAllowed(const std::string& utf8);
    // toUtf8(text) for element text and attribute values; throws XMLException (SEVERE) when a
    // character may not stand in XML, since the file saved would no longer load.
    static std::string textToUtf8(const Strings::ostring& text);
    // The text with every character XML cannot hold replaced by U+FFFD (then wide); the text
    // itself when it has none. For logs, which must take every message whole.
    static Strings::ostring replaceDisallowed(const Strings::ostring& text);
    // A comment libxml2 would write so that it no longer parses ("--" inside, "-" at the end, a
    // character XML cannot hold).
    static bool commentAllowed(const std::string& utf8);
    // Processing-instruction text that would end the instruction early ("?>") or holds a
    // character XML cannot hold.
    static bool procInstTextAllowed(const std::string& utf8);

    // Whether the document, written out, parses again as the loader reads it: every name of an
    // element, attribute, namespace or instruction a name XML takes, every prefix declared where
    // it is used, namespaces absolute and declared once, no attribute twice, known entities only,
    // elements no deeper than the parser goes, and no character of a name, comment or
    // instruction that `encoding` ("" for UTF-8) lacks. Checked on the tree, so that a save writes
    // its bytes once instead of parsing them again.
    static bool loadsAgain(xmlDoc* doc, const std::string& encoding);
    // Pre-order walk of `top` and its descendants (attributes excluded), without recursion so
    // that trees of any depth cannot exhaust the stack. `fn(node)` returns whether to descend
    // into the node's children (never into an entity reference's); it may change the node's
    // fields and remove its children, but not the node itself.
    template <typename F> static void walk(xmlNode* top, F fn) {
        xmlNode* cur = top;
        while (cur != nullptr) {
            const bool descend = fn(cur);
            if (descend && cur->type != XML_ENTITY_REF_NODE && cur->children != nullptr) {
                cur = cur->children;
                continue;
            }
            while (cur != top && cur->next == nullptr) {
                cur = cur->parent;
            }
            if (cur == top) {
                break;
            }
            cur = cur->next;
        }
    }

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
