// The calls the camera manager makes into zeko_api: the camera list, device and camera
// information, what a camera keeps in its own memory, network and firmware settings, and the
// driver's settings. Every function is a C entry point's body: it checks its handle or id and
// never lets a bad one crash.
#pragma once

#include "platform/zeko/ApiCalls.h"

#include <cstdint>

namespace zeko::sim {

class CameraManagerCalls : private ApiCalls {
public:
    CameraManagerCalls(CameraInventory& inventory, CallJournal& journal, const SimulatorSettings& settings);

    int getCameraList(void* list);
    int getChangeCount(uint32_t* count);
    int getEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size);
    int getCameraInfo(uint32_t handle, void* info, bool extended);
    int getRevisionInfo(uint32_t handle, void* info);
    int readEeprom(uint32_t handle, int address, char* buffer, int count);
    int writeEeprom(uint32_t handle, int address, const char* buffer, int count);
    int setCameraId(uint32_t handle, int cameraId);
    int setPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size);
    int setAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size);
    int uploadStarterFirmware(uint32_t deviceId, const char* path, int length);
    int configuration(uint32_t command, void* parameter, uint32_t size);
    int setDhcpStatus(const uint8_t* mac, int enabled);
    int accessAdapterCfg(const uint8_t* mac, int set, uint32_t command, void* buffer, uint32_t size);
    int fetchTcpIpSetup();
    int setComportConfig(const uint8_t* mac, uint16_t currentOffset, void* config, uint32_t size, int flags);
};

} // namespace zeko::sim
