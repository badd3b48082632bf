// The test-control entry points, part of the simulator core.
#include "platform/zeko/Simulator.h"
#include "platform/zeko/zeko_sim_control.h"

#include <string>

#ifndef ZEKO_SIM_FILE_VERSION
#define ZEKO_SIM_FILE_VERSION "3.31.0.0"
#endif

using zeko::sim::Simulator;

namespace {
// Texts handed out stay valid until the next call of the same function on the same thread.
thread_local std::string descriptionErrorText;
thread_local std::string statePathText;
} // namespace

extern "C" {

int zksim_Reset(void) {
    return Simulator::instance().controls().reset(nullptr);
}
int zksim_UseDescription(const char* text) {
    const std::string description = text ? text : "";
    return Simulator::instance().controls().reset(&description);
}
const char* zksim_DescriptionError(void) {
    descriptionErrorText = Simulator::instance().readControls().descriptionError();
    return descriptionErrorText.c_str();
}
const char* zksim_StatePath(void) {
    statePathText = Simulator::instance().readControls().statePath();
    return statePathText.c_str();
}
const char* zksim_FileVersion(void) {
    return ZEKO_SIM_FILE_VERSION;
}
int zksim_CameraCount(void) {
    return Simulator::instance().readControls().cameraCount();
}
int zksim_GetCamera(int index, ZkSimCamera* camera) {
    return camera ? Simulator::instance().readControls().cameraAt(index, *camera) : -1;
}
int zksim_SetCameraConnected(uint32_t deviceId, int connected) {
    return Simulator::instance().controls().setCameraConnected(deviceId, connected != 0);
}
void zksim_InjectFailure(const char* function, int code, int once) {
    if (function)
        Simulator::instance().controls().journal().inject(function, code, once != 0);
}
void zksim_ClearFailures(void) {
    Simulator::instance().controls().journal().clearFailures();
}
int zksim_JournalSize(void) {
    return Simulator::instance().readControls().journal().size();
}
int zksim_JournalEntry(int index, ZkSimCall* call) {
    return (call && Simulator::instance().readControls().journal().entry(index, *call)) ? 0 : -1;
}
int zksim_JournalCount(const char* function) {
    return function ? Simulator::instance().readControls().journal().count(function) : 0;
}
void zksim_JournalClear(void) {
    Simulator::instance().readControls().journal().clear();
}
void zksim_SetDelays(int clockSearchMs, int firmwareMs) {
    Simulator::instance().controls().setDelays(clockSearchMs, firmwareMs);
}
void zksim_SetFreeRunning(int on) {
    Simulator::instance().controls().setFreeRunning(on != 0);
}
void zksim_SetDriverCapabilities(uint32_t capabilities, uint32_t idleOptions) {
    Simulator::instance().controls().setDriverCapabilities(capabilities, idleOptions);
}
void zksim_SetAdapterPacketSize(uint64_t bytes) {
    Simulator::instance().controls().setAdapterPacketSize(bytes);
}
void zksim_ForceAviSize(double sizeKB) {
    Simulator::instance().controls().forceAviSize(sizeKB);
}
void zksim_ForceAddFrameResult(int code) {
    Simulator::instance().controls().forceAddFrameResult(code);
}
void zksim_SetAviSegmentLimit(uint64_t bytes) {
    Simulator::instance().controls().setAviSegmentLimit(bytes);
}

} // extern "C"
