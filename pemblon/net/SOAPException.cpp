#include "pemblon/net/SOAPException.h"

namespace PBN::Net {

SOAPException::SOAPException(const Strings::ostring& message, const Severity& severity)
    : Exception(message, severity) {}

SOAPException::SOAPException(const SOAPException& other) = default;

SOAPException& SOAPException::operator=(const SOAPException& other) {
    if (this != &other)
        Exception::operator=(other);
    return *this;
}

SOAPException::~SOAPException() = default;

} // namespace PBN::Net
