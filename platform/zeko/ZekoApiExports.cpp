// The C entry points of zeko_api and zeko_api_64: both libraries are built from this file and
// forward to the one simulator core, so that every program sees the same cameras.
#include "platform/zeko/Simulator.h"
#include "platform/zeko/zeko_api.h"

#ifndef ZEKO_SIM_FILE_VERSION
#define ZEKO_SIM_FILE_VERSION "3.31.0.0"
#endif

// The file version stamp that version checks find in the file: "ZEKO_FILE_VERSION=" and the version.
[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] =
    "ZEKO_FILE_VERSION=" ZEKO_SIM_FILE_VERSION;

using zeko::sim::Simulator;

namespace {
Simulator& sim() {
    return Simulator::instance();
}
} // namespace

extern "C" {

int zk_InitCamera(uint32_t* handle, void* window) {
    return sim().cameraModel().initCamera(handle, window);
}
int zk_ExitCamera(uint32_t handle) {
    return sim().cameraModel().exitCamera(handle);
}
int zk_GetSensorInfo(uint32_t handle, void* info) {
    return sim().cameraModel().getSensorInfo(handle, info);
}
int zk_CaptureVideo(uint32_t handle, int wait) {
    return sim().cameraModel().captureVideo(handle, wait, true);
}
int zk_StopLiveVideo(uint32_t handle, int wait) {
    return sim().cameraModel().captureVideo(handle, wait, false);
}
int zk_AllocImageMem(uint32_t handle, int width, int height, int bitsPerPixel, char** memory, int* memoryId) {
    return sim().cameraModel().allocImageMem(handle, width, height, bitsPerPixel, memory, memoryId);
}
int zk_SetImageMem(uint32_t handle, char* memory, int memoryId) {
    return sim().cameraModel().memoryCall("zk_SetImageMem", handle, memory, memoryId);
}
int zk_AddToSequence(uint32_t handle, char* memory, int memoryId) {
    return sim().cameraModel().memoryCall("zk_AddToSequence", handle, memory, memoryId);
}
int zk_FreeImageMem(uint32_t handle, char* memory, int memoryId) {
    return sim().cameraModel().memoryCall("zk_FreeImageMem", handle, memory, memoryId);
}
int zk_ClearSequence(uint32_t handle) {
    return sim().cameraModel().clearSequence(handle);
}
int zk_fn70(uint32_t handle, int* imageNumber, char** memory, char** lastImage) {
    return sim().cameraModel().latestImage(handle, imageNumber, memory, lastImage);
}
int zk_SetDisplayMode(uint32_t handle, int mode) {
    return sim().cameraModel().accept("zk_SetDisplayMode", handle, {handle, mode});
}
int zk_SetExternalTrigger(uint32_t handle, int mode) {
    return sim().cameraModel().accept("zk_SetExternalTrigger", handle, {handle, mode});
}
int zk_SetBinning(uint32_t handle, int mode) {
    return sim().cameraModel().accept("zk_SetBinning", handle, {handle, mode});
}
int zk_fn333(uint32_t handle, int mode, int parameter) {
    return sim().cameraModel().accept("zk_fn333", handle, {handle, mode, parameter});
}
int zk_SetBlCompensation(uint32_t handle, int enable, int level, int reserved) {
    return sim().cameraModel().accept("zk_SetBlCompensation", handle, {handle, enable, level, reserved});
}
int zk_SetColorCorrection(uint32_t handle, int value, double* factors) {
    return sim().cameraModel().accept("zk_SetColorCorrection", handle, {handle, value, factors != nullptr});
}
int zk_SetColorMode(uint32_t handle, int mode) {
    return sim().cameraModel().setColorMode(handle, mode);
}
int zk_SetGamma(uint32_t handle, int gamma) {
    return sim().cameraModel().setGamma(handle, gamma);
}
int zk_SetPixelClock(uint32_t handle, int clockMHz) {
    return sim().cameraModel().setPixelClock(handle, clockMHz);
}
int zk_SetBrightness(uint32_t handle, int brightness) {
    return sim().cameraModel().setBrightness(handle, brightness);
}
int zk_SetHardwareGain(uint32_t handle, int master, int red, int green, int blue) {
    return sim().cameraModel().setHardwareGain(handle, master, red, green, blue);
}
int zk_SetAutoParameter(uint32_t handle, int code, double* value1, double* value2) {
    return sim().cameraModel().setAutoParameter(handle, code, value1, value2);
}
int zk_SetAOI(uint32_t handle, int code, int* x, int* y, int* width, int* height) {
    return sim().cameraModel().setAOI(handle, code, x, y, width, height);
}
int zk_SetImageSize(uint32_t handle, int width, int height) {
    return sim().cameraModel().setImageSize(handle, width, height);
}
int zk_SetImagePos(uint32_t handle, int x, int y) {
    return sim().cameraModel().setImagePos(handle, x, y);
}
int zk_SetFrameRate(uint32_t handle, double rate, double* newRate) {
    return sim().cameraModel().setFrameRate(handle, rate, newRate);
}
int zk_SetExposureTime(uint32_t handle, double time, double* newTime) {
    return sim().cameraModel().setExposureTime(handle, time, newTime);
}
int zk_fn407(uint32_t handle, int mode, int timeoutMs, int* clockMHz, double* rate) {
    return sim().cameraModel().optimizeClock(handle, mode, timeoutMs, clockMHz, rate);
}
int zk_fn271(uint32_t handle, double* minimum, double* maximum, double* interval) {
    return sim().cameraModel().frameTimeRange(handle, minimum, maximum, interval);
}

int zk_GetCameraList(void* list) {
    return sim().cameraManager().getCameraList(list);
}
int zk_GetChangeCount(uint32_t* count) {
    return sim().cameraManager().getChangeCount(count);
}
int zk_GetEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size) {
    return sim().cameraManager().getEthDeviceInfo(deviceId, info, size);
}
int zk_GetCameraInfo(uint32_t handle, void* info) {
    return sim().cameraManager().getCameraInfo(handle, info, false);
}
int zk_GetCameraInfoEx(uint32_t handle, void* info) {
    return sim().cameraManager().getCameraInfo(handle, info, true);
}
int zk_GetRevisionInfo(uint32_t handle, void* info) {
    return sim().cameraManager().getRevisionInfo(handle, info);
}
int zk_ReadEEPROM(uint32_t handle, int address, char* buffer, int count) {
    return sim().cameraManager().readEeprom(handle, address, buffer, count);
}
int zk_WriteEEPROM(uint32_t handle, int address, const char* buffer, int count) {
    return sim().cameraManager().writeEeprom(handle, address, buffer, count);
}
int zk_SetCameraID(uint32_t handle, int cameraId) {
    return sim().cameraManager().setCameraId(handle, cameraId);
}
int zk_SetPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size) {
    return sim().cameraManager().setPersistentIpCfg(deviceId, config, size);
}
int zk_SetAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size) {
    return sim().cameraManager().setAutoCfgIpRange(adapterId, config, size);
}
int zk_UploadStarterFirmware(uint32_t deviceId, const char* path, int length) {
    return sim().cameraManager().uploadStarterFirmware(deviceId, path, length);
}
int zk_Configuration(uint32_t command, void* parameter, uint32_t size) {
    return sim().cameraManager().configuration(command, parameter, size);
}
int zk_SetDHCP_Status(const uint8_t* adapterMac, int dhcpEnabled) {
    return sim().cameraManager().setDhcpStatus(adapterMac, dhcpEnabled);
}
int zk_AccessAdapterCfgByMAC(const uint8_t* adapterMac, int set, uint32_t command, void* buffer,
                             uint32_t size) {
    return sim().cameraManager().accessAdapterCfg(adapterMac, set, command, buffer, size);
}
int zk_FetchTCPIP_Setup(void) {
    return sim().cameraManager().fetchTcpIpSetup();
}
int zk_SetComportConfig(const uint8_t* cameraMac, uint16_t currentOffset, void* config, uint32_t size,
                        int flags) {
    return sim().cameraManager().setComportConfig(cameraMac, currentOffset, config, size, flags);
}

} // extern "C"
