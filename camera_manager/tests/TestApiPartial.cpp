// An interface library that passes the version check but has only the camera list: one GigE
// camera, whose device information cannot be asked for.
#include <cstdint>
#include <cstring>

[[gnu::used, gnu::section(".zeko_version")]] static const char fileVersion[] = "ZEKO_FILE_VERSION=3.31.0.0";

extern "C" __attribute__((visibility("default"))) int zk_GetCameraList(void* list) {
    uint32_t room;
    std::memcpy(&room, list, 4);
    const uint32_t count = 1;
    std::memcpy(list, &count, 4);
    if (room >= 1) {
        uint8_t* record = static_cast<uint8_t*>(list) + 4;
        std::memset(record, 0, 112);
        const uint32_t cameraId = 7, deviceId = 1005;
        std::memcpy(record, &cameraId, 4);
        std::memcpy(record + 4, &deviceId, 4);
        std::memcpy(record + 16, "PARTIAL", 8);
    }
    return 0;
}
