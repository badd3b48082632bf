#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pemblon/core/Version.h"
#include "pemblon/core/VersionTree.h"

using PBN::Strings::ostring;
using PBN::Strings::Version;
using PBN::Strings::VersionTree;
using PBN::Strings::VersionTreeNode;

namespace {

Version v(const char* text, const char* sep = ".") {
    return Version(ostring(text), ostring(sep));
}

std::string print(const Version& version) {
    std::ostringstream out;
    out << version;
    return out.str();
}

} // namespace

TEST(Version, Parse) {
    EXPECT_EQ(print(v("1.2.3-beta")), "1.2.3-beta");
    EXPECT_EQ(v("1.2.3-beta").suffix().str(), "-beta");
    EXPECT_EQ(print(v("1..2")), "1.0.2");
    EXPECT_EQ(print(v(".5")), "0.5");
    EXPECT_EQ(print(v("1.2.")), "1.2");
    const Version beta = v("1.2beta3");
    EXPECT_EQ(beta.size(), 2u);
    EXPECT_EQ(beta.suffix().str(), "beta3");
    EXPECT_EQ(v("r1.2").size(), 0u);
    EXPECT_EQ(print(v("r1.2")), "r1.2");
    EXPECT_EQ(v("").size(), 0u);
    EXPECT_EQ(print(v("4::1", "::")), "4::1");
    const Version colon = v("4:1", "::");
    EXPECT_EQ(colon.size(), 1u);
    EXPECT_EQ(colon.suffix().str(), ":1");
    EXPECT_EQ(v("1.2", "").sep().str(), ".");
    EXPECT_EQ(v("99999999999")[0], 4294967295u);
    EXPECT_EQ(print(Version(ostring(L"2.7\u00e9"), ostring("."))), "2.7\xe9");
}

TEST(Version, CompareAndChange) {
    EXPECT_EQ(Version::compare(v("1.2"), v("1.2.0")), -2);
    EXPECT_EQ(Version::compare(v("1.2.0"), v("1.2")), 2);
    EXPECT_EQ(Version::compare(v("1.10"), v("1.9")), 1);
    EXPECT_EQ(Version::compare(v("1.2"), v("1.3")), -1);
    EXPECT_TRUE(v("1.2") == v("1.2-rc"));
    EXPECT_TRUE(v("1.2") < v("1.2.0"));
    EXPECT_TRUE(v("1.2") <= v("1.2"));
    EXPECT_TRUE(v("2") >= v("1.9"));
    EXPECT_TRUE(v("2") != v("1.9"));

    Version x = v("1.2");
    x.branch(7);
    EXPECT_EQ(print(x), "1.2.7");
    x.increment();
    EXPECT_EQ(print(x), "1.2.8");
    Version none;
    none.increment();
    EXPECT_EQ(none.size(), 0u);
}

TEST(VersionTree, FilingOrderAndLast) {
    VersionTree tree;
    int a = 1, b = 2;
    EXPECT_TRUE(tree.add(v("2.0"), &a));
    EXPECT_TRUE(tree.add(v("1.5"), &b));
    EXPECT_TRUE(tree.add(ostring("1.10"), ostring("."), nullptr));
    EXPECT_FALSE(tree.add(v("1.5"), nullptr));
    EXPECT_FALSE(tree.add(v("1.5-rc"), nullptr));
    EXPECT_FALSE(tree.add(v("beta"), nullptr));
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].token(), 1u);
    EXPECT_EQ(tree[1].token(), 2u);
    ASSERT_EQ(tree[0].size(), 2u);
    EXPECT_EQ(tree[0][0].token(), 5u);
    EXPECT_EQ(tree[0][1].token(), 10u);
    EXPECT_EQ(tree[0][0].data(), &b);
    EXPECT_EQ(print(tree.lastVersion().version()), "2.0");
    EXPECT_EQ(tree.lastVersion().data(), &a);
    EXPECT_EQ(print(tree.nextVersion()), "2.1");

    EXPECT_TRUE(tree.add(v("1.5.3"), nullptr));
    EXPECT_TRUE(tree[0][0].hasVersion());
    EXPECT_EQ(tree[0][0].size(), 1u);

    VersionTree nested;
    nested.add(v("1.2"), nullptr);
    nested.add(v("1.2.5"), nullptr);
    EXPECT_EQ(print(nested.lastVersion().version()), "1.2.5");
}

TEST(VersionTree, LookupFindAndMisses) {
    VersionTree tree;
    int data = 0;
    tree.add(v("1.0"), &data);
    tree.add(v("1.1"), nullptr);
    VersionTreeNode out;
    EXPECT_TRUE(tree.lookup(ostring("1.0-x"), ostring("."), out));
    EXPECT_EQ(out.data(), &data);
    EXPECT_FALSE(out.isNull());
    EXPECT_FALSE(tree.lookup(v("1")));
    EXPECT_FALSE(tree.lookup(v("1.0.0")));
    EXPECT_FALSE(tree.lookup(v("1.2"), out));
    EXPECT_EQ(out.data(), &data); // untouched on a miss

    EXPECT_EQ(tree.find(v("1.1")).token(), 1u);
    EXPECT_FALSE(tree.find(v("1.1")).isNull());
    // A miss gives a null node, not the copy of the previous match.
    EXPECT_TRUE(tree.find(v("3.0")).isNull());
    EXPECT_FALSE(tree.find(v("3.0")).hasVersion());

    VersionTree empty;
    tree.find(v("1.0"));
    EXPECT_TRUE(empty.lastVersion().isNull());
    EXPECT_EQ(empty.nextVersion().size(), 0u);

    // Copies are deep.
    VersionTree copy(tree);
    tree.clear();
    EXPECT_TRUE(copy.lookup(v("1.1")));
    tree = copy;
    copy = copy;
    EXPECT_TRUE(tree.lookup(v("1.0")));
    VersionTreeNode node = tree[0];
    node = node[0]; // assigning from its own child
    EXPECT_EQ(node.token(), 0u);
    EXPECT_TRUE(node.hasVersion());
}

TEST(VersionTree, ToString) {
    VersionTree tree;
    tree.add(v("1.0"), nullptr);
    tree.add(v("1.1"), nullptr);
    EXPECT_EQ(tree[0].toString(0).str(), "1\t0 [1.0]\n\t1 [1.1]\n");
    EXPECT_EQ(tree[0][1].toString(2).str(), "\t\t1 [1.1]\n");
}
