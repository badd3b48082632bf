#include "pemblon/xml/XMLException.h"

namespace PBN {
namespace XML {

XMLException::XMLException(const Strings::ostring& message, const Severity& severity)
    : Exception(message, severity) {}

XMLException::XMLException(const XMLException& other) : Exception(other) {}

XMLException& XMLException::operator=(const XMLException& other) {
    if (this != &other) {
        Exception::operator=(other);
    }
    return *this;
}

XMLException::~XMLException() {}

} // namespace XML
} // namespace PBN
