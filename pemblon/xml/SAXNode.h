#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/SAXAttribute.h"
#include "pemblon/xml/SAXNamespace.h"

#include <vector>

namespace PBN {
namespace XML {

// An element as a SAX event describes it. `skip` and `data` are for the receiver; the handler
// never reads them, and copies do not carry them.
class PBN_API SAXNode {
public:
    SAXNode();
    SAXNode(const Strings::ostring& name, const std::vector<SAXAttribute>& attributes, const SAXNamespace& ns,
            const std::vector<SAXNamespace>& namespaces);
    SAXNode(const SAXNode& other);
    SAXNode& operator=(const SAXNode& other);
    virtual ~SAXNode();

    const Strings::ostring& name() const { return _name; }
    // The element's own namespace.
    const SAXNamespace& ns() const { return _ns; }
    // Declarations made on this element, in document order; the index must be below nsCount().
    unsigned int nsCount() const { return static_cast<unsigned int>(_namespaces.size()); }
    const SAXNamespace& ns(const unsigned int& index) const { return _namespaces[index]; }
    // The first declaration of `prefix`, else an empty namespace.
    const SAXNamespace& ns(const Strings::ostring& prefix) const;

    // Attributes in document order, DTD defaults last; the index must be below size().
    unsigned int size() const { return static_cast<unsigned int>(_attributes.size()); }
    const SAXAttribute& operator[](const unsigned int& index) const { return _attributes[index]; }
    // The first attribute with that local name, else an empty attribute.
    const SAXAttribute& operator[](const Strings::ostring& name) const;

    bool skip() const { return _skip; }
    void skip(const bool& value) { _skip = value; }
    void* data() const { return _data; }
    void data(void* value) { _data = value; }

    static const SAXNamespace _dummyNamespace;
    static const SAXAttribute _dummyAttribute;

private:
    SAXNamespace _ns;
    Strings::ostring _name;
    std::vector<SAXNamespace> _namespaces;
    std::vector<SAXAttribute> _attributes;
    bool _skip;
    void* _data;
};

} // namespace XML
} // namespace PBN
