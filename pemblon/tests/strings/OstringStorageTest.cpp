// storage, construction, conversion, element access, growing, +=.
#include "pemblon/core/Defines.h"
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

#include <stdexcept>

using PBN::Defines;
using PBN::Strings::ostring;

TEST(OstringStorage, FormsOfConstructors) {
    ostring d;
    EXPECT_FALSE(d.isUnicode());
    EXPECT_EQ(d.size(), 0u);
    EXPECT_FALSE(ostring('a').isUnicode());
    EXPECT_EQ(ostring('a').str(), "a");
    EXPECT_TRUE(ostring(L'a').isUnicode());
    EXPECT_FALSE(ostring("abc").isUnicode());
    EXPECT_TRUE(ostring(L"").isUnicode());
    EXPECT_EQ(ostring(L"").size(), 0u);
    EXPECT_TRUE(ostring(std::wstring(L"x\0y", 3)).isUnicode());
    EXPECT_EQ(ostring(std::wstring(L"x\0y", 3)).size(), 3u); // the whole std::wstring
    const wxString wx(L"ab\0cd", 5);
    EXPECT_TRUE(ostring(wx).isUnicode());
    EXPECT_EQ(ostring(wx).size(), 2u); // up to the first NUL
    EXPECT_EQ(ostring(static_cast<const char*>(nullptr)).size(), 0u);
}

TEST(OstringStorage, CopyAssignClear) {
    ostring w(L"wide");
    ostring c(w);
    EXPECT_TRUE(c.isUnicode());
    EXPECT_EQ(c, w);
    ostring n("narrow");
    n = w;
    EXPECT_TRUE(n.isUnicode());
    EXPECT_EQ(n.wstr(), L"wide");
    ostring& self = n;
    n = self;
    EXPECT_EQ(n.wstr(), L"wide");
    n.clear();
    EXPECT_TRUE(n.isUnicode());
    EXPECT_EQ(n.size(), 0u);
    ostring m("x");
    m.clear();
    EXPECT_FALSE(m.isUnicode());
}

TEST(OstringStorage, NarrowWideMappingAbove7FAndAboveFF) {
    // Byte b <-> U+00b for every byte, 0x80..0xFF included.
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(static_cast<int>(ostring::widen(c)), b);
        EXPECT_EQ(static_cast<unsigned char>(ostring::narrow(static_cast<wchar_t>(b))), b);
        const ostring n(c);
        EXPECT_EQ(n.wstr(), std::wstring(1, static_cast<wchar_t>(b)));
        EXPECT_EQ(ostring(static_cast<wchar_t>(b)).str(), std::string(1, c));
    }
    EXPECT_EQ(ostring::narrow(L'\x20AC'), '\0');
    EXPECT_EQ(ostring::narrow(static_cast<wchar_t>(0x100)), '\0');
    // str() of wide text holding U+20AC keeps the length, NUL in place.
    const ostring w(L"a\x20AC"
                    L"b");
    const std::string s = w.str();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[1], '\0');
    EXPECT_EQ(s[2], 'b');
    EXPECT_EQ(ostring("\xE9t\xE9").wstr(), L"\x00E9t\x00E9");
    EXPECT_EQ(ostring(L"\x00E9t\x00E9").str(), "\xE9t\xE9");
    EXPECT_EQ(ostring("abc").dstr(), L"abc");
    EXPECT_EQ(ostring("\xE9").wxstr(), wxString(L"\x00E9"));
    EXPECT_EQ(ostring(L"ab\0c").wxstr(), wxString(L"ab"));
}

TEST(OstringStorage, ConvertThroughChar) {
    // "CHAR" is CP1252: é is 0xE9, € is 0x80.
    EXPECT_EQ(ostring::convert("\xE9\x80", "CHAR", "UTF-8"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(ostring::convert("\xC3\xA9\xE2\x82\xAC", "UTF-8", "CHAR"), "\xE9\x80");
    EXPECT_EQ(ostring("\xE9t\xE9").get("UTF-8"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(ostring("abc").get(Defines::appEncoding()), "abc");
    EXPECT_EQ(ostring().get("UTF-8"), "");
    ostring n;
    n.set("\xC3\xA9t\xC3\xA9", "UTF-8");
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), "\xE9t\xE9");
    ostring b(std::string("\xE2\x82\xAC"), ostring("UTF-8"));
    EXPECT_FALSE(b.isUnicode());
    EXPECT_EQ(b.str(), "\x80");
}

TEST(OstringStorage, ConvertEdges) {
    // Equal names: unchanged, even when not valid in that charset; empty input: empty.
    EXPECT_EQ(ostring::convert("\xFF\xFE", "UTF-8", "UTF-8"), "\xFF\xFE");
    EXPECT_EQ(ostring::convert("", "UTF-8", "CHAR"), "");
    // Invalid input: the input comes back and the error is filled.
    std::string error;
    EXPECT_EQ(ostring::convert("\xC3(", "UTF-8", "CHAR", &error), "\xC3(");
    EXPECT_FALSE(error.empty());
    // An unknown charset: input back, error filled.
    error.clear();
    EXPECT_EQ(ostring::convert("abc", "NO-SUCH-CHARSET", "UTF-8", &error), "abc");
    EXPECT_FALSE(error.empty());
    // No error pointer: no crash.
    EXPECT_EQ(ostring::convert("\xC3(", "UTF-8", "CHAR", nullptr), "\xC3(");
    // CP1252 leaves 0x81, 0x8D, 0x8F, 0x90 and 0x9D undefined: the conversion fails and returns
    // its input; the charset stays CP1252.
    for (const char* undefined : {"a\x81", "a\x8D", "a\x8F", "a\x90", "a\x9D"}) {
        error.clear();
        EXPECT_EQ(ostring::convert(undefined, "CHAR", "UTF-8", &error), undefined);
        EXPECT_FALSE(error.empty());
    }
    // The full input and output lengths: UTF-16 holds NULs.
    EXPECT_EQ(ostring("abc").get("UTF-16LE"), std::string("a\0b\0c\0", 6));
    EXPECT_EQ(ostring::convert(std::string("a\0b\0", 4), "UTF-16LE", "CHAR"), std::string("ab"));
    EXPECT_EQ(ostring("\x80").get("UTF-32LE"), std::string("\xAC\x20\0\0", 4));
}

TEST(OstringStorage, GetOfWideTextKeepsEveryCharacter) {
    EXPECT_EQ(ostring(L"5\x20AC").get("UTF-8"), "5\xE2\x82\xAC");
    EXPECT_EQ(ostring(L"snow\x2603man").get("UTF-8"), "snow\xE2\x98\x83man");
    EXPECT_EQ(ostring(L"\x0160imon").get("UTF-16LE"), std::string("\x60\x01i\0m\0o\0n\0", 10));
    EXPECT_EQ(ostring(L"5\x20AC").get("CHAR"), "5\x80");
    EXPECT_EQ(ostring(L"\x0160imon \x00E9").get("ISO-8859-2"), "\xA9imon \xE9");
    // A character beyond the BMP, also when held as a surrogate pair; a lone surrogate is U+FFFD.
    EXPECT_EQ(ostring(L"a\x1F600").get("UTF-8"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(ostring(std::wstring{L'a', wchar_t(0xD83D), wchar_t(0xDE00), wchar_t(0x2603)}).get("UTF-8"),
              "a\xF0\x9F\x98\x80\xE2\x98\x83");
    EXPECT_EQ(ostring(std::wstring{wchar_t(0xD83D), wchar_t(0x2603)}).get("UTF-8"),
              "\xEF\xBF\xBD\xE2\x98\x83");
    // Units below 256 read as the narrow text they were widened from: 0x80 is the CP1252 euro.
    ostring widened("\x80");
    widened.setUnicode(true);
    EXPECT_EQ(widened.get("UTF-8"), "\xE2\x82\xAC");
    EXPECT_EQ((widened + ostring(L"\x2603")).get("UTF-8"), "\xE2\x82\xAC\xE2\x98\x83");
    EXPECT_EQ(ostring(L"caf\x00E9").get("UTF-8"), "caf\xC3\xA9");
    // U+0100 is the first character str() cannot hold.
    EXPECT_EQ(ostring(L"\x00FF\x0100").get("UTF-8"), "\xC3\xBF\xC4\x80");
    // A charset that cannot hold a character fails the conversion: the UTF-8 comes back, no NUL.
    const std::string failed = ostring(L"snow\x2603").get("ISO-8859-1");
    EXPECT_EQ(failed, "snow\xE2\x98\x83");
    EXPECT_EQ(failed.find('\0'), std::string::npos);
}

TEST(OstringStorage, SetKeepsFormAndCutsAtNul) {
    ostring w(L"old");
    w.set(std::string("ab\0cd", 5), "CHAR");
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"ab");
    w.set("\xC3\xA9", "UTF-8");
    EXPECT_EQ(w.wstr(), L"\x00E9");
    ostring n("old");
    n.set(std::string("xy\0z", 4), "CHAR");
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), "xy");
    // A failed conversion keeps the bytes as given.
    n.set("\xC3(", "UTF-8");
    EXPECT_EQ(n.str(), "\xC3(");
}

TEST(OstringStorage, SetUnicode) {
    ostring n("\xE9t\xE9");
    n.setUnicode(true);
    EXPECT_TRUE(n.isUnicode());
    EXPECT_EQ(n.wstr(), L"\x00E9t\x00E9");
    n.setUnicode(true);
    EXPECT_EQ(n.wstr(), L"\x00E9t\x00E9");
    ostring w(L"a\x20AC");
    w.setUnicode(false);
    EXPECT_FALSE(w.isUnicode());
    EXPECT_EQ(w.str(), std::string("a\0", 2));
}

TEST(OstringStorage, ElementAccess) {
    const ostring n("a\xE9");
    EXPECT_EQ(n.at(1), '\xE9');
    EXPECT_EQ(n.wat(1), L'\x00E9');
    EXPECT_EQ(n[1], L'\x00E9');
    EXPECT_EQ(n.at(2), '\0');
    EXPECT_EQ(n.wat(2), L'\0');
    EXPECT_EQ(n[2], L'\0');
    EXPECT_EQ(n[1000], L'\0');
    const ostring w(L"a\x20AC");
    EXPECT_EQ(w.at(1), '\0');
    EXPECT_EQ(w.wat(1), L'\x20AC');
    EXPECT_EQ(w[1], L'\x20AC');
    EXPECT_EQ(w.at(w.size()), '\0');
    EXPECT_EQ(w.wat(w.size()), L'\0');
}

TEST(OstringStorage, GrowingKeepsTheForm) {
    ostring n("abcde");
    n.resize(2, 'x');
    EXPECT_EQ(n.str(), "ab");
    n.resize(5, L'\x00E9');
    EXPECT_EQ(n.str(), "ab\xE9\xE9\xE9");
    ostring w(L"ab");
    w.resize(5, '\xE9');
    EXPECT_EQ(w.wstr(), L"ab\x00E9\x00E9\x00E9");
    w.append(2u, L'\x20AC');
    EXPECT_EQ(w.size(), 7u);
    EXPECT_EQ(w[6], L'\x20AC');
    n.append(1u, L'\x20AC'); // no narrow form: NUL
    EXPECT_EQ(n.size(), 6u);
    EXPECT_EQ(n.at(5), '\0');
    ostring i("ad");
    i.insert(1, 2, 'x');
    EXPECT_EQ(i.str(), "axxd");
    i.insert(4, ostring(L"\x00E9"));
    EXPECT_EQ(i.str(), "axxd\xE9");
    EXPECT_FALSE(i.isUnicode());
    ostring iw(L"ad");
    iw.insert(1, ostring("\xE9"));
    EXPECT_EQ(iw.wstr(), L"a\x00E9"
                         L"d");
    EXPECT_THROW(i.insert(99, 1, 'x'), std::out_of_range);
    EXPECT_THROW(iw.insert(99, ostring("x")), std::out_of_range);
    EXPECT_THROW(iw.insert(99, 1, L'x'), std::out_of_range);
}

TEST(OstringStorage, PlusEqualsAppendsOneCharacterForIntegers) {
    ostring n("x");
    n += 65;
    EXPECT_EQ(n.str(), "xA");
    n += 321; // low 8 bits: 0x41
    EXPECT_EQ(n.str(), "xAA");
    n += static_cast<short>(66);
    n += 67L;
    n += 68LL;
    n += 69u;
    n += 70UL;
    n += 71ULL;
    EXPECT_EQ(n.str(), "xAABCDEFG");
    ostring w(L"x");
    w += 0x20AC;
    EXPECT_EQ(w.wstr(), L"x\x20AC");
    w += 0x120041; // low 16 bits on wide text
    EXPECT_EQ(w.wstr(), L"x\x20AC"
                        L"A");
    w += 'b';
    w += L'\x00E9';
    EXPECT_EQ(w.wstr(), L"x\x20AC"
                        L"Ab\x00E9");
    n += L'\x20AC';
    EXPECT_EQ(n.at(n.size() - 1), '\0');
}

TEST(OstringStorage, PlusEqualsNumbersAndStrings) {
    ostring n("v=");
    n += 2.5;
    n += ',';
    n += 0.1f;
    n += ',';
    n += 1234567.0;
    EXPECT_EQ(n.str(), "v=2.5,0.1,1.23457e+06");
    ostring w(L"v=");
    w += 100.0;
    EXPECT_EQ(w.wstr(), L"v=100");
    ostring a("a");
    a += ostring(L"\x00E9\x20AC");
    EXPECT_FALSE(a.isUnicode());
    EXPECT_EQ(a.str(), std::string("a\xE9\0", 3));
    ostring b(L"b");
    b += ostring("\xE9");
    EXPECT_TRUE(b.isUnicode());
    EXPECT_EQ(b.wstr(), L"b\x00E9");
    ostring self("ab");
    self += self;
    EXPECT_EQ(self.str(), "abab");
}

// The block conversions agree with the one-character mapping at every length and alignment:
// byte b is U+00b, and a character at or above 256 (negative ones included) narrows to 0.
TEST(OstringStorage, BlockConversionsMatchTheCharacterMapping) {
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += static_cast<char>((i * 37 + 11) % 255 + 1); // no NUL: set() stops there
    const wchar_t odd[] = {0x100, 0xFF, 0x20AC, -1, 0x10FFFF, 0x7F, static_cast<wchar_t>(0x80000000), 0};
    std::wstring wide;
    for (int i = 0; i < 300; ++i)
        wide += (i % 3 == 0) ? odd[i % 8] : static_cast<wchar_t>(i & 0xFF);
    for (size_t start : {0u, 1u, 3u}) {
        for (size_t n = 0; n + start <= 300; n += (n < 40 ? 1 : 37)) {
            const std::string part = bytes.substr(start, n);
            const std::wstring widened = ostring(part, ostring("CHAR")).wstr();
            ASSERT_EQ(widened.size(), n);
            for (size_t i = 0; i < n; ++i)
                ASSERT_EQ(widened[i], ostring::widen(part[i])) << start << " " << n << " " << i;
            const std::wstring wpart = wide.substr(start, n);
            const std::string narrowed = ostring(wpart).str();
            ASSERT_EQ(narrowed.size(), n);
            for (size_t i = 0; i < n; ++i)
                ASSERT_EQ(narrowed[i], ostring::narrow(wpart[i])) << start << " " << n << " " << i;
        }
    }
}
