#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

namespace PBN::Net {

// The three texts of a SOAP Fault element.
class PBN_API SOAPFault {
public:
    // Reads the element children named exactly "faultcode", "faultstring" and "detail" (a later
    // one of a name wins); only an element's own text children count.
    explicit SOAPFault(const XML::XMLNode& fault);
    SOAPFault(const Strings::ostring& faultCode = Strings::ostring(),
              const Strings::ostring& faultString = Strings::ostring(),
              const Strings::ostring& detail = Strings::ostring());
    SOAPFault(const SOAPFault& other);
    SOAPFault& operator=(const SOAPFault& other);
    virtual ~SOAPFault();

    const Strings::ostring& getFaultCode() const;
    const Strings::ostring& getFaultString() const;
    const Strings::ostring& getDetail() const;

private:
    Strings::ostring faultCode;
    Strings::ostring faultString;
    Strings::ostring detail;
};

} // namespace PBN::Net
