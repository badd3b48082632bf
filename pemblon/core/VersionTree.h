#pragma once

#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/core/Version.h"
#include "pemblon/core/VersionTreeNode.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Strings {

// Versions filed by their successive numbers, one tree level per number, each with an untyped
// pointer of user data. Owns its nodes; copies are deep. Not thread-safe: find and lastVersion
// hand back a class-wide node, so neither may run on two threads at once.
class PBN_API VersionTree {
public:
    VersionTree();
    VersionTree(const VersionTree& other);
    VersionTree& operator=(const VersionTree& other);
    virtual ~VersionTree();

    void clear();
    unsigned int size() const { return static_cast<unsigned int>(_roots.size()); }
    // No bounds check.
    VersionTreeNode& operator[](const unsigned int& i) { return *_roots[i]; }
    const VersionTreeNode& operator[](const unsigned int& i) const { return *_roots[i]; }

    // False, changing nothing, when an equal version (suffix ignored) is already filed or when v
    // has no numbers.
    bool add(const Version& v, void* data);
    bool add(const ostring& text, const ostring& sep, void* data);

    // Copies the node that holds a version equal to v into out; out is untouched on a miss.
    bool lookup(const Version& v, VersionTreeNode& out) const;
    bool lookup(const ostring& text, const ostring& sep, VersionTreeNode& out) const;
    bool lookup(const ostring& text, const ostring& sep) const;
    bool lookup(const Version& v) const;

    // The class-wide node holding a copy of the match, or a null node on a miss.
    VersionTreeNode& find(const Version& v);
    VersionTreeNode& find(const ostring& text, const ostring& sep);
    const VersionTreeNode& find(const Version& v) const;
    const VersionTreeNode& find(const ostring& text, const ostring& sep) const;

    // The node of the highest version (a node of the tree), or the class-wide null node when
    // the tree is empty.
    VersionTreeNode& lastVersion();
    const VersionTreeNode& lastVersion() const;
    // The highest version with its last number incremented; a version without numbers when the
    // tree is empty.
    Version nextVersion();

protected:
    VersionTreeNode& findAux(const Version& v) const;
    VersionTreeNode& lastVersionAux() const;

private:
    // The class-wide node that find and lastVersion hand back when the tree has none to give.
    // Made on first use, so that no static initialisation order can reach it unbuilt.
    static VersionTreeNode& _dummyVersion();
    std::vector<VersionTreeNode*> _roots;
};

} // namespace Strings
} // namespace PBN
