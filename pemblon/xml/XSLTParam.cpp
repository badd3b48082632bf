#include "pemblon/xml/XSLTParam.h"

namespace PBN {
namespace XML {

XSLTParam::XSLTParam() = default;
XSLTParam::XSLTParam(const Strings::ostring& name_, const Strings::ostring& value_)
    : name(name_), value(value_) {}
XSLTParam::XSLTParam(const XSLTParam& other) = default;
XSLTParam& XSLTParam::operator=(const XSLTParam& other) = default;
XSLTParam::~XSLTParam() = default;

bool XSLTParam::isNull() const {
    return name.size() == 0;
}

bool XSLTParam::operator==(const XSLTParam& other) const {
    return name == other.name;
}

bool XSLTParam::operator!=(const XSLTParam& other) const {
    return !(*this == other);
}

bool XSLTParam::equals(const XSLTParam& other) const {
    return name == other.name && value.ci_eq(other.value);
}

} // namespace XML
} // namespace PBN
