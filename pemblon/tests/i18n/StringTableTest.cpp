#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/strings/LangChangedEvent.h"
#include "pemblon/strings/LangChangingEvent.h"
#include "pemblon/strings/LangEventData.h"
#include "pemblon/strings/StringTable.h"
#include "pemblon/strings/StringTableEvent.h"
#include "pemblon/strings/StringTableListener.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNode.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <vector>

#include <wx/intl.h>

using PBN::Strings::ostring;
using PBN::Strings::StringTable;

namespace {

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override { StringTable::destroy(); }
    void TearDown() override { StringTable::destroy(); }

    void loadData(const ostring& ns = "T") {
        PBN::XML::XMLDoc doc(ostring((i18ntest::dataDir() + "/strings.xml").c_str()), true, false);
        StringTable::get().load(ns, doc.getRoot());
    }
};

struct Recorder : PBN::Strings::StringTableListener {
    std::vector<std::string> calls;
    std::function<void(Recorder&)> onChanging;
    std::string name;
    explicit Recorder(std::string n = "r") : name(std::move(n)) {}
    void onLangChangingEvent(PBN::Strings::LangChangingEvent& e) override {
        calls.push_back("changing:" + std::to_string(e.data()->language) + ":" +
                        std::to_string(StringTable::get().getActiveLanguage()));
        if (onChanging)
            onChanging(*this);
    }
    void onLangChangedEvent(PBN::Strings::LangChangedEvent& e) override {
        calls.push_back("changed:" + std::to_string(e.data()->language) + ":" +
                        std::to_string(StringTable::get().getActiveLanguage()));
    }
};

} // namespace

// The names used in the viewer's string table must resolve to the codes the viewer activates.
TEST_F(StringTableTest, LanguageNamesResolveToTheCodesTheViewerActivates) {
    EXPECT_EQ(StringTable::stringToLanguage("en_US"), wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(StringTable::stringToLanguage("French"), wxLANGUAGE_FRENCH);
    EXPECT_EQ(StringTable::stringToLanguage("french"), wxLANGUAGE_FRENCH);
    EXPECT_EQ(StringTable::stringToLanguage("fr"), wxLANGUAGE_FRENCH);
    EXPECT_EQ(StringTable::stringToLanguage("fr_FR"), wxLANGUAGE_FRENCH_FRANCE);
    EXPECT_EQ(StringTable::stringToLanguage("English"), wxLANGUAGE_ENGLISH);
    EXPECT_EQ(StringTable::stringToLanguage("English (U.S.)"), wxLANGUAGE_UNKNOWN);
    EXPECT_EQ(StringTable::stringToLanguage("Klingon"), wxLANGUAGE_UNKNOWN);
    EXPECT_TRUE(StringTable::isKnownLanguage("German"));
    EXPECT_FALSE(StringTable::isKnownLanguage(""));
}

TEST_F(StringTableTest, StartsInTheSystemLanguage) {
    StringTable& t = StringTable::get();
    EXPECT_EQ(t.getActiveLanguage(), wxLocale::GetSystemLanguage());
    EXPECT_NE(t.getActiveLanguage(), wxLANGUAGE_DEFAULT);
    ASSERT_NE(t.language(), nullptr);
    EXPECT_EQ(t.language()->Language, wxLocale::GetSystemLanguage());
}

TEST_F(StringTableTest, LooksUpByNamespaceIdAndExactLanguage) {
    loadData();
    StringTable& t = StringTable::get();
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(t.getString("T", 1), ostring("Bonjour")); // first of two items with id 1
    EXPECT_EQ(t.getString("T", 2), ostring("Deux"));    // lower-case language name
    EXPECT_EQ(t.getString("T", 3), ostring("premier")); // "fr" and "French" are one code
    EXPECT_EQ(t.getString("T", 12), ostring(""));
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(t.getString("T", 1), ostring("Hello"));
    EXPECT_EQ(t.getString("T", 12), ostring("Twelve")); // id with blanks around it
    EXPECT_EQ(t.getString("T", 2), ostring(""));        // "english" is the general code
    EXPECT_EQ(t.getString("T", 3), ostring("caf\xe9")); // application charset
    // Ids "12a", "" and a missing id leave items with id 0 and no texts.
    EXPECT_EQ(t.getString("T", 0), ostring(""));
    EXPECT_EQ(t.getString("t", 1), ostring(""));
    EXPECT_EQ(t.getString("Other", 1), ostring(""));
    t.setActiveLanguage(wxLANGUAGE_GERMAN);
    EXPECT_EQ(t.getString("T", 1), ostring(""));
}

TEST_F(StringTableTest, SecondLoadOfANameOnlyChangesTheDefaultLanguage) {
    loadData();
    StringTable& t = StringTable::get();
    EXPECT_EQ(t.getDefaultLanguage(), wxLANGUAGE_FRENCH);
    PBN::XML::XMLDoc other(true, "<s default=\"nonsense\"><i id=\"1\"><en_US>Other</en_US></i></s>", true,
                           false, "other.xml");
    t.load("T", other.getRoot());
    EXPECT_EQ(t.getDefaultLanguage(), wxLocale::GetSystemLanguage());
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(t.getString("T", 1), ostring("Hello"));
    t.load("U", other.getRoot());
    EXPECT_EQ(t.getString("U", 1), ostring("Other"));
}

TEST_F(StringTableTest, ListenersSeeTheOldLanguageBeforeAndAfterTheSwitch) {
    StringTable& t = StringTable::get();
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    Recorder r;
    t.addListener(&r);
    t.addListener(&r);
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    t.removeListener(&r);
    const std::string us = std::to_string(wxLANGUAGE_ENGLISH_US), fr = std::to_string(wxLANGUAGE_FRENCH);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"changing:" + us + ":" + us, "changed:" + us + ":" + fr}));
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(r.calls.size(), 2u);
}

// One dispatch walks by index: a listener registered during a notice hears it at once, and a
// removal never makes a listener still registered miss one.
TEST_F(StringTableTest, ListenersMayChangeTheListDuringASwitch) {
    StringTable& t = StringTable::get();
    Recorder a("a"), b("b"), c("c"), late("late");
    // a removes itself; b removes c and registers late, which hears this very switch.
    a.onChanging = [&](Recorder& self) { t.removeListener(&self); };
    b.onChanging = [&](Recorder&) {
        t.removeListener(&c);
        t.addListener(&late);
    };
    t.addListener(&a);
    t.addListener(&b);
    t.addListener(&c);
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(a.calls.size(), 1u); // its changing event only
    EXPECT_EQ(b.calls.size(), 2u); // not skipped after a removed itself
    EXPECT_TRUE(c.calls.empty());
    EXPECT_EQ(late.calls.size(), 2u);
    t.setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    EXPECT_EQ(late.calls.size(), 4u);
    t.removeListener(&b);
    t.removeListener(&late);
}

TEST_F(StringTableTest, AListenerAddedDuringTheChangingNoticeHearsBothNotices) {
    StringTable& t = StringTable::get();
    std::vector<std::string> journal;
    struct Named : PBN::Strings::StringTableListener {
        std::string name;
        std::vector<std::string>* journal;
        std::function<void()> onChanging;
        void onLangChangingEvent(PBN::Strings::LangChangingEvent&) override {
            journal->push_back(name + ":changing");
            if (onChanging)
                onChanging();
        }
        void onLangChangedEvent(PBN::Strings::LangChangedEvent&) override {
            journal->push_back(name + ":changed");
        }
    };
    Named a, b;
    a.name = "A", b.name = "B";
    a.journal = b.journal = &journal;
    a.onChanging = [&] { t.addListener(&b); };
    t.addListener(&a);
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(journal, (std::vector<std::string>{"A:changing", "B:changing", "A:changed", "B:changed"}));
    t.removeListener(&a);
    t.removeListener(&b);
}

TEST_F(StringTableTest, NumbersKeepTheDecimalPoint) {
    StringTable& t = StringTable::get();
    t.language(wxLANGUAGE_FRENCH, false);
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_DOUBLE_EQ(std::strtod("0.5", nullptr), 0.5);
}

// Under a French system locale the table starts in French (France), with "." still the decimal
// point, and texts stored under the general French code do not answer before the first switch.
TEST_F(StringTableTest, FrenchSystemLocale) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    StringTable& t = StringTable::get();
    const wxLanguage active = t.getActiveLanguage();
    const double half = std::strtod("0.5", nullptr);
    loadData();
    const ostring hello = t.getString("T", 1);
    StringTable::destroy();
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(active, wxLANGUAGE_FRENCH_FRANCE);
    EXPECT_DOUBLE_EQ(half, 0.5);
    EXPECT_EQ(hello, ostring(""));
}

TEST_F(StringTableTest, DestroyThenGetGivesAFreshTable) {
    loadData();
    StringTable::get().setActiveLanguage(wxLANGUAGE_FRENCH);
    StringTable* first = StringTable::instance();
    StringTable::destroy();
    StringTable::destroy();         // nothing left to delete
    delete StringTable::instance(); // the owner may delete it; destroy() then has nothing to do
    StringTable::destroy();
    StringTable& t = StringTable::get();
    (void)first;
    EXPECT_EQ(t.getString("T", 1), ostring(""));
    EXPECT_EQ(t.getActiveLanguage(), wxLocale::GetSystemLanguage());
}

TEST_F(StringTableTest, LanguageDescriptions) {
    StringTable& t = StringTable::get();
    t.setActiveLanguage(wxLANGUAGE_FRENCH);
    EXPECT_EQ(t.getActiveLanguageString(), ostring("French"));
    EXPECT_EQ(t.getLanguageString(wxLANGUAGE_GERMAN), ostring("German"));
    EXPECT_EQ(t.getLanguageString(wxLANGUAGE_UNKNOWN), ostring(""));
}

namespace {
struct OldEvent : PBN::Strings::StringTableEvent {
    explicit OldEvent(const wxLanguage& l) : StringTableEvent(l) {}
};
} // namespace

TEST(StringTableEvent, CopiesOwnTheirLanguageRecord) {
    OldEvent fr(wxLANGUAGE_FRENCH);
    PBN::Strings::StringTableEvent copy(fr);
    ASSERT_NE(copy.getLangChangedData(), nullptr);
    EXPECT_NE(copy.getLangChangedData(), fr.getLangChangedData());
    EXPECT_EQ(copy.getLangChangedData()->language, wxLANGUAGE_FRENCH);
    EXPECT_TRUE(copy == fr);
    PBN::Strings::StringTableEvent none;
    EXPECT_EQ(none.getType(), PBN::Strings::StringTableEvent::NO_DATA);
    EXPECT_EQ(none.getLangChangedData(), nullptr);
    none = fr;
    none = none;
    EXPECT_EQ(none.getLangChangedData()->language, wxLANGUAGE_FRENCH);
    copy.clearData();
    EXPECT_EQ(copy.getLangChangedData(), nullptr);
}
