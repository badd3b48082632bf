#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"

#include <gtest/gtest.h>

#include <wx/intl.h>
#include <wx/translation.h>

using PBN::Strings::ostring;
using PBN::Strings::StringTable;

namespace {

// The fixtures are built beside the test program: lang/fr/pbntest.mo and lang/fr/Pemblon.mo.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override { StringTable::destroy(); }
    void TearDown() override { StringTable::destroy(); }
};

ostring tr(const char* text, const char* domain) {
    return ostring(wxGetTranslation(text, domain));
}

ostring trPlural(const char* one, const char* many, unsigned n, const char* domain) {
    return ostring(wxGetTranslation(one, many, n, domain));
}

} // namespace

TEST_F(CatalogTest, CatalogueNameIsTheCanonicalLanguageFolder) {
    EXPECT_EQ(StringTable::catalogName("app", wxLANGUAGE_FRENCH), ostring("fr/app"));
    EXPECT_EQ(StringTable::catalogName("app", wxLANGUAGE_FRENCH_FRANCE), ostring("fr_FR/app"));
    EXPECT_EQ(StringTable::catalogName("app", wxLANGUAGE_ENGLISH_US), ostring("en_US/app"));
    EXPECT_EQ(StringTable::catalogName("app", wxLANGUAGE_UNKNOWN), ostring("app"));
}

TEST_F(CatalogTest, RegisteringChecksTheFolderAndTheFile) {
    StringTable& t = StringTable::get();
    EXPECT_TRUE(t.load("pbntest", wxLANGUAGE_FRENCH, "lang", ""));
    const ostring absolute = PBN::HelperFuncs::getAppDir() + "lang";
    EXPECT_TRUE(t.load("pbntest", wxLANGUAGE_FRENCH, absolute, "kept"));
    EXPECT_FALSE(t.load("pbntest", wxLANGUAGE_GERMAN, "lang", ""));   // no lang/de/pbntest.mo
    EXPECT_FALSE(t.load("pbntest", wxLANGUAGE_FRENCH, "nolang", "")); // no folder
    EXPECT_TRUE(t.load("anything", wxLANGUAGE_FRENCH, "", ""));       // not checked at all
}

TEST_F(CatalogTest, SwitchLoadsCataloguesWithFrenchPluralForms) {
    StringTable& t = StringTable::get();
    ASSERT_TRUE(t.load("pbntest", wxLANGUAGE_FRENCH, "lang", ""));
    ASSERT_TRUE(t.load("nosuch", wxLANGUAGE_FRENCH, "", ""));
    const std::vector<ostring> failed = t.language(wxLANGUAGE_FRENCH, true);
    EXPECT_EQ(failed, std::vector<ostring>{ostring("fr/nosuch")});
    EXPECT_TRUE(t.isLoaded("pbntest"));
    EXPECT_FALSE(t.isLoaded("nosuch"));
    EXPECT_EQ(tr("Hello", "pbntest"), ostring("Bonjour"));
    // French uses the singular for 0 and 1.
    EXPECT_EQ(trPlural("%d file", "%d files", 0, "pbntest"), ostring("%d fichier"));
    EXPECT_EQ(trPlural("%d file", "%d files", 1, "pbntest"), ostring("%d fichier"));
    EXPECT_EQ(trPlural("%d file", "%d files", 2, "pbntest"), ostring("%d fichiers"));
    // Back in English the catalogue has no translation to give.
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(tr("Hello", "pbntest"), ostring("Hello"));
}

TEST_F(CatalogTest, ArrayRegistrationListsTheFailures) {
    StringTable& t = StringTable::get();
    const StringTable::__CatalogInfo two[] = {
        {"pbntest", wxLANGUAGE_FRENCH, "lang", ""}, {"a", wxLANGUAGE_FRENCH, "lang", ""},
        {"b", wxLANGUAGE_GERMAN, "missing", ""},    {"", wxLANGUAGE_UNKNOWN, "", ""},
        {"never", wxLANGUAGE_FRENCH, "lang", ""}, // after the end marker
    };
    ostring err;
    EXPECT_FALSE(t.load(two, &err));
    EXPECT_EQ(err, ostring("The following catalogs files were not found or the catalogs are invalid:\n"
                           " - fr/a.mo\n - de/b.mo\n"));

    const StringTable::__CatalogInfo one[] = {{"a", wxLANGUAGE_FRENCH, "lang", ""}, {}};
    ostring err1;
    EXPECT_FALSE(t.load(one, &err1));
    EXPECT_EQ(err1,
              ostring("The following catalog file was not found or the catalog is invalid:\n - fr/a.mo\n"));
    EXPECT_FALSE(t.load(one, nullptr));

    const StringTable::__CatalogInfo good[] = {{"pbntest", wxLANGUAGE_FRENCH, "lang", ""}, {}};
    ostring untouched("x");
    EXPECT_TRUE(t.load(good, &untouched));
    EXPECT_EQ(untouched, ostring("x"));
}

TEST_F(CatalogTest, ErrorTextIsTranslatedWhenTheLibraryCatalogueIsLoaded) {
    StringTable& t = StringTable::get();
    ASSERT_TRUE(t.load("Pemblon", wxLANGUAGE_FRENCH, "lang", ""));
    ASSERT_TRUE(t.language(wxLANGUAGE_FRENCH, true).empty());
    const StringTable::__CatalogInfo one[] = {{"a", wxLANGUAGE_FRENCH, "lang", ""}, {}};
    ostring err;
    EXPECT_FALSE(t.load(one, &err));
    EXPECT_EQ(
        err, ostring(wxString::FromUTF8("Le catalogue suivant est introuvable ou invalide :\n - fr/a.mo\n")));
}

TEST_F(CatalogTest, WindowsLanguageIdentifiers) {
    StringTable& t = StringTable::get();
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(t.getLangid(), 0x040CUL);
    EXPECT_EQ(t.getLcid(), 0x040CUL);
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(t.getLangid(), 0x0409UL);
    t.setActiveLanguage(wxLANGUAGE_ZULU);
    EXPECT_EQ(t.getLangid(), 0UL);
}

TEST_F(CatalogTest, StandardLocalesPerLanguage) {
    StringTable& t = StringTable::get();
    EXPECT_EQ(t.getLocale(wxLANGUAGE_FRENCH).name(), "fr_FR.UTF-8");
    EXPECT_EQ(t.getLocale(wxLANGUAGE_ENGLISH_US).name(), "en_US.UTF-8");
    // Any other language, or one the system has not generated, gives the global locale.
    EXPECT_EQ(t.getLocale(wxLANGUAGE_SPANISH).name(), std::locale().name());
    const std::string german = t.getLocale(wxLANGUAGE_GERMAN).name();
    EXPECT_TRUE(german == "de_DE.UTF-8" || german == std::locale().name());
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(t.getActiveLocale().name(), "fr_FR.UTF-8");
}
