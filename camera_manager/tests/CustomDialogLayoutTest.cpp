#include "camera_manager/core/rules/CustomDialogLayout.h"

#include <gtest/gtest.h>

namespace {

using CustomDialogLayout::LayoutControls;

std::map<int, ControlPlacement> Recorded() {
    std::map<int, ControlPlacement> r;
    for (int id : CustomDialogLayout::recordedControls)
        r[id] = {10, 20, 100, 30};
    return r;
}

CustomDialogLayout::TreeFit Fit(int label, int value = 0, std::optional<int> chrome = std::nullopt,
                                std::array<int, 2> user = {}) {
    return {label, value, chrome, user};
}

ControlPlacement Find(const CustomDialogLayout::Layout& l, int id) {
    for (const auto& m : l.moves)
        if (m.id == id)
            return m.placement;
    ADD_FAILURE() << "control " << id << " not moved";
    return {};
}

TEST(CustomDialogLayout, NarrowModeGivesAllGrowthBeyondTheNarrowWidthToTheList) {
    // Narrow window of the template: client 600 wide, template client 971 wide.
    const auto l = LayoutControls(Recorded(), 971, 500, 600, 540, false);
    EXPECT_EQ(l.extraWidth, 0);
    EXPECT_EQ(l.extraHeight, 40);
    EXPECT_EQ(Find(l, 1010), (ControlPlacement{10, 20, 100, 70}));
    EXPECT_EQ(Find(l, 1082), (ControlPlacement{10, 20, 100, 70}));
    // The hidden expert row is closed: what lies below moves up, the status line grows.
    const int row = CustomDialogLayout::expertRowHeight;
    EXPECT_EQ(Find(l, 1029), (ControlPlacement{10, 60 - row, 100, 30}));
    EXPECT_EQ(Find(l, 1106), (ControlPlacement{10, 60 - row, 100, 30}));
    EXPECT_EQ(Find(l, 1325), (ControlPlacement{10, 60 - row, 100, 30}));
    EXPECT_EQ(Find(l, 1091), (ControlPlacement{10, 60, 100, 30 - row}));
    EXPECT_EQ(Find(l, 1154), (ControlPlacement{10, 60 - row, 100, 30 + row}));
    EXPECT_EQ(Find(l, 1153), (ControlPlacement{10, 60 - row, 100, 30 + row}));
    EXPECT_EQ(Find(l, 1125), (ControlPlacement{10, 60, 100, 30})); // rows above stay

    const auto wider = LayoutControls(Recorded(), 971, 500, 700, 500, false);
    EXPECT_EQ(wider.extraWidth, 100);
    EXPECT_EQ(Find(wider, 1010), (ControlPlacement{10, 20, 200, 30}));
    EXPECT_EQ(Find(wider, 1082).x, 110); // the tree stays beyond the narrow window's edge
}

TEST(CustomDialogLayout, ExpertModeSharesTheGrowthAndPlacesEachGroup) {
    const auto l = LayoutControls(Recorded(), 971, 500, 971 + 200, 510, true);
    const int e = 100, t = 50, q = 25, r = 75, b = 10;
    ASSERT_EQ(l.extraWidth, e);
    EXPECT_EQ(Find(l, 1082), (ControlPlacement{10 + e, 20, 100 + e, 30 + b}));
    EXPECT_EQ(Find(l, 1090), (ControlPlacement{10 + e, 20, 100 + e, 30 + b}));
    EXPECT_EQ(Find(l, 1091), (ControlPlacement{10, 20 + b, 100 + e, 30}));
    EXPECT_EQ(Find(l, 1158), (ControlPlacement{10, 20 + b, 100 + 2 * e, 30}));
    EXPECT_EQ(Find(l, 1159), (ControlPlacement{10, 20 + b, 100 + 2 * e, 30}));
    EXPECT_EQ(Find(l, 1154), (ControlPlacement{10, 20 + b, 100 + e, 30}));
    EXPECT_EQ(Find(l, 1125), (ControlPlacement{10, 20 + b, 100 + t, 30}));
    EXPECT_EQ(Find(l, 1325), (ControlPlacement{10, 20 + b, 100 + t, 30}));
    EXPECT_EQ(Find(l, 1085), (ControlPlacement{10 + t, 20 + b, 100 + t, 30}));
    EXPECT_EQ(Find(l, 1079), (ControlPlacement{10 + t, 20 + b, 100, 30}));
    EXPECT_EQ(Find(l, 1106), (ControlPlacement{10, 20 + b, 100, 30}));
    EXPECT_EQ(Find(l, 1340), (ControlPlacement{10 + q, 20 + b, 100, 30}));
    EXPECT_EQ(Find(l, 1150), (ControlPlacement{10 + r, 20 + b, 100, 30}));
    EXPECT_EQ(l.listColumnWidths,
              (std::array<int, 7>{14 + 47, 14 + 42, 14 + 39, 14 + 51, 14 + 49, 14 + 82, 14 + 79}));
    EXPECT_EQ(l.treeColumnWidths, (std::array<int, 2>{50 + 195, 50 + 143}));
    // A column is never narrower than its texts ("Nein" beside the icon).
    CustomDialogLayout::ListFit texts;
    texts.textWidths = {70, 30};
    EXPECT_EQ(LayoutControls(Recorded(), 971, 500, 971 + 200, 510, true, {}, texts).listColumnWidths,
              (std::array<int, 7>{70, 14 + 42, 14 + 39, 14 + 51, 14 + 49, 14 + 82, 14 + 79}));
}

TEST(CustomDialogLayout, TheTreesLabelColumnIsNeverNarrowerThanItsLongestLabel) {
    const auto roomy = LayoutControls(Recorded(), 971, 500, 971 + 200, 500, true, Fit(180));
    EXPECT_EQ(roomy.treeColumnWidths, (std::array<int, 2>{50 + 195, 50 + 143}));
    const auto wide = LayoutControls(Recorded(), 971, 500, 971, 500, true, Fit(230));
    EXPECT_EQ(wide.treeColumnWidths, (std::array<int, 2>{230, 143 - 35}));
    const auto wider = LayoutControls(Recorded(), 971, 500, 971, 500, true, Fit(300));
    EXPECT_EQ(wider.treeColumnWidths, (std::array<int, 2>{300, 100}));
    // The longest value is not cut either: the tree scrolls sideways instead.
    const auto values = LayoutControls(Recorded(), 971, 500, 971, 500, true, Fit(300, 130));
    EXPECT_EQ(values.treeColumnWidths, (std::array<int, 2>{300, 130}));
    const auto shortValues = LayoutControls(Recorded(), 971, 500, 971, 500, true, Fit(230, 60));
    EXPECT_EQ(shortValues.treeColumnWidths, (std::array<int, 2>{230, 143 - 35}));
    // Short labels give their spare room to long values.
    const auto longValues = LayoutControls(Recorded(), 971, 500, 971, 500, true, Fit(100, 230));
    EXPECT_EQ(longValues.treeColumnWidths, (std::array<int, 2>{108, 230}));
}

TEST(CustomDialogLayout, TheTreesColumnsEndLeftOfItsScrollBar) {
    // The template's tree: 344 wide, its columns 338; in expert mode 200 wider, e = 100.
    std::map<int, ControlPlacement> recorded = Recorded();
    recorded[1082] = {616, 24, 344, 574};
    const int border = 2, bar = 14;
    // Without a scroll bar the columns fill the tree inside its border.
    const auto plain = LayoutControls(recorded, 971, 500, 971 + 200, 500, true, Fit(180, 120, border));
    EXPECT_EQ(plain.treeColumnWidths, (std::array<int, 2>{50 + 195, 344 + 100 - border - 50 - 195}));
    // The bar takes its width from the value column, never from the labels.
    const auto barred = LayoutControls(recorded, 971, 500, 971 + 200, 500, true, Fit(180, 120, border + bar));
    EXPECT_EQ(barred.treeColumnWidths[0], 50 + 195);
    EXPECT_EQ(barred.treeColumnWidths[0] + barred.treeColumnWidths[1], 344 + 100 - border - bar);
    // The template's width: long values take room from short labels, up to the scroll bar.
    const auto tight = LayoutControls(recorded, 971, 500, 971, 500, true, Fit(150, 160, border + bar));
    EXPECT_EQ(tight.treeColumnWidths, (std::array<int, 2>{344 - border - bar - 160, 160}));
    // Labels and values that cannot both be whole: the values keep their width, the tree scrolls.
    const auto over = LayoutControls(recorded, 971, 500, 971, 500, true, Fit(230, 140, border + bar));
    EXPECT_EQ(over.treeColumnWidths, (std::array<int, 2>{230, 140}));
    // Unless the list beside it has room to spare beyond its columns (389 wide): then the tree
    // takes what it lacks from the list and everything under it, and both stand whole.
    recorded[1010] = {10, 24, 570, 574};
    const int lacking = 230 + 140 - (344 - border - bar);
    const auto shared = LayoutControls(recorded, 971, 500, 971, 500, true, Fit(230, 140, border + bar));
    EXPECT_EQ(shared.treeColumnWidths, (std::array<int, 2>{230, 140}));
    EXPECT_EQ(Find(shared, 1082), (ControlPlacement{616 - lacking, 24, 344 + lacking, 574}));
    EXPECT_EQ(Find(shared, 1090), (ControlPlacement{10 - lacking, 20, 100 + lacking, 30}));
    EXPECT_EQ(Find(shared, 1010), (ControlPlacement{10, 24, 570 - lacking, 574}));
    EXPECT_EQ(Find(shared, 1091), (ControlPlacement{10, 20, 100 - lacking, 30}));
    EXPECT_EQ(Find(shared, 1085), (ControlPlacement{10 - lacking / 2, 20, 100 - lacking / 2, 30}));
    EXPECT_EQ(Find(shared, 1158).width, 100); // the status line spans both, as before
    // No more than the list can spare; nothing in the narrow layout, nor once the user sized a
    // column.
    const auto scarce = LayoutControls(recorded, 971, 500, 971, 500, true, Fit(230, 300, border + bar));
    EXPECT_EQ(Find(scarce, 1010).width, 24 + 389);
    EXPECT_EQ(
        Find(LayoutControls(recorded, 971, 500, 600, 500, false, Fit(230, 140, border + bar)), 1010).width,
        570);
    EXPECT_EQ(
        Find(LayoutControls(recorded, 971, 500, 971, 500, true, Fit(230, 140, border + bar, {230, 0})), 1010)
            .width,
        570);
}

TEST(CustomDialogLayout, AWidthTheUserGaveATreeColumnStays) {
    std::map<int, ControlPlacement> recorded = Recorded();
    recorded[1082] = {616, 24, 344, 574};
    const int chrome = 16;
    // The label column the user narrowed stays, however long the labels shown; the value column
    // takes the rest up to the scroll bar, and never less than its values.
    CustomDialogLayout::TreeFit fit = Fit(180, 120, chrome, {150, 0});
    EXPECT_EQ(LayoutControls(recorded, 971, 500, 971, 500, true, fit).treeColumnWidths,
              (std::array<int, 2>{150, 344 - chrome - 150}));
    fit.labelWidth = 260; // a branch opened on longer labels
    EXPECT_EQ(LayoutControls(recorded, 971, 500, 971, 500, true, fit).treeColumnWidths,
              (std::array<int, 2>{150, 344 - chrome - 150}));
    fit.userWidths = {300, 0}; // widened past the room
    EXPECT_EQ(LayoutControls(recorded, 971, 500, 971, 500, true, fit).treeColumnWidths,
              (std::array<int, 2>{300, 120}));
    // A wider window keeps both widths the user gave.
    fit.userWidths = {150, 90};
    EXPECT_EQ(LayoutControls(recorded, 971, 500, 971 + 300, 500, true, fit).treeColumnWidths,
              (std::array<int, 2>{150, 90}));
    // A value column the user sized leaves the labels as the texts want them.
    fit.userWidths = {0, 90};
    fit.labelWidth = 180;
    EXPECT_EQ(LayoutControls(recorded, 971, 500, 971, 500, true, fit).treeColumnWidths,
              (std::array<int, 2>{195, 90}));
}

TEST(CustomDialogLayout, ResizingKeepsTheWindowOnTheScreen) {
    using CustomDialogLayout::ResizeWithinScreen;
    using CustomDialogLayout::Span;
    // Room on the right: the left edge stays.
    EXPECT_EQ(ResizeWithinScreen(100, 600, 371, 0, 1600), (Span{100, 971}));
    // At the right edge: the window moves left just enough.
    EXPECT_EQ(ResizeWithinScreen(900, 600, 371, 0, 1600), (Span{629, 971}));
    // Not even the whole screen is enough: as wide as the screen, at its left edge.
    EXPECT_EQ(ResizeWithinScreen(300, 600, 371, 50, 800), (Span{50, 800}));
    // Narrowing keeps the left edge; a window already off the left edge comes back.
    EXPECT_EQ(ResizeWithinScreen(629, 971, -371, 0, 1600), (Span{629, 600}));
    EXPECT_EQ(ResizeWithinScreen(-40, 600, 371, 0, 1600), (Span{0, 971}));
}

TEST(CustomDialogLayout, MovesListAndTreeFirstThenTheRestInOrder) {
    const auto l = LayoutControls(Recorded(), 971, 500, 971, 500, true);
    ASSERT_EQ(l.moves.size(), 33u);
    EXPECT_EQ(l.moves[0].id, 1010);
    EXPECT_EQ(l.moves[1].id, 1082);
    EXPECT_EQ(l.moves[2].id, 1085);
    EXPECT_EQ(l.moves[32].id, 1158);
}

TEST(CustomDialogLayout, NegativeExtraWidthTruncatesTowardZero) {
    // 13 pixels narrower than the narrow width: e = -13, e/7 = -1, e/2 = -6, e/4 = -3, 3e/4 = -9.
    const auto l = LayoutControls(Recorded(), 971, 500, 971 - 371 - 13, 500, false);
    ASSERT_EQ(l.extraWidth, -13);
    EXPECT_EQ(l.listColumnWidths[0], 46);
    EXPECT_EQ(l.treeColumnWidths[0], 189);
    EXPECT_EQ(Find(l, 1085).x, 10 - 6);
    EXPECT_EQ(Find(l, 1072).x, 10 - 3);
    EXPECT_EQ(Find(l, 1096).x, 10 - 9);
    EXPECT_EQ(CustomDialogLayout::ExtraWidth(971 - 13, 971, true), -6);
}

// On a screen narrower than the template the list loses width, its columns only once it has none
// left beside them; a window at least as wide as the template keeps the seventh of the growth.
TEST(CustomDialogLayout, TheListsColumnsKeepTheirWidthsWhileTheListHasRoomBesideThem) {
    auto recorded = Recorded();
    recorded[1010] = {16, 24, 587, 272};
    const std::array<int, 7> template_{47, 42, 39, 51, 49, 82, 79};
    const auto total = [](const std::array<int, 7>& widths) {
        int sum = 0;
        for (int width : widths)
            sum += width;
        return sum;
    };
    // Expert mode on an 800-pixel screen: the list is 100 pixels narrower, with room to spare.
    auto l = LayoutControls(recorded, 990, 680, 790, 540, true);
    ASSERT_EQ(l.extraWidth, -100);
    EXPECT_EQ(l.listColumnWidths, template_);
    // Narrower still: the columns share what the list has, and take all of it.
    l = LayoutControls(recorded, 990, 680, 390, 540, true);
    const int list = Find(l, 1010).width;
    ASSERT_EQ(list, 287);
    EXPECT_LE(total(l.listColumnWidths), list - CustomDialogLayout::listChrome);
    EXPECT_GT(total(l.listColumnWidths), list - CustomDialogLayout::listChrome - 7);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(template_[c] - l.listColumnWidths[c], template_[0] - l.listColumnWidths[0]) << c;
    // Wider than the template: a seventh of the extra width each, as before.
    l = LayoutControls(recorded, 990, 680, 1130, 680, true);
    EXPECT_EQ(l.listColumnWidths[0], 47 + 10);
    EXPECT_EQ(l.listColumnWidths[6], 79 + 10);
    l = LayoutControls(recorded, 990, 680, 990 - 371 + 70, 680, false);
    EXPECT_EQ(l.listColumnWidths[3], 51 + 10);
}

// The dialog never gets so low that the controls below the list run over it; on a lower work
// area the minimum is the area's height.
TEST(CustomDialogLayout, TheMinimumHeightLeavesTheListItsHeaderAndRows) {
    EXPECT_EQ(CustomDialogLayout::MinimumHeight(true, 700, 272),
              700 - 272 + CustomDialogLayout::minimumListHeight);
    EXPECT_EQ(CustomDialogLayout::MinimumHeight(true, 700, 272, 480), 480);
    EXPECT_EQ(CustomDialogLayout::MinimumHeight(true, 700, 60), 700);
    EXPECT_EQ(CustomDialogLayout::MinimumHeight(false, 700, 272), 0);
}

// A size the work area imposed on the one asked for is not saved; one the user chose is.
TEST(CustomDialogLayout, TheSavedExtentIsTheUsersNotTheScreens) {
    EXPECT_EQ(CustomDialogLayout::SavedExtent(575, 575, 900, 1000), 900);
    EXPECT_EQ(CustomDialogLayout::SavedExtent(560, 575, 900, 1000), 560);
    EXPECT_EQ(CustomDialogLayout::SavedExtent(900, 900, 900, 1000), 900);
    EXPECT_EQ(CustomDialogLayout::SavedExtent(950, 900, 900, 1000), 950);
    // A window manager took its frame off the extent given at the start: the window fills the
    // work area. Made smaller by hand, it no longer does.
    EXPECT_EQ(CustomDialogLayout::SavedExtent(575, 600, 680, 575), 680);
    EXPECT_EQ(CustomDialogLayout::SavedExtent(560, 600, 680, 575), 560);
    EXPECT_EQ(CustomDialogLayout::SavedExtent(700, 600, 680, 575), 700);
}

TEST(CustomDialogLayout, ExpertModeSwitchesTheBottomFrameAndTheMinimumWidth) {
    EXPECT_EQ(CustomDialogLayout::PaintedGroupFrames(true), (std::vector<int>{1001, 1091, 1090, 1095, 1158}));
    EXPECT_EQ(CustomDialogLayout::PaintedGroupFrames(false),
              (std::vector<int>{1001, 1091, 1090, 1095, 1153}));
    EXPECT_EQ(CustomDialogLayout::MinimumWidth(true, true, 990, 619), 990);
    EXPECT_EQ(CustomDialogLayout::MinimumWidth(true, false, 990, 619), 619);
    EXPECT_EQ(CustomDialogLayout::MinimumWidth(false, true, 990, 619), 0);
    // On a screen narrower than the expert window the minimum is the work area's width.
    EXPECT_EQ(CustomDialogLayout::MinimumWidth(true, true, 990, 619, 640), 640);
    EXPECT_EQ(CustomDialogLayout::MinimumWidth(true, false, 990, 619, 640), 619);
}

TEST(CustomDialogLayout, TheLanguageComboStopsShortOfTheCameraPicture) {
    // The template's bottom row: combo at 16 (200 wide), the picture at 300.
    auto recorded = Recorded();
    recorded[1325] = {16, 566, 200, 30};
    for (int id : {1072, 1097, 1124, 1328, 1340, 1341, 1351, 1352})
        recorded[id] = {300, 563, 60, 40};
    for (int e = 0; e <= 1600; e += 40) {
        SCOPED_TRACE(e);
        const auto l = LayoutControls(recorded, 971, 680, 971 - 371 + e, 680, false);
        const ControlPlacement combo = Find(l, 1325);
        const ControlPlacement picture = Find(l, 1072);
        EXPECT_EQ(picture.x, 300 + e / 4); // the picture keeps its formula
        EXPECT_LE(combo.x + combo.width, picture.x - 8);
        if (e <= 300)
            EXPECT_EQ(combo.width, 200 + e / 2); // and so does the combo while there is room
    }
}

} // namespace
