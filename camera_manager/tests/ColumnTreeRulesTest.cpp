#include "camera_manager/core/rules/ColumnTreeRules.h"

#include <gtest/gtest.h>

namespace {

using namespace ColumnTreeRules;

const std::u16string dhcpYes = u"DHCP enabled\tYes";

TEST(ColumnTreeRules, PiecesAreTheTabSeparatedColumnsAndMissingOnesAreNone) {
    EXPECT_EQ(*Piece(u"Name\tValue", 0), u"Name");
    EXPECT_EQ(*Piece(u"Name\tValue", 1), u"Value");
    EXPECT_FALSE(Piece(u"Name\tValue", 2).has_value());
    EXPECT_EQ(*Piece(u"Name\t", 1), u"");
    EXPECT_EQ(*Piece(u"Group", 0), u"Group");
    EXPECT_FALSE(Piece(u"Group", 1).has_value());
}

TEST(ColumnTreeRules, TemperaturesFrom65DegreesAreHot) {
    EXPECT_TRUE(IsHotTemperature(u"70.0\u00B0 C  (158.0\u00B0 F)"));
    EXPECT_TRUE(IsHotTemperature(u"65.0\u00B0 C"));
    EXPECT_FALSE(IsHotTemperature(u"64.9\u00B0 C"));
    EXPECT_FALSE(IsHotTemperature(u"64\u00B0 C"));
    EXPECT_FALSE(IsHotTemperature(u"\u00B0 C 99"));
    EXPECT_FALSE(IsHotTemperature(u"-1.0\u00B0 C"));
    EXPECT_FALSE(IsHotTemperature(u"70 C"));
    EXPECT_FALSE(IsHotTemperature(u"99999999999999999999999"));
}

TEST(ColumnTreeRules, ValueColoursTurnRedAndStayRedForTheLaterColumns) {
    const auto plain = ValueColours(u"Link\t1000 Mbit/s", 2, false, dhcpYes);
    EXPECT_EQ(plain, (std::vector<unsigned>{valueColour}));
    EXPECT_EQ(ValueColours(dhcpYes, 2, false, dhcpYes), (std::vector<unsigned>{warningColour}));
    EXPECT_EQ(ValueColours(u"DHCP enabled\tNo", 2, false, dhcpYes), (std::vector<unsigned>{valueColour}));
    EXPECT_EQ(ValueColours(u"T\t70.0\u00B0 C\tx", 3, false, dhcpYes),
              (std::vector<unsigned>{warningColour, warningColour}));
    EXPECT_EQ(ValueColours(u"T\tx\t70.0\u00B0 C", 3, false, dhcpYes),
              (std::vector<unsigned>{valueColour, warningColour}));
    EXPECT_EQ(ValueColours(u"Link\t1000", 2, true, dhcpYes), (std::vector<unsigned>{highlightTextColour}));
    EXPECT_EQ(ValueColours(u"a\tb", 40, false, dhcpYes).size(), 15u);
}

TEST(ColumnTreeRules, HighlightOfALeafStartsAtZeroAndOfAGroupAtItsLabel) {
    const std::vector<int> widths{195, 143};
    const Rect label{40, 17, 120, 34};
    const auto leaf = RowHighlight(label, 50, widths, false, false, true);
    EXPECT_EQ(leaf.highlight, (Rect{0, 17, 94, 34}));
    EXPECT_TRUE(leaf.erase.empty());
    EXPECT_TRUE(leaf.highlighted);

    const auto group = RowHighlight(label, 50, widths, false, true, true);
    EXPECT_EQ(group.highlight, (Rect{40, 17, 94, 34}));
    ASSERT_EQ(group.erase.size(), 4u);
    EXPECT_EQ(group.erase[0], (Rect{0, 17, 26, 34}));
    EXPECT_EQ(group.erase[1], (Rect{26, 17, 41, 21}));
    EXPECT_EQ(group.erase[2], (Rect{26, 31, 41, 34}));
    EXPECT_EQ(group.erase[3], (Rect{35, 17, 41, 32}));

    // A long label is cut four pixels before the first column's edge.
    EXPECT_EQ(RowHighlight(label, 500, widths, false, true, true).highlight.right, 191);
    // Full-row selection reaches over every column.
    const auto full = RowHighlight(label, 50, widths, true, true, true);
    EXPECT_EQ(full.highlight, (Rect{40, 17, 348, 34}));
    // A label beyond the first column gives a negative width: not highlighted.
    const auto beyond = RowHighlight(Rect{300, 0, 320, 17}, 10, widths, false, true, true);
    EXPECT_FALSE(beyond.highlighted);
    EXPECT_FALSE(RowHighlight(label, 50, widths, false, false, false).highlighted);
}

TEST(ColumnTreeRules, TextRectanglesOfBothColumnKinds) {
    const Rect label{40, 17, 120, 34};
    EXPECT_EQ(FirstColumnTextRect(label, false, 0), (Rect{42, 18, 118, 33}));
    EXPECT_EQ(FirstColumnTextRect(label, true, 8), (Rect{42, 18, 148, 33}));
    EXPECT_EQ(FirstColumnTextRect(label, true, 9), (Rect{42, 18, 118, 33}));
    EXPECT_EQ(ValueTextRect(label, {195, 143}, 1, 9), (Rect{204, 18, 336, 33}));
}

TEST(ColumnTreeRules, AColumnFittedToItsTextDrawsItWholeWithTheGapAfterIt) {
    // A label of 120 pixels one level down, below lines at the root: measured with two indents
    // of 19, drawn from 3 pixels after them.
    const int text = 120, indents = 2 * 19, left = indents + 3;
    const int first = FittedColumnWidth(0, indents + text, 9);
    Rect t = FirstColumnTextRect(Rect{left, 0, std::min(left + text + 4, first), 17}, false, 0);
    t.right = std::min(t.right, first - 2); // as the row is drawn
    EXPECT_GE(t.Width(), text);
    EXPECT_EQ(first - (t.left + text), textGap);
    const int second = FittedColumnWidth(1, 104, 9);
    const Rect v = ValueTextRect(Rect{left, 0, first, 17}, {first, second}, 1, 9);
    EXPECT_GE(v.Width(), 104);
    EXPECT_EQ(first + second - (v.left + 104), textGap);
}

TEST(ColumnTreeRules, HorizontalScrollingStaysWithinTheContent) {
    EXPECT_EQ(ScrollTo(ScrollCode::LineRight, 0, 0, 500, 300), 15);
    EXPECT_EQ(ScrollTo(ScrollCode::LineLeft, 10, 0, 500, 300), 0);
    EXPECT_EQ(ScrollTo(ScrollCode::PageRight, 0, 0, 500, 300), 200);
    EXPECT_EQ(ScrollTo(ScrollCode::PageLeft, 200, 0, 500, 300), 0);
    EXPECT_EQ(ScrollTo(ScrollCode::ThumbTrack, 0, 120, 500, 300), 120);
    EXPECT_EQ(ScrollTo(ScrollCode::RightEnd, 0, 0, 500, 300), 200);
    EXPECT_EQ(ScrollTo(ScrollCode::LeftEnd, 150, 0, 500, 300), 0);
    EXPECT_EQ(ScrollTo(ScrollCode::Other, 150, 0, 500, 300), 150);
    // Content narrower than the window: always 0.
    EXPECT_EQ(ScrollTo(ScrollCode::RightEnd, 0, 0, 200, 300), 0);
    EXPECT_EQ(ClampScrollOffset(50, 200, 300), 0);
    // Scrolled to its end, the last column ends before the rows' scroll bar of 14 pixels.
    const int extent = ScrolledWidth(500, 14);
    EXPECT_EQ(500 - ScrollTo(ScrollCode::RightEnd, 0, 0, extent, 300), 300 - 14);
    EXPECT_EQ(ScrolledWidth(500, 0), 500);
}

TEST(ColumnTreeRules, OnlySixteenColumnsCount) {
    EXPECT_EQ(TotalWidth(std::vector<int>(20, 10)), 160);
    EXPECT_EQ(TotalWidth({195, 143}), 338);
}

TEST(ColumnTreeRules, ASpokenItemIsItsLabelThenItsFilledValues) {
    EXPECT_EQ(SpokenItem(u"IP address\t192.168.10.2"), u"IP address: 192.168.10.2");
    EXPECT_EQ(SpokenItem(u"Adapter\t\tIntel\t1.2"), u"Adapter: Intel, 1.2");
    EXPECT_EQ(SpokenItem(u"Network"), u"Network");
    EXPECT_EQ(SpokenItem(u"Network\t"), u"Network");
}

} // namespace
