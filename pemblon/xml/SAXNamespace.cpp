#include "pemblon/xml/SAXNamespace.h"

namespace PBN {
namespace XML {

SAXNamespace::SAXNamespace() = default;
SAXNamespace::SAXNamespace(const Strings::ostring& prefix, const Strings::ostring& uri)
    : _prefix(prefix), _uri(uri) {}
SAXNamespace::SAXNamespace(const SAXNamespace& other) = default;
SAXNamespace& SAXNamespace::operator=(const SAXNamespace& other) = default;
SAXNamespace::~SAXNamespace() = default;

} // namespace XML
} // namespace PBN
