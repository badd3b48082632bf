// What tests may change about the simulated driver and cameras: the delays of the slow calls,
// frame production, the driver's capabilities, the adapter's packet size and the film writers'
// forced results. Atomic, so that every call reads them without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace zeko::sim {

struct SimulatorSettings {
    SimulatorSettings() { restoreDefaults(); }
    void restoreDefaults();

    std::atomic<int> clockSearchMs;
    std::atomic<int> firmwareMs;
    std::atomic<bool> freeRunning;
    std::atomic<uint32_t> capabilities;
    std::atomic<uint32_t> idleOptions;
    std::atomic<uint64_t> adapterPacketSize;
    std::atomic<double> forcedAviSize; // negative: the film's real size
    std::atomic<int> forcedAddFrame;   // 0: the writer's own result
    std::atomic<uint64_t> segmentLimit;
};

} // namespace zeko::sim
