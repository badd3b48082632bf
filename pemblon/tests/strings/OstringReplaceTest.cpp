// plain replacement, tokenizing, line ends.
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

using PBN::Strings::ostring;

namespace {
std::vector<std::string> narrowed(const std::vector<ostring>& v) {
    std::vector<std::string> out;
    for (const ostring& s : v)
        out.push_back(s.str());
    return out;
}
using V = std::vector<std::string>;
} // namespace

TEST(OstringReplace, ReplaceAll) {
    EXPECT_EQ(ostring("aaa").replaceAll("a", "bb").str(), "bbbbbb");
    EXPECT_EQ(ostring("aaa").replaceAll("aa", "x").str(), "xa");
    EXPECT_EQ(ostring("abc").replaceAll("", "x").str(), "abc");
    EXPECT_EQ(ostring().replaceAll("a", "x").size(), 0u);
    EXPECT_EQ(ostring("abc").replaceAll("abc", "").size(), 0u);
    EXPECT_EQ(ostring("a.b.c").replaceAll(".", "::").str(), "a::b::c");
    EXPECT_EQ(ostring("xyz").replaceAll("q", "::").str(), "xyz");
    // Forms: the pattern and the replacement are brought into the object's form.
    ostring w(L"a\x20AC"
              L"b\x20AC");
    w.replaceAll(ostring(L"\x20AC"), ostring("\xE9"));
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"a\x00E9"
                        L"b\x00E9");
    ostring n("a\xE9"
              "b");
    n.replaceAll(ostring(L"\x00E9"), ostring(L"\x20AC"));
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), std::string("a\0b", 3));
    // A wide pattern without a narrow form is never found in narrow text.
    ostring z("a");
    z += '\0';
    z += 'b';
    z.replaceAll(ostring(L"\x20AC"), ostring("x"));
    EXPECT_EQ(z.str(), std::string("a\0b", 3));
    // Message templates of the camera model.
    EXPECT_EQ(ostring("Camera %1% of %2%").replaceAll("%1%", "3").replaceAll("%2%", "4").str(),
              "Camera 3 of 4");
}

TEST(OstringReplace, ReplaceAllVectorWorksPatternByPattern) {
    EXPECT_EQ(ostring("abb").replaceAll(std::vector<ostring>{"ab", "b"}, "x").str(), "xx");
    EXPECT_EQ(ostring("abb").replaceAll(std::vector<ostring>{"b", "ab"}, "x").str(), "axx");
    EXPECT_EQ(ostring("abb").replaceAll(std::vector<ostring>{}, "x").str(), "abb");
}

TEST(OstringReplace, TokenizeSingleSeparator) {
    EXPECT_EQ(narrowed(ostring("a,,b").tokenize(",", false)), V({"a", "b"}));
    EXPECT_EQ(narrowed(ostring("a,,b").tokenize(",", true)), V({"a", "", "b"}));
    EXPECT_EQ(narrowed(ostring(",a").tokenize(",", true)), V({"", "a"}));
    EXPECT_EQ(narrowed(ostring(",a").tokenize(",", false)), V({"a"}));
    // A trailing separator gives no final empty token, even with keepEmpty.
    EXPECT_EQ(narrowed(ostring("a,").tokenize(",", true)), V({"a"}));
    EXPECT_EQ(narrowed(ostring("a,").tokenize(",", false)), V({"a"}));
    EXPECT_EQ(narrowed(ostring("abc").tokenize(",", true)), V({"abc"}));
    EXPECT_TRUE(ostring().tokenize(",", true).empty());
    EXPECT_EQ(narrowed(ostring("a::b::::c").tokenize("::", true)), V({"a", "b", "", "c"}));
    EXPECT_EQ(narrowed(ostring("abc").tokenize("", true)), V({"abc"}));
    EXPECT_EQ(narrowed(ostring(",").tokenize(",", true)), V({""}));
    const auto w = ostring(L"a\x20AC"
                           L"b")
                       .tokenize(ostring(L"\x20AC"), false);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_TRUE(w[0].isUnicode());
    EXPECT_EQ(w[1].wstr(), L"b");
    const auto we = ostring(L"/a//b").tokenize(ostring("/"), true);
    ASSERT_EQ(we.size(), 4u);
    EXPECT_TRUE(we[0].isUnicode());
    EXPECT_EQ(we[0].size(), 0u);
    EXPECT_TRUE(we[2].isUnicode());
}

TEST(OstringReplace, TokenizeSeparatorVector) {
    const std::vector<ostring> cs{",", ";"};
    EXPECT_EQ(narrowed(ostring("a;b,c").tokenize(cs, false)), V({"a", "b", "c"}));
    // A trailing separator gives a final empty token with keepEmpty.
    EXPECT_EQ(narrowed(ostring("a,").tokenize(cs, true)), V({"a", ""}));
    EXPECT_EQ(narrowed(ostring("a,").tokenize(cs, false)), V({"a"}));
    EXPECT_EQ(narrowed(ostring(";a,,b").tokenize(cs, true)), V({"", "a", "", "b"}));
    // Equal positions: the earlier vector entry wins.
    EXPECT_EQ(narrowed(ostring("abx").tokenize(std::vector<ostring>{"ab", "a"}, true)), V({"", "x"}));
    EXPECT_EQ(narrowed(ostring("abx").tokenize(std::vector<ostring>{"a", "ab"}, true)), V({"", "bx"}));
    // Empty separators never match; an empty vector gives the whole text.
    EXPECT_EQ(narrowed(ostring("a,b").tokenize(std::vector<ostring>{"", ","}, false)), V({"a", "b"}));
    EXPECT_EQ(narrowed(ostring("a,b").tokenize(std::vector<ostring>{}, false)), V({"a,b"}));
    EXPECT_TRUE(ostring().tokenize(cs, true).empty());
    // A separator that stops occurring while another goes on.
    EXPECT_EQ(narrowed(ostring("1;2,3,4,5").tokenize(cs, false)), V({"1", "2", "3", "4", "5"}));
}

TEST(OstringReplace, LineEnds) {
    EXPECT_EQ(ostring("a\r\nb\rc\nd").dosToUnix().str(), "a\nb\rc\nd");
    // An existing CRLF stays CRLF: three plain replacement passes would double it.
    EXPECT_EQ(ostring("a\nb").unixToDos().str(), "a\r\nb");
    EXPECT_EQ(ostring("a\rb").unixToDos().str(), "a\r\nb");
    EXPECT_EQ(ostring("a\r\nb").unixToDos().str(), "a\r\nb");
    EXPECT_EQ(ostring("\n\r\r\n\n\r").unixToDos().str(), "\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(ostring("x").unixToDos().str(), "x");
    ostring w(L"a\nb\r\n");
    w.unixToDos();
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"a\r\nb\r\n");
    EXPECT_EQ(ostring(L"a\r\n").dosToUnix().wstr(), L"a\n");
    EXPECT_EQ(ostring("a\r\nb").unixToDos().dosToUnix().str(), "a\nb");
}
