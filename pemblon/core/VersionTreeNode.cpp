#include "pemblon/core/VersionTreeNode.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <sstream>

#include "pemblon/core/Defines.h"

namespace PBN {
namespace Strings {

VersionTreeNode::VersionTreeNode() : _null(true), _token(0), _hasVersion(false), _data(nullptr) {}

VersionTreeNode::VersionTreeNode(const Version& v, const unsigned int& depth, void* data)
    : _null(false), _token(v[depth]), _hasVersion(false), _data(nullptr) {
    if (depth + 1 >= v.size()) {
        _hasVersion = true;
        _version = v;
        _data = data;
    } else {
        _children.push_back(new VersionTreeNode(v, depth + 1, data));
    }
}

VersionTreeNode::VersionTreeNode(const VersionTreeNode& other)
    : _null(other._null), _token(other._token), _hasVersion(other._hasVersion), _version(other._version),
      _data(other._data) {
    copyChildren(other);
}

VersionTreeNode& VersionTreeNode::operator=(const VersionTreeNode& other) {
    if (this != &other) {
        // Copied before our own children go: other may be one of them.
        VersionTreeNode copy(other);
        clear();
        _null = copy._null;
        _token = copy._token;
        _hasVersion = copy._hasVersion;
        _version = copy._version;
        _data = copy._data;
        _children.swap(copy._children);
    }
    return *this;
}

VersionTreeNode::~VersionTreeNode() {
    clear();
}

void VersionTreeNode::copyChildren(const VersionTreeNode& other) {
    _children.reserve(other._children.size());
    try {
        for (const VersionTreeNode* child : other._children)
            _children.push_back(new VersionTreeNode(*child));
    } catch (...) {
        clear();
        throw;
    }
}

void VersionTreeNode::clear() {
    for (VersionTreeNode* child : _children)
        delete child;
    _children.clear();
}

bool VersionTreeNode::compare(VersionTreeNode* a, VersionTreeNode* b) {
    return a->_token < b->_token;
}

VersionTreeNode* VersionTreeNode::childWithToken(const std::vector<VersionTreeNode*>& children,
                                                 unsigned int token) {
    VersionTreeNode key;
    key._token = token;
    const auto it = std::lower_bound(children.begin(), children.end(), &key, compare);
    return it != children.end() && (*it)->_token == token ? *it : nullptr;
}

void VersionTreeNode::insertSorted(std::vector<VersionTreeNode*>& children, VersionTreeNode* node) {
    std::unique_ptr<VersionTreeNode> owned(node);
    children.insert(std::upper_bound(children.begin(), children.end(), node, compare), node);
    owned.release();
}

const VersionTreeNode* VersionTreeNode::search(const std::vector<VersionTreeNode*>& children,
                                               const Version& v, unsigned int depth) {
    // Tokens are distinct at every level and a version is filed only at the node its numbers lead
    // to, so following the numbers finds exactly what a depth-first walk would find.
    const std::vector<VersionTreeNode*>* level = &children;
    for (unsigned int d = depth; d < v.size(); ++d) {
        const VersionTreeNode* node = childWithToken(*level, v[d]);
        if (!node)
            return nullptr;
        if (d + 1 == v.size())
            return node->_hasVersion && Version::compare(node->_version, v) == 0 ? node : nullptr;
        level = &node->_children;
    }
    return nullptr;
}

VersionTreeNode& VersionTreeNode::lastVersion() {
    VersionTreeNode* node = this;
    while (!node->_children.empty())
        node = node->_children.back();
    return *node;
}

void VersionTreeNode::add(const Version& v, const unsigned int& depth, void* data) {
    if (v.size() == depth) {
        _hasVersion = true;
        _version = v;
        _data = data;
    } else if (VersionTreeNode* child = childWithToken(_children, v[depth])) {
        child->add(v, depth + 1, data);
    } else {
        insertSorted(_children, new VersionTreeNode(v, depth, data));
    }
}

bool VersionTreeNode::lookup(const Version& v, VersionTreeNode& out) {
    // A node does not know its depth, so below a node the walk is the plain depth-first one.
    for (VersionTreeNode* child : _children) {
        if (child->_hasVersion && Version::compare(child->_version, v) == 0) {
            out = *child;
            return true;
        }
        if (child->lookup(v, out))
            return true;
    }
    return false;
}

ostring VersionTreeNode::toString(const unsigned int& indent) const {
    std::ostringstream out;
    struct Writer {
        static void write(std::ostream& os, const VersionTreeNode& node, unsigned int indent) {
            for (unsigned int i = 0; i < indent; ++i)
                os << '\t';
            os << node._token;
            if (node._hasVersion)
                os << " [" << node._version << "]" << std::endl;
            for (const VersionTreeNode* child : node._children)
                write(os, *child, indent + 1);
        }
    };
    Writer::write(out, *this, indent);
    return ostring(out.str(), Defines::appEncoding());
}

} // namespace Strings
} // namespace PBN
