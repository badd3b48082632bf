#pragma once

// A wx application for the whole GUI test program, and helpers to let it run.

#include <functional>

namespace cmtest {

// Runs the event loop for about `ms` milliseconds.
void Pump(int ms);
// Runs the event loop until `done` holds or `ms` milliseconds have passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int ms);

} // namespace cmtest
