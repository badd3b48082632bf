// The calls the viewer's camera library makes into zeko_api: opening and closing a camera, image
// memory and capture, and the image parameters. Every function is a C entry point's body: it
// checks its handle and never lets a bad one crash.
#pragma once

#include "platform/zeko/ApiCalls.h"

#include <cstdint>

namespace zeko::sim {

class CameraModelCalls : private ApiCalls {
public:
    CameraModelCalls(CameraInventory& inventory, CallJournal& journal, const SimulatorSettings& settings);

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
};

} // namespace zeko::sim
