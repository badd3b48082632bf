#include "pemblon/xml/XMLStream.h"

#include "pemblon/core/Defines.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLProcInst.h"

#include "platform/common/Cp1252.h"

#include <boost/format.hpp>
#include <wx/translation.h>

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

const int streamSlot = std::ios_base::xalloc();

const ostring::WideWriter wideWriter{&XMLStream::writeWide};

// Narrow (CP1252) text as characters.
std::wstring charactersOf(const std::string& narrow) {
    std::wstring out;
    out.reserve(narrow.size());
    for (const char b : narrow)
        out += static_cast<wchar_t>(Cp1252::toUnicode(static_cast<unsigned char>(b)));
    return out;
}

[[noreturn]] void missingNamespace(const char* text, const ostring& prefix) {
    const wxString translated = wxGetTranslation(text, Defines::name().wxstr());
    const std::wstring message = (boost::wformat(translated.ToStdWstring()) % prefix.wstr()).str();
    throw XMLException(ostring(message), Exception::SEVERE);
}

} // namespace

XMLStream::XMLStream(const ostring& fileName) : m_doc(nullptr), m_ownsDoc(true), m_mixed(false) {
    pword(flag()) = static_cast<std::ostream*>(this);
    pword(ostring::wideWriterSlot()) = const_cast<ostring::WideWriter*>(&wideWriter);
    if (fileName.size() > 0) {
        m_doc = new XMLDoc(fileName, true, false);
        m_initialNode = m_doc->getRoot();
        m_currentNode = m_initialNode;
    }
}

XMLStream::XMLStream(XMLNode& node)
    : m_doc(const_cast<XMLDoc*>(node.getDoc())), m_ownsDoc(false), m_mixed(false), m_initialNode(node),
      m_currentNode(node) {
    pword(flag()) = static_cast<std::ostream*>(this);
    pword(ostring::wideWriterSlot()) = const_cast<ostring::WideWriter*>(&wideWriter);
}

XMLStream::~XMLStream() {
    if (m_ownsDoc)
        delete m_doc;
}

int XMLStream::flag() {
    return streamSlot;
}

XMLStream* XMLStream::cast(std::ostream& s) {
    if (s.pword(flag()) != static_cast<void*>(&s))
        return nullptr;
    return static_cast<XMLStream*>(&s);
}

void XMLStream::writeWide(std::ostream& s, const ostring& text) {
    XMLStream* x = cast(s);
    if (!x) {
        s << text.str();
        return;
    }
    x->m_widePending += charactersOf(x->str()) + text.wstr();
    x->str(std::string());
}

void XMLStream::setPending(const std::string& text) {
    m_widePending.clear();
    str(text);
    // str() leaves the put position at the start, where the next write would overwrite the text.
    seekp(0, std::ios_base::end);
}

void XMLStream::pushText() {
    const std::string pending = str();
    if (pending.empty() && m_widePending.empty())
        return;
    const ostring text =
        m_widePending.empty() ? ostring(pending.c_str()) : ostring(m_widePending + charactersOf(pending));
    m_widePending.clear();
    if (!m_currentAttribute.isNull())
        m_currentAttribute.setValue(text);
    else if (m_mixed)
        m_currentNode.castToMixedNode().addText(text, -1);
    else
        m_currentNode.setText(text, true);
    str(std::string());
}

XMLStream& XMLStream::end() {
    pushText();
    if (!m_currentAttribute.isNull())
        m_currentAttribute = XMLAttribute();
    else if (m_currentNode != m_initialNode)
        m_currentNode = m_currentNode.getParent();
    return *this;
}

void XMLStream::save(const ostring& path, const bool& withEncoding) {
    pushText();
    if (m_doc)
        m_doc->save(path, withEncoding);
}

std::ostream& XMLStream::node(std::ostream& s, const __NodeInfo& info) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    const bool prefixed = info.second.size() > 0;
    const ostring& name = prefixed ? info.second : info.first;
    x->m_currentNode = x->m_mixed ? x->m_currentNode.castToMixedNode().addNode(name, -1)
                                  : x->m_currentNode.addChild(name, -1);
    if (prefixed) {
        const XMLNamespace ns = x->m_currentNode.getNamespace(info.first);
        if (ns.isNull())
            missingNamespace("Impossible to find namespace %1%.", info.first);
        x->m_currentNode.setNamespace(ns);
    }
    return s;
}

std::ostream& XMLStream::attr(std::ostream& s, const __NodeInfo& info) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    const bool prefixed = info.second.size() > 0;
    x->m_currentAttribute = x->m_currentNode.addAttribute(prefixed ? info.second : info.first, "");
    if (prefixed) {
        const XMLNamespace ns = x->m_currentNode.getNamespace(info.first);
        if (ns.isNull())
            missingNamespace("Impossible to find namespace %1%", info.first);
        x->m_currentAttribute.setNamespace(ns);
    }
    return s;
}

std::ostream& XMLStream::comment(std::ostream& s, const ostring& text) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    if (x->m_mixed)
        x->m_currentNode.castToMixedNode().addComment(text, -1);
    else
        x->m_currentNode.addComment(text, -1);
    return s;
}

std::ostream& XMLStream::procInst(std::ostream& s, const __NodeInfo& info) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    if (x->m_mixed)
        x->m_currentNode.castToMixedNode().addProcInst(info.first, -1).setText(info.second);
    else
        x->m_currentNode.addProcInst(info.first, info.second, -1);
    return s;
}

std::ostream& XMLStream::add(std::ostream& s, const XMLNode& node) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    if (x->m_mixed)
        x->m_currentNode.castToMixedNode().addNode(node, -1);
    else
        x->m_currentNode.addChild(node, -1);
    return s;
}

std::ostream& XMLStream::add(std::ostream& s, const XMLMixedNode& node) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    if (x->m_mixed)
        x->m_currentNode.castToMixedNode().addMixedNode(node, -1);
    else
        x->m_currentNode.addChild(node.castToNode(), -1);
    return s;
}

std::ostream& XMLStream::add(std::ostream& s, const XMLAttribute& attribute) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    x->m_currentNode.addAttribute(attribute.getName(), attribute.getValue());
    return s;
}

std::ostream& XMLStream::xml(std::ostream& s, const bool& value) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    x->setPending(value ? "true" : "false");
    return s;
}

std::ostream& XMLStream::xml(std::ostream& s, const wxDateTime& date) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    x->setPending(XMLDoc::dateToString(date, true, false, true).str());
    return s;
}

std::ostream& XMLStream::xmlString(std::ostream& s, const ostring& text) {
    XMLStream* x = cast(s);
    if (!x)
        return s;
    x->pushText();
    XMLNode fragment = XMLNode::fromString(text);
    if (fragment.isNull())
        return s;
    XMLMixedNode source = fragment.castToMixedNode();
    XMLMixedNode target = x->m_currentNode.castToMixedNode();
    // Elements and processing instructions move out of the fragment (the next child slides into
    // their index); text and comments are copied and stay. The count is taken once, so every
    // child is visited exactly once and nothing is skipped.
    const unsigned int count = source.getElementsCount();
    unsigned int index = 0;
    for (unsigned int k = 0; k < count; ++k) {
        switch (source.getElementTypeAt(index)) {
        case XMLDoc::ELEM_ELEMENT:
            target.addNode(source.getNodeAt(index), -1);
            break;
        case XMLDoc::ELEM_PROCINST:
            target.addProcInst(source.getProcInstAt(index), -1);
            break;
        case XMLDoc::ELEM_TEXT:
            target.addText(source.getTextAt(index), -1);
            ++index;
            break;
        case XMLDoc::ELEM_COMMENT:
            target.addComment(source.getCommentAt(index), -1);
            ++index;
            break;
        default:
            ++index;
            break;
        }
    }
    fragment.destroy();
    return s;
}

StreamManip<std::ostream, XMLStream::__NodeInfo> node(const ostring& a, const ostring& b) {
    return StreamManip<std::ostream, XMLStream::__NodeInfo>(&XMLStream::node, XMLStream::__NodeInfo{a, b});
}

StreamManip<std::ostream, XMLStream::__NodeInfo> attr(const ostring& a, const ostring& b) {
    return StreamManip<std::ostream, XMLStream::__NodeInfo>(&XMLStream::attr, XMLStream::__NodeInfo{a, b});
}

StreamManip<std::ostream, ostring> comment(const ostring& text) {
    return StreamManip<std::ostream, ostring>(&XMLStream::comment, text);
}

StreamManip<std::ostream, XMLStream::__NodeInfo> procInst(const ostring& target, const ostring& content) {
    return StreamManip<std::ostream, XMLStream::__NodeInfo>(&XMLStream::procInst,
                                                            XMLStream::__NodeInfo{target, content});
}

StreamManip<std::ostream, XMLNode> add(const XMLNode& n) {
    return StreamManip<std::ostream, XMLNode>(&XMLStream::add, n);
}

StreamManip<std::ostream, XMLMixedNode> add(const XMLMixedNode& n) {
    return StreamManip<std::ostream, XMLMixedNode>(&XMLStream::add, n);
}

StreamManip<std::ostream, XMLAttribute> add(const XMLAttribute& a) {
    return StreamManip<std::ostream, XMLAttribute>(&XMLStream::add, a);
}

StreamManip<std::ostream, bool> xml(const bool& value) {
    return StreamManip<std::ostream, bool>(&XMLStream::xml, value);
}

StreamManip<std::ostream, wxDateTime> xml(const wxDateTime& date) {
    return StreamManip<std::ostream, wxDateTime>(&XMLStream::xml, date);
}

StreamManip<std::ostream, ostring> xmlString(const ostring& text) {
    return StreamManip<std::ostream, ostring>(&XMLStream::xmlString, text);
}

std::ostream& end(std::ostream& s) {
    if (XMLStream* x = XMLStream::cast(s))
        x->end();
    return s;
}

} // namespace XML
} // namespace PBN
