#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/core/ListenerList.h"
#include "pemblon/strings/ostring.h"

#include <cstdarg>
#include <exception>
#include <vector>

#include <libxml/parser.h>

namespace PBN {
namespace XML {

class SAXHandlerListener;
class SAXNode;

// Reads an XML file as a stream of events through libxml2's SAX2 parser. Each event goes first
// to the protected virtual of this object (for subclasses), then to every listener. Texts arrive
// in the application charset; names, prefixes and URIs as the file's bytes.
//
// An exception thrown by a virtual or a listener stops the parse at once and leaves parse();
// it never travels through libxml2's frames.
class PBN_API SAXHandler {
public:
    enum ErrorType { TYPE_WARNING = 0, TYPE_ERROR = 1, TYPE_FATAL = 2 };

    SAXHandler();
    virtual ~SAXHandler();

    // Parses the file, with recovery: syntax errors arrive as error events and parsing goes on.
    // Throws: XMLException when the file cannot be read; whatever a virtual or listener threw.
    void parse(const Strings::ostring& path);

    void addListener(SAXHandlerListener* listener);
    void removeListener(SAXHandlerListener* listener);

    void* data() const { return _data; }
    void data(void* value) { _data = value; }

protected:
    virtual void startDocument() {}
    virtual void startElement(SAXNode&) {}
    virtual void endElement(SAXNode&) {}
    virtual void characters(const Strings::ostring&) {}
    virtual void processingInstruction(const Strings::ostring&, const Strings::ostring&) {}
    virtual void comment(const Strings::ostring&) {}
    virtual void endDocument() {}
    virtual void error(const ErrorType&, const Strings::ostring&) {}

    // Valid only while a parse runs; outside one they answer "", false or 0.
    // The declared version, "1.0" also when the file has no declaration (libxml2 assumes it).
    Strings::ostring version() const;
    // The declared encoding, else "ISO-8859-1".
    Strings::ostring encoding() const;
    bool hasStandalone() const;
    bool standalone() const;
    int line() const;
    int column() const;
    Strings::ostring fileName() const;
    // fileName(), then "@line,column".
    Strings::ostring location() const;

private:
    SAXHandler(const SAXHandler&) = delete;
    SAXHandler& operator=(const SAXHandler&) = delete;

    ListenerList<SAXHandlerListener> listeners;
    xmlParserCtxt* context;
    xmlSAXHandler sax;
    void* _data;
    // What a virtual or listener threw, kept until the parser has returned.
    std::exception_ptr pending;

    // The handler behind a callback, or null when an earlier callback failed (the parser is
    // being stopped and nothing more is delivered).
    static SAXHandler* from(void* ctx);
    void fail(void* ctx);
    void raise(const ErrorType& type, const Strings::ostring& message);

    static void onStartDocument(void* ctx);
    static void onEndDocument(void* ctx);
    static void onStartElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                                 const xmlChar* uri, int nbNamespaces, const xmlChar** namespaces,
                                 int nbAttributes, int nbDefaulted, const xmlChar** attributes);
    static void onEndElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                               const xmlChar* uri);
    static void onCharacters(void* ctx, const xmlChar* ch, int len);
    static void onProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data);
    static void onComment(void* ctx, const xmlChar* value);
    // The three message callbacks differ only in the type they raise.
    static void onMessage(void* ctx, const ErrorType& type, const char* msg, va_list args);
    static void onWarning(void* ctx, const char* msg, ...);
    static void onError(void* ctx, const char* msg, ...);
    static void onFatalError(void* ctx, const char* msg, ...);
    static void onStructuredError(void* ctx, xmlError* error);

    friend class SAXHandlerTest;
};

} // namespace XML
} // namespace PBN
