// The names of the resource strings against the program's string table: a name whose number
// has no text shows an empty message, two names for one number hide that one of them means
// another text, and a text without a name invites a bare number at its call site.
#include "camera_manager/res/StringIds.h"
#include "camera_manager/res/StringTable.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

// The numbered names of the header ("constexpr uint32_t Name = 123;"). A name defined by another
// name is a deliberate second name and not listed.
std::map<std::string, uint32_t> NamedIds() {
    std::ifstream in(ZEKO_CM_STRING_IDS_HEADER);
    std::map<std::string, uint32_t> names;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string constexprWord, type, name, equals, number;
        words >> constexprWord >> type >> name >> equals >> number;
        if (constexprWord != "constexpr" || type != "uint32_t" || equals != "=" || number.size() < 2 ||
            number.back() != ';' || number.find_first_not_of("0123456789") != number.size() - 1)
            continue;
        names.emplace(name, static_cast<uint32_t>(std::stoul(number)));
    }
    return names;
}

std::map<uint32_t, std::u16string> Table() {
    std::map<uint32_t, std::u16string> table;
    for (size_t i = 0; i < managerStringCount; ++i)
        table.emplace(managerStrings[i].id, managerStrings[i].text);
    return table;
}

// Numbered texts named by their first number: base + index for index 0 .. count - 1.
struct Range {
    uint32_t base;
    uint32_t count;
};
const Range ranges[] = {{ids::LanguageCode, ids::LanguageCount},
                        {ids::LanguageName, ids::LanguageCount},
                        {ids::StatusFlagBits, 32},
                        {ids::ControlStatusBits, 32},
                        {ids::StatisticsNames, 24}};

} // namespace

TEST(StringIds, EveryNameHasATextAndEveryNumberOneName) {
    const auto names = NamedIds();
    ASSERT_GT(names.size(), 100u) << "the header was not read: " << ZEKO_CM_STRING_IDS_HEADER;
    const auto table = Table();
    std::map<uint32_t, std::string> byNumber;
    for (const auto& [name, id] : names) {
        EXPECT_TRUE(table.count(id)) << name << " = " << id << " has no text";
        const auto [other, inserted] = byNumber.emplace(id, name);
        EXPECT_TRUE(inserted) << name << " and " << other->second << " both number " << id;
    }
}

TEST(StringIds, EveryTextHasAName) {
    std::set<uint32_t> named;
    for (const auto& [name, id] : NamedIds())
        named.insert(id);
    for (const Range& r : ranges)
        for (uint32_t i = 0; i < r.count; ++i) {
            EXPECT_TRUE(Table().count(r.base + i))
                << "no text " << r.base + i << " in the range from " << r.base;
            named.insert(r.base + i);
        }
    for (const auto& [id, text] : Table())
        EXPECT_TRUE(named.count(id)) << "text " << id << " has no name";
}
