// The clock optimisation on its worker thread, its listener, and listener removal.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "platform/zeko/tests/RunCommand.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

using Tolvane_model::Camera;
using Tolvane_model::Config;

namespace tvmtest {
namespace {

class OptimizeClockTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        camera().init();
        zksim_JournalClear();
    }
    Camera& camera() { return *Camera::getInstance(); }
};

bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The worker is done once the journal holds its last call (or the listener heard of it).
bool optimisationDone(int frameRateCalls) {
    return zksim_JournalCount("zk_SetFrameRate") >= frameRateCalls;
}

TEST_F(OptimizeClockTest, BestClockAndRateAreSetAndTheListenerIsToldOnTheWorker) {
    ZkSimCamera sim{};
    ASSERT_EQ(zksim_GetCamera(0, &sim), 0);
    Config::getInstance()->setConfSaved(true);
    CountingListener listener;
    camera().optimizeClock(&listener);
    EXPECT_FALSE(Config::getInstance()->getConfSaved());
    ASSERT_TRUE(waitFor([&] { return listener.optimizeEnds == 1; }));
    EXPECT_TRUE(listener.onOtherThread);
    EXPECT_EQ(calls(),
              (std::vector<std::string>{"zk_fn407", "zk_SetPixelClock", "zk_fn271", "zk_SetFrameRate"}));
    EXPECT_EQ(lastCall("zk_fn407").ints[2], 5000);
    EXPECT_EQ(lastCall("zk_SetPixelClock").ints[1], sim.clockMax);
}

TEST_F(OptimizeClockTest, FailedSearchChangesNothingButStillTellsTheListener) {
    zksim_InjectFailure("zk_fn407", ZK_NO_SUCCESS, 1);
    CountingListener listener;
    camera().optimizeClock(&listener);
    ASSERT_TRUE(waitFor([&] { return listener.optimizeEnds == 1; }));
    EXPECT_EQ(calls(), (std::vector<std::string>{"zk_fn407"}));
}

TEST_F(OptimizeClockTest, FailedFrameTimeQueryAppliesTheSearchedRate) {
    zksim_InjectFailure("zk_fn271", ZK_NO_SUCCESS, 1);
    CountingListener listener;
    camera().optimizeClock(&listener);
    ASSERT_TRUE(waitFor([&] { return listener.optimizeEnds == 1; }));
    EXPECT_EQ(calls(),
              (std::vector<std::string>{"zk_fn407", "zk_SetPixelClock", "zk_fn271", "zk_SetFrameRate"}));
    EXPECT_GT(lastCall("zk_SetFrameRate").doubles[0], 0.0);
}

TEST_F(OptimizeClockTest, ZeroFrameTimeIsNotUsedForTheRate) {
    // Code 0 without output: the frame time stays 0 and must not become an infinite rate.
    zksim_InjectFailure("zk_fn271", 0, 1);
    CountingListener listener;
    camera().optimizeClock(&listener);
    ASSERT_TRUE(waitFor([&] { return listener.optimizeEnds == 1; }));
    const double rate = lastCall("zk_SetFrameRate").doubles[0];
    EXPECT_TRUE(std::isfinite(rate));
    EXPECT_GT(rate, 0.0);
}

TEST_F(OptimizeClockTest, NullListenerStillOptimises) {
    camera().optimizeClock(nullptr);
    ASSERT_TRUE(waitFor([] { return optimisationDone(1); }));
    EXPECT_EQ(zksim_JournalCount("zk_SetPixelClock"), 1);
}

TEST_F(OptimizeClockTest, RemovedListenerIsNotCalledWhenTheSearchEnds) {
    zksim_SetDelays(300, 0);
    CountingListener listener;
    camera().optimizeClock(&listener);
    camera().removeListener(&listener);
    ASSERT_TRUE(waitFor([] { return optimisationDone(1); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(listener.optimizeEnds, 0);
}

TEST_F(OptimizeClockTest, CameraDeletedDuringTheSearchLeavesTheWorkerHarmless) {
    zksim_SetDelays(300, 0);
    CountingListener listener;
    camera().optimizeClock(&listener);
    delete Camera::getInstance();
    // The camera waits for the search on its way out: the toolkit's end of program, which may
    // follow at once, must not find the worker still running.
    EXPECT_EQ(Tolvane_model::Thread::running(), 0);
    EXPECT_EQ(listener.optimizeEnds, 1);
    // The closed handle answers the search with an error: nothing is set.
    EXPECT_EQ(zksim_JournalCount("zk_SetPixelClock"), 0);
}

// Run on its own by the test below: the process ends while a search is still running, for as
// long as TVM_SEARCH_MS says.
TEST_F(OptimizeClockTest, DISABLED_EndWhileTheSearchRuns) {
    const char* ms = std::getenv("TVM_SEARCH_MS");
    zksim_SetDelays(ms ? std::atoi(ms) : 400, 0);
    camera().optimizeClock(nullptr);
}

// The search ends at every point of the program's end, from its first steps to its last. A copy
// that hangs on its way out is killed after two minutes (one takes a second or two even on a
// loaded machine), so that the hang fails this test instead of holding the whole program.
// Read before any test runs: a recording test moves this program into a mount namespace of its
// own, where a program started in a chroot reads its path as the host sees it.
const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

TEST(OptimizeClockAtExit, TheProgramEndsCleanlyWhileTheSearchRuns) {
    for (int ms = 0; ms <= 120; ms += 6) {
        int status = -1;
        const std::string out =
            zeko::test::runCommand("TVM_SEARCH_MS=" + std::to_string(ms) + " timeout -s KILL 120 '" + self +
                                       "' --gtest_also_run_disabled_tests "
                                       "--gtest_filter=OptimizeClockTest.DISABLED_EndWhileTheSearchRuns "
                                       "2>&1",
                                   &status);
        ASSERT_NE(status, 137) << ms << " ms: the program did not end within two minutes\n" << out;
        ASSERT_EQ(status, 0) << ms << " ms\n" << out;
        EXPECT_EQ(out.find("Sanitizer"), std::string::npos) << out;
        EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
    }
}

} // namespace
} // namespace tvmtest
