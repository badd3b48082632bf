#pragma once

// A wx application for the whole GUI test program, and helpers to let it run.

#include <functional>
#include <string>

namespace cmtest {

// Runs the event loop for about `ms` milliseconds.
void Pump(int ms);
// Runs the event loop until `done` holds or `ms` milliseconds have passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int ms);

// What this process writes to standard error while it lives: GLib's and pixman's warnings go there.
class StandardErrorCapture {
public:
    StandardErrorCapture();
    ~StandardErrorCapture() { Stop(); }
    // Ends the capture (once) and returns what was written.
    std::string Stop();

private:
    int file = -1, saved = -1;
};

// openbox on the test's display while the object lives, for what a window manager changes
// (placement, frames, focus). Not running where openbox is not installed.
class WindowManager {
public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    bool Running() const { return pid > 0; }

private:
    int pid = 0;
};

} // namespace cmtest
