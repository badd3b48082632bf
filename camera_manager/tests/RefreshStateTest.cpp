#include "camera_manager/core/rules/RefreshState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RefreshStateTest, RequestsAreTakenOnceAndTheAutomaticRefreshFillsTheTreeEveryTick) {
    RefreshState state(1500, [](const std::string&) {});
    EXPECT_EQ(state.TimerDelay(), 1500);
    EXPECT_EQ(RefreshState(0, [](const std::string&) {}).TimerDelay(), 1);
    EXPECT_EQ(RefreshState(0xFFFFFFFFu, [](const std::string&) {}).TimerDelay(), INT32_MAX);

    EXPECT_FALSE(state.TakeParameters(false));
    EXPECT_TRUE(state.TakeParameters(true));
    state.RequestParameters();
    EXPECT_TRUE(state.ParametersRequested());
    EXPECT_TRUE(state.TakeParameters(false));
    EXPECT_FALSE(state.ParametersRequested());

    state.RequestListRebuild();
    EXPECT_TRUE(state.TakeListRebuild());
    EXPECT_FALSE(state.TakeListRebuild());
    // The adapter texts are looked up at the first fill.
    EXPECT_TRUE(state.TakeAdapterLookup());
    EXPECT_FALSE(state.TakeAdapterLookup());
    state.RequestLayoutRestore();
    EXPECT_TRUE(state.TakeLayoutRestore());
    EXPECT_FALSE(state.TakeLayoutRestore());
}

TEST(RefreshStateTest, AFailingTickIsReportedOnceWithItsRepetitionsAndItsRecovery) {
    std::vector<std::string> lines;
    RefreshState state(1500, [&](const std::string& line) { lines.push_back(line); });
    state.TickSucceeded();
    EXPECT_TRUE(lines.empty());
    for (int i = 0; i < 4; ++i)
        state.TickFailed("zk_GetCameraList: out of memory");
    EXPECT_EQ(state.LastFailure(), "zk_GetCameraList: out of memory");
    state.TickFailed("");
    state.TickSucceeded();
    state.TickSucceeded();
    EXPECT_EQ(state.LastFailure(), "");
    const std::vector<std::string> expected = {
        "the camera list refresh failed: zk_GetCameraList: out of memory",
        "the same failure 3 more times",
        "the camera list refresh failed: unknown failure",
        "the camera list refresh works again",
    };
    EXPECT_EQ(lines, expected);
}

} // namespace
