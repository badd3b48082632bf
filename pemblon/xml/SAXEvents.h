#pragma once

// The events a SAXHandler hands to its listeners, with their data records. The records are built
// on the parser callback's stack and, like everything they point at, live only while the
// listeners run.

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/SAXHandler.h"

namespace PBN {
namespace XML {

class SAXNode;

struct __StartDocumentEventData {
    SAXHandler* handler;
};
struct __StartElementEventData {
    SAXHandler* handler;
    SAXNode* node;
};
struct __EndElementEventData {
    SAXHandler* handler;
    SAXNode* node;
};
struct __CharactersEventData {
    SAXHandler* handler;
    const Strings::ostring* text;
};
struct __ProcessingInstructionEventData {
    SAXHandler* handler;
    const Strings::ostring* target;
    const Strings::ostring* content;
};
struct __CommentEventData {
    SAXHandler* handler;
    const Strings::ostring* text;
};
struct __EndDocumentEventData {
    SAXHandler* handler;
};
struct __SAXErrorEventData {
    SAXHandler* handler;
    const SAXHandler::ErrorType* type;
    const Strings::ostring* message;
};

#define PBN_SAX_EVENT(Name, Data)                                                                            \
    class PBN_API Name : public PBN::Event {                                                                 \
    public:                                                                                                  \
        Name() = default;                                                                                    \
        explicit Name(const Data* d) : PBN::Event(d) {}                                                      \
        Name(const Name& other) = default;                                                                   \
        Name& operator=(const Name& other) = default;                                                        \
        ~Name() override = default;                                                                          \
        const Data* data() const { return static_cast<const Data*>(privateData()); }                         \
    }

PBN_SAX_EVENT(StartDocumentEvent, __StartDocumentEventData);
PBN_SAX_EVENT(StartElementEvent, __StartElementEventData);
PBN_SAX_EVENT(EndElementEvent, __EndElementEventData);
PBN_SAX_EVENT(CharactersEvent, __CharactersEventData);
PBN_SAX_EVENT(ProcessingInstructionEvent, __ProcessingInstructionEventData);
PBN_SAX_EVENT(CommentEvent, __CommentEventData);
PBN_SAX_EVENT(EndDocumentEvent, __EndDocumentEventData);
PBN_SAX_EVENT(SAXErrorEvent, __SAXErrorEventData);

#undef PBN_SAX_EVENT

} // namespace XML
} // namespace PBN
