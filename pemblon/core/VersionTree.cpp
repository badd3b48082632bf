#include "pemblon/core/VersionTree.h"

namespace PBN {
namespace Strings {

VersionTreeNode& VersionTree::_dummyVersion() {
    static VersionTreeNode node;
    return node;
}

VersionTree::VersionTree() {}

VersionTree::VersionTree(const VersionTree& other) {
    *this = other;
}

VersionTree& VersionTree::operator=(const VersionTree& other) {
    if (this != &other) {
        std::vector<VersionTreeNode*> copies;
        copies.reserve(other._roots.size());
        try {
            for (const VersionTreeNode* root : other._roots)
                copies.push_back(new VersionTreeNode(*root));
        } catch (...) {
            for (VersionTreeNode* node : copies)
                delete node;
            throw;
        }
        clear();
        _roots.swap(copies);
    }
    return *this;
}

VersionTree::~VersionTree() {
    clear();
}

void VersionTree::clear() {
    for (VersionTreeNode* root : _roots)
        delete root;
    _roots.clear();
}

bool VersionTree::add(const Version& v, void* data) {
    // A version without numbers has no place in the tree.
    if (v.size() == 0 || lookup(v))
        return false;
    if (VersionTreeNode* root = VersionTreeNode::childWithToken(_roots, v[0]))
        root->add(v, 1, data);
    else
        VersionTreeNode::insertSorted(_roots, new VersionTreeNode(v, 0, data));
    return true;
}

bool VersionTree::add(const ostring& text, const ostring& sep, void* data) {
    return add(Version(text, sep), data);
}

bool VersionTree::lookup(const Version& v, VersionTreeNode& out) const {
    const VersionTreeNode* found = VersionTreeNode::search(_roots, v, 0);
    if (!found)
        return false;
    out = *found;
    return true;
}

bool VersionTree::lookup(const ostring& text, const ostring& sep, VersionTreeNode& out) const {
    return lookup(Version(text, sep), out);
}

bool VersionTree::lookup(const ostring& text, const ostring& sep) const {
    return lookup(Version(text, sep));
}

bool VersionTree::lookup(const Version& v) const {
    return VersionTreeNode::search(_roots, v, 0) != nullptr;
}

VersionTreeNode& VersionTree::findAux(const Version& v) const {
    // Reset first: a miss must not hand back the copy left by an earlier match.
    VersionTreeNode& shared = _dummyVersion();
    shared = VersionTreeNode();
    lookup(v, shared);
    return shared;
}

VersionTreeNode& VersionTree::find(const Version& v) {
    return findAux(v);
}

VersionTreeNode& VersionTree::find(const ostring& text, const ostring& sep) {
    return findAux(Version(text, sep));
}

const VersionTreeNode& VersionTree::find(const Version& v) const {
    return findAux(v);
}

const VersionTreeNode& VersionTree::find(const ostring& text, const ostring& sep) const {
    return findAux(Version(text, sep));
}

VersionTreeNode& VersionTree::lastVersionAux() const {
    if (_roots.empty()) {
        VersionTreeNode& shared = _dummyVersion();
        shared = VersionTreeNode();
        return shared;
    }
    return _roots.back()->lastVersion();
}

VersionTreeNode& VersionTree::lastVersion() {
    return lastVersionAux();
}

const VersionTreeNode& VersionTree::lastVersion() const {
    return lastVersionAux();
}

Version VersionTree::nextVersion() {
    Version next = lastVersion().version();
    next.increment();
    return next;
}

} // namespace Strings
} // namespace PBN
