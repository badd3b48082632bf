#pragma once

#include "pemblon/core/Exception.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace XML {

// The failure type of the XML classes: load errors, and every report libxml2 or libxslt makes
// while one of our calls runs. Adds nothing to PBN::Exception, so callers may catch either.
class PBN_API XMLException : public PBN::Exception {
public:
    XMLException(const Strings::ostring& message = Strings::ostring(), const Severity& severity = SEVERE);
    XMLException(const XMLException& other);
    XMLException& operator=(const XMLException& other);
    ~XMLException() override;
};

} // namespace XML
} // namespace PBN
