// regular expressions.
#include "pemblon/core/Exception.h"
#include "pemblon/strings/ostring.h"

#include <gtest/gtest.h>

using PBN::Strings::ostring;

TEST(OstringRegex, MatchIsWholeText) {
    EXPECT_TRUE(ostring("abc").match("a.c"));
    EXPECT_FALSE(ostring("abcd").match("a.c"));
    EXPECT_TRUE(ostring(L"abc").match(ostring(L"a.c")));
    // A wide character above 255 takes part as NUL.
    EXPECT_TRUE(ostring(L"a\x20AC"
                        L"c")
                    .match(ostring("a\\x00c")));
    EXPECT_FALSE(ostring(L"a\x20AC"
                         L"c")
                     .match(ostring("abc")));
    EXPECT_TRUE(ostring("").match(""));
}

TEST(OstringRegex, FindPositionsCountFromThePreviousMatch) {
    std::vector<unsigned int> pos;
    auto m = ostring("xabcx").find("a.c", pos);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], ostring("abc"));
    EXPECT_EQ(pos, std::vector<unsigned int>({1}));

    pos.assign({99}); // appended to, never cleared
    m = ostring("a1b22c").find("[0-9]+", pos);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].str(), "1");
    EXPECT_EQ(m[1].str(), "22");
    EXPECT_FALSE(m[0].isUnicode());
    EXPECT_EQ(pos, std::vector<unsigned int>({99, 1, 1}));
}

TEST(OstringRegex, EverySearchStartIsABeginning) {
    std::vector<unsigned int> pos;
    const auto m = ostring("aaa").find("^a", pos);
    EXPECT_EQ(m.size(), 3u);
    EXPECT_EQ(pos, std::vector<unsigned int>({0, 0, 0}));
    // Look-behind cannot see before the search start.
    pos.clear();
    const auto lb = ostring("abab").find("(?<!a)b|a", pos);
    // "a" at 0; then "b" at the new beginning (nothing before it is visible); then "a", "b".
    EXPECT_EQ(lb.size(), 4u);
}

TEST(OstringRegex, WideTextSearchesWide) {
    std::vector<unsigned int> pos;
    const auto m = ostring(L"\x20AC"
                           L"12\x20AC"
                           L"3")
                       .find(ostring(L"[0-9]+"), pos);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_TRUE(m[0].isUnicode());
    EXPECT_EQ(m[0].wstr(), L"12");
    EXPECT_EQ(m[1].wstr(), L"3");
    EXPECT_EQ(pos, std::vector<unsigned int>({1, 1}));
    const auto e = ostring(L"a\x20AC"
                           L"b")
                       .find(ostring(L"\x20AC"), pos);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].wstr(), L"\x20AC");
}

TEST(OstringRegex, EmptyTextAndNoMatch) {
    std::vector<unsigned int> pos{7};
    EXPECT_TRUE(ostring().find("a*", pos).empty());
    EXPECT_EQ(pos, std::vector<unsigned int>({7}));
    EXPECT_TRUE(ostring("xyz").find("[0-9]", pos).empty());
    ostring r("xyz");
    r.replace("[0-9]", "#");
    EXPECT_EQ(r.str(), "xyz");
    ostring e;
    e.replace("a*", "#");
    EXPECT_EQ(e.size(), 0u);
}

TEST(OstringRegex, EmptyMatchesTerminate) {
    std::vector<unsigned int> pos;
    const auto m = ostring("bc").find("a*", pos);
    EXPECT_EQ(m.size(), 3u);
    EXPECT_EQ(pos, std::vector<unsigned int>({0, 1, 1}));
    ostring r("bc");
    r.replace("a*", "#");
    EXPECT_EQ(r.str(), "#b#c#");
    ostring r2("baa");
    r2.replace("a*", "#");
    EXPECT_EQ(r2.str(), "#b##");
    ostring r3(L"ab");
    r3.replace(ostring("^"), ostring("#"));
    EXPECT_TRUE(r3.isUnicode());
    EXPECT_EQ(r3.wstr(), L"#a#b#");
    ostring r4("xyz");
    r4.replace("(?=y)", "-");
    EXPECT_EQ(r4.str(), "x-yz");
}

TEST(OstringRegex, ReplaceIsLiteralAndKeepsTheForm) {
    ostring r("a1b22c");
    r.replace("[0-9]+", "#");
    EXPECT_EQ(r.str(), "a#b#c");
    ostring d("abc");
    d.replace("(b)", "$1\\1");
    EXPECT_EQ(d.str(), "a$1\\1c");
    ostring w(L"a\x20AC"
              L"b");
    w.replace(ostring("b"), ostring(L"\x00E9"));
    EXPECT_TRUE(w.isUnicode());
    EXPECT_EQ(w.wstr(), L"a\x20AC\x00E9");
    ostring n("ab");
    n.replace("b", ostring(L"\x00E9"));
    EXPECT_FALSE(n.isUnicode());
    EXPECT_EQ(n.str(), "a\xE9");
    // Embedded NULs survive replacement.
    ostring z("a");
    z += '\0';
    z += "b1";
    z.replace("[0-9]", "#");
    EXPECT_EQ(z.str(), std::string("a\0b#", 4));
}

TEST(OstringRegex, BadPatternThrowsSevereWithThePattern) {
    try {
        ostring("abc").match("(");
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
        const std::wstring msg = e.getMessage().wstr();
        EXPECT_NE(msg.find(L"Invalid regular expression \"(\": "), std::wstring::npos)
            << e.getMessage().str();
        EXPECT_EQ(msg.back(), L'.');
    }
    std::vector<unsigned int> pos;
    EXPECT_THROW(ostring(L"abc").find(ostring(L"[a-"), pos), PBN::Exception);
    EXPECT_THROW(ostring("abc").find("a{2,1}", pos), PBN::Exception);
    ostring keep("abc");
    EXPECT_THROW(keep.replace("(", "x"), PBN::Exception);
    EXPECT_EQ(keep.str(), "abc");
    // An empty text still compiles the pattern for match, not for find/replace.
    EXPECT_THROW(ostring().match(")"), PBN::Exception);
}

// A translated catalogue of the library's domain, built in memory.
#include "pemblon/tests/support/MemoryCatalog.h"

using PBNTest::MemoryLoader;
using PBNTest::moFile;

namespace {

std::wstring badPatternMessage() {
    try {
        ostring("abc").match("(");
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
        return e.getMessage().wstr();
    }
    ADD_FAILURE() << "no PBN::Exception";
    return std::wstring();
}

} // namespace

TEST(OstringRegex, TranslatedMessageAndBrokenTranslations) {
    // A translation with a broken place-holder must not turn the report into a formatting error.
    const std::map<const char*, const wchar_t*> cases = {
        {"Expression \"%1%\" invalide : %2%.", L"Expression \"(\" invalide : "},
        {"Expression \"%1\" invalide.", L"Invalid regular expression \"(\": "},
        {"Expression %1% %2% %3%.", L"Expression ( "},
        {"Expression invalide.", L"Expression invalide."},
    };
    for (const auto& [translated, expected] : cases) {
        auto* translations = new wxTranslations;
        wxTranslations::Set(translations);
        translations->SetLoader(
            new MemoryLoader(moFile({{"", "Content-Type: text/plain; charset=UTF-8\n"},
                                     {"Invalid regular expression \"%1%\": %2%.", translated}})));
        translations->SetLanguage("fr");
        ASSERT_TRUE(translations->AddCatalog("Pemblon"));
        EXPECT_EQ(badPatternMessage().rfind(expected, 0), 0u) << translated;
    }
    wxTranslations::Set(nullptr);
    EXPECT_EQ(badPatternMessage().rfind(L"Invalid regular expression \"(\": ", 0), 0u);
}
