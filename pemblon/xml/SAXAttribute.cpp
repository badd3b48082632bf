#include "pemblon/xml/SAXAttribute.h"

namespace PBN {
namespace XML {

SAXAttribute::SAXAttribute() : _defaulted(false) {}
SAXAttribute::SAXAttribute(const Strings::ostring& name, const Strings::ostring& value,
                           const SAXNamespace& ns, const bool& defaulted)
    : _defaulted(defaulted), _ns(ns), _name(name), _value(value) {}
SAXAttribute::SAXAttribute(const SAXAttribute& other) = default;
SAXAttribute& SAXAttribute::operator=(const SAXAttribute& other) = default;
SAXAttribute::~SAXAttribute() = default;

} // namespace XML
} // namespace PBN
