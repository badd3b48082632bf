// Linked into every test program (cmake/ZekoTesting.cmake): before anything of the program
// runs, it leaves the desktop of whoever runs it. A test on a developer's desktop (or on a
// machine whose D-Bus starts a session bus for any program with a display) otherwise talks to
// that user's session bus and settings store: GLib's bus and settings threads then race with
// the GUI thread in the race checks, and a test could change the developer's own settings.
// The program gets a folder of its own for its runtime, configuration, data, cache and home, a
// session bus address where no bus listens, GSettings in memory and no accessibility bridge.
// It is set here, not by CTest, so that a program started by hand runs as its test does; a test
// that wants a bus or the bridge (the accessibility tests) starts its own and sets them after.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <signal.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/common/tests/LoadedCode.h"

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZEKO_TEST_TSAN 1
#endif
#if __has_feature(address_sanitizer)
#define ZEKO_TEST_ASAN 1
#include <cstdarg>
#include <dlfcn.h>
#include <sanitizer/lsan_interface.h>
#include <vector>
#endif
#endif

namespace {

// Plain storage: a constructed global could be initialised only after the hook below has run.
char folder[4096];
pid_t owner = -1;

void removeFolder() {
    // A child forked by a test that ends through exit() must not take its parent's folder.
    if (getpid() != owner)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void fail(const char* what) {
    std::fprintf(stderr, "test environment: %s: %s\n", what, std::strerror(errno));
    std::_Exit(1);
}

// A program killed, or ended by GDK through _exit, leaves its folder behind; the next program
// removes the folders whose owner is gone. The owner's process id is in the folder's name and the
// owner holds a lock on the folder while it runs: a folder goes only when both say the owner is
// gone, so that neither a reused process id nor a program in another process namespace sharing
// the temporary folder loses its folder (nor one whose owner has not taken its lock yet).
const char prefix[] = "zeko_test_env_";

void removeLeftovers(const std::string& base) {
    DIR* dir = opendir(base.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, prefix, sizeof prefix - 1) != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name + sizeof prefix - 1, &end, 10);
        if (end == name + sizeof prefix - 1 || *end != '_' || pid <= 0 || kill(pid_t(pid), 0) == 0 ||
            errno != ESRCH)
            continue;
        const std::string path = base + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        close(fd);
    }
    closedir(dir);
}

std::string makeFolder(const char* name) {
    std::string path = std::string(folder) + "/" + name;
    if (mkdir(path.c_str(), 0700) != 0)
        fail(path.c_str());
    return path;
}

// Before the program's own static initialisers (priority 101 is the first one programs may
// use), some of which read the environment.
__attribute__((constructor(101))) void makeHermetic() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    removeLeftovers(base);
    const std::string pattern = base + "/" + prefix + std::to_string(getpid()) + "_XXXXXX";
    if (pattern.size() >= sizeof folder)
        fail("TMPDIR too long");
    std::memcpy(folder, pattern.c_str(), pattern.size() + 1);
    if (!mkdtemp(folder))
        fail(pattern.c_str());
    // Held until the program ends, however it ends (a forked child shares it); never closed.
    const int lock = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0 || flock(lock, LOCK_EX) != 0)
        fail(folder);
    owner = getpid();
    std::atexit(removeFolder);

    // Xlib looks for the display's cookie in ~/.Xauthority unless told; a program run by hand on
    // a desktop keeps reaching its display once HOME is moved.
    const char* home = std::getenv("HOME");
    if (!std::getenv("XAUTHORITY") && home && *home) {
        const std::string cookie = std::string(home) + "/.Xauthority";
        if (access(cookie.c_str(), R_OK) == 0)
            setenv("XAUTHORITY", cookie.c_str(), 1);
    }
    const std::string runtime = makeFolder("runtime");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", makeFolder("config").c_str(), 1);
    setenv("XDG_DATA_HOME", makeFolder("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", makeFolder("cache").c_str(), 1);
    setenv("HOME", makeFolder("home").c_str(), 1);
    // Set, so that neither GLib nor libdbus falls back to starting a bus of their own for the
    // display; nothing listens there, so every connection fails at once.
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + runtime + "/no-bus").c_str(), 1);
    unsetenv("AT_SPI_BUS_ADDRESS");
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    // Mesa would write the shaders it compiles to the cache folder, which goes at exit anyway,
    // from a thread of its own.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
#ifdef ZEKO_TEST_TSAN
    // llvmpipe's rasteriser threads hand their work over through futexes and fences of Mesa's
    // own, which the race checks cannot see; drawing on the thread that calls GL leaves Mesa no
    // thread of its own, so that a race on the suite's memory that Mesa reads is still reported.
    setenv("LP_NUM_THREADS", "0", 1);
#endif
    // Where the program's and the toolkits' code lies, for the sanitizers' hooks below, while no
    // other thread runs.
    zeko::test::readLoadedCode();
}

} // namespace

#ifdef ZEKO_TEST_TSAN
// GLib's own threads (the GIO tasks a file chooser runs on "pool-<program>", the worker "gmain")
// hand memory to and from the GUI thread under futexes and atomics of GLib's own, which the race
// checks cannot see, and their frames are GLib's alone: a helper called from a nameless static
// function, as the GUI thread's own call of the same helper looks. So that such a race can be
// told by its thread rather than by the helper, each thread GLib starts carries this function as
// the bottom frame of every stack it reports: it is never called, its address is pushed as a
// frame when GLib names the thread, which it does first thing on each thread it starts.
extern "C" __attribute__((used, noinline)) void zeko_glib_thread() {
    __asm__ volatile("");
}

extern "C" int __interceptor_pthread_setname_np(pthread_t thread, const char* name);
extern "C" void __tsan_func_entry(void* pc);
extern "C" int __tsan_get_report_data(void* report, const char** description, int* count, int* stacks,
                                      int* accesses, int* locations, int* mutexes, int* threads,
                                      int* uniqueThreads, void** sleepTrace, std::uintptr_t traceSize);
extern "C" int __tsan_get_report_mop(void* report, std::uintptr_t index, int* thread, void** address,
                                     int* size, int* write, int* atomic, void** trace,
                                     std::uintptr_t traceSize);

namespace {

const void* glibThreadFrame() {
    // A frame's address is a return address, one past the call: the report shows the function
    // it lies in.
    return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(&zeko_glib_thread) + 1);
}

// The stack of one access of a race, top first, is GLib's thread doing GLib's own work: its
// thread's frame at the bottom, an intercepted call of the C library at the top and a frame of
// GLib, GObject or GIO that called it between, nothing else. The toolkits push no frames of their own, but
// every function of the suite's does (a GTask's or a GThreadPool's, or one GLib calls back): it shows as one
// more frame, even where it only hands GLib the memory.
__attribute__((no_sanitize("thread"))) bool glibThreadsOwn(void* const* trace, int frames) {
    using zeko::test::inLibrary;
    using zeko::test::Library;
    return frames == 3 && trace[2] == glibThreadFrame() && zeko::test::inExportedFunction(trace[0]) &&
           (inLibrary(Library::GLib, trace[1]) || inLibrary(Library::GObject, trace[1]) ||
            inLibrary(Library::Gio, trace[1]));
}

} // namespace

// Takes the place of the runtime's weak pthread_setname_np, and calls it. Not instrumented, so
// that the frame it pushes stays after it returns. Only GLib's own naming of its thread counts:
// a thread of the suite's may take any name.
extern "C" __attribute__((disable_sanitizer_instrumentation)) int pthread_setname_np(pthread_t thread,
                                                                                     const char* name) {
    const int result = __interceptor_pthread_setname_np(thread, name);
    static thread_local bool marked = false;
    zeko::test::readLoadedCode();
    if (!marked && pthread_equal(thread, pthread_self()) &&
        zeko::test::inLibrary(zeko::test::Library::GLib, __builtin_return_address(0))) {
        marked = true;
        __tsan_func_entry(const_cast<void*>(glibThreadFrame()));
    }
    return result;
}

// The runtime asks this of each report it would print, after scripts/tsan.supp has had its say. A
// race one of whose accesses is GLib's thread doing GLib's own work is GLib's: the other side is
// the GUI thread in GLib's or GIO's code, handed the memory through GLib's queues. A report whose
// GLib side holds a frame of the suite's is printed. It runs while the runtime holds its report
// lock: nothing in it is checked (a report of its own would wait for that lock for ever), and it
// calls nothing the runtime intercepts.
namespace __tsan {
struct ReportDesc;
bool OnReport(const ReportDesc* report, bool suppressed);
} // namespace __tsan

__attribute__((no_sanitize("thread"))) bool __tsan::OnReport(const ReportDesc* report, bool suppressed) {
    if (suppressed)
        return true;
    void* desc = const_cast<ReportDesc*>(report);
    const char* description = nullptr;
    int count = 0, stacks = 0, accesses = 0, locations = 0, mutexes = 0, threads = 0, unique = 0;
    void* sleep = nullptr;
    if (__tsan_get_report_data(desc, &description, &count, &stacks, &accesses, &locations, &mutexes, &threads,
                               &unique, &sleep, 1) == 0 ||
        description == nullptr)
        return false;
    const char race[] = "data-race";
    for (size_t i = 0; i < sizeof race; ++i) {
        if (description[i] != race[i])
            return false;
    }
    for (int i = 0; i < accesses; ++i) {
        void* trace[8] = {};
        int thread = 0, size = 0, write = 0, atomic = 0;
        void* address = nullptr;
        if (__tsan_get_report_mop(desc, std::uintptr_t(i), &thread, &address, &size, &write, &atomic, trace,
                                  8) == 0)
            continue;
        int frames = 0;
        while (frames < 8 && trace[frames] != nullptr)
            ++frames;
        if (glibThreadsOwn(trace, frames))
            return true;
    }
    return false;
}
#endif

#ifdef ZEKO_TEST_ASAN
// GTK joins a name with g_strconcat and keeps it until exit (seen once in 48 starts of the
// viewer, under GTK's nameless static functions). An entry of scripts/lsan.supp matches a frame
// anywhere in the stack, so one naming g_strconcat hid a string the suite's own GTK callback
// joined and lost. The program's g_strconcat (the dynamic linker takes it before GLib's) marks
// what GTK and GDK join as kept instead, and what the suite joins not at all.
extern "C" char* g_strconcat(const char* first, ...) {
    using Join = char* (*)(const char*, char**);
    static const auto join = reinterpret_cast<Join>(dlsym(RTLD_NEXT, "g_strjoinv"));
    if (first == nullptr || join == nullptr)
        return nullptr;
    std::vector<char*> parts{const_cast<char*>(first)};
    va_list more;
    va_start(more, first);
    while (char* part = va_arg(more, char*))
        parts.push_back(part);
    va_end(more);
    parts.push_back(nullptr);
    char* joined = join(nullptr, parts.data());
    zeko::test::readLoadedCode();
    const void* caller = __builtin_return_address(0);
    using zeko::test::Library;
    if (joined != nullptr &&
        (zeko::test::inLibrary(Library::Gtk, caller) || zeko::test::inLibrary(Library::Gdk, caller)))
        __lsan_ignore_object(joined);
    return joined;
}
#endif
