#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/SAXNamespace.h"

namespace PBN {
namespace XML {

// An attribute of a SAX start-element event. `defaulted` tells that the DTD supplied it.
class PBN_API SAXAttribute {
public:
    SAXAttribute();
    SAXAttribute(const Strings::ostring& name, const Strings::ostring& value, const SAXNamespace& ns,
                 const bool& defaulted);
    SAXAttribute(const SAXAttribute& other);
    SAXAttribute& operator=(const SAXAttribute& other);
    virtual ~SAXAttribute();

    bool defaulted() const { return _defaulted; }
    const SAXNamespace& ns() const { return _ns; }
    const Strings::ostring& name() const { return _name; }
    const Strings::ostring& value() const { return _value; }

private:
    bool _defaulted;
    SAXNamespace _ns;
    Strings::ostring _name;
    Strings::ostring _value;
};

} // namespace XML
} // namespace PBN
