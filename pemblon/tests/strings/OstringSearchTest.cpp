// substrings, number tests, searching, path join.
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

#include <stdexcept>

using PBN::Strings::ostring;

TEST(OstringSearch, Substr) {
    EXPECT_FALSE(ostring(L"").substr(0, 3).isUnicode()); // empty text: empty narrow result
    EXPECT_EQ(ostring().substr(5, 3).size(), 0u);
    const ostring s("abcdef");
    EXPECT_EQ(s.substr(2, -1).str(), "cdef");
    EXPECT_EQ(s.substr(2, -7).str(), "cdef");
    EXPECT_EQ(s.substr(2).str(), "cdef");
    EXPECT_EQ(s.substr(2, 2).str(), "cd");
    EXPECT_EQ(s.substr(4, 100).str(), "ef");
    EXPECT_EQ(s.substr(6, 1).size(), 0u);
    EXPECT_THROW(s.substr(7, 1), std::out_of_range);
    const ostring w(L"ab\x20AC"
                    L"d");
    EXPECT_TRUE(w.substr(1, 2).isUnicode());
    EXPECT_EQ(w.substr(1, 2).wstr(), L"b\x20AC");
    EXPECT_TRUE(w.substr(4, 1).isUnicode());
    EXPECT_THROW(w.substr(5, 1), std::out_of_range);
    // A narrow result ends at an embedded NUL, as every narrow result does.
    ostring z("ab");
    z += '\0';
    z += 'c';
    EXPECT_EQ(z.substr(0, -1).str(), "ab");
    EXPECT_EQ(z.substr(3, -1).str(), "c");
    // ... a wide result does not.
    ostring wz(std::wstring(L"ab\0c", 4));
    EXPECT_EQ(wz.substr(0, -1).size(), 4u);
}

TEST(OstringSearch, IsInt) {
    for (const char* yes :
         {"42", "-42", "+42", "007", " 42 ", "\t42\r\n", "\n42", "1234567890123456789012345678901234567890"})
        EXPECT_TRUE(ostring(yes).isInt()) << yes;
    for (const char* no : {"", "-", "+", "4 2", "42a", "4.2", "--4", " ", "+-4", "0x1F"})
        EXPECT_FALSE(ostring(no).isInt()) << no;
    EXPECT_TRUE(ostring(L"42").isInt());
    // The narrow copy ends at the first character without a narrow form.
    EXPECT_TRUE(ostring(L"12\x20AC"
                        L"x")
                    .isInt());
    EXPECT_FALSE(ostring(L"\x20AC"
                         L"12")
                     .isInt());
}

TEST(OstringSearch, IsIntHexa) {
    for (const char* yes : {"0x1F", "0XABCDEF", "0xabcdef0123456789"})
        EXPECT_TRUE(ostring(yes).isIntHexa()) << yes;
    for (const char* no : {"0x", "x1F", "1F", "-0x1F", "0x1G", " 0x1F", "0x1F ", "", "0", "00x1"})
        EXPECT_FALSE(ostring(no).isIntHexa()) << no;
    EXPECT_TRUE(ostring(L"0x1F").isIntHexa());
    EXPECT_FALSE(ostring(L"0x1\x20AC").isIntHexa());
    EXPECT_FALSE(ostring(L"0x1\xFF11").isIntHexa()); // a full-width digit is no digit
}

TEST(OstringSearch, IsFloat) {
    for (const char* yes :
         {"1", "1.5", "-1.5", ".5", "5.", "1e5", "1E-5", "+1e+5", "e5", "1e 5", " 2.5 ", "1.5e3"})
        EXPECT_TRUE(ostring(yes).isFloat()) << yes;
    for (const char* no : {"", ".", "-", "+", "1.2.3", "1e", "1e5.5", "1x", "inf", "nan", "1e+", "--1", " "})
        EXPECT_FALSE(ostring(no).isFloat()) << no;
    EXPECT_TRUE(ostring(L"2.5").isFloat());
    EXPECT_TRUE(ostring(L"2.5\x20AC").isFloat());
}

TEST(OstringSearch, FindFirstOf) {
    const ostring s("abcabc");
    EXPECT_EQ(s.findFirstOf("bc", 0), 1);
    EXPECT_EQ(s.findFirstOf("bc", 2), 4);
    EXPECT_EQ(s.findFirstOf("bc", 5), -1);
    EXPECT_EQ(s.findFirstOf("bc", 6), -1);
    EXPECT_EQ(s.findFirstOf("bc", 100), -1);
    EXPECT_EQ(s.findFirstOf("", 0), -1);
    EXPECT_EQ(s.findFirstOf("cabcx", 2), -1);
    EXPECT_EQ(s.findFirstOf("abcabc", 0), 0);
    EXPECT_EQ(ostring().findFirstOf("a", 0), -1);
    EXPECT_EQ(s.findFirstOf(ostring(L"ca"), 0), 2);
    EXPECT_EQ(ostring(L"abcabc").findFirstOf(ostring("ca"), 0), 2);
    EXPECT_EQ(ostring(L"a\x20AC"
                      L"b")
                  .findFirstOf(ostring(L"\x20AC"), 0),
              1);
    EXPECT_EQ(ostring("a\xE9"
                      "b")
                  .findFirstOf(ostring(L"\x00E9"), 0),
              1);
    EXPECT_EQ(ostring("a\xE9"
                      "b")
                  .findFirstOf(ostring(L"\x20AC"), 0),
              -1);
    EXPECT_EQ(ostring::npos, -1);
}

TEST(OstringSearch, FindLastOf) {
    const ostring s("abcabc");
    EXPECT_EQ(s.findLastOf("bc", -1), 4);
    EXPECT_EQ(s.findLastOf("bc"), 4);
    EXPECT_EQ(s.findLastOf("bc", 3), 1);
    EXPECT_EQ(s.findLastOf("bc", 1), -1);
    EXPECT_EQ(s.findLastOf("bc", 2), 1);
    EXPECT_EQ(s.findLastOf("bc", 5), 4);
    EXPECT_EQ(s.findLastOf("bc", 100), 4);
    EXPECT_EQ(s.findLastOf("ca", -1), 2);
    EXPECT_EQ(s.findLastOf("a", 0), 0);
    EXPECT_EQ(s.findLastOf("abcabc", -1), 0);
    EXPECT_EQ(s.findLastOf("abcabcx", -1), -1);
    EXPECT_EQ(s.findLastOf("", -1), -1);
    EXPECT_EQ(ostring("abc").findLastOf("xa", -1), -1);
    EXPECT_EQ(ostring().findLastOf("a", -1), -1);
    EXPECT_EQ(ostring(L"abcabc").findLastOf(ostring("bc"), 3), 1);
}

TEST(OstringSearch, FindAll) {
    EXPECT_EQ(ostring("aaaa").findAll("aa", 0), std::vector<unsigned int>({0, 2}));
    EXPECT_EQ(ostring("aaaaa").findAll("aa", 1), std::vector<unsigned int>({1, 3}));
    EXPECT_TRUE(ostring().findAll("a", 0).empty());
    EXPECT_TRUE(ostring("abc").findAll("", 0).empty());
    EXPECT_EQ(ostring(L"xax").findAll(ostring("x")), std::vector<unsigned int>({0, 2}));
}

TEST(OstringSearch, EmbeddedNulNeedleIsNeverFoundInNarrowText) {
    // The compared substring is a narrow result, cut at its NUL, so it can never equal a needle
    // that holds a NUL.
    ostring t("ab");
    t += '\0';
    t += "cd";
    ostring needle("b");
    needle += '\0';
    EXPECT_EQ(t.findFirstOf(needle, 0), -1);
    EXPECT_EQ(t.findLastOf(needle, -1), -1);
    EXPECT_EQ(t.findFirstOf("cd", 0), 3);
    EXPECT_EQ(t.findLastOf("ab", -1), 0);
    // Wide text compares wide substrings: the NUL matches.
    const ostring wt(std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(wt.findFirstOf(ostring(std::wstring(L"b\0", 2)), 0), 1);
}

TEST(OstringSearch, PathJoin) {
    EXPECT_EQ((ostring("a") / ostring("b")).str(), "a/b");
    EXPECT_EQ((ostring("a/") / ostring("b")).str(), "a/b");
    EXPECT_EQ((ostring("a") / ostring("/b")).str(), "a/b");
    EXPECT_EQ((ostring("a/") / ostring("/b")).str(), "a//b");
    EXPECT_EQ((ostring("") / ostring("b")).str(), "/b");
    EXPECT_EQ((ostring("a") / ostring("")).str(), "a/");
    EXPECT_EQ((ostring("") / ostring("")).str(), "/");
    EXPECT_EQ((ostring("a\\") / ostring("b")).str(), "a\\/b"); // only the native separator counts
    const ostring nw = ostring("a") / ostring(L"\x00E9");
    EXPECT_FALSE(nw.isUnicode());
    EXPECT_EQ(nw.str(), "a/\xE9");
    const ostring wn = ostring(L"\x20AC") / ostring("b");
    EXPECT_TRUE(wn.isUnicode());
    EXPECT_EQ(wn.wstr(), L"\x20AC/b");
    EXPECT_EQ((ostring("res") / ostring("config.xml")).str(), "res/config.xml");
}
