#include "camera_manager/core/rules/ScreenPlacement.h"

#include <gtest/gtest.h>

namespace {

using ScreenPlacement::KeepInside;
using ScreenPlacement::Rect;

const Rect screen{0, 0, 1280, 1024};

TEST(ScreenPlacement, AWindowPastAnEdgeMovesBackJustInside) {
    // The support-file viewer centred on the main dialog: its right edge lay at 1368.
    EXPECT_EQ(KeepInside({284, 148, 1084, 729}, screen, true), (Rect{196, 148, 1084, 729}));
    EXPECT_EQ(KeepInside({-40, -10, 300, 200}, screen, false), (Rect{0, 0, 300, 200}));
    EXPECT_EQ(KeepInside({1200, 900, 300, 200}, screen, false), (Rect{980, 824, 300, 200}));
    // A work area that leaves out a panel at the top and one at the left.
    EXPECT_EQ(KeepInside({10, 5, 300, 200}, {64, 28, 1216, 996}, false), (Rect{64, 28, 300, 200}));
    // Inside already: untouched.
    EXPECT_EQ(KeepInside({100, 100, 300, 200}, screen, true), (Rect{100, 100, 300, 200}));
}

TEST(ScreenPlacement, AWindowLargerThanTheAreaShrinksOrKeepsItsTitleBarOnScreen) {
    EXPECT_EQ(KeepInside({300, 50, 1600, 1200}, screen, true), (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(KeepInside({300, 50, 1600, 1200}, screen, false), (Rect{0, 0, 1600, 1200}));
    // Wider only: the height and place along it stay.
    EXPECT_EQ(KeepInside({300, 50, 1600, 400}, screen, true), (Rect{0, 50, 1280, 400}));
    // No display known: nothing to go by.
    EXPECT_EQ(KeepInside({5000, 5000, 10, 10}, {0, 0, 0, 0}, true), (Rect{5000, 5000, 10, 10}));
}

} // namespace
