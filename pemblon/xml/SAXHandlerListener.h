#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/xml/SAXEvents.h"

namespace PBN {
namespace XML {

// Receives the events of a SAXHandler after the handler's own virtuals. Every handler does
// nothing, so a listener overrides only what it needs. An exception thrown here stops the parse
// and leaves SAXHandler::parse.
class PBN_API SAXHandlerListener {
public:
    SAXHandlerListener(const SAXHandlerListener&) {}
    SAXHandlerListener& operator=(const SAXHandlerListener&) { return *this; }
    virtual ~SAXHandlerListener() {}

    virtual void onStartDocumentEvent(StartDocumentEvent&) {}
    virtual void onStartElementEvent(StartElementEvent&) {}
    virtual void onEndElementEvent(EndElementEvent&) {}
    virtual void onCharactersEvent(CharactersEvent&) {}
    virtual void onProcessingInstructionEvent(ProcessingInstructionEvent&) {}
    virtual void onCommentEvent(CommentEvent&) {}
    virtual void onEndDocumentEvent(EndDocumentEvent&) {}
    virtual void onSAXErrorEvent(SAXErrorEvent&) {}

protected:
    SAXHandlerListener() {}
};

} // namespace XML
} // namespace PBN
