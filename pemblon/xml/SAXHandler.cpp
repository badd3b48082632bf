#include "pemblon/xml/SAXHandler.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/FileSystemPath.h"
#include "pemblon/xml/SAXEvents.h"
#include "pemblon/xml/SAXHandlerListener.h"
#include "pemblon/xml/SAXNode.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLTree.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

// Same options as XMLDoc loads with: recover, load the DTD, pedantic, XInclude, CDATA as text,
// no XInclude marker nodes.
constexpr int saxOptions = 0xC485;

// Names, prefixes and URIs keep their bytes.
ostring raw(const xmlChar* s) {
    return ostring(reinterpret_cast<const char*>(s));
}

// Text content arrives in UTF-8 and is kept in the application charset.
ostring text(const xmlChar* s, size_t len) {
    if (!s || len == 0)
        return ostring();
    return XMLTree::fromUtf8(std::string(reinterpret_cast<const char*>(s), len));
}

ostring text(const xmlChar* s) {
    return s ? text(s, std::strlen(reinterpret_cast<const char*>(s))) : ostring();
}

} // namespace

SAXHandler::SAXHandler() : context(nullptr), _data(nullptr) {
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startDocument = &SAXHandler::onStartDocument;
    sax.endDocument = &SAXHandler::onEndDocument;
    sax.startElementNs = &SAXHandler::onStartElementNs;
    sax.endElementNs = &SAXHandler::onEndElementNs;
    sax.characters = &SAXHandler::onCharacters;
    sax.processingInstruction = &SAXHandler::onProcessingInstruction;
    sax.comment = &SAXHandler::onComment;
    sax.warning = &SAXHandler::onWarning;
    sax.error = &SAXHandler::onError;
    sax.fatalError = &SAXHandler::onFatalError;
    sax.serror = &SAXHandler::onStructuredError;
}

SAXHandler::~SAXHandler() = default;

void SAXHandler::parse(const ostring& path) {
    pending = nullptr;
    context = nullptr;
    {
        XMLErrorScope scope;
        xmlSAXParseFileWithData(&sax, FileSystemPath::toNative(path).c_str(), 1, this);
        // A parse stopped early never reaches the end of the document, which is where the
        // context is normally forgotten; it has been freed by now.
        context = nullptr;
        if (pending) {
            std::exception_ptr e = pending;
            pending = nullptr;
            scope.clear();
            std::rethrow_exception(e);
        }
        // What libxml2 could not hand to our callbacks (an unreadable file, mostly) went to the
        // library-wide hooks.
        scope.check();
    }
}

void SAXHandler::addListener(SAXHandlerListener* listener) {
    listeners.add(listener);
}

void SAXHandler::removeListener(SAXHandlerListener* listener) {
    listeners.remove(listener);
}

SAXHandler* SAXHandler::from(void* ctx) {
    xmlParserCtxt* ctxt = static_cast<xmlParserCtxt*>(ctx);
    if (!ctxt)
        return nullptr;
    SAXHandler* h = static_cast<SAXHandler*>(ctxt->_private);
    return h && !h->pending ? h : nullptr;
}

void SAXHandler::fail(void* ctx) {
    if (!pending)
        pending = std::current_exception();
    xmlStopParser(static_cast<xmlParserCtxt*>(ctx));
}

// Every callback: the handler's own virtual, then each listener through the one dispatch every
// producer shares (listeners added on the way are called, none still registered is skipped).
// Nothing may escape into libxml2.
#define PBN_SAX_DISPATCH(handler, Method, Event, record)                                                     \
    do {                                                                                                     \
        Event ev(&record);                                                                                   \
        handler->listeners.dispatch([&](SAXHandlerListener* l) { l->Method(ev); });                          \
    } while (0)

void SAXHandler::onStartDocument(void* ctx) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        h->context = static_cast<xmlParserCtxt*>(ctx);
        xmlCtxtUseOptions(h->context, saxOptions);
        h->startDocument();
        __StartDocumentEventData rec{h};
        PBN_SAX_DISPATCH(h, onStartDocumentEvent, StartDocumentEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onEndDocument(void* ctx) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        h->endDocument();
        __EndDocumentEventData rec{h};
        PBN_SAX_DISPATCH(h, onEndDocumentEvent, EndDocumentEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
    h->context = nullptr;
}

void SAXHandler::onStartElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                                  const xmlChar* uri, int nbNamespaces, const xmlChar** namespaces,
                                  int nbAttributes, int nbDefaulted, const xmlChar** attributes) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        std::vector<SAXNamespace> decls;
        decls.reserve(nbNamespaces);
        for (int i = 0; i < nbNamespaces; ++i)
            decls.emplace_back(raw(namespaces[2 * i]), raw(namespaces[2 * i + 1]));
        std::vector<SAXAttribute> attrs;
        attrs.reserve(nbAttributes);
        // Five pointers per attribute: local name, prefix, URI, value start, value end.
        for (int i = 0; i < nbAttributes; ++i) {
            const xmlChar** a = attributes + 5 * i;
            attrs.emplace_back(raw(a[0]), text(a[3], static_cast<size_t>(a[4] - a[3])),
                               SAXNamespace(raw(a[1]), raw(a[2])), i >= nbAttributes - nbDefaulted);
        }
        SAXNode node(raw(localname), attrs, SAXNamespace(raw(prefix), raw(uri)), decls);
        h->startElement(node);
        __StartElementEventData rec{h, &node};
        PBN_SAX_DISPATCH(h, onStartElementEvent, StartElementEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onEndElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                                const xmlChar* uri) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        SAXNode node(raw(localname), std::vector<SAXAttribute>(), SAXNamespace(raw(prefix), raw(uri)),
                     std::vector<SAXNamespace>());
        h->endElement(node);
        __EndElementEventData rec{h, &node};
        PBN_SAX_DISPATCH(h, onEndElementEvent, EndElementEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onCharacters(void* ctx, const xmlChar* ch, int len) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        const ostring t = text(ch, len > 0 ? static_cast<size_t>(len) : 0);
        h->characters(t);
        __CharactersEventData rec{h, &t};
        PBN_SAX_DISPATCH(h, onCharactersEvent, CharactersEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        const ostring t = raw(target);
        const ostring c = text(data);
        h->processingInstruction(t, c);
        __ProcessingInstructionEventData rec{h, &t, &c};
        PBN_SAX_DISPATCH(h, onProcessingInstructionEvent, ProcessingInstructionEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onComment(void* ctx, const xmlChar* value) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    try {
        const ostring t = text(value);
        h->comment(t);
        __CommentEventData rec{h, &t};
        PBN_SAX_DISPATCH(h, onCommentEvent, CommentEvent, rec);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::raise(const ErrorType& type, const ostring& message) {
    error(type, message);
    __SAXErrorEventData rec{this, &type, &message};
    PBN_SAX_DISPATCH(this, onSAXErrorEvent, SAXErrorEvent, rec);
}

#undef PBN_SAX_DISPATCH

namespace {
ostring format(const char* msg, va_list args) {
    char buffer[1024];
    std::vsnprintf(buffer, sizeof(buffer), msg ? msg : "", args); // cut to 1023 bytes
    return ostring(buffer);
}
} // namespace

void SAXHandler::onMessage(void* ctx, const ErrorType& type, const char* msg, va_list args) {
    SAXHandler* h = from(ctx);
    if (!h)
        return;
    const ostring text = format(msg, args);
    try {
        h->raise(type, text);
    } catch (...) {
        h->fail(ctx);
    }
}

void SAXHandler::onWarning(void* ctx, const char* msg, ...) {
    va_list args;
    va_start(args, msg);
    onMessage(ctx, TYPE_WARNING, msg, args);
    va_end(args);
}

void SAXHandler::onError(void* ctx, const char* msg, ...) {
    va_list args;
    va_start(args, msg);
    onMessage(ctx, TYPE_ERROR, msg, args);
    va_end(args);
}

void SAXHandler::onFatalError(void* ctx, const char* msg, ...) {
    va_list args;
    va_start(args, msg);
    onMessage(ctx, TYPE_FATAL, msg, args);
    va_end(args);
}

void SAXHandler::onStructuredError(void* ctx, xmlError* error) {
    SAXHandler* h = from(ctx);
    if (!h || !error)
        return;
    try {
        std::ostringstream out;
        if (error->file) {
            out << error->file;
            if (error->line != 0)
                out << "@" << error->line;
            if (error->int2 != 0)
                out << "," << error->int2;
            out << ": ";
        }
        out << (error->message ? error->message : "") << "\n";
        h->raise(TYPE_ERROR, ostring(out.str().c_str()));
    } catch (...) {
        h->fail(ctx);
    }
}

ostring SAXHandler::version() const {
    return context && context->version ? raw(context->version) : ostring();
}

ostring SAXHandler::encoding() const {
    if (context) {
        if (context->encoding)
            return raw(context->encoding);
        if (context->input && context->input->encoding)
            return raw(context->input->encoding);
    }
    return Defines::dftXmlEncoding();
}

bool SAXHandler::hasStandalone() const {
    return context && context->standalone != -1;
}

bool SAXHandler::standalone() const {
    // This handler builds no document, so libxml2's document-based query would always say no.
    return context && context->standalone == 1;
}

int SAXHandler::line() const {
    return context ? xmlSAX2GetLineNumber(context) : 0;
}

int SAXHandler::column() const {
    return context ? xmlSAX2GetColumnNumber(context) : 0;
}

ostring SAXHandler::fileName() const {
    if (context && context->myDoc && context->myDoc->URL)
        return FileSystemPath::fromNative(reinterpret_cast<const char*>(context->myDoc->URL));
    return ostring();
}

ostring SAXHandler::location() const {
    std::ostringstream out;
    out << fileName().str() << "@" << line() << "," << column();
    return ostring(out.str().c_str());
}

} // namespace XML
} // namespace PBN
