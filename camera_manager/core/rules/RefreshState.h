#pragma once

// What the main dialog's polling remembers between ticks: the period, the work that a command
// or a click asked of the next tick, how many ticks and list rebuilds ran, and the last failure
// of a tick. Everything runs on the GUI thread, so nothing here is locked.

#include <cstdint>
#include <functional>
#include <string>

class RefreshState {
public:
    // periodMs: the stored refresh time; report: where a failed tick is written (the program's
    // debug output, which goes to standard error, when none is given).
    explicit RefreshState(uint32_t periodMs, std::function<void(const std::string&)> report = {});

    // The timer's one-shot delay: the period, at least 1 ms and at most INT32_MAX.
    int TimerDelay() const;

    // Requests for the next tick, and taking them (each take clears its request).
    void RequestParameters() { parametersPending = true; }
    void RequestListRebuild() { listRebuildPending = true; }
    void RequestLayoutRestore() { layoutRestorePending = true; }
    void RequestAdapterLookup() { adapterLookupPending = true; }
    bool ParametersRequested() const { return parametersPending; }
    bool ListRebuildRequested() const { return listRebuildPending; }
    // The parameter tree is filled when the automatic refresh is on or a fill was asked for.
    bool TakeParameters(bool automatic);
    bool TakeListRebuild();
    bool TakeLayoutRestore();
    bool TakeAdapterLookup();

    void TickStarted() { ++ticks; }
    void ListRebuilt() { ++listRebuilds; }
    unsigned Ticks() const { return ticks; }
    unsigned ListRebuilds() const { return listRebuilds; }

    // A tick that failed: the first failure of a run of equal ones is reported at once, the
    // repetitions only as a count when the failure changes or the ticks succeed again, so that
    // a camera failing every 1.5 s does not flood the output.
    void TickFailed(const std::string& what);
    void TickSucceeded();
    // The text of the last failure; empty once a tick succeeded.
    const std::string& LastFailure() const { return lastFailure; }

private:
    void ReportRepeats();

    uint32_t period;
    std::function<void(const std::string&)> report;
    bool parametersPending = false;
    bool listRebuildPending = false;
    bool layoutRestorePending = false;
    bool adapterLookupPending = true;
    unsigned ticks = 0;
    unsigned listRebuilds = 0;
    std::string lastFailure;
    unsigned repeats = 0;
};
