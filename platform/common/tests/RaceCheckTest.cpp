// The race checks' suppressions (scripts/tsan.supp, compiled into this program as into every
// program of the race tree) excuse GLib's own races and not the suite's: each case runs a race
// in a copy of this program and reads the copy's verdict.
#include <glib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

// A suite thread writes a status line and an idle callback on the GUI thread copies it with
// g_strdup, with nothing between them that the checker can see: the copy's read lies in GLib's
// string helper, which a GLib race of its own shows too.
char status[64];
std::atomic<int> written{0};
GMainLoop* loop = nullptr;

void writeStatus(const char* text) {
    int i = 0;
    for (; text[i] && i < 63; ++i)
        status[i] = text[i];
    status[i] = 0;
}

gboolean copyStatus(gpointer) {
    // Relaxed: waits for the thread's second line without ordering it before the copy.
    if (written.load(std::memory_order_relaxed) < 2)
        return G_SOURCE_CONTINUE;
    g_free(g_strdup(status));
    g_main_loop_quit(loop);
    return G_SOURCE_REMOVE;
}

void idleCallbackCopiesWhatItsThreadWrote() {
    loop = g_main_loop_new(nullptr, FALSE);
    std::thread writer([] {
        writeStatus("first status");
        g_idle_add(copyStatus, nullptr);
        written.store(1, std::memory_order_relaxed);
        writeStatus("second status, after the post");
        written.store(2, std::memory_order_relaxed);
    });
    g_main_loop_run(loop);
    writer.join();
    g_main_loop_unref(loop);
    std::exit(0);
}

// GLib's own race, as a file chooser's queries have it: a pool thread that is already running
// copies a string the main thread made after the thread started, handed over through GLib's
// queue (a futex the checker cannot see).
std::atomic<bool> started{false};
// The first item, which only starts the thread (GLib's queue takes no null item).
char startItem;

void copyOnPool(gpointer data, gpointer) {
    if (data != &startItem)
        g_free(g_strdup(static_cast<const char*>(data)));
    started.store(true, std::memory_order_release);
}

void poolThreadCopiesTheMainThreadsString() {
    // One thread at most, so that the second item goes to the thread the first one started.
    GThreadPool* pool = g_thread_pool_new(copyOnPool, nullptr, 1, FALSE, nullptr);
    g_thread_pool_push(pool, &startItem, nullptr);
    while (!started.load(std::memory_order_acquire))
        g_usleep(1000);
    char* path = g_strdup("/home/someone/Documents/cameras.xml");
    g_thread_pool_push(pool, path, nullptr);
    g_thread_pool_free(pool, FALSE, TRUE);
    std::exit(0);
}

class RaceChecks : public testing::Test {
protected:
    void SetUp() override {
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        return;
#endif
#endif
        GTEST_SKIP() << "only the race tree (build-tsan) checks races";
    }
};

TEST_F(RaceChecks, AnIdleCallbackHandingGLibABufferItsThreadWroteIsReported) {
    EXPECT_EXIT(idleCallbackCopiesWhatItsThreadWrote(), testing::ExitedWithCode(66),
                "ThreadSanitizer: data race.*g_strdup");
}

TEST_F(RaceChecks, GLibsPoolThreadRacingTheMainThreadInGLibsStringHelpersIsExcusedAsThePoolThreads) {
    // The copy lists the entries that matched as it ends: the pool thread's is among them.
    setenv("TSAN_OPTIONS", "print_suppressions=1", 1);
    EXPECT_EXIT(poolThreadCopiesTheMainThreadsString(), testing::ExitedWithCode(0),
                "Matched [0-9]+ suppressions.*zeko_glib_pool_thread");
    unsetenv("TSAN_OPTIONS");
}

} // namespace
