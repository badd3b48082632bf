#include "camera_manager/core/rules/RefreshState.h"

#include "platform/win/Win32.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

void toDebugOutput(const std::string& text) {
    const std::string line = "Zeko Camera Manager: " + text + "\n";
    OutputDebugStringA(line.c_str());
}

} // namespace

RefreshState::RefreshState(uint32_t periodMs, std::function<void(const std::string&)> report)
    : period(periodMs), report(report ? std::move(report) : toDebugOutput) {}

int RefreshState::TimerDelay() const {
    return std::max<int>(1, static_cast<int>(std::min<uint32_t>(period, INT32_MAX)));
}

bool RefreshState::TakeParameters(bool automatic) {
    const bool fill = automatic || parametersPending;
    parametersPending = false;
    return fill;
}

bool RefreshState::TakeListRebuild() {
    return std::exchange(listRebuildPending, false);
}

bool RefreshState::TakeLayoutRestore() {
    return std::exchange(layoutRestorePending, false);
}

bool RefreshState::TakeAdapterLookup() {
    return std::exchange(adapterLookupPending, false);
}

void RefreshState::TickFailed(const std::string& what) {
    const std::string text = what.empty() ? std::string("unknown failure") : what;
    if (text == lastFailure) {
        ++repeats;
        return;
    }
    ReportRepeats();
    lastFailure = text;
    report("the camera list refresh failed: " + text);
}

void RefreshState::TickSucceeded() {
    if (lastFailure.empty())
        return;
    ReportRepeats();
    report("the camera list refresh works again");
    lastFailure.clear();
}

void RefreshState::ReportRepeats() {
    if (repeats > 0)
        report("the same failure " + std::to_string(repeats) + " more time" + (repeats == 1 ? "" : "s"));
    repeats = 0;
}
