#include "camera_manager/core/rules/ProgressRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace ProgressRules;

TEST(ProgressRules, TenSecondsStepByTenPercentPerWholeSecond) {
    EXPECT_EQ(BarPosition(ElapsedPercent(100, 100, 10)), 0);
    EXPECT_EQ(BarPosition(ElapsedPercent(100, 101, 10)), 10);
    EXPECT_EQ(BarPosition(ElapsedPercent(100, 107, 10)), 70);
    EXPECT_DOUBLE_EQ(ElapsedPercent(100, 103, 25), 12.0);
    EXPECT_EQ(BarPosition(12.99), 12);
}

TEST(ProgressRules, PastTheExpectedDurationTheBarStaysFull) {
    EXPECT_DOUBLE_EQ(ElapsedPercent(0, 20, 10), 200.0);
    EXPECT_EQ(BarPosition(ElapsedPercent(0, 20, 10)), 100);
    EXPECT_EQ(BarPosition(1e300), 100);
}

TEST(ProgressRules, AZeroExpectedDurationIsFullNotUndefined) {
    EXPECT_DOUBLE_EQ(ElapsedPercent(0, 0, 0), 100.0);
    EXPECT_DOUBLE_EQ(ElapsedPercent(0, 5, -3), 100.0);
    EXPECT_EQ(BarPosition(std::nan("")), 0);
    EXPECT_EQ(BarPosition(-5), 0);
}

TEST(ProgressRules, CentresOnTheOwner) {
    EXPECT_EQ(CenterOnOwner(100, 50, 900, 650, 300, 100), (Point{350, 300}));
    EXPECT_EQ(CenterOnOwner(0, 0, 100, 100, 301, 101), (Point{-100, -0}));
}

} // namespace
