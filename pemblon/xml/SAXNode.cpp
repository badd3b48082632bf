#include "pemblon/xml/SAXNode.h"

namespace PBN {
namespace XML {

const SAXNamespace SAXNode::_dummyNamespace;
const SAXAttribute SAXNode::_dummyAttribute;

SAXNode::SAXNode() : _skip(false), _data(nullptr) {}

SAXNode::SAXNode(const Strings::ostring& name, const std::vector<SAXAttribute>& attributes,
                 const SAXNamespace& ns, const std::vector<SAXNamespace>& namespaces)
    : _ns(ns), _name(name), _namespaces(namespaces), _attributes(attributes), _skip(false), _data(nullptr) {}

SAXNode::SAXNode(const SAXNode& other)
    : _ns(other._ns), _name(other._name), _namespaces(other._namespaces), _attributes(other._attributes),
      _skip(false), _data(nullptr) {}

SAXNode& SAXNode::operator=(const SAXNode& other) {
    _ns = other._ns;
    _name = other._name;
    _namespaces = other._namespaces;
    _attributes = other._attributes;
    return *this;
}

SAXNode::~SAXNode() = default;

const SAXNamespace& SAXNode::ns(const Strings::ostring& prefix) const {
    for (const SAXNamespace& n : _namespaces)
        if (n.prefix() == prefix)
            return n;
    return _dummyNamespace;
}

const SAXAttribute& SAXNode::operator[](const Strings::ostring& name) const {
    for (const SAXAttribute& a : _attributes)
        if (a.name() == name)
            return a;
    return _dummyAttribute;
}

} // namespace XML
} // namespace PBN
