#include "pemblon/files/LogStream.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLTree.h"

#include <boost/format.hpp>
#include <wx/translation.h>

#include <sstream>

namespace PBN {
namespace Files {

using Strings::ostring;

// The one document of a message, shared by every copy of its stream.
struct LogStream::Holder {
    XML::XMLDoc* doc;
    explicit Holder(XML::XMLDoc* d) : doc(d) {}
    ~Holder() { delete doc; }
};

LogStream::LogStream() = default;

LogStream::LogStream(const XML::XMLNode& node_, XML::XMLDoc* doc_)
    : doc(doc_ ? std::make_shared<Holder>(doc_) : nullptr), node(node_.castToMixedNode()) {}

LogStream::LogStream(const LogStream& other) = default;
LogStream& LogStream::operator=(const LogStream& other) = default;
LogStream::~LogStream() = default;

bool LogStream::operator==(const LogStream& other) const {
    return node == other.node;
}

bool LogStream::operator!=(const LogStream& other) const {
    return !(*this == other);
}

XML::XMLDoc* LogStream::document() const {
    return doc ? doc->doc : nullptr;
}

bool LogStream::isNull() const {
    return document() == nullptr;
}

// A log takes every message whole: what XML cannot hold becomes U+FFFD rather than a refusal.
void LogStream::addText(const ostring& text) {
    if (document())
        node.addText(XML::XMLTree::replaceDisallowed(text), -1);
}

void LogStream::addNode(const XML::XMLNode& n) {
    if (document())
        node.addNode(n, -1);
}

void LogStream::addNode(const XML::XMLMixedNode& n) {
    if (document())
        node.addMixedNode(n, -1);
}

void LogStream::addManip(const LogManip& m) {
    XML::XMLDoc* d = document();
    if (!d)
        return;
    switch (m.getManip()) {
    case LogManip::ATTR:
        node.castToNode().addAttribute(m.getName(), XML::XMLTree::replaceDisallowed(m.getValue()));
        break;
    case LogManip::TAG: {
        XML::XMLMixedNode child = node.addMixedNode(m.getName(), -1);
        if (!m.isEmpty())
            node = child;
        break;
    }
    case LogManip::END_TAG:
        // Text beside the root element would make the whole file unreadable.
        if (node.castToNode() != d->getRoot())
            node = node.getParent().castToMixedNode();
        break;
    case LogManip::IMAGE: {
        const LogImg* img = dynamic_cast<const LogImg*>(&m);
        XML::XMLNode n = node.addNode(m.getName().size() > 0 ? m.getName() : ostring("img"), -1);
        n.addAttribute("src", img ? img->getSrc() : ostring());
        n.addAttribute("style",
                       img ? img->style() : LogImg(ostring(), LogImg::Align(-1), LogImg::Align(-1)).style());
        break;
    }
    case LogManip::ANCHOR: {
        const LogAnchor* a = dynamic_cast<const LogAnchor*>(&m);
        XML::XMLNode n = node.addNode(m.getName().size() > 0 ? m.getName() : ostring("a"), -1);
        if (!m.isEmpty())
            node = n.castToMixedNode();
        n.addAttribute("href", a ? a->getHref() : ostring());
        if (a && a->isBlank())
            n.addAttribute("target", "_blank");
        break;
    }
    case LogManip::END_MSG:
        if (m.doSave())
            save(true);
        break;
    default:
        break;
    }
}

void LogStream::save(const bool& close) {
    XML::XMLDoc* d = document();
    if (!d)
        return;
    try {
        // The first message of a file: drop the blank text so that it is written indented.
        if (d->getRoot().getChildrenCount() <= 1)
            d->indent(false);
        if (!d->save(ostring(), true)) {
            // Never lose a message without a word: the old log stays as it was.
            const wxString text = wxGetTranslation(
                wxString("The message could not be written to the log \"%1%\"."), Defines::name().wxstr());
            boost::wformat format;
            format.exceptions(boost::io::no_error_bits);
            format.parse(text.ToStdWstring());
            format % d->getFilename().wstr();
            throw PBN::Exception(ostring(format.str()), Exception::SEVERE);
        }
    } catch (const PBN::Exception& e) {
        e.display(nullptr, false);
    }
    if (close) {
        delete doc->doc;
        doc->doc = nullptr;
        node = XML::XMLMixedNode();
    }
}

LogManip LogStream::attr(const ostring& name, const ostring& value) {
    return LogManip(name, value);
}
LogManip LogStream::style(const ostring& text) {
    return attr("style", text);
}
LogManip LogStream::id(const ostring& text) {
    return attr("id", text);
}
LogManip LogStream::ofClass(const ostring& text) {
    return attr("class", text);
}
LogManip LogStream::tag(const ostring& name) {
    return LogManip(name, false);
}
LogManip LogStream::empty_tag(const ostring& name) {
    return LogManip(name, true);
}
LogManip LogStream::bold() {
    return tag("b");
}
LogManip LogStream::italic() {
    return tag("i");
}
LogManip LogStream::underlined() {
    return tag("u");
}
LogManip LogStream::end_line(const bool&) {
    return empty_tag("br");
}
LogManip LogStream::end_tag() {
    return LogManip(LogManip::END_TAG, ostring(), false);
}
LogImg LogStream::image(const ostring& src, const LogImg::Align& align, const LogImg::Align& valign) {
    return LogImg(src, align, valign);
}
LogAnchor LogStream::anchor(const ostring& href, const bool& blank) {
    return LogAnchor(href, blank);
}
LogManip LogStream::end_msg(const bool& save) {
    LogManip m;
    m.setSave(save);
    return m;
}

namespace {
template <class T> LogStream& number(LogStream& s, const T& v) {
    if (s.isNull())
        return s;
    std::ostringstream out;
    out << v;
    s.addText(ostring(out.str(), Defines::appEncoding()));
    return s;
}
} // namespace

LogStream& operator<<(LogStream& s, const ostring& text) {
    s.addText(text);
    return s;
}
LogStream& operator<<(LogStream& s, const XML::XMLNode& n) {
    s.addNode(n);
    return s;
}
LogStream& operator<<(LogStream& s, const XML::XMLMixedNode& n) {
    s.addNode(n);
    return s;
}
LogStream& operator<<(LogStream& s, const LogManip& m) {
    s.addManip(m);
    return s;
}
LogStream& operator<<(LogStream& s, const short& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const unsigned short& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const int& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const unsigned int& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const long& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const unsigned long& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const float& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const double& v) {
    return number(s, v);
}
LogStream& operator<<(LogStream& s, const wxLongLong& v) {
    if (!s.isNull())
        s.addText(ostring(v.ToString()));
    return s;
}
LogStream& operator<<(LogStream& s, const wxULongLong& v) {
    if (!s.isNull())
        s.addText(ostring(v.ToString()));
    return s;
}

} // namespace Files
} // namespace PBN
