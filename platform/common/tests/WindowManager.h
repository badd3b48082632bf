#pragma once

#include <functional>

namespace zeko::test {

// Lets the wx events run (yielding) until done() holds or ms milliseconds have passed; returns
// done().
bool yieldUntil(const std::function<bool()>& done, int ms);

// openbox on the test's display while the object lives, for what a window manager changes
// (placement, frames, focus, the frame's size told before the first show). Not running where
// openbox is not installed.
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

} // namespace zeko::test
