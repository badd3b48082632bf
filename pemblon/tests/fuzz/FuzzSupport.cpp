// Stand-ins for the library services the XML layer links to but the fuzz target never reaches
// (dates with a time zone, XSLT style sheets). They
// keep the fuzz build down to the XML sources and the string type.

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/xml/XSLTSheet.h"

#include <cstdlib>

namespace PBN {

Strings::ostring HelperFuncs::formatTimezone(const wxDateTime&, const Strings::ostring&) {
    std::abort();
}

namespace XML {

XSLTSheet::XSLTSheet(const Strings::ostring&) {
    std::abort();
}
XSLTSheet::~XSLTSheet() {}
void XSLTSheet::setDebugMode(const bool&) {}

} // namespace XML
} // namespace PBN
