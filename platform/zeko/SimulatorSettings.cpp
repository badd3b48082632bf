#include "platform/zeko/SimulatorSettings.h"

namespace zeko::sim {

void SimulatorSettings::restoreDefaults() {
    clockSearchMs = 1500;
    firmwareMs = 3000;
    freeRunning = false;
    capabilities = 0x4; // the start parameter set can be chosen
    idleOptions = 0x3;  // mains and battery
    adapterPacketSize = 9014;
    forcedAviSize = -1.0;
    forcedAddFrame = 0;
    segmentLimit = 0;
}

} // namespace zeko::sim
