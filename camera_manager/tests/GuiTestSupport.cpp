#include "camera_manager/tests/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace cmtest {

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char name[] = "camera_manager_gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        ASSERT_TRUE(wxTheApp->CallOnInit());
        wxInitAllImageHandlers();
    }
    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        wxYield();
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

StandardErrorCapture::StandardErrorCapture() {
    char path[] = "/tmp/zeko_cm_stderr_XXXXXX";
    file = mkstemp(path);
    if (file < 0)
        return;
    unlink(path);
    fflush(stderr);
    saved = dup(2);
    dup2(file, 2);
}

std::string StandardErrorCapture::Stop() {
    std::string text;
    if (saved < 0)
        return text;
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    saved = -1;
    char buffer[4096];
    ssize_t n;
    for (off_t at = 0; (n = pread(file, buffer, sizeof buffer, at)) > 0; at += n)
        text.append(buffer, static_cast<size_t>(n));
    close(file);
    return text;
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
    PumpUntil([&] { return std::filesystem::exists(ready); }, 10000);
    std::remove(ready.c_str());
    Pump(200);
}

WindowManager::~WindowManager() {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    Pump(100);
}

} // namespace cmtest
