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

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZEKO_TEST_TSAN 1
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
}

} // namespace

#ifdef ZEKO_TEST_TSAN
// GLib's pool threads (the GIO tasks a file chooser runs, "pool-<program>") hand memory to and
// from the GUI thread under futexes and atomics of GLib's own, which the race checks cannot see,
// and their frames are GLib's alone: a string helper called from a nameless static function, as
// the GUI thread's own call of the same helper looks. So that scripts/tsan.supp can name these
// threads rather than the helpers, each pool thread carries this function as the bottom frame
// of every stack it reports: it is never called, its address is pushed as a frame when the
// thread names itself, which GLib does first thing on each thread it starts. No thread of the
// suite's has it: the suite never runs its code on GLib's pool.
extern "C" __attribute__((used, noinline)) void zeko_glib_pool_thread() {
    __asm__ volatile("");
}

extern "C" int __interceptor_pthread_setname_np(pthread_t thread, const char* name);
extern "C" void __tsan_func_entry(void* pc);

// Takes the place of the runtime's weak pthread_setname_np, and calls it. Not instrumented, so
// that the frame it pushes stays after it returns.
extern "C" __attribute__((disable_sanitizer_instrumentation)) int pthread_setname_np(pthread_t thread,
                                                                                     const char* name) {
    const int result = __interceptor_pthread_setname_np(thread, name);
    const bool pool = std::strcmp(name, "pool") == 0 || std::strncmp(name, "pool-", 5) == 0;
    if (pool && pthread_equal(thread, pthread_self())) {
        // A frame's address is a return address, one past the call: the report shows the
        // function it lies in.
        __tsan_func_entry(
            reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(&zeko_glib_pool_thread) + 1));
    }
    return result;
}
#endif
