#pragma once

// Two pseudo-terminals joined like the two ends of a null-modem cable: what is written to one
// end's device arrives at the other end's device. A thread copies between the two masters.
// The ends start raw; the bridge keeps each end open, so settings survive a port's close.

#include <atomic>
#include <string>
#include <thread>

namespace wintest {

class PtyBridge {
public:
    PtyBridge();
    ~PtyBridge();
    PtyBridge(const PtyBridge&) = delete;
    PtyBridge& operator=(const PtyBridge&) = delete;

    const std::string& endA() const { return pathA_; }
    const std::string& endB() const { return pathB_; }
    // While paused, nothing crosses (bytes stay queued).
    void pause(bool paused) { paused_ = paused; }

private:
    void run();

    int masterA_ = -1, slaveA_ = -1, masterB_ = -1, slaveB_ = -1, stop_ = -1;
    std::string pathA_, pathB_;
    std::atomic<bool> paused_{false};
    std::thread thread_;
};

} // namespace wintest
