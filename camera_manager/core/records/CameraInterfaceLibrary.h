#pragma once

// The camera interface library (zeko_api_64), loaded on first use from the Windows folder's
// system32 (the file named by string 599) and bound by name. A function the library lacks, or
// every function when the library cannot be loaded, answers notCallable without doing anything.
// The types, codes and record sizes come from the library's own header.

#include "platform/zeko/zeko_api.h"

#include <cstdint>
#include <string>

namespace ZekoApi {

constexpr int notCallable = ZK_NO_SUCCESS;

int zk_GetCameraList(void* list);
int zk_GetEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size);
int zk_InitCamera(uint32_t* handle, void* window);
int zk_ExitCamera(uint32_t handle);
int zk_GetCameraInfo(uint32_t handle, void* info);
int zk_GetCameraInfoEx(uint32_t handle, void* info);
int zk_GetRevisionInfo(uint32_t handle, void* info);
int zk_ReadEEPROM(uint32_t handle, int address, char* buffer, int count);
int zk_WriteEEPROM(uint32_t handle, int address, const char* buffer, int count);
int zk_SetCameraID(uint32_t handle, int cameraId);
// A library that lacks it (the camera maker's own) is polled in full at every refresh.
int zk_GetChangeCount(uint32_t* count);
int zk_SetPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size);
int zk_SetAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size);
int zk_UploadStarterFirmware(uint32_t deviceId, const char* path, int length);
int zk_Configuration(uint32_t command, void* parameter, uint32_t size);
int zk_SetDHCP_Status(const uint8_t* adapterMac, int dhcpEnabled);
int zk_AccessAdapterCfgByMAC(const uint8_t* adapterMac, int set, uint32_t command, void* buffer,
                             uint32_t size);
int zk_FetchTCPIP_Setup();
int zk_SetComportConfig(const uint8_t* cameraMac, uint16_t currentOffset, void* config, uint32_t size,
                        int flags);

// The file the library is loaded from: <Windows folder>/system32/<string 599>.
std::u16string LibraryPath();
// Whether the library is loaded (the first call loads it).
bool IsLoaded();
// Unloads it; the next call loads it again (from the Windows folder of that moment).
void Unload();

} // namespace ZekoApi
