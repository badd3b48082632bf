#include "pemblon/net/SOAPFault.h"

namespace PBN::Net {

using Strings::ostring;

SOAPFault::SOAPFault(const XML::XMLNode& fault) {
    // getChild compares names without case; the element names here are exact.
    for (XML::XMLNode child = fault.getFirstChild(); !child.isNull(); child = child.getSibling()) {
        const ostring name = child.getName();
        if (name == ostring("faultcode"))
            faultCode = child.getText();
        else if (name == ostring("faultstring"))
            faultString = child.getText();
        else if (name == ostring("detail"))
            detail = child.getText();
    }
}

SOAPFault::SOAPFault(const ostring& code, const ostring& text, const ostring& details)
    : faultCode(code), faultString(text), detail(details) {}

SOAPFault::SOAPFault(const SOAPFault& other) = default;

SOAPFault& SOAPFault::operator=(const SOAPFault& other) {
    if (this != &other) {
        faultCode = other.faultCode;
        faultString = other.faultString;
        detail = other.detail;
    }
    return *this;
}

SOAPFault::~SOAPFault() = default;

const ostring& SOAPFault::getFaultCode() const {
    return faultCode;
}
const ostring& SOAPFault::getFaultString() const {
    return faultString;
}
const ostring& SOAPFault::getDetail() const {
    return detail;
}

} // namespace PBN::Net
