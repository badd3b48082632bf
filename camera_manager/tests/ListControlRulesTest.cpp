#include "camera_manager/core/rules/ListControlRules.h"

#include <gtest/gtest.h>

namespace {

using namespace ListControlRules;

TEST(ListControlRules, WheelGoesToTheControlStrictlyUnderTheCursor) {
    const Rect list{0, 0, 300, 200}; // its header is inside its rectangle
    const Rect tree{400, 0, 700, 200};
    EXPECT_EQ(RouteWheel(list, tree, 100, 5), WheelTarget::List);
    EXPECT_EQ(RouteWheel(list, tree, 500, 100), WheelTarget::Partner);
    EXPECT_EQ(RouteWheel(list, tree, 350, 100), WheelTarget::None);
    EXPECT_EQ(RouteWheel(list, tree, 300, 100), WheelTarget::None); // on the edge
    EXPECT_EQ(RouteWheel(list, tree, 0, 100), WheelTarget::None);
}

TEST(ListControlRules, WheelStepsIgnoreTheSizeOfTheDelta) {
    EXPECT_EQ(ListWheelScroll(120), -17);
    EXPECT_EQ(ListWheelScroll(480), -17);
    EXPECT_EQ(ListWheelScroll(-1), 17);
    EXPECT_EQ(PartnerWheelRow(10, 120), 7);
    EXPECT_EQ(PartnerWheelRow(10, -360), 13);
    EXPECT_EQ(PartnerWheelRow(1, 120), 0);
}

TEST(ListControlRules, PartialEraseLeavesItemsAlone) {
    const Rect client{0, 0, 300, 200};
    const auto empty = PartialErase(client, 20, std::nullopt, std::nullopt, 0);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].rect, (Rect{0, 20, 300, 200}));
    EXPECT_FALSE(empty[0].buttonFace);

    const Rect first{0, 20, 250, 37}, last{0, 37, 250, 54};
    const auto two = PartialErase(client, 20, first, last, 0);
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(two[0].rect, (Rect{0, 54, 300, 200}));
    EXPECT_EQ(two[1].rect, (Rect{0, 20, 2, 200}));
    EXPECT_EQ(two[2].rect, (Rect{250, 20, 300, 200}));

    const auto w2k = PartialErase(client, 20, first, last, 1);
    ASSERT_EQ(w2k.size(), 4u);
    EXPECT_EQ(w2k[3].rect, (Rect{0, 18, 300, 20}));
    EXPECT_TRUE(w2k[3].buttonFace);
}

TEST(ListControlRules, StatusColumnsFollowTheStateDigit) {
    EXPECT_EQ(StatusCellColours(3, u"0").background, 0x00FF00u);
    EXPECT_EQ(StatusCellColours(4, u"1").background, 0x00FFFFu);
    EXPECT_EQ(StatusCellColours(3, u"2").text, 0xFFFFFFu);
    EXPECT_EQ(StatusCellColours(3, u"2").background, 0x0000FFu);
    EXPECT_EQ(StatusCellColours(4, u"3").background, 0x646464u);
    for (const std::u16string other : {u"4", u"", u"00"}) {
        EXPECT_EQ(StatusCellColours(3, other).background, 0xFFFFFFu);
        EXPECT_EQ(StatusCellColours(3, other).text, 0u);
    }
    EXPECT_EQ(StatusCellColours(5, u"0").background, 0xFFFFFFu);
}

TEST(ListControlRules, ASpokenRowNamesEachFilledCellByItsColumn) {
    EXPECT_EQ(SpokenRow({u"Free", u"Type", u"Model", u"SerNo."}, {u"Yes", u"", u"ZK-1220", u"4102"}),
              u"Free: Yes, Model: ZK-1220, SerNo.: 4102");
    // A column without a title, or cells beyond the titles, are said alone.
    EXPECT_EQ(SpokenRow({u"", u"Model"}, {u"1", u"ZK-1220", u"extra"}), u"1, Model: ZK-1220, extra");
    EXPECT_EQ(SpokenRow({u"Free"}, {u""}), u"");
}

TEST(ListControlRules, KeysMoveTheMarkByARowAPageOrToAnEndAndStopAtBothEnds) {
    // 30 rows, 10 shown: a page is 9 rows.
    const long count = 30, shown = 10;
    EXPECT_EQ(ListKeyTarget(ListKey::Down, 4, count, shown), 5);
    EXPECT_EQ(ListKeyTarget(ListKey::Up, 4, count, shown), 3);
    EXPECT_EQ(ListKeyTarget(ListKey::PageDown, 4, count, shown), 13);
    EXPECT_EQ(ListKeyTarget(ListKey::PageUp, 13, count, shown), 4);
    EXPECT_EQ(ListKeyTarget(ListKey::Home, 13, count, shown), 0);
    EXPECT_EQ(ListKeyTarget(ListKey::End, 13, count, shown), 29);
    // Limits: the first row and the last.
    EXPECT_EQ(ListKeyTarget(ListKey::Up, 0, count, shown), 0);
    EXPECT_EQ(ListKeyTarget(ListKey::PageUp, 5, count, shown), 0);
    EXPECT_EQ(ListKeyTarget(ListKey::Down, 29, count, shown), 29);
    EXPECT_EQ(ListKeyTarget(ListKey::PageDown, 25, count, shown), 29);
    // No row marked yet: the keys start from the first row.
    EXPECT_EQ(ListKeyTarget(ListKey::Down, -1, count, shown), 0);
    EXPECT_EQ(ListKeyTarget(ListKey::Up, -1, count, shown), 0);
    EXPECT_EQ(ListKeyTarget(ListKey::PageDown, -1, count, shown), 9);
    // A list that shows one row or none still pages by one.
    EXPECT_EQ(ListKeyTarget(ListKey::PageDown, 3, count, 1), 4);
    EXPECT_EQ(ListKeyTarget(ListKey::PageDown, 3, count, 0), 4);
    EXPECT_EQ(ListKeyTarget(ListKey::End, -1, 0, shown), -1);
}

} // namespace
