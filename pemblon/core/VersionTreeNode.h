#pragma once

#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/core/Version.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Strings {

class VersionTree;

// One level of a VersionTree: the node at depth d stands for number d of every version filed
// below it. A node may end a version (with its user data) and have children at the same time.
// Children are owned, sorted by token, and copied deeply.
class PBN_API VersionTreeNode {
public:
    // A null node: no token, no version, no data, no children.
    VersionTreeNode();
    VersionTreeNode(const VersionTreeNode& other);
    VersionTreeNode& operator=(const VersionTreeNode& other);
    virtual ~VersionTreeNode();

    // Deletes the children; the node's own fields stay.
    void clear();

    bool isNull() const { return _null; }
    bool hasVersion() const { return _hasVersion; }
    const Version& version() const { return _version; }
    // Not owned; never dereferenced.
    void* data() const { return _data; }
    unsigned int token() const { return _token; }

    unsigned int size() const { return static_cast<unsigned int>(_children.size()); }
    // No bounds check.
    VersionTreeNode& operator[](const unsigned int& i) { return *_children[i]; }
    const VersionTreeNode& operator[](const unsigned int& i) const { return *_children[i]; }

    // indent tabs and the token, then " [version]" and a line end when a version ends here; the
    // children follow with one more tab.
    ostring toString(const unsigned int& indent) const;

protected:
    // The chain of nodes from number depth of v down to its last number, which ends v.
    VersionTreeNode(const Version& v, const unsigned int& depth, void* data);

    // The last child, and its last child, down to a node without children.
    VersionTreeNode& lastVersion();
    // Files v below this node; depth is the index of the number its children stand for.
    void add(const Version& v, const unsigned int& depth, void* data);
    // Copies the node below this one that holds a version equal to v into out.
    bool lookup(const Version& v, VersionTreeNode& out);

private:
    friend class VersionTree;

    static bool compare(VersionTreeNode* a, VersionTreeNode* b);
    // The node below `children` (depth numbers down) that ends v, or null.
    static const VersionTreeNode* search(const std::vector<VersionTreeNode*>& children, const Version& v,
                                         unsigned int depth);
    static VersionTreeNode* childWithToken(const std::vector<VersionTreeNode*>& children, unsigned int token);
    static void insertSorted(std::vector<VersionTreeNode*>& children, VersionTreeNode* node);
    void copyChildren(const VersionTreeNode& other);

    bool _null;
    unsigned int _token;
    bool _hasVersion;
    Version _version;
    void* _data;
    std::vector<VersionTreeNode*> _children;
};

} // namespace Strings
} // namespace PBN
