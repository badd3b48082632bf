#pragma once

// A wx application for the whole GUI test program, and helpers to let it run.

#include "platform/common/tests/WindowManager.h"

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

// openbox on the test's display while the object lives.
using zeko::test::WindowManager;

} // namespace cmtest
