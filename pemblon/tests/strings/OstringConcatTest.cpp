// concatenation and number formatting.
#include "pemblon/core/Defines.h"
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

using PBN::Strings::ostring;

TEST(OstringConcat, BytesConstructor) {
    const ostring s(std::string("\xC3\xA9t\xC3\xA9"), ostring("UTF-8"));
    EXPECT_FALSE(s.isUnicode());
    EXPECT_EQ(s.str(), "\xE9t\xE9");
    const ostring cut(std::string("ab\0cd", 5), PBN::Defines::appEncoding());
    EXPECT_EQ(cut.str(), "ab");
}

TEST(OstringConcat, PlusForms) {
    const ostring n("ab"), w(L"cd");
    EXPECT_FALSE((n + n).isUnicode());
    EXPECT_TRUE((n + w).isUnicode());
    EXPECT_TRUE((w + n).isUnicode());
    EXPECT_EQ((n + w).wstr(), L"abcd");
    EXPECT_EQ((w + n).wstr(), L"cdab");
    EXPECT_EQ((n + ostring("\xE9")).str(), "ab\xE9");
    EXPECT_EQ((n + 'x').str(), "abx");
    EXPECT_EQ((w + 'x').wstr(), L"cdx");
    EXPECT_EQ((n + L'\x00E9').str(), "ab\xE9");
    EXPECT_EQ((w + L'\x20AC').wstr(), L"cd\x20AC");
    EXPECT_EQ((n + "cd").str(), "abcd");
    EXPECT_EQ(n.str(), "ab"); // unchanged
}

TEST(OstringConcat, PlusIntegerIsOneCharacter) {
    const ostring n("ab"), w(L"ab");
    EXPECT_EQ((n + 65).str(), "abA");
    EXPECT_EQ((w + 65).wstr(), L"abA");
    EXPECT_EQ((n + 321).str(), "abA");
    EXPECT_EQ((w + 321).wstr(), L"ab\x0141");
    EXPECT_EQ((n + static_cast<short>(66)).str(), "abB");
    EXPECT_EQ((n + 67u).str(), "abC");
    EXPECT_EQ((n + 68L).str(), "abD");
    EXPECT_EQ((n + 69UL).str(), "abE");
    EXPECT_EQ((n + 70LL).str(), "abF");
    EXPECT_EQ((n + 71ULL).str(), "abG");
    EXPECT_EQ((w + 0x10041L).wstr(), L"abA"); // low 16 bits
    EXPECT_EQ((w + -1).wstr(), L"ab\xFFFF");
    EXPECT_EQ((n + -1).str(), "ab\xFF");
}

TEST(OstringConcat, PlusFloatingPoint) {
    EXPECT_EQ((ostring("ab") + 1.5).str(), "ab1.5");
    const ostring w = ostring(L"ab") + 1.5;
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"ab1.5");
    EXPECT_EQ((ostring("x") + 0.1f).str(), "x0.1");
}

TEST(OstringConcat, InPlaceNumbers) {
    ostring n("abc");
    n << 42;
    EXPECT_EQ(n.str(), "abc42");
    EXPECT_FALSE(n.isUnicode());
    ostring w(L"abc");
    w << 42;
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"abc42");

    auto text = [](auto v) {
        ostring s;
        s << v;
        return s.str();
    };
    EXPECT_EQ(text(-7), "-7");
    EXPECT_EQ(text(static_cast<unsigned short>(65535)), "65535");
    EXPECT_EQ(text(static_cast<short>(-32768)), "-32768");
    EXPECT_EQ(text(4294967295u), "4294967295");
    EXPECT_EQ(text(INT_MIN), "-2147483648");
    EXPECT_EQ(text(2.5), "2.5");
    EXPECT_EQ(text(100.0), "100");
    EXPECT_EQ(text(1.0 / 3.0), "0.333333");
    EXPECT_EQ(text(1234567.0), "1.23457e+06");
    EXPECT_EQ(text(0.1f), "0.1");
    EXPECT_EQ(text(0.0001), "0.0001");
    EXPECT_EQ(text(0.00001), "1e-05");
    EXPECT_EQ(text(-0.0), "-0");
    EXPECT_EQ(text(wxLongLong(-5000000000LL)), "-5000000000");
    EXPECT_EQ(text(wxULongLong(18446744073709551615ULL)), "18446744073709551615");
    // The Linux additions: size_t and int64_t are long types.
    const std::vector<int> v(3);
    EXPECT_EQ(text(v.size()), "3");
    EXPECT_EQ(text(static_cast<int64_t>(-5000000000LL)), "-5000000000");
    EXPECT_EQ(text(-5000000000LL), "-5000000000");
    EXPECT_EQ(text(18446744073709551615ULL), "18446744073709551615");
    ostring wl(L"");
    wl << wxLongLong(-5000000000LL);
    EXPECT_EQ(wl.wstr(), L"-5000000000");
}

TEST(OstringConcat, InPlaceChains) {
    ostring s("x=");
    s << 1 << ostring(",") << 2.5 << ostring(L"\x00E9");
    EXPECT_EQ(s.str(), "x=1,2.5\xE9");
    EXPECT_FALSE(s.isUnicode());
}

TEST(OstringConcat, InPlaceStrings) {
    ostring n("a");
    n << ostring(L"\x00E9\x20AC"
                 L"z"); // narrowed: U+20AC becomes NUL and ends the narrow result
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), "a\xE9");
    ostring w(L"a");
    w << ostring("\xE9");
    EXPECT_EQ(w.wstr(), L"a\x00E9");
    ostring self("ab");
    self << self;
    EXPECT_EQ(self.str(), "abab");
    ostring wself(L"\x20AC");
    wself << wself;
    EXPECT_EQ(wself.wstr(), L"\x20AC\x20AC");
    // A narrow target that holds a NUL is cut there, and nothing is appended.
    ostring z("ab");
    z += '\0';
    z += 'c';
    z << 5;
    EXPECT_EQ(z.str(), "ab");
}

TEST(OstringConcat, ValueFirst) {
    const ostring n = 42 << ostring("abc");
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), "42abc");
    const ostring w = 42 << ostring(L"abc");
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"42abc");
    EXPECT_EQ((2.5 << ostring("x")).str(), "2.5x");
    EXPECT_EQ((static_cast<short>(-1) << ostring("x")).str(), "-1x");
    EXPECT_EQ((static_cast<unsigned short>(7) << ostring("x")).str(), "7x");
    EXPECT_EQ((7u << ostring("x")).str(), "7x");
    EXPECT_EQ((0.5f << ostring("x")).str(), "0.5x");
    EXPECT_EQ((wxLongLong(-5000000000LL) << ostring(L"x")).wstr(), L"-5000000000x");
    EXPECT_EQ((wxULongLong(5) << ostring("x")).str(), "5x");
    EXPECT_EQ((static_cast<size_t>(9) << ostring("x")).str(), "9x");
    // const char* and std::string give narrow results.
    const ostring c = "pre" << ostring(L"\x00E9");
    EXPECT_FALSE(c.isUnicode());
    EXPECT_EQ(c.str(), "pre\xE9");
    const ostring s = std::string("pre") << ostring(L"fix");
    EXPECT_FALSE(s.isUnicode());
    EXPECT_EQ(s.str(), "prefix");
    EXPECT_EQ((static_cast<const char*>(nullptr) << ostring("x")).str(), "x");
}

TEST(OstringConcat, InPlaceNulRuleAfterOtherChanges) {
    // The append remembers how much of a narrow target holds no NUL; every other change must
    // make it look again.
    ostring a("abc");
    a << 1;
    a.insert(1, 1, '\0');
    a << 2;
    EXPECT_EQ(a.str(), "a");

    ostring b("abcdef");
    b << 1;
    b.resize(0, 'x');
    b.append(3u, '\0');
    b += 'x';
    b << 2;
    EXPECT_EQ(b.size(), 0u);

    ostring c("abcdef");
    c << ostring("g");
    c.clear();
    c += '\0';
    c += "zzzzzzzzz";
    c << 3;
    EXPECT_EQ(c.size(), 0u);

    ostring d("xx");
    d << 1;
    d.replaceAll("x", ostring(L"\x20AC")); // narrowed: NUL bytes at the start
    d << 2;
    EXPECT_EQ(d.size(), 0u);

    ostring e("  ab");
    e << 1;
    e.set(std::string("q"), "CHAR");
    e += '\0';
    e << 5;
    EXPECT_EQ(e.str(), "q");

    ostring f("ab");
    f << 1;
    f.setUnicode(true);
    f << 2;
    f.setUnicode(false);
    f << 3;
    EXPECT_EQ(f.str(), "ab123");

    // Appends at the end keep it: a NUL added after the known part is still seen.
    ostring g("ab");
    g << 1;
    g += '\0';
    g << 2;
    EXPECT_EQ(g.str(), "ab1");

    // Changes that move later bytes to the front bring a NUL into the part known to hold none.
    auto shifted = [](auto change) {
        ostring s("xab");
        s << 1;
        s += '\0';
        change(s);
        s << 2;
        return s.str();
    };
    EXPECT_EQ(shifted([](ostring& s) { s.trimLeft("x"); }), "ab1");
    EXPECT_EQ(shifted([](ostring& s) { s.replace("x", ""); }), "ab1");
    EXPECT_EQ(shifted([](ostring& s) { s.replaceAll("xa", "q"); }), "qb1");
    EXPECT_EQ(shifted([](ostring& s) { s.insert(0, 1, 'y').replaceAll("yxa", ""); }), "b1");

    // Copies carry a true record; the wide form is never affected.
    ostring h("ab");
    h << 1;
    ostring h2 = h;
    h2 << 2;
    EXPECT_EQ(h2.str(), "ab12");
    EXPECT_EQ(h.wstr(), L"ab1");
    EXPECT_EQ(h, ostring(L"ab1"));
    EXPECT_TRUE(h.ci_eq(ostring(L"AB1")));
}

TEST(OstringConcat, ManyAppendsStayLinear) {
    // 200000 appends; with a whole-target scan per append this would take many seconds.
    ostring s;
    for (int i = 0; i < 100000; ++i)
        s << i << ostring(",");
    EXPECT_EQ(s.substr(0, 10).str(), "0,1,2,3,4,");
    EXPECT_EQ(s.size(), 588890u);
}
