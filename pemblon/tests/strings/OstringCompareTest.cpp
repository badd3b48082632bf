// comparison, case, trimming, glob, stream operators.
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

using PBN::Strings::ostring;

TEST(OstringCompare, MixedFormsCompareWideForms) {
    EXPECT_TRUE(ostring("abc") == ostring(L"abc"));
    EXPECT_TRUE(ostring(L"abc") == ostring("abc"));
    EXPECT_TRUE(ostring("\xE9") == ostring(L"\x00E9"));
    EXPECT_FALSE(ostring("\xE9") != ostring(L"\x00E9"));
    EXPECT_FALSE(ostring("a") == ostring(L"a\x20AC"));
    EXPECT_TRUE(ostring("ab") < ostring("abc"));
    EXPECT_TRUE(ostring("ab") < ostring(L"abc"));
    EXPECT_TRUE(ostring(L"ab") <= ostring("ab"));
    EXPECT_TRUE(ostring("B") < ostring("a"));
    EXPECT_TRUE(ostring("a") > ostring("B"));
    EXPECT_TRUE(ostring("a") >= ostring(L"a"));
    // Unsigned units: 0xE9 sorts after 'z'.
    EXPECT_TRUE(ostring("z") < ostring("\xE9"));
    EXPECT_TRUE(ostring(L"z") < ostring("\xE9"));
    EXPECT_TRUE(ostring(L"\x00FF") < ostring(L"\x20AC"));
    EXPECT_TRUE(ostring("\xFF") < ostring(L"\x20AC"));
    // Literals on either side.
    EXPECT_TRUE(ostring("abc") == "abc");
    EXPECT_TRUE("abc" == ostring(L"abc"));
    EXPECT_TRUE("abd" != ostring(L"abc"));
}

TEST(OstringCompare, EmbeddedNulTakesPartInExactNotInCaseInsensitive) {
    const ostring a(std::wstring(L"ab\0x", 4));
    const ostring b(std::wstring(L"ab\0y", 4));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(a.ci_eq(b));
    EXPECT_TRUE(ci_eq(a, b));
    ostring n("ab");
    n += '\0';
    n += 'x';
    ostring m("ab");
    m += '\0';
    m += 'y';
    EXPECT_FALSE(n == m);
    EXPECT_TRUE(n.ci_eq(m));
    EXPECT_TRUE(n.ci_eq(ostring("AB")));
}

TEST(OstringCompare, CaseInsensitive) {
    EXPECT_TRUE(ci_eq(ostring("Hello"), ostring("hELLO")));
    EXPECT_TRUE(ostring("Hello").ci_eq(ostring(L"hELLO")));
    EXPECT_TRUE(ostring(L"Hello").ci_eq(ostring("hELLO")));
    EXPECT_TRUE(ci_lt(ostring("a"), ostring("B")));
    EXPECT_FALSE(ci_lt(ostring("B"), ostring("a")));
    EXPECT_TRUE(ci_gt(ostring("B"), ostring("a")));
    EXPECT_TRUE(ci_lte(ostring("a"), ostring("A")));
    EXPECT_TRUE(ci_lte(ostring("a"), ostring("b")));
    EXPECT_FALSE(ci_lte(ostring("c"), ostring("b")));
    EXPECT_TRUE(ci_gte(ostring("A"), ostring("a")));
    EXPECT_TRUE(ci_gte(ostring("c"), ostring("B")));
    EXPECT_FALSE(ci_gte(ostring("a"), ostring("B")));
    EXPECT_TRUE(ostring("abc").ci_lt(ostring("ABCD"))); // a prefix is less
    // Classic folding only: É (0xC9) and é (0xE9) differ, narrow and wide alike.
    EXPECT_FALSE(ci_eq(ostring("\xC9"), ostring("\xE9")));
    EXPECT_FALSE(ci_eq(ostring(L"\x00C9"), ostring(L"\x00E9")));
    // Lower-cased values order: '_' (0x5F) is below 'a' (0x61) once 'A' is folded.
    EXPECT_TRUE(ci_lt(ostring("_"), ostring("A")));
    EXPECT_TRUE(ci_gt(ostring("\xE9"), ostring("Z"))); // unsigned bytes
}

TEST(OstringCompare, CaseInsensitiveIgnoresTheCLocale) {
    // GTK start-up may switch the C locale to UTF-8; folding must not change.
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") || std::setlocale(LC_ALL, "en_US.UTF-8")) {
        EXPECT_FALSE(ci_eq(ostring(L"\x00C9"), ostring(L"\x00E9")));
        EXPECT_FALSE(ci_eq(ostring("\xC9"), ostring("\xE9")));
        EXPECT_TRUE(ci_eq(ostring(L"ABC"), ostring(L"abc")));
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(OstringCompare, CaseInsensitiveMixedBringsLeftIntoRightForm) {
    // Right narrow: the left wide text is narrowed, so U+20AC becomes NUL and ends the text.
    EXPECT_TRUE(ci_eq(ostring(L"ab\x20AC"
                              L"zz"),
                      ostring("AB")));
    // Right wide: the left narrow text is widened.
    EXPECT_FALSE(ci_eq(ostring("AB"), ostring(L"ab\x20AC")));
    EXPECT_TRUE(ci_eq(ostring("\xE9"), ostring(L"\x00E9")));
}

TEST(OstringCompare, CaseInsensitiveLongTexts) {
    // The word-at-a-time path and its tail.
    std::string a(1000, 'a'), b(1000, 'A');
    EXPECT_TRUE(ci_eq(ostring(a.c_str()), ostring(b.c_str())));
    b[777] = 'B';
    EXPECT_TRUE(ci_lt(ostring(a.c_str()), ostring(b.c_str())));
    b[777] = '@'; // '@' is 0x40, just below 'A': not folded
    EXPECT_TRUE(ci_gt(ostring(a.c_str()), ostring(b.c_str())));
    b[777] = '{'; // 0x7B, above 'a'
    EXPECT_TRUE(ci_lt(ostring(a.c_str()), ostring(b.c_str())));
    std::string c(1000, 'A');
    c[500] = '\xC1'; // 0xC1: 0x41 with the high bit, never folded
    std::string d(1000, 'a');
    d[500] = '\xE1';
    EXPECT_TRUE(ci_lt(ostring(c.c_str()), ostring(d.c_str())));
    for (size_t len = 0; len < 40; ++len) {
        std::string x(len, 'Q'), y(len, 'q');
        EXPECT_TRUE(ci_eq(ostring(x.c_str()), ostring(y.c_str()))) << len;
        y += 'r';
        EXPECT_TRUE(ci_lt(ostring(x.c_str()), ostring(y.c_str()))) << len;
    }
    // A NUL within the first eight bytes ends the comparison.
    ostring n("abc");
    n += '\0';
    n += "defghijk";
    EXPECT_TRUE(ci_eq(n, ostring("ABC")));
}

TEST(OstringCompare, Case) {
    EXPECT_EQ(ostring("aBc\xE9z").toUpper().str(), "ABC\xE9Z");
    EXPECT_EQ(ostring("aBc\xC9Z").toLower().str(), "abc\xC9z");
    ostring w(L"a\x20AC");
    w.toUpper();
    // Characters above 255 stay as they are rather than becoming NUL.
    EXPECT_TRUE(w.isUnicode());
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w.wstr(), L"A\x20AC");
    EXPECT_EQ(ostring(L"\x00E9Z\x0100").toLower().wstr(), L"\x00E9z\x0100");
    ostring e;
    EXPECT_EQ(e.toUpper().size(), 0u);
}

TEST(OstringCompare, Trim) {
    const ostring ws(" \r\n\t");
    EXPECT_EQ(ostring("\t x \n").trim(ws).str(), "x");
    ostring two("  ");
    two.trim(ws);
    EXPECT_EQ(two.size(), 0u);
    EXPECT_FALSE(two.isUnicode());
    ostring wtwo(L"  ");
    wtwo.trim(ws);
    EXPECT_EQ(wtwo.size(), 0u);
    EXPECT_TRUE(wtwo.isUnicode());
    EXPECT_EQ(ostring("  x ").trimLeft(ostring()).str(), "  x ");
    EXPECT_EQ(ostring("  x ").trimLeft(ws).str(), "x ");
    EXPECT_EQ(ostring("  x ").trimRight(ws).str(), "  x");
    // A narrow text with a wide set and the reverse.
    EXPECT_EQ(ostring("\xE9x\xE9").trim(ostring(L"\x00E9")).str(), "x");
    EXPECT_EQ(ostring(L"\x00E9x\x20AC").trim(ostring("\xE9")).wstr(), L"x\x20AC");
    EXPECT_EQ(ostring(L"\x20AC"
                      L"x\x20AC")
                  .trim(ostring(L"\x20AC"))
                  .wstr(),
              L"x");
    // A wide set character above 255 never matches a narrow byte.
    EXPECT_EQ(ostring("\xAC"
                      "x")
                  .trim(ostring(L"\x20AC"))
                  .str(),
              "\xAC"
              "x");
    EXPECT_EQ(ostring("\"a b\"").trim(ostring(" \t\"")).str(), "a b");
    EXPECT_EQ(ostring("<x> \r").trim(ostring(" \r\t\n>")).str(), "<x");
}

TEST(OstringCompare, Glob) {
    const ostring abc("abc");
    for (const char* yes : {"a*c", "a?c", "*", "abc", "*b*", "***", "a**c", "?*", "*?", "*c", "a*"})
        EXPECT_TRUE(abc.glob(yes)) << yes;
    for (const char* no : {"a?", "ab", "A*", "abcd", "*d", "b*", "?", "????", "a*b"})
        EXPECT_FALSE(abc.glob(no)) << no;
    EXPECT_TRUE(ostring().glob(ostring()));
    EXPECT_FALSE(ostring().glob("*"));
    EXPECT_FALSE(abc.glob(ostring()));
    EXPECT_TRUE(ostring("UI-1240LE-M").glob("*-M"));
    EXPECT_FALSE(ostring("UI-1240LE-C").glob("*-M"));
    EXPECT_TRUE(ostring(L"UI-1240LE-M").glob("*-M"));
    EXPECT_TRUE(ostring("\xE9t\xE9").glob(ostring(L"\x00E9*")));
    EXPECT_TRUE(ostring(L"x\x20AC"
                        L"y")
                    .glob(ostring("x?y")));
    EXPECT_TRUE(ostring("mississippi").glob("*sip*"));
    EXPECT_TRUE(ostring("mississippi").glob("m*iss*ppi"));
    EXPECT_FALSE(ostring("mississippi").glob("m*iss*ppx"));
    EXPECT_TRUE(ostring("aaab").glob("*ab"));
    // Matched as NUL-terminated texts.
    ostring n("ab");
    n += '\0';
    n += 'z';
    EXPECT_TRUE(n.glob("ab"));
}

TEST(OstringCompare, StreamOperators) {
    std::ostringstream os;
    os << ostring(L"a\x00E9");
    EXPECT_EQ(os.str(), "a\xE9");
    std::wostringstream wos;
    wos << ostring("a\xE9");
    EXPECT_EQ(wos.str(), L"a\x00E9");
    const ostring xy = L"x" << ostring("y");
    EXPECT_TRUE(xy.isUnicode());
    EXPECT_EQ(xy.wstr(), L"xy");
    const ostring zy = std::wstring(L"z\x20AC") << ostring(L"y");
    EXPECT_TRUE(zy.isUnicode());
    EXPECT_EQ(zy.wstr(), L"z\x20ACy");
}

// Differential checks against the C library in the classic locale.
#include <fnmatch.h>
#include <random>
#include <strings.h>

TEST(OstringCompare, CaseInsensitiveAgreesWithStrcasecmp) {
    std::mt19937 gen(7);
    const std::string alphabet = std::string("aAbBzZ@[`{_09 \x80\xC1\xE1\xFF", 19) + std::string(1, '\0');
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), len(0, 300);
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (int round = 0; round < 3000; ++round) {
        std::string a(len(gen), 'a');
        for (char& c : a)
            c = alphabet[pick(gen)];
        std::string b = a;
        // Flip case of some letters, change a few bytes, cut or extend.
        for (char& c : b)
            if (gen() % 4 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
                c ^= 0x20;
        if (!b.empty() && gen() % 3 == 0)
            b[gen() % b.size()] = alphabet[pick(gen)];
        if (gen() % 5 == 0)
            b.resize(b.size() / 2);
        ostring x, y;
        for (char c : a)
            x += c;
        for (char c : b)
            y += c;
        const int expected = sign(strcasecmp(a.c_str(), b.c_str()));
        ASSERT_EQ(x.ci_eq(y), expected == 0) << round;
        ASSERT_EQ(x.ci_lt(y), expected < 0) << round;
        ASSERT_EQ(x.ci_gt(y), expected > 0) << round;
        // The wide forms fold the same way.
        ASSERT_EQ(ostring(x.wstr()).ci_eq(ostring(y.wstr())), expected == 0) << round;
        ASSERT_EQ(ostring(x.wstr()).ci_lt(ostring(y.wstr())), expected < 0) << round;
    }
}

TEST(OstringCompare, GlobAgreesWithFnmatch) {
    std::mt19937 gen(11);
    const std::string textChars = "ab-M";
    const std::string patChars = "ab-M*?";
    for (int round = 0; round < 20000; ++round) {
        std::string t(1 + gen() % 12, 'a'), p(1 + gen() % 6, 'a');
        for (char& c : t)
            c = textChars[gen() % textChars.size()];
        for (char& c : p)
            c = patChars[gen() % patChars.size()];
        const bool expected = fnmatch(p.c_str(), t.c_str(), 0) == 0;
        ASSERT_EQ(ostring(t.c_str()).glob(ostring(p.c_str())), expected) << t << " " << p;
        ASSERT_EQ(ostring(ostring(t.c_str()).wstr()).glob(ostring(p.c_str())), expected) << t << " " << p;
        ASSERT_EQ(ostring(t.c_str()).glob(ostring(ostring(p.c_str()).wstr())), expected) << t << " " << p;
    }
}

TEST(OstringCompare, CaseInsensitiveAtEveryLengthAndDifferencePosition) {
    // Every block size and block boundary of the vector steps, with the first difference (a case
    // change, another letter, a NUL on either side, a byte with the high bit) at every position.
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    const char kinds[][2] = {{'k', 'K'},       {'k', 'l'}, {'\0', 'k'}, {'k', '\0'},
                             {'\xEB', '\xCB'}, {'[', '{'}, {'Z', 'z'},  {'@', '`'}};
    for (size_t len = 1; len <= 200; ++len)
        for (size_t at = 0; at < len; ++at)
            for (const auto& kind : kinds)
                for (const bool shorter : {false, true}) {
                    std::string a(len, 'q'), b(len, 'Q');
                    a[at] = kind[0];
                    b[at] = kind[1];
                    if (shorter)
                        b.resize(at);
                    ostring x, y;
                    for (char c : a)
                        x += c;
                    for (char c : b)
                        y += c;
                    const int expected = sign(strcasecmp(a.c_str(), b.c_str()));
                    const int got = x.ci_eq(y) ? 0 : (x.ci_lt(y) ? -1 : 1);
                    ASSERT_EQ(got, expected) << len << " " << at << " " << int(kind[0]) << " " << shorter;
                    ASSERT_EQ(x.ci_gt(y), expected > 0) << len << " " << at;
                }
}
