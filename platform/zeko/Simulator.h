// The simulator core behind zeko_api, zeko_api_64 and zeko_tools: one camera inventory, the open
// cameras and film writers of this process, the journal and the test controls. Every public
// function is a C entry point's body: it checks its handle or id and never lets a bad one crash.
#pragma once

#include "platform/zeko/CallJournal.h"
#include "platform/zeko/CameraInventory.h"
#include "platform/zeko/CameraManagerCalls.h"
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
    int initCamera(uint32_t* handle, void* window);
    int exitCamera(uint32_t handle);
    int getSensorInfo(uint32_t handle, void* info);
    int captureVideo(uint32_t handle, int wait, bool start);
    int allocImageMem(uint32_t handle, int width, int height, int bpp, char** memory, int* id);
    int memoryCall(const char* function, uint32_t handle, char* memory, int id);
    int clearSequence(uint32_t handle);
    int latestImage(uint32_t handle, int* number, char** memory, char** last);
    int accept(const char* function, uint32_t handle, std::initializer_list<long long> args);
    int setColorMode(uint32_t handle, int mode);
    int setGamma(uint32_t handle, int gamma);
    int setPixelClock(uint32_t handle, int clock);
    int setBrightness(uint32_t handle, int brightness);
    int setHardwareGain(uint32_t handle, int master, int red, int green, int blue);
    int setAutoParameter(uint32_t handle, int code, double* value1, double* value2);
    int setAOI(uint32_t handle, int code, int* x, int* y, int* width, int* height);
    int setImageSize(uint32_t handle, int width, int height);
    int setImagePos(uint32_t handle, int x, int y);
    int setFrameRate(uint32_t handle, double rate, double* newRate);
    int setExposureTime(uint32_t handle, double time, double* newTime);
    int optimizeClock(uint32_t handle, int mode, int timeoutMs, int* clock, double* rate);
    int frameTimeRange(uint32_t handle, double* minimum, double* maximum, double* interval);

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
    template <class Body>
    int call(const char* function, std::initializer_list<long long> ints,
             std::initializer_list<double> doubles, Body&& body);
    // call() with the session of `handle` (refused when unknown), under the simulator lock.
    template <class Body>
    int sessionCall(uint32_t handle, const char* function, std::initializer_list<long long> ints,
                    std::initializer_list<double> doubles, Body&& body);
    void closeAll();

    CallJournal journal_;
    SimulatorSettings settings_;
    CameraInventory inventory_;
    std::string descriptionError_; // guarded by the inventory's lock

    FilmWriters films_;
    CameraManagerCalls cameraManager_;
};

} // namespace zeko::sim
