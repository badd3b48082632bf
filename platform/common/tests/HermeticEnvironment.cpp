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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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
    const std::string pattern = base + "/zeko_test_env_XXXXXX";
    if (pattern.size() >= sizeof folder)
        fail("TMPDIR too long");
    std::memcpy(folder, pattern.c_str(), pattern.size() + 1);
    if (!mkdtemp(folder))
        fail(pattern.c_str());
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
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
    // llvmpipe's rasteriser threads hand their work over through futexes and fences of Mesa's
    // own, which the race checks cannot see; drawing on the thread that calls GL leaves Mesa no
    // thread of its own, so that a race on the suite's memory that Mesa reads is still reported.
    setenv("LP_NUM_THREADS", "0", 1);
#endif
#endif
}

} // namespace
