#include "platform/zeko/Simulator.h"

namespace zeko::sim {

Simulator& Simulator::instance() {
    // Never destroyed: the callers may still call in from their own static destructors.
    static Simulator* simulator = new Simulator;
    return *simulator;
}

Simulator::Simulator()
    : films_(journal_, settings_), cameraModel_(inventory_, journal_, settings_),
      cameraManager_(inventory_, journal_, settings_), controls_(inventory_, films_, journal_, settings_) {
    controls_.reset(nullptr);
    journal_.clear();
}

} // namespace zeko::sim
