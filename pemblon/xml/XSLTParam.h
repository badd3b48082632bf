#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace XML {

// One named parameter handed to a style sheet. The value is read by the XSLT processor as an
// XPath expression: a string value must carry its own quotes ("'red'"), and text from a user must
// be quoted and escaped by the caller, or it is evaluated.
class PBN_API XSLTParam {
public:
    XSLTParam();
    XSLTParam(const Strings::ostring& name, const Strings::ostring& value);
    XSLTParam(const XSLTParam& other);
    XSLTParam& operator=(const XSLTParam& other);
    virtual ~XSLTParam();

    const Strings::ostring& getName() const { return name; }
    const Strings::ostring& getValue() const { return value; }
    void setName(const Strings::ostring& n) { name = n; }
    void setValue(const Strings::ostring& v) { value = v; }

    // A parameter without a name stands for "none" (what the lookups return when nothing matches).
    bool isNull() const;

    // Names only, case counts; values are not compared.
    bool operator==(const XSLTParam& other) const;
    bool operator!=(const XSLTParam& other) const;
    // Names with case, values without.
    bool equals(const XSLTParam& other) const;

private:
    Strings::ostring name;
    Strings::ostring value;
};

} // namespace XML
} // namespace PBN
