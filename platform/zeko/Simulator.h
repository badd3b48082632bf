// The simulator core behind zeko_api, zeko_api_64 and zeko_tools: one camera inventory, the open
// cameras and film writers of this process, the journal and the test controls. Every public
// function is a C entry point's body: it checks its handle or id and never lets a bad one crash.
#pragma once

#include "platform/zeko/CallJournal.h"
#include "platform/zeko/CameraInventory.h"
#include "platform/zeko/CameraManagerCalls.h"
#include "platform/zeko/CameraModelCalls.h"
#include "platform/zeko/FilmWriters.h"
#include "platform/zeko/SimulatorSettings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zeko::sim {

class Simulator {
public:
    static Simulator& instance();

    // Camera model.
    CameraModelCalls& cameraModel() { return cameraModel_; }

    // Camera manager.
    CameraManagerCalls& cameraManager() { return cameraManager_; }

    // Film writers.
    FilmWriters& films() { return films_; }

    // Test control.
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
    Simulator();
    void closeAll();

    CallJournal journal_;
    SimulatorSettings settings_;
    CameraInventory inventory_;
    std::string descriptionError_; // guarded by the inventory's lock

    FilmWriters films_;
    CameraModelCalls cameraModel_;
    CameraManagerCalls cameraManager_;
};

} // namespace zeko::sim
