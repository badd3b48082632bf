#include "pemblon/xml/XMLTree.h"

#include "pemblon/core/Defines.h"

#include <cstring>

#include <libxml/valid.h>

namespace PBN {
namespace XML {

namespace {

// Pre-order walk of `top` and its descendants (attributes excluded), without recursion so that
// deep trees cannot exhaust the stack. `fn` may change fields but not the structure.
template <typename F> void walk(xmlNode* top, F fn) {
    xmlNode* cur = top;
    while (cur != nullptr) {
        bool descend = fn(cur);
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

void ownString(const xmlChar*& text, xmlDict* dict) {
    if (text != nullptr && dict != nullptr && xmlDictOwns(dict, text) == 1) {
        text = xmlStrdup(text);
    }
}

void ownContent(xmlNode* node, xmlDict* dict) {
    if (node->content == nullptr || node->content == reinterpret_cast<xmlChar*>(&node->properties)) {
        return;
    }
    const xmlChar* content = node->content;
    ownString(content, dict);
    node->content = const_cast<xmlChar*>(content);
}

// An entity reference borrows the declaration and its text from the old document's DTD.
void dropEntity(xmlNode* reference) {
    reference->children = nullptr;
    reference->last = nullptr;
    reference->content = nullptr;
}

} // namespace

std::string XMLTree::toUtf8(const Strings::ostring& text) {
    return text.get(Defines::libxmlEncoding());
}

Strings::ostring XMLTree::fromUtf8(const xmlChar* bytes) {
    if (bytes == nullptr) {
        return Strings::ostring();
    }
    return Strings::ostring(std::string(reinterpret_cast<const char*>(bytes)), Defines::libxmlEncoding());
}

Strings::ostring XMLTree::fromBytes(const xmlChar* bytes) {
    return Strings::ostring(bytes == nullptr ? "" : reinterpret_cast<const char*>(bytes));
}

bool XMLTree::commentAllowed(const std::string& utf8) {
    return utf8.find("--") == std::string::npos && (utf8.empty() || utf8.back() != '-');
}

bool XMLTree::procInstTextAllowed(const std::string& utf8) {
    return utf8.find("?>") == std::string::npos;
}

bool XMLTree::isMovable(const xmlNode* node) {
    if (node == nullptr) {
        return false;
    }
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
        return true;
    default:
        return false;
    }
}

bool XMLTree::prepareMove(xmlNode* child, xmlNode* anchor, xmlDoc* target) {
    if (!isMovable(child)) {
        return false;
    }
    for (xmlNode* n = anchor; n != nullptr; n = n->parent) {
        if (n == child) {
            return false;
        }
    }
    xmlDoc* old = child->doc;
    xmlUnlinkNode(child);
    if (old != nullptr && old != target) {
        disown(child, old);
    }
    return true;
}

void XMLTree::detach(xmlNode* node) {
    if (!isMovable(node)) {
        return;
    }
    xmlDoc* old = node->doc;
    xmlUnlinkNode(node);
    if (old != nullptr) {
        disown(node, old);
    }
    settleNamespaces(node);
}

void XMLTree::disown(xmlNode* top, xmlDoc* oldDoc) {
    xmlDict* dict = oldDoc->dict;
    walk(top, [&](xmlNode* n) {
        ownString(n->name, dict);
        if (n->type == XML_ENTITY_REF_NODE) {
            dropEntity(n);
        } else {
            ownContent(n, dict);
        }
        if (n->type == XML_ELEMENT_NODE) {
            for (xmlAttr* a = n->properties; a != nullptr; a = a->next) {
                if (a->atype == XML_ATTRIBUTE_ID) {
                    xmlRemoveID(oldDoc, a);
                    a->atype = static_cast<xmlAttributeType>(0);
                }
                ownString(a->name, dict);
                for (xmlNode* c = a->children; c != nullptr; c = c->next) {
                    ownString(c->name, dict);
                    if (c->type == XML_ENTITY_REF_NODE) {
                        dropEntity(c);
                    } else {
                        ownContent(c, dict);
                    }
                    c->doc = nullptr;
                }
                a->doc = nullptr;
            }
        }
        n->doc = nullptr;
        return true;
    });
}

bool XMLTree::inScope(const xmlNode* element, const xmlNs* ns) {
    for (const xmlNode* n = element; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) {
        for (const xmlNs* d = n->nsDef; d != nullptr; d = d->next) {
            if (d == ns) {
                return true;
            }
        }
    }
    return element->doc != nullptr && element->doc->oldNs == ns;
}

xmlNs* XMLTree::xmlNamespaceFor(xmlNode* element) {
    if (element->doc != nullptr) {
        return xmlSearchNs(element->doc, element, BAD_CAST "xml");
    }
    // Without a document libxml2 keeps the xml: declaration on the top element; the serialiser
    // never writes it.
    xmlNode* topElement = element;
    for (xmlNode* n = element; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) {
        for (xmlNs* d = n->nsDef; d != nullptr; d = d->next) {
            if (xmlStrEqual(d->prefix, BAD_CAST "xml")) {
                return d;
            }
        }
        topElement = n;
    }
    xmlNs* ns = static_cast<xmlNs*>(xmlMalloc(sizeof(xmlNs)));
    if (ns == nullptr) {
        return nullptr;
    }
    std::memset(ns, 0, sizeof(xmlNs));
    ns->type = XML_LOCAL_NAMESPACE;
    ns->href = xmlStrdup(XML_XML_NAMESPACE);
    ns->prefix = xmlStrdup(BAD_CAST "xml");
    ns->next = topElement->nsDef;
    topElement->nsDef = ns;
    return ns;
}

xmlNs* XMLTree::resolve(xmlNode* element, xmlNs* ns) {
    if (ns == nullptr || inScope(element, ns)) {
        return ns;
    }
    if (xmlStrEqual(ns->prefix, BAD_CAST "xml")) {
        return xmlNamespaceFor(element);
    }
    xmlNs* found = xmlSearchNs(element->doc, element, ns->prefix);
    if (found != nullptr && xmlStrEqual(found->href, ns->href)) {
        return found;
    }
    if (xmlNs* created = xmlNewNs(element, ns->href, ns->prefix)) {
        return created;
    }
    // The prefix is already bound on this element to another URI: take a fresh one.
    std::string base = ns->prefix != nullptr ? reinterpret_cast<const char*>(ns->prefix) : "ns";
    for (int i = 1; i < 10000; ++i) {
        std::string prefix = base + std::to_string(i);
        if (xmlSearchNs(element->doc, element, BAD_CAST prefix.c_str()) == nullptr) {
            if (xmlNs* created = xmlNewNs(element, ns->href, BAD_CAST prefix.c_str())) {
                return created;
            }
        }
    }
    return nullptr;
}

void XMLTree::settleNamespaces(xmlNode* top) {
    if (top == nullptr) {
        return;
    }
    walk(top, [](xmlNode* n) {
        if (n->type != XML_ELEMENT_NODE) {
            return false;
        }
        n->ns = resolve(n, n->ns);
        for (xmlAttr* a = n->properties; a != nullptr; a = a->next) {
            a->ns = resolve(n, a->ns);
        }
        return true;
    });
}

void XMLTree::unlinkAndFree(xmlNode* node) {
    if (!isMovable(node)) {
        return;
    }
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

xmlNode* XMLTree::link(xmlNode* parent, xmlNode* before, xmlNode* child) {
    xmlNode* placed = nullptr;
    if (before != nullptr && before != child) {
        placed = xmlAddPrevSibling(before, child);
    } else if (before == child) {
        return child;
    } else if (parent->type == XML_DOCUMENT_NODE && parent->last != nullptr) {
        placed = xmlAddNextSibling(parent->last, child);
    } else {
        placed = xmlAddChild(parent, child);
    }
    if (placed == nullptr) {
        return nullptr; // refused by libxml2: the node stays free-standing with its handle
    }
    settleNamespaces(placed);
    return placed;
}

xmlNode* XMLTree::childAt(const xmlNode* parent, unsigned int index) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
        if (index-- == 0) {
            return c;
        }
    }
    return nullptr;
}

xmlNode* XMLTree::elementAt(const xmlNode* parent, unsigned int index) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
        if (c->type == XML_ELEMENT_NODE && index-- == 0) {
            return c;
        }
    }
    return nullptr;
}

xmlNode* XMLTree::nonTextAt(const xmlNode* parent, unsigned int index) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
        if (c->type != XML_TEXT_NODE && index-- == 0) {
            return c;
        }
    }
    return nullptr;
}

} // namespace XML
} // namespace PBN
