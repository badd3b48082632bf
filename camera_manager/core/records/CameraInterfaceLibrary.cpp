#include "camera_manager/core/records/CameraInterfaceLibrary.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/System.h"

#include <mutex>

namespace ZekoApi {

namespace {

struct Functions {
    decltype(&::zk_GetCameraList) GetCameraList = nullptr;
    decltype(&::zk_GetEthDeviceInfo) GetEthDeviceInfo = nullptr;
    decltype(&::zk_InitCamera) InitCamera = nullptr;
    decltype(&::zk_ExitCamera) ExitCamera = nullptr;
    decltype(&::zk_GetCameraInfo) GetCameraInfo = nullptr;
    decltype(&::zk_GetCameraInfoEx) GetCameraInfoEx = nullptr;
    decltype(&::zk_GetRevisionInfo) GetRevisionInfo = nullptr;
    decltype(&::zk_ReadEEPROM) ReadEEPROM = nullptr;
    decltype(&::zk_WriteEEPROM) WriteEEPROM = nullptr;
    decltype(&::zk_SetCameraID) SetCameraID = nullptr;
    decltype(&::zk_GetChangeCount) GetChangeCount = nullptr;
    decltype(&::zk_SetPersistentIpCfg) SetPersistentIpCfg = nullptr;
    decltype(&::zk_SetAutoCfgIpRange) SetAutoCfgIpRange = nullptr;
    decltype(&::zk_UploadStarterFirmware) UploadStarterFirmware = nullptr;
    decltype(&::zk_Configuration) Configuration = nullptr;
    decltype(&::zk_SetDHCP_Status) SetDHCP_Status = nullptr;
    decltype(&::zk_AccessAdapterCfgByMAC) AccessAdapterCfgByMAC = nullptr;
    decltype(&::zk_FetchTCPIP_Setup) FetchTCPIP_Setup = nullptr;
    decltype(&::zk_SetComportConfig) SetComportConfig = nullptr;
};

std::mutex mutex;
bool tried = false;
HMODULE module = nullptr;
Functions functions;

template <typename F> void bind(F& target, const char* name) {
    target = reinterpret_cast<F>(GetProcAddress(module, name));
}

// The bound functions, loading the library at the first call.
Functions library() {
    std::lock_guard lock(mutex);
    if (tried)
        return functions;
    tried = true;
    functions = Functions{};
    module = LoadLibraryW(LibraryPath().c_str());
    if (!module)
        return functions;
#define ZK_BIND(name) bind(functions.name, "zk_" #name)
    ZK_BIND(GetCameraList);
    ZK_BIND(GetEthDeviceInfo);
    ZK_BIND(InitCamera);
    ZK_BIND(ExitCamera);
    ZK_BIND(GetCameraInfo);
    ZK_BIND(GetCameraInfoEx);
    ZK_BIND(GetRevisionInfo);
    ZK_BIND(ReadEEPROM);
    ZK_BIND(WriteEEPROM);
    ZK_BIND(SetCameraID);
    ZK_BIND(GetChangeCount);
    ZK_BIND(SetPersistentIpCfg);
    ZK_BIND(SetAutoCfgIpRange);
    ZK_BIND(UploadStarterFirmware);
    ZK_BIND(Configuration);
    ZK_BIND(SetDHCP_Status);
    ZK_BIND(AccessAdapterCfgByMAC);
    ZK_BIND(FetchTCPIP_Setup);
    ZK_BIND(SetComportConfig);
#undef ZK_BIND
    return functions;
}

} // namespace

std::u16string LibraryPath() {
    return FromUtf8(win::windowsFolder()) + u"/system32/" + LoadResourceString(ids::InterfaceLibraryFile);
}

bool IsLoaded() {
    library();
    std::lock_guard lock(mutex);
    return module != nullptr;
}

void Unload() {
    std::lock_guard lock(mutex);
    if (module)
        FreeLibrary(module);
    module = nullptr;
    functions = Functions{};
    tried = false;
}

#define ZK_CALL(name, ...)                                                                                   \
    const auto function = library().name;                                                                    \
    return function ? function(__VA_ARGS__) : notCallable

int zk_GetCameraList(void* list) {
    ZK_CALL(GetCameraList, list);
}
int zk_GetEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size) {
    ZK_CALL(GetEthDeviceInfo, deviceId, info, size);
}
int zk_InitCamera(uint32_t* handle, void* window) {
    ZK_CALL(InitCamera, handle, window);
}
int zk_ExitCamera(uint32_t handle) {
    ZK_CALL(ExitCamera, handle);
}
int zk_GetCameraInfo(uint32_t handle, void* info) {
    ZK_CALL(GetCameraInfo, handle, info);
}
int zk_GetCameraInfoEx(uint32_t handle, void* info) {
    ZK_CALL(GetCameraInfoEx, handle, info);
}
int zk_GetRevisionInfo(uint32_t handle, void* info) {
    ZK_CALL(GetRevisionInfo, handle, info);
}
int zk_ReadEEPROM(uint32_t handle, int address, char* buffer, int count) {
    ZK_CALL(ReadEEPROM, handle, address, buffer, count);
}
int zk_WriteEEPROM(uint32_t handle, int address, const char* buffer, int count) {
    ZK_CALL(WriteEEPROM, handle, address, buffer, count);
}
int zk_SetCameraID(uint32_t handle, int cameraId) {
    ZK_CALL(SetCameraID, handle, cameraId);
}
int zk_GetChangeCount(uint32_t* count) {
    ZK_CALL(GetChangeCount, count);
}
int zk_SetPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size) {
    ZK_CALL(SetPersistentIpCfg, deviceId, config, size);
}
int zk_SetAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size) {
    ZK_CALL(SetAutoCfgIpRange, adapterId, config, size);
}
int zk_UploadStarterFirmware(uint32_t deviceId, const char* path, int length) {
    ZK_CALL(UploadStarterFirmware, deviceId, path, length);
}
int zk_Configuration(uint32_t command, void* parameter, uint32_t size) {
    ZK_CALL(Configuration, command, parameter, size);
}
int zk_SetDHCP_Status(const uint8_t* adapterMac, int dhcpEnabled) {
    ZK_CALL(SetDHCP_Status, adapterMac, dhcpEnabled);
}
int zk_AccessAdapterCfgByMAC(const uint8_t* adapterMac, int set, uint32_t command, void* buffer,
                             uint32_t size) {
    ZK_CALL(AccessAdapterCfgByMAC, adapterMac, set, command, buffer, size);
}
int zk_FetchTCPIP_Setup() {
    ZK_CALL(FetchTCPIP_Setup);
}
int zk_SetComportConfig(const uint8_t* cameraMac, uint16_t currentOffset, void* config, uint32_t size,
                        int flags) {
    ZK_CALL(SetComportConfig, cameraMac, currentOffset, config, size, flags);
}

#undef ZK_CALL

} // namespace ZekoApi
