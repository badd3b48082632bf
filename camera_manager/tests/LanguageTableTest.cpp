// The German language library against the program's own (English) table: a text the German
// table lacks would show up in English, and a text whose format specifiers differ would print
// garbage or crash when the program fills it in.
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/res/StringTable.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/ResourceStrings.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

// The parts of a text that the program relies on, in order: printf conversions ("%d", "%08X",
// "%lu", "%%") and the line breaks and tabs that lay out messages and tree columns.
std::vector<std::u16string> Structure(const std::u16string& text) {
    static const std::u16string flags = u"-+ #0", lengths = u"hlLqjzt", conversions = u"diouxXeEfFgGaAcspn%";
    std::vector<std::u16string> parts;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || c == u'\t' || c == u'\r') {
            parts.emplace_back(1, c);
        } else if (c == u'%') {
            size_t j = i + 1;
            auto skip = [&](auto accept) {
                while (j < text.size() && accept(text[j]))
                    ++j;
            };
            skip([](char16_t d) { return flags.find(d) != std::u16string::npos; });
            skip([](char16_t d) { return (d >= u'0' && d <= u'9') || d == u'*' || d == u'.'; });
            skip([](char16_t d) { return lengths.find(d) != std::u16string::npos; });
            if (j < text.size() && conversions.find(text[j]) != std::u16string::npos) {
                parts.push_back(text.substr(i, j + 1 - i));
                i = j;
            } else {
                parts.push_back(u"%?" + text.substr(i + 1, j - i)); // a lone '%' is a fault too
            }
        }
    }
    return parts;
}

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? std::string(1, char(c)) : "\\u" + std::to_string(unsigned(c));
    return out;
}

class GermanTable : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        std::u16string path;
        ASSERT_TRUE(ResourceLibraryPath(u"de", path));
        module_ = LoadLibraryW(path.c_str());
        ASSERT_NE(module_, nullptr);
        size_t count = 0;
        const ResourceString* table = win::moduleStrings(module_, &count);
        ASSERT_NE(table, nullptr);
        for (size_t i = 0; i < count; ++i)
            EXPECT_TRUE(german_.emplace(table[i].id, table[i].text).second)
                << "id " << table[i].id << " twice";
        for (size_t i = 0; i < managerStringCount; ++i)
            english_.emplace(managerStrings[i].id, managerStrings[i].text);
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
        ManagerTest::TearDown();
    }
    HINSTANCE module_ = nullptr;
    std::map<UINT, std::u16string> english_, german_;
};

TEST(LanguageTableStructure, FindsConversionsLineBreaksAndTabsInOrder) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(Structure(u"%s %d: %s"), (V{u"%s", u"%d", u"%s"}));
    EXPECT_EQ(Structure(u"%08X\t%lu%%\r\nx\n"), (V{u"%08X", u"\t", u"%lu", u"%%", u"\r", u"\n", u"\n"}));
    EXPECT_EQ(Structure(u"%-5.2f %u"), (V{u"%-5.2f", u"%u"}));
    EXPECT_EQ(Structure(u"100 %!"), (V{u"%?!"}));
    EXPECT_TRUE(Structure(u"Plain text").empty());
}

TEST_F(GermanTable, HasEveryEnglishTextWithTheSameSpecifiersAndLayout) {
    for (const auto& [id, english] : english_) {
        auto german = german_.find(id);
        if (german == german_.end()) {
            ADD_FAILURE() << "no German text for id " << id << " (\"" << Utf8(english) << "\")";
            continue;
        }
        EXPECT_FALSE(german->second.empty()) << "id " << id;
        EXPECT_EQ(Structure(german->second), Structure(english))
            << "id " << id << ": \"" << Utf8(german->second) << "\" against \"" << Utf8(english) << "\"";
    }
    for (const auto& [id, german] : german_)
        EXPECT_TRUE(english_.count(id)) << "German id " << id << " has no English text";
}

TEST_F(GermanTable, KeepsTheNamesTheProgramLooksUp) {
    // Library and driver file names, folders, the network service's display name, the language
    // codes and names, the default addresses and the support file's extension.
    const UINT names[] = {157, 158, 159, 171, 172, 261, 279, 280, 303, 354, 355, 356, 597, 598, 599, 601};
    for (UINT id : names)
        EXPECT_EQ(german_[id], english_[id]) << "id " << id;
    for (UINT i = 0; i < 13; ++i) {
        EXPECT_EQ(german_[3000 + i], english_[3000 + i]);
        EXPECT_EQ(german_[3100 + i], english_[3100 + i]);
    }
    // File chooser filters: translated descriptions, the same patterns.
    for (UINT id : {260u, 302u}) {
        auto patterns = [](const std::u16string& filter) {
            std::vector<std::u16string> out;
            size_t start = 0;
            for (size_t field = 0;; ++field) {
                const size_t bar = filter.find(u'|', start);
                if (field % 2)
                    out.push_back(filter.substr(start, bar - start));
                if (bar == std::u16string::npos)
                    return out;
                start = bar + 1;
            }
        };
        EXPECT_EQ(patterns(german_[id]), patterns(english_[id])) << "id " << id;
    }
}

} // namespace
