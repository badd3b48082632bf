#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

namespace PBN {
namespace XML {

// Description of an XInclude inclusion. Inclusions are processed when a document is loaded; this
// value type is only declared and stores nothing: every getter answers "", 0 or a null node, every
// setter is ignored, and any two values are equal.
class PBN_API XInclude {
public:
    enum ParseType { PARSE_XML = 0, PARSE_TEXT = 1 };

    XInclude(const Strings::ostring& href, const Strings::ostring& pointer, const ParseType& parse,
             const Strings::ostring& encoding);
    XInclude(const XInclude& other);
    XInclude& operator=(const XInclude& other);
    virtual ~XInclude();

    Strings::ostring getHref() const;
    Strings::ostring getPointer() const;
    Strings::ostring getEncoding() const;
    Strings::ostring getAccept() const;
    Strings::ostring getAcceptLanguage() const;
    ParseType getParseType() const;
    XMLNode getFallback() const;

    void setHref(const Strings::ostring& href);
    void setPointer(const Strings::ostring& pointer);
    void setParseType(const ParseType& parse);
    void setEncoding(const Strings::ostring& encoding);
    void setAccept(const Strings::ostring& accept, const Strings::ostring& acceptLanguage);
    void setAcceptLanguage(const Strings::ostring& acceptLanguage);
    void setFallback(const XMLNode& fallback);
    void unsetFallback();

    bool equals(const XInclude& other) const;
    bool operator==(const XInclude& other) const;
    bool operator!=(const XInclude& other) const;

protected:
    XInclude();

    friend class XMLNode;

private:
    Strings::ostring href;
    Strings::ostring pointer;
    ParseType parse;
    Strings::ostring encoding;
    Strings::ostring accept;
    Strings::ostring acceptLanguage;
    XMLNode fallback;
};

} // namespace XML
} // namespace PBN
