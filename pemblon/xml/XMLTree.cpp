#include "pemblon/xml/XMLTree.h"

#include "pemblon/core/Defines.h"
#include "pemblon/xml/XMLException.h"
#include "platform/common/Cp1252.h"
#include "platform/common/Utf.h"

#include <cstring>
#include <memory>

#include <wx/translation.h>

#include <libxml/encoding.h>
#include <libxml/entities.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxml/valid.h>

namespace PBN {
namespace XML {

namespace {

bool isNCName(const xmlChar* name) {
    return name != nullptr && xmlValidateNCName(name, 0) == 0;
}

bool isAbsoluteURI(const xmlChar* href) {
    xmlURI* uri = xmlParseURI(reinterpret_cast<const char*>(href));
    const bool absolute = uri != nullptr && uri->scheme != nullptr;
    xmlFreeURI(uri);
    return absolute;
}

constexpr const char* xmlnsNamespace = "http://www.w3.org/2000/xmlns/";

size_t references(const xmlChar* bytes, const int& length) {
    size_t count = 0;
    for (int i = 0; i + 1 < length; ++i) {
        count += bytes[i] == '&' && bytes[i + 1] == '#' ? 1 : 0;
    }
    return count;
}

// libxml2 writes a character its output encoding lacks as a character reference, which a name, a
// comment or an instruction cannot hold: whether `utf8` has no such character. A null handler
// writes every character (UTF-8).
bool encodable(xmlCharEncodingHandler* handler, const xmlChar* utf8) {
    if (handler == nullptr || utf8 == nullptr) {
        return true;
    }
    const xmlChar* p = utf8;
    while (*p != 0 && *p < 0x80) {
        ++p;
    }
    if (*p == 0) {
        return true;
    }
    xmlBuffer* in = xmlBufferCreate();
    xmlBuffer* out = xmlBufferCreate();
    bool written = in != nullptr && out != nullptr && xmlBufferCat(in, utf8) == 0;
    while (written && xmlBufferLength(in) > 0) {
        const int before = xmlBufferLength(in);
        written = xmlCharEncOutFunc(handler, out, in) >= 0 && xmlBufferLength(in) < before;
    }
    written = written &&
              references(xmlBufferContent(out), xmlBufferLength(out)) == references(utf8, xmlStrlen(utf8));
    xmlBufferFree(in);
    xmlBufferFree(out);
    return written;
}

// A declaration the parser takes: the xml prefix bound to its own namespace only, neither
// reserved namespace bound elsewhere, and a prefix never bound to the empty name.
bool declarationLoads(const xmlNs* ns) {
    const bool xmlName = xmlStrEqual(ns->href, XML_XML_NAMESPACE) != 0;
    if (xmlStrEqual(ns->href, BAD_CAST xmlnsNamespace)) {
        return false;
    }
    if (ns->prefix == nullptr) {
        return !xmlName && (ns->href == nullptr || ns->href[0] == '\0' || isAbsoluteURI(ns->href));
    }
    if (!isNCName(ns->prefix) || xmlStrEqual(ns->prefix, BAD_CAST "xmlns")) {
        return false;
    }
    if (xmlStrEqual(ns->prefix, BAD_CAST "xml") || xmlName) {
        return xmlStrEqual(ns->prefix, BAD_CAST "xml") && xmlName;
    }
    return ns->href != nullptr && ns->href[0] != '\0' && isAbsoluteURI(ns->href);
}

// A prefixed reference is written as its prefix, so the declaration in scope there must bind
// that prefix to the same namespace.
bool prefixInScope(xmlDoc* doc, xmlNode* element, const xmlNs* ns) {
    if (ns == nullptr || ns->prefix == nullptr) {
        return true;
    }
    const xmlNs* found = xmlSearchNs(doc, element, ns->prefix);
    return found != nullptr && xmlStrEqual(found->href, ns->href);
}

bool elementLoads(xmlDoc* doc, xmlNode* element, xmlCharEncodingHandler* encoder) {
    if (!isNCName(element->name) || !prefixInScope(doc, element, element->ns) ||
        !encodable(encoder, element->name)) {
        return false;
    }
    for (const xmlNs* ns = element->nsDef; ns != nullptr; ns = ns->next) {
        if (!declarationLoads(ns) || !encodable(encoder, ns->prefix)) {
            return false;
        }
        for (const xmlNs* other = ns->next; other != nullptr; other = other->next) {
            if (xmlStrEqual(ns->prefix, other->prefix)) {
                return false;
            }
        }
    }
    for (xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (!isNCName(a->name) || !prefixInScope(doc, element, a->ns) || !encodable(encoder, a->name)) {
            return false;
        }
        const bool prefixed = a->ns != nullptr && a->ns->prefix != nullptr;
        if (!prefixed && xmlStrEqual(a->name, BAD_CAST "xmlns")) {
            return false; // it would be read as a declaration
        }
        for (const xmlAttr* b = a->next; b != nullptr; b = b->next) {
            const bool bPrefixed = b->ns != nullptr && b->ns->prefix != nullptr;
            if (xmlStrEqual(a->name, b->name) && prefixed == bPrefixed &&
                (!prefixed || xmlStrEqual(a->ns->href, b->ns->href))) {
                return false;
            }
        }
    }
    return true;
}

bool procInstLoads(const xmlNode* pi, xmlCharEncodingHandler* encoder) {
    if (!isNCName(pi->name) || !encodable(encoder, pi->name) || !encodable(encoder, pi->content)) {
        return false;
    }
    // Targets beginning with "xml" are reserved but for the two the W3C defined.
    if (xmlStrncasecmp(pi->name, BAD_CAST "xml", 3) != 0) {
        return true;
    }
    return xmlStrEqual(pi->name, BAD_CAST "xml-stylesheet") || xmlStrEqual(pi->name, BAD_CAST "xml-model");
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
    if (!text.isUnicode()) {
        return Cp1252::toUtf8(text.str());
    }
    // What is no character (a lone surrogate, a value above U+10FFFF) becomes a byte that is never
    // well-formed UTF-8, so that charsAllowed refuses the text instead of saving it altered.
    return Utf::toUtf8(std::wstring_view(text.wstr()), "\xFF");
}

Strings::ostring XMLTree::fromUtf8(const std::string& bytes) {
    std::string narrow;
    if (Cp1252::fromUtf8(bytes, narrow)) {
        return Strings::ostring(narrow.c_str());
    }
    std::wstring wide;
    if (Utf::toWide(bytes, wide)) {
        return Strings::ostring(wide.c_str());
    }
    return Strings::ostring(bytes.c_str()); // not UTF-8 at all: the bytes as they are
}

Strings::ostring XMLTree::fromUtf8(const xmlChar* bytes) {
    if (bytes == nullptr) {
        return Strings::ostring();
    }
    return fromUtf8(std::string(reinterpret_cast<const char*>(bytes)));
}

std::string XMLTree::nameBytes(const Strings::ostring& name) {
    return name.isUnicode() ? toUtf8(name) : name.str();
}

Strings::ostring XMLTree::fromBytes(const xmlChar* bytes) {
    return Strings::ostring(bytes == nullptr ? "" : reinterpret_cast<const char*>(bytes));
}

bool XMLTree::charsAllowed(const std::string& utf8) {
    std::wstring chars;
    if (!Utf::toWide(utf8, chars)) {
        return false;
    }
    for (const wchar_t w : chars) {
        const char32_t c = static_cast<char32_t>(w);
        if ((c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
    }
    return true;
}

std::string XMLTree::textToUtf8(const Strings::ostring& text) {
    std::string utf8 = toUtf8(text);
    if (!charsAllowed(utf8)) {
        const wxString message = wxGetTranslation(
            wxString("The text holds a character that XML cannot hold."), Defines::name().wxstr());
        throw XMLException(Strings::ostring(message), Exception::SEVERE);
    }
    return utf8;
}

Strings::ostring XMLTree::replaceDisallowed(const Strings::ostring& text) {
    if (charsAllowed(toUtf8(text))) {
        return text;
    }
    std::wstring in;
    if (text.isUnicode()) {
        in = text.wstr();
    } else {
        for (const char b : text.str()) {
            in += static_cast<wchar_t>(Cp1252::toUnicode(static_cast<unsigned char>(b)));
        }
    }
    std::wstring out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char32_t c = static_cast<char32_t>(in[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < in.size() && static_cast<char32_t>(in[i + 1]) >= 0xDC00 &&
            static_cast<char32_t>(in[i + 1]) < 0xE000) {
            out += in[i];
            out += in[++i];
            continue;
        }
        const bool bad = (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || (c >= 0xD800 && c < 0xE000) ||
                         c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF;
        out += bad ? L'\uFFFD' : in[i];
    }
    return Strings::ostring(out);
}

bool XMLTree::commentAllowed(const std::string& utf8) {
    return utf8.find("--") == std::string::npos && (utf8.empty() || utf8.back() != '-') && charsAllowed(utf8);
}

bool XMLTree::procInstTextAllowed(const std::string& utf8) {
    return utf8.find("?>") == std::string::npos && charsAllowed(utf8);
}

bool XMLTree::loadsAgain(xmlDoc* doc, const std::string& encoding) {
    // The parser refuses an element once that many ancestors are open.
    const unsigned int maxDepth = xmlParserMaxDepth + 1;
    // An encoding libxml2 does not know fails the dump itself.
    xmlCharEncodingHandler* found = encoding.empty() ? nullptr : xmlFindCharEncodingHandler(encoding.c_str());
    const std::unique_ptr<xmlCharEncodingHandler, int (*)(xmlCharEncodingHandler*)> encoder(
        found != nullptr && xmlStrcasecmp(BAD_CAST found->name, BAD_CAST "UTF-8") == 0 ? nullptr : found,
        &xmlCharEncCloseFunc);
    if (found != nullptr && encoder == nullptr) {
        xmlCharEncCloseFunc(found);
    }
    unsigned int depth = 0; // elements open around `cur`
    xmlNode* cur = doc->children;
    while (cur != nullptr) {
        bool descend = false;
        switch (cur->type) {
        case XML_ELEMENT_NODE:
            if (depth + 1 > maxDepth || !elementLoads(doc, cur, encoder.get())) {
                return false;
            }
            descend = cur->children != nullptr;
            break;
        case XML_PI_NODE:
            if (!procInstLoads(cur, encoder.get())) {
                return false;
            }
            break;
        case XML_ENTITY_REF_NODE:
            if (xmlGetDocEntity(doc, cur->name) == nullptr) {
                return false;
            }
            break;
        case XML_COMMENT_NODE:
            if (!encodable(encoder.get(), cur->content)) {
                return false;
            }
            break;
        default:
            break;
        }
        if (descend) {
            ++depth;
            cur = cur->children;
            continue;
        }
        while (cur->next == nullptr && depth > 0) {
            cur = cur->parent;
            --depth;
        }
        cur = cur->next;
    }
    return true;
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
    // Only a node with children can be an ancestor of the anchor; a new node has none, so a deep
    // tree is built without a walk up from every new leaf.
    if (child == anchor) {
        return false;
    }
    if (child->children != nullptr) {
        for (xmlNode* n = anchor; n != nullptr; n = n->parent) {
            if (n == child) {
                return false;
            }
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
