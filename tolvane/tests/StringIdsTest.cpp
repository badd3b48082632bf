// The names of the viewer's texts against its string table: a name whose number has no text in
// one of the languages shows an empty label there, two names for one number hide that one of
// them means another text, and a text without a name invites a bare number at its call site.
#include "tolvane/res/StringIds.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every "constexpr uint32_t Name = 12;" of the header.
std::multimap<uint32_t, std::string> namesByNumber() {
    const std::string header = fileText(TOLVANE_STRING_IDS_HEADER);
    const std::regex named(R"re(constexpr uint32_t (\w+) = (\d+);)re");
    std::multimap<uint32_t, std::string> names;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), named); it != std::sregex_iterator();
         ++it)
        names.emplace(static_cast<uint32_t>(std::stoul((*it)[2])), (*it)[1]);
    return names;
}

// Each item of the table, with its French and English texts.
std::map<uint32_t, std::pair<std::string, std::string>> tableItems() {
    const std::string table = fileText(TOLVANE_STRING_TABLE);
    const std::regex item(
        R"re(<item id="(\d+)">\s*<French>([^<]*)</French>\s*<en_US>([^<]*)</en_US>\s*</item>)re");
    std::map<uint32_t, std::pair<std::string, std::string>> items;
    for (auto it = std::sregex_iterator(table.begin(), table.end(), item); it != std::sregex_iterator(); ++it)
        items.emplace(static_cast<uint32_t>(std::stoul((*it)[1])), std::make_pair((*it)[2], (*it)[3]));
    return items;
}

} // namespace

TEST(StringIds, EveryNameHasBothTextsAndEveryTextOneName) {
    const auto names = namesByNumber();
    const auto items = tableItems();
    ASSERT_GT(names.size(), 50u) << "the header was not read: " << TOLVANE_STRING_IDS_HEADER;
    ASSERT_GT(items.size(), 50u) << "the table was not read: " << TOLVANE_STRING_TABLE;
    for (const auto& [id, name] : names) {
        const auto item = items.find(id);
        ASSERT_NE(item, items.end()) << name << " = " << id << " has no text";
        EXPECT_FALSE(item->second.first.empty()) << name << " has no French text";
        EXPECT_FALSE(item->second.second.empty()) << name << " has no English text";
        EXPECT_EQ(names.count(id), 1u) << id << " has more than one name, " << name << " among them";
    }
    for (const auto& [id, texts] : items)
        EXPECT_TRUE(names.count(id)) << "text " << id << " (" << texts.second << ") has no name";
}
