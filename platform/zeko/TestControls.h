// The test controls of zeko_sim_control: starting the simulator afresh on a camera description,
// the cameras as tests see them, plugging and unplugging, the journal and injected failures,
// delays and forced results.
#pragma once

#include "platform/zeko/CallJournal.h"
#include "platform/zeko/CameraInventory.h"
#include "platform/zeko/FilmWriters.h"
#include "platform/zeko/SimulatorSettings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <cstdint>
#include <string>

namespace zeko::sim {

class TestControls {
public:
    TestControls(CameraInventory& inventory, FilmWriters& films, CallJournal& journal,
                 SimulatorSettings& settings);

    // Closes every camera and film, forgets the journal, failures and settings, and serves the
    // cameras of descriptionText (null: of the file ZEKO_SIM_CAMERAS names, else the default
    // ones). A description with a mistake serves no camera: ZK_INVALID_PARAMETER, and
    // descriptionError() says why.
    int reset(const std::string* descriptionText);
    std::string descriptionError();
    std::string statePath();
    int cameraCount();
    int cameraAt(int index, ZkSimCamera& out);
    int setCameraConnected(uint32_t deviceId, bool connected);
    CallJournal& journal() { return journal_; }
    void setDelays(int clockSearchMs, int firmwareMs);
    void setFreeRunning(bool on) { settings_.freeRunning = on; }
    void setDriverCapabilities(uint32_t capabilities, uint32_t idleOptions);
    void setAdapterPacketSize(uint64_t bytes) { settings_.adapterPacketSize = bytes; }
    void forceAviSize(double sizeKB) { settings_.forcedAviSize = sizeKB; }
    void forceAddFrameResult(int code) { settings_.forcedAddFrame = code; }
    void setAviSegmentLimit(uint64_t bytes) { settings_.segmentLimit = bytes; }

private:
    CameraInventory& inventory_;
    FilmWriters& films_;
    CallJournal& journal_;
    SimulatorSettings& settings_;
    std::string descriptionError_; // guarded by the inventory's lock
};

} // namespace zeko::sim
