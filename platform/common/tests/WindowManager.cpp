#include "platform/common/tests/WindowManager.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <wx/app.h>
#include <wx/utils.h>

extern char** environ;

namespace zeko::test {

bool yieldUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        wxYield();
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

WindowManager::WindowManager() {
    // openbox runs its start-up command once it manages the screen; until then a window
    // shown would not be placed by it.
    const std::string ready =
        std::filesystem::temp_directory_path() / ("zeko-openbox-ready-" + std::to_string(getpid()));
    std::remove(ready.c_str());
    const std::string startup = "touch " + ready;
    char name[] = "openbox";
    char option[] = "--startup";
    char* argv[] = {name, option, const_cast<char*>(startup.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "openbox", nullptr, nullptr, argv, environ) != 0)
        return;
    pid = child;
    yieldUntil([&] { return std::filesystem::exists(ready); }, 10000);
    std::remove(ready.c_str());
    yieldUntil([] { return false; }, 200);
}

WindowManager::~WindowManager() {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    yieldUntil([] { return false; }, 100);
}

} // namespace zeko::test
