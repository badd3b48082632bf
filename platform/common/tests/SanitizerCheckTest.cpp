// The sanitizers' suppressions (scripts/tsan.supp and scripts/lsan.supp, compiled into this
// program as into every program of the sanitizer trees) and the excuses of the test programs
// (HermeticEnvironment.cpp) pass the toolkits' own races and leaks and not the suite's: each case
// runs a race or a leak in a copy of this program and reads the copy's verdict.
#include <dlfcn.h>
#include <gio/gio.h>
#include <glib.h>
#include <pthread.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

// A function of the suite's that takes the place of libXi's, as the suite's own did (this program
// starts no GDK, which would call it).
extern "C" __attribute__((noinline)) void* XIQueryPointer(size_t size) {
    return std::malloc(size);
}

namespace {

// A suite thread writes a status block and an idle callback on the GUI thread hands it to GLib,
// with nothing between them that the checker can see: the racing access lies in GLib's helper
// (or in the C library under it), which a GLib race of its own shows too.
constexpr size_t kStatusSize = 64;
char* status = nullptr;
std::atomic<int> written{0};
GMainLoop* loop = nullptr;
void (*handOver)() = nullptr;

void writeStatus(const char* text) {
    size_t i = 0;
    for (; text[i] && i < kStatusSize - 1; ++i)
        status[i] = text[i];
    status[i] = 0;
}

gboolean takeStatus(gpointer) {
    // Relaxed: waits for the thread's second line without ordering it before the hand-over.
    if (written.load(std::memory_order_relaxed) < 2)
        return G_SOURCE_CONTINUE;
    handOver();
    g_main_loop_quit(loop);
    return G_SOURCE_REMOVE;
}

void idleCallbackHandsGLibWhatItsThreadWrote(void (*what)()) {
    handOver = what;
    status = static_cast<char*>(g_malloc0(kStatusSize));
    loop = g_main_loop_new(nullptr, FALSE);
    std::thread writer([] {
        writeStatus("first status");
        g_idle_add(takeStatus, nullptr);
        written.store(1, std::memory_order_relaxed);
        writeStatus("second status, after the post");
        written.store(2, std::memory_order_relaxed);
    });
    g_main_loop_run(loop);
    writer.join();
    g_main_loop_unref(loop);
    std::exit(0);
}

void copyStatus() {
    g_free(g_strdup(status));
}

void growStatus() {
    // Large enough to move: the old block is read and freed.
    status = static_cast<char*>(g_realloc(status, 1 << 20));
}

void appendStatus() {
    GByteArray* bytes = g_byte_array_new();
    g_byte_array_append(bytes, reinterpret_cast<const guint8*>(status), kStatusSize);
    g_byte_array_unref(bytes);
}

// A count of the suite's bumped on GLib's pool (or on a thread of the suite's) and by the main
// thread, with nothing ordering the two.
int count = 0;
std::atomic<bool> bumped{false};

void bump() {
    ++count;
    bumped.store(true, std::memory_order_relaxed);
}

void bumpAfter() {
    while (!bumped.load(std::memory_order_relaxed))
        g_usleep(1000);
    ++count;
}

void poolFunctionBumpsTheMainThreadsCount() {
    GThreadPool* pool = g_thread_pool_new([](gpointer, gpointer) { bump(); }, nullptr, 1, FALSE, nullptr);
    g_thread_pool_push(pool, &count, nullptr);
    bumpAfter();
    g_thread_pool_free(pool, FALSE, TRUE);
    std::exit(0);
}

void taskBumpsTheMainThreadsCount() {
    GTask* task = g_task_new(nullptr, nullptr, nullptr, nullptr);
    g_task_run_in_thread(task, [](GTask*, gpointer, gpointer, GCancellable*) { bump(); });
    bumpAfter();
    std::exit(0);
}

void threadNamedAsAPoolsBumpsTheMainThreadsCount() {
    std::thread worker([] {
        pthread_setname_np(pthread_self(), "pool-worker");
        bump();
    });
    bumpAfter();
    worker.join();
    std::exit(0);
}

// A string the main thread made after a GLib pool thread started, handed over through GLib's
// queue (a futex the checker cannot see) to that thread, which hands it on to GLib: with GLib's
// own function on the pool, as a file chooser's queries have it, the race is GLib's; with one of
// the suite's, the suite's.
std::atomic<bool> started{false};
// The first item, which only starts the thread (GLib's queue takes no null item).
char startItem;

void copyOnPool(gpointer data, gpointer) {
    if (data != &startItem)
        g_free(g_strdup(static_cast<const char*>(data)));
    started.store(true, std::memory_order_release);
}

void poolThreadTakesTheMainThreadsString(GFunc take, bool whileALibraryLoads = false) {
    // Another thread inside dlopen, holding the dynamic linker's lock until the pool is done:
    // the report of the race must be made without that lock (a file chooser loads its modules on
    // other threads while the pool reads the files).
    std::atomic<int> loading{0};
    std::thread loader;
    if (whileALibraryLoads) {
        // A report that waits for the lock for ever ends this copy.
        alarm(60);
        char word[32];
        std::snprintf(word, sizeof word, "%p", static_cast<void*>(&loading));
        setenv("ZEKO_WAITING_WORD", word, 1);
        loader = std::thread([] { dlopen(ZEKO_WAITING_LIBRARY, RTLD_NOW); });
        while (loading.load() != 1)
            g_usleep(1000);
    }
    const auto begun = std::chrono::steady_clock::now();
    // One thread at most, so that the second item goes to the thread the first one started.
    GThreadPool* pool = g_thread_pool_new(take, nullptr, 1, FALSE, nullptr);
    g_thread_pool_push(pool, take == copyOnPool ? static_cast<gpointer>(&startItem) : g_strdup("start"),
                       nullptr);
    // GLib's own count, under GLib's own lock: the thread has taken the first item.
    while (g_thread_pool_unprocessed(pool) != 0 || (take == copyOnPool && !started.load()))
        g_usleep(1000);
    g_thread_pool_push(pool, g_strdup("/home/someone/Documents/cameras.xml"), nullptr);
    g_thread_pool_free(pool, FALSE, TRUE);
    if (loader.joinable()) {
        const bool waited = std::chrono::steady_clock::now() - begun > std::chrono::seconds(10);
        loading.store(2);
        loader.join();
        if (waited) {
            std::fputs("the report waited for the dynamic linker\n", stderr);
            std::exit(3);
        }
    }
    std::exit(0);
}

// A block the suite made and lost.
void* volatile kept = nullptr;

__attribute__((noinline)) void lose(void* block) {
    kept = block;
    kept = nullptr;
}

void exitAfterLosing(void* (*make)()) {
    lose(make());
    // Nothing of the lost pointer stays on the stack.
    volatile char scrub[4096];
    for (volatile char& c : scrub)
        c = 0;
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

// Each of these is the suite's own race, whichever toolkit frame or thread name it passes.
TEST_F(RaceChecks, TheSuitesRacesAreReportedWhereverGLibCarriesThem) {
    const struct {
        const char* what;
        void (*race)();
        const char* report;
    } cases[] = {
        {"an idle callback hands g_strdup a buffer its thread wrote",
         [] { idleCallbackHandsGLibWhatItsThreadWrote(copyStatus); }, "data race.*g_strdup"},
        {"an idle callback g_reallocs a block its thread wrote",
         [] { idleCallbackHandsGLibWhatItsThreadWrote(growStatus); }, "data race.*g_realloc"},
        {"an idle callback appends a buffer its thread wrote to a byte array",
         [] { idleCallbackHandsGLibWhatItsThreadWrote(appendStatus); }, "data race.*g_array_append_vals"},
        {"a function of a GThreadPool bumps the main thread's count", poolFunctionBumpsTheMainThreadsCount,
         "data race.*bump"},
        {"a GTask's function bumps the main thread's count", taskBumpsTheMainThreadsCount, "data race.*bump"},
        {"a thread named as GLib's pool threads are bumps the main thread's count",
         threadNamedAsAPoolsBumpsTheMainThreadsCount, "data race.*bump"},
        {"a function of a GThreadPool hands GLib a string the main thread made",
         [] { poolThreadTakesTheMainThreadsString(copyOnPool); }, "data race.*g_strdup"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(c.race(), testing::ExitedWithCode(66), c.report) << c.what;
}

TEST_F(RaceChecks, GLibsPoolThreadRacingTheMainThreadInGLibsOwnWorkIsExcused) {
    for (const bool whileALibraryLoads : {false, true})
        EXPECT_EXIT(poolThreadTakesTheMainThreadsString(reinterpret_cast<GFunc>(g_free), whileALibraryLoads),
                    testing::ExitedWithCode(0), "")
            << (whileALibraryLoads ? "while another thread loads a library" : "");
}

class LeakChecks : public testing::Test {
protected:
    void SetUp() override {
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // The stacks of the programs that start GTK, after the options of whoever runs this.
        const char* given = std::getenv("LSAN_OPTIONS");
        before = given ? given : "";
        setenv("LSAN_OPTIONS", (before + ":fast_unwind_on_malloc=0:malloc_context_size=6").c_str(), 1);
        return;
#endif
#endif
        GTEST_SKIP() << "only the sanitizer tree (build-test) checks leaks";
    }
    void TearDown() override {
        setenv("LSAN_OPTIONS", before.c_str(), 1);
    }
    std::string before;
};

// Each of these is the suite's own leak, whichever toolkit's function it calls or is named as.
TEST_F(LeakChecks, TheSuitesLeaksAreReportedWhateverTheToolkitsFramesAre) {
    const struct {
        const char* what;
        void* (*make)();
        const char* report;
    } cases[] = {
        {"a function of the suite's named as libXi's", [] { return XIQueryPointer(48); },
         "LeakSanitizer: detected memory leaks.*XIQueryPointer"},
        {"a string the suite joins", [] { return static_cast<void*>(g_strconcat("a ", "name", nullptr)); },
         "LeakSanitizer: detected memory leaks.*g_strconcat"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(exitAfterLosing(c.make), testing::ExitedWithCode(1), c.report) << c.what;
}

} // namespace
