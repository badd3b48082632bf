#pragma once

#include "pemblon/core/Exception.h"
#include "pemblon/core/Export.h"

namespace PBN::Net {

// The exception type for SOAP errors of callers; the library itself throws none.
class PBN_API SOAPException : public Exception {
public:
    SOAPException(const Strings::ostring& message = Strings::ostring(), const Severity& severity = SEVERE);
    SOAPException(const SOAPException& other);
    SOAPException& operator=(const SOAPException& other);
    virtual ~SOAPException();
};

} // namespace PBN::Net
