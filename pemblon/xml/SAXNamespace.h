#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace XML {

// A namespace as the SAX parser reports it: prefix ("" for the default namespace or none) and
// URI ("" when the name is in no namespace).
class PBN_API SAXNamespace {
public:
    SAXNamespace();
    SAXNamespace(const Strings::ostring& prefix, const Strings::ostring& uri);
    SAXNamespace(const SAXNamespace& other);
    SAXNamespace& operator=(const SAXNamespace& other);
    virtual ~SAXNamespace();

    const Strings::ostring& prefix() const { return _prefix; }
    const Strings::ostring& uri() const { return _uri; }

private:
    Strings::ostring _prefix;
    Strings::ostring _uri;
};

} // namespace XML
} // namespace PBN
