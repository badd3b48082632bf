#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/LogAnchor.h"
#include "pemblon/files/LogImg.h"
#include "pemblon/files/LogManip.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLMixedNode.h"

#include <memory>

#include <wx/longlong.h>

namespace PBN {
namespace XML {
class XMLDoc;
class XMLNode;
} // namespace XML
namespace Files {

// Writes the body of one log message: text, numbers, nodes and markup go into the current
// element of the message. A null stream (a dropped message) accepts everything and does nothing.
//
// Copies share the document: the first save(true) / end_msg(true) writes it and turns every copy
// into a null stream. A message that is never closed is freed with its last copy, unsaved.
class PBN_API LogStream {
public:
    LogStream();
    // Takes `doc` over; `node` is where the writes go.
    LogStream(const XML::XMLNode& node, XML::XMLDoc* doc);
    LogStream(const LogStream& other);
    LogStream& operator=(const LogStream& other);
    virtual ~LogStream();

    // Current elements equal.
    bool operator==(const LogStream& other) const;
    bool operator!=(const LogStream& other) const;
    bool isNull() const;

    void addText(const Strings::ostring& text);
    // Links the node itself (not a copy) as the last child of the current element.
    void addNode(const XML::XMLNode& node);
    void addNode(const XML::XMLMixedNode& node);
    void addManip(const LogManip& manip);
    // Writes the whole document back to its file; save errors are shown in a message box. With
    // `close` the stream (and every copy) becomes a null stream.
    void save(const bool& close);

    static LogManip attr(const Strings::ostring& name, const Strings::ostring& value);
    static LogManip style(const Strings::ostring& text);
    static LogManip id(const Strings::ostring& text);
    static LogManip ofClass(const Strings::ostring& text);
    static LogManip tag(const Strings::ostring& name);
    static LogManip empty_tag(const Strings::ostring& name);
    static LogManip bold();
    static LogManip italic();
    static LogManip underlined();
    // A "br" element whatever the flag.
    static LogManip end_line(const bool& flag = true);
    // Back to the parent element; never above the log's root element.
    static LogManip end_tag();
    static LogImg image(const Strings::ostring& src, const LogImg::Align& align, const LogImg::Align& valign);
    static LogAnchor anchor(const Strings::ostring& href, const bool& blank);
    static LogManip end_msg(const bool& save = true);

private:
    struct Holder;
    XML::XMLDoc* document() const;

    std::shared_ptr<Holder> doc;
    XML::XMLMixedNode node;
};

PBN_API LogStream& operator<<(LogStream& s, const Strings::ostring& text);
PBN_API LogStream& operator<<(LogStream& s, const XML::XMLNode& node);
PBN_API LogStream& operator<<(LogStream& s, const XML::XMLMixedNode& node);
PBN_API LogStream& operator<<(LogStream& s, const LogManip& manip);
PBN_API LogStream& operator<<(LogStream& s, const short& v);
PBN_API LogStream& operator<<(LogStream& s, const unsigned short& v);
PBN_API LogStream& operator<<(LogStream& s, const int& v);
PBN_API LogStream& operator<<(LogStream& s, const unsigned int& v);
PBN_API LogStream& operator<<(LogStream& s, const long& v);
PBN_API LogStream& operator<<(LogStream& s, const unsigned long& v);
PBN_API LogStream& operator<<(LogStream& s, const float& v);
PBN_API LogStream& operator<<(LogStream& s, const double& v);
PBN_API LogStream& operator<<(LogStream& s, const wxLongLong& v);
PBN_API LogStream& operator<<(LogStream& s, const wxULongLong& v);

// So that a stream handed out by value chains at once: logger.info() << "x" << end_msg().
template <class T> LogStream& operator<<(LogStream&& s, const T& v) {
    return s << v;
}

} // namespace Files
} // namespace PBN
