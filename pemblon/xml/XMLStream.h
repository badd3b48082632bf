#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/core/StreamManip.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNode.h"

#include <ostream>
#include <sstream>

#include <wx/datetime.h>

namespace PBN {
namespace XML {

class XMLDoc;
class XMLStream;
PBN_API std::ostream& end(std::ostream& s);

// Builds or extends an XML tree with stream syntax:
//
//     s << node("item") << attr("id") << 5 << end << "text" << end;
//
// Text written with << is pending until a manipulator or end pours it into the current
// attribute or element. In plain mode a pour REPLACES the element's content (children added
// before included); mixed(true) appends text children instead. The manipulators do nothing on a
// stream that is not an XMLStream.
class PBN_API XMLStream : public std::ostringstream {
public:
    struct __NodeInfo {
        Strings::ostring first;
        Strings::ostring second;
    };

    // With a name the file is loaded (blanks kept) and owned; without, the stream has no document
    // and its nodes are null. Throws: XMLException from loading.
    explicit XMLStream(const Strings::ostring& fileName = Strings::ostring());
    // Writes below `node`; the node's document must outlive the stream.
    explicit XMLStream(XMLNode& node);
    ~XMLStream() override;

    bool hasDoc() const { return m_doc != nullptr; }
    XMLDoc& doc() { return *m_doc; }
    XMLNode& initialNode() { return m_initialNode; }
    XMLNode& currentNode() { return m_currentNode; }
    bool mixed() const { return m_mixed; }
    void mixed(const bool& value) { m_mixed = value; }
    // The stream slot that marks a stream as an XMLStream.
    static int flag();

    // Pours the pending text; empty pending text changes nothing.
    void pushText();
    // Closes the open attribute, else climbs one element (never above the initial node).
    XMLStream& end();
    // Pours, then saves the document (nothing without one); failures are not thrown.
    void save(const Strings::ostring& path, const bool& withEncoding);

    // The functions behind the manipulators below.
    // Throws: XMLException (SEVERE) when the prefix of a prefixed name is not declared in scope;
    // the new element or attribute then stays in the tree and is current. node("", name) always
    // throws: "" only finds a default declaration made on the new element itself.
    static std::ostream& node(std::ostream& s, const __NodeInfo& info);
    static std::ostream& attr(std::ostream& s, const __NodeInfo& info);
    static std::ostream& comment(std::ostream& s, const Strings::ostring& text);
    static std::ostream& procInst(std::ostream& s, const __NodeInfo& info);
    static std::ostream& add(std::ostream& s, const XMLNode& node);
    static std::ostream& add(std::ostream& s, const XMLMixedNode& node);
    static std::ostream& add(std::ostream& s, const XMLAttribute& attribute);
    static std::ostream& xml(std::ostream& s, const bool& value);
    static std::ostream& xml(std::ostream& s, const wxDateTime& date);
    static std::ostream& xmlString(std::ostream& s, const Strings::ostring& text);
    // Takes a wide text written with <<, so that characters without a CP1252 byte stay whole.
    static void writeWide(std::ostream& s, const Strings::ostring& text);

private:
    XMLStream(const XMLStream&) = delete;
    XMLStream& operator=(const XMLStream&) = delete;

    // The stream as an XMLStream when it is one, else null.
    static XMLStream* cast(std::ostream& s);
    // Replaces the pending text; later writes go after it.
    void setPending(const std::string& text);

    XMLDoc* m_doc;
    bool m_ownsDoc;
    bool m_mixed;
    XMLNode m_initialNode;
    XMLNode m_currentNode;
    XMLAttribute m_currentAttribute;
    // Pending text that holds wide text (written as a wide ostring): what came before it, in
    // characters; narrow text written after it stays in the stream's buffer until the pour.
    std::wstring m_widePending;

    friend PBN_API std::ostream& end(std::ostream& s);
};

// New element `a`; or, with `b`, element `b` in the namespace declared for prefix `a`.
PBN_API StreamManip<std::ostream, XMLStream::__NodeInfo> node(const Strings::ostring& a,
                                                              const Strings::ostring& b = Strings::ostring());
// New attribute `a` (or `b` in the namespace of prefix `a`); text goes to it until `end`.
PBN_API StreamManip<std::ostream, XMLStream::__NodeInfo> attr(const Strings::ostring& a,
                                                              const Strings::ostring& b = Strings::ostring());
PBN_API StreamManip<std::ostream, Strings::ostring> comment(const Strings::ostring& text);
PBN_API StreamManip<std::ostream, XMLStream::__NodeInfo> procInst(const Strings::ostring& target,
                                                                  const Strings::ostring& content);
PBN_API StreamManip<std::ostream, XMLNode> add(const XMLNode& node);
PBN_API StreamManip<std::ostream, XMLMixedNode> add(const XMLMixedNode& node);
PBN_API StreamManip<std::ostream, XMLAttribute> add(const XMLAttribute& attribute);
// Pending text becomes "true"/"false", or the date with time and zone; text written after it is
// appended.
PBN_API StreamManip<std::ostream, bool> xml(const bool& value);
PBN_API StreamManip<std::ostream, wxDateTime> xml(const wxDateTime& date);
// Parses `text` as a fragment and appends all of its children (elements, text, comments,
// processing instructions) to the current element, in mixed fashion whatever the mode.
PBN_API StreamManip<std::ostream, Strings::ostring> xmlString(const Strings::ostring& text);
PBN_API std::ostream& end(std::ostream& s);

// Lets an XMLStream (or any ostream) take the manipulators above directly: the library-wide
// template cannot deduce one stream type from an XMLStream and a manipulator made for ostream.
template <class T> std::ostream& operator<<(std::ostream& s, const StreamManip<std::ostream, T>& m) {
    return m.apply(s);
}

} // namespace XML
} // namespace PBN
