#include "platform/zeko/CameraManagerCalls.h"

#include "platform/zeko/RecordBytes.h"
#include "platform/zeko/TextCodec.h"
#include "platform/zeko/zeko_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace zeko::sim {

namespace {

constexpr uint16_t kDefaultMaxPacket = 1450;
constexpr uint32_t kDriverMinStarter = 0x01000000;
constexpr uint32_t kDriverMaxStarter = 0x01FFFFFF;
constexpr uint32_t kDriverEthVersion = 0x031F0000; // 3.31

std::string macText(const uint8_t* mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

// Written so that no address, however large, can overflow the sum: the check guards a memcpy.
bool eepromRange(int address, int count) {
    return address >= 0 && address <= ZK_EEPROM_SIZE && count >= 0 && count <= ZK_EEPROM_SIZE - address;
}

std::string hex(const uint8_t* data, size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

} // namespace

CameraManagerCalls::CameraManagerCalls(CameraInventory& inventory, CallJournal& journal,
                                       const SimulatorSettings& settings)
    : ApiCalls(inventory, journal, settings) {}

// ---------------------------------------------------------------------------------------------
// Camera list and the camera's own memory

int CameraManagerCalls::getCameraList(void* list) {
    return call("zk_GetCameraList", {list ? get<uint32_t>(list, 0) : -1}, {}, [&]() -> int {
        if (!list)
            return ZK_INVALID_PARAMETER;
        auto lock = inventory_.lock();
        inventory_.state().refresh();
        std::vector<CameraInventory::Camera*> present;
        for (auto& c : inventory_.cameras())
            if (c.connected)
                present.push_back(&c);
        const uint32_t room = get<uint32_t>(list, 0);
        if (room == 0) {
            put<uint32_t>(list, 0, static_cast<uint32_t>(present.size()));
            return ZK_SUCCESS;
        }
        // Never more than the caller made room for, even when a camera appeared meanwhile.
        const uint32_t n = std::min<uint32_t>(room, static_cast<uint32_t>(present.size()));
        auto* records = static_cast<uint8_t*>(list) + 4;
        for (uint32_t i = 0; i < n; ++i) {
            const CameraInventory::Camera& c = *present[i];
            uint8_t* r = records + static_cast<size_t>(i) * ZK_CAMERA_LIST_RECORD_SIZE;
            std::memset(r, 0, ZK_CAMERA_LIST_RECORD_SIZE);
            put<uint32_t>(r, 0, inventory_.cameraId(c));
            put<uint32_t>(r, 4, c.description.deviceId);
            put<uint32_t>(r, 8, c.description.sensorId);
            put<uint32_t>(r, 12, inventory_.inUse(c) ? 1 : 0);
            putText(r, 16, 16, c.description.serial);
            putText(r, 32, 16, c.description.model);
            put<uint32_t>(r, 48, c.description.statusFlags);
            put<int8_t>(r, 52, c.description.deviceType);
            put<uint16_t>(r, 54, c.description.housing);
        }
        put<uint32_t>(list, 0, n);
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::getChangeCount(uint32_t* count) {
    return call("zk_GetChangeCount", {}, {}, [&]() -> int {
        if (!count)
            return ZK_INVALID_PARAMETER;
        *count = inventory_.changes().current();
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::getEthDeviceInfo(uint32_t deviceId, void* info, uint32_t size) {
    return call("zk_GetEthDeviceInfo", {deviceId, size}, {}, [&]() -> int {
        if (!info || size < ZK_ETH_DEVICE_INFO_SIZE)
            return ZK_INVALID_PARAMETER;
        auto lock = inventory_.lock();
        inventory_.state().refresh();
        CameraInventory::Camera* camera = inventory_.byDeviceId(deviceId & 0x7FFF);
        if (!camera || !camera->description.gige())
            return ZK_DEVICE_NOT_FOUND;
        const CameraDescription& d = camera->description;
        const std::string adapter = "adapter " + std::to_string(d.adapterId);
        const std::string adapterMac = "adapter-mac " + macText(d.adapterMac.data());
        const auto e = inventory_.eeprom(*camera);
        uint32_t known = 0;
        for (const auto& c : inventory_.cameras())
            if (c.connected && c.description.gige() && c.description.adapterId == d.adapterId)
                ++known;

        std::memset(info, 0, ZK_ETH_DEVICE_INFO_SIZE);
        put<int8_t>(info, 12, d.deviceType);
        put<uint16_t>(info, 16, 64);
        put<uint32_t>(info, 20, inventory_.persisted(*camera, "starter_fw", d.starterFirmware));
        put<uint32_t>(info, 24, inventory_.persisted(*camera, "runtime_fw", d.runtimeFirmware));
        put<uint32_t>(info, 28, d.deviceStatusFlags);
        put<uint16_t>(info, 32, 0);
        put<uint16_t>(info, 34, d.revisions[7]);
        put<uint16_t>(info, 36, d.temperature);
        put<uint16_t>(info, 38, 1000);
        std::memcpy(static_cast<uint8_t*>(info) + 40, d.mac.data(), 6);
        put<int16_t>(info, 46, inventory_.comportOffset(*camera));
        putIp(info, 48, inventory_.persisted(*camera, "persistent_ip", d.persistentIp));
        putIp(info, 52, inventory_.persisted(*camera, "persistent_mask", d.persistentMask));
        putIp(info, 60, d.ip);
        putIp(info, 64, d.mask);
        putIp(info, 68, d.gateway);
        std::memcpy(static_cast<uint8_t*>(info) + 72, d.adapterMac.data(), 6);
        putIp(info, 80, d.adapterIp);
        putIp(info, 84, inventory_.state().getU32(adapter, "range_begin", 0));
        putIp(info, 88, inventory_.state().getU32(adapter, "range_end", 0));
        std::memcpy(static_cast<uint8_t*>(info) + 92, e.data(), 8);
        std::memcpy(static_cast<uint8_t*>(info) + 100, d.mac.data(), 6);
        put<uint16_t>(info, 106, 0x0102);
        put<uint8_t>(info, 108, 1);
        put<uint8_t>(info, 109, 1);
        put<uint8_t>(info, 110, 1);
        put<uint8_t>(info, 111, 1);
        put<uint32_t>(info, 120, d.driverStarterFirmware);
        put<uint16_t>(info, 136, 8);
        put<uint16_t>(info, 138, 4);
        put<uint16_t>(info, 152, 1000);
        put<uint16_t>(info, 154, 5);
        put<uint32_t>(info, 252, d.controlStatus);
        put<uint32_t>(info, 400, d.adapterId);
        putIp(info, 408, d.adapterIp);
        putIp(info, 412, d.adapterMask);
        std::memcpy(static_cast<uint8_t*>(info) + 420, d.adapterMac.data(), 6);
        put<uint32_t>(info, 428, inventory_.adapterDhcp(macText(d.adapterMac.data())) ? 1 : 0);
        putIp(info, 432, inventory_.state().getU32(adapter, "range_begin", 0));
        putIp(info, 436, inventory_.state().getU32(adapter, "range_end", 0));
        put<uint32_t>(info, 440, inventory_.state().getU32(adapter, "probe_timeout", 100));
        put<uint32_t>(info, 444, inventory_.state().getU32(adapter, "range_valid", 0));
        put<uint32_t>(info, 448, known);
        put<uint32_t>(info, 452, known);
        put<uint16_t>(info, 456,
                      static_cast<uint16_t>(inventory_.state().getU32(adapterMac, "packet_filter", 0)));
        put<uint16_t>(info, 458, 2);
        put<uint32_t>(info, 460, 8);
        put<uint32_t>(info, 464, 50000);
        put<uint32_t>(info, 468, 50001);
        put<uint32_t>(info, 472, 50002);
        put<uint32_t>(info, 476, 50003);
        put<uint32_t>(info, 480, 50004);
        const uint32_t maxPacket = inventory_.state().getU32(adapterMac, "max_packet", kDefaultMaxPacket);
        put<uint32_t>(info, 484, maxPacket);
        put<uint32_t>(info, 488, maxPacket);
        put<uint16_t>(info, 492, 5);
        put<uint16_t>(info, 494, 1000);
        put<uint16_t>(info, 496, 2);
        put<uint32_t>(info, 500, static_cast<uint32_t>(d.width * d.height * (d.color ? 3 : 1)));
        put<uint32_t>(info, 560, kDriverMinStarter);
        put<uint32_t>(info, 564, kDriverMaxStarter);
        put<uint16_t>(info, 568, 1000);
        put<uint32_t>(info, 572, kDriverEthVersion);
        put<uint32_t>(info, 576, d.driverStarterFirmware);
        put<uint32_t>(info, 580, d.runtimeFirmware);
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::getCameraInfo(uint32_t handle, void* info, bool extended) {
    return sessionCall(
        handle, extended ? "zk_GetCameraInfoEx" : "zk_GetCameraInfo", {handle}, {},
        [&](CameraSession& s) -> int {
            if (!info)
                return ZK_INVALID_PARAMETER;
            const CameraDescription& d = s.camera();
            // The plain record's size is not known to its callers: nothing at 54 or beyond.
            putText(info, 0, 12, d.serial.substr(0, 11));
            putText(info, 12, 20, d.manufacturer);
            putText(info, 32, 10, d.version);
            putText(info, 42, 12, d.qcDate);
            if (extended) {
                std::memset(static_cast<uint8_t*>(info) + 54, 0, ZK_CAMERA_INFO_SIZE - 54);
                put<uint8_t>(info, 54, static_cast<uint8_t>(inventory_.cameraId(inventory_.cameraOf(s))));
                put<uint8_t>(info, 55, d.infoType);
            }
            return ZK_SUCCESS;
        });
}

int CameraManagerCalls::getRevisionInfo(uint32_t handle, void* info) {
    return sessionCall(handle, "zk_GetRevisionInfo", {handle}, {}, [&](CameraSession& s) -> int {
        if (!info)
            return ZK_INVALID_PARAMETER;
        const CameraDescription& d = s.camera();
        std::memset(info, 0, ZK_REVISION_INFO_SIZE);
        put<uint16_t>(info, 0, ZK_REVISION_INFO_SIZE);
        put<uint16_t>(info, 2, d.sensorHardware);
        put<uint16_t>(info, 4, d.cypress);
        put<uint32_t>(info, 8, d.blackfin);
        for (size_t i = 0; i < d.revisions.size(); ++i)
            put<uint16_t>(info, 12 + 2 * i, d.revisions[i]);
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::readEeprom(uint32_t handle, int address, char* buffer, int count) {
    return sessionCall(handle, "zk_ReadEEPROM", {handle, address, count}, {}, [&](CameraSession& s) -> int {
        if (!buffer || !eepromRange(address, count))
            return ZK_INVALID_PARAMETER;
        inventory_.state().refresh();
        const auto e = inventory_.eeprom(inventory_.cameraOf(s));
        std::memcpy(buffer, e.data() + address, static_cast<size_t>(count));
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::writeEeprom(uint32_t handle, int address, const char* buffer, int count) {
    return sessionCall(handle, "zk_WriteEEPROM", {handle, address, count}, {}, [&](CameraSession& s) -> int {
        if (!buffer || !eepromRange(address, count))
            return ZK_INVALID_PARAMETER;
        CameraInventory::Camera& camera = inventory_.cameraOf(s);
        inventory_.state().refresh();
        auto e = inventory_.eeprom(camera);
        std::memcpy(e.data() + address, buffer, static_cast<size_t>(count));
        return inventory_.persist(camera, {{"eeprom", hex(e.data(), e.size())}}) ? ZK_SUCCESS
                                                                                 : ZK_IO_REQUEST_FAILED;
    });
}

int CameraManagerCalls::setCameraId(uint32_t handle, int id) {
    return sessionCall(handle, "zk_SetCameraID", {handle, id}, {}, [&](CameraSession& s) -> int {
        if (id < 1 || id > 254)
            return ZK_INVALID_PARAMETER;
        return inventory_.persist(inventory_.cameraOf(s), {{"camera_id", std::to_string(id)}})
                   ? ZK_SUCCESS
                   : ZK_IO_REQUEST_FAILED;
    });
}

// ---------------------------------------------------------------------------------------------
// Network, firmware and driver settings

int CameraManagerCalls::setPersistentIpCfg(uint32_t deviceId, void* config, uint32_t size) {
    const bool readable = config && size == 12;
    return call(
        "zk_SetPersistentIpCfg",
        {deviceId, readable ? get<uint32_t>(config, 0) : 0, readable ? get<uint32_t>(config, 4) : 0, size},
        {}, [&]() -> int {
            if (!readable)
                return ZK_INVALID_PARAMETER;
            auto lock = inventory_.lock();
            CameraInventory::Camera* camera = inventory_.byDeviceId(deviceId & 0x7FFF);
            if (!camera || !camera->description.gige())
                return ZK_DEVICE_NOT_FOUND;
            const uint32_t ip = get<uint32_t>(config, 0);
            const uint32_t mask = get<uint32_t>(config, 4);
            // Both 0 deletes the persistent address; one without the other means nothing.
            if ((ip == 0) != (mask == 0))
                return ZK_INVALID_PARAMETER;
            return inventory_.persist(*camera, {{"persistent_ip", std::to_string(ip)},
                                                {"persistent_mask", std::to_string(mask)}})
                       ? ZK_SUCCESS
                       : ZK_IO_REQUEST_FAILED;
        });
}

int CameraManagerCalls::setAutoCfgIpRange(uint32_t adapterId, void* config, uint32_t size) {
    const bool readable = config && size == 12;
    return call("zk_SetAutoCfgIpRange",
                {adapterId, readable ? get<uint32_t>(config, 0) : 0, readable ? get<uint32_t>(config, 4) : 0,
                 readable ? get<uint32_t>(config, 8) : 0},
                {}, [&]() -> int {
                    if (!readable)
                        return ZK_INVALID_PARAMETER;
                    auto lock = inventory_.lock();
                    const bool known = std::any_of(inventory_.cameras().begin(), inventory_.cameras().end(),
                                                   [&](const CameraInventory::Camera& c) {
                                                       return c.connected && c.description.gige() &&
                                                              c.description.adapterId == adapterId;
                                                   });
                    if (!known)
                        return ZK_DEVICE_NOT_FOUND;
                    const uint32_t begin = get<uint32_t>(config, 0);
                    const uint32_t end = get<uint32_t>(config, 4);
                    const uint32_t timeout = get<uint32_t>(config, 8);
                    const bool cleared = begin == 0 && end == 0;
                    if (!cleared && (begin == 0 || end == 0 || begin > end))
                        return ZK_INVALID_PARAMETER;
                    return inventory_.state().set("adapter " + std::to_string(adapterId),
                                                  {{"range_begin", std::to_string(begin)},
                                                   {"range_end", std::to_string(end)},
                                                   {"probe_timeout", std::to_string(timeout)},
                                                   {"range_valid", cleared ? "0" : "1"}})
                               ? ZK_SUCCESS
                               : ZK_IO_REQUEST_FAILED;
                });
}

int CameraManagerCalls::uploadStarterFirmware(uint32_t deviceId, const char* path, int length) {
    return call("zk_UploadStarterFirmware", {deviceId, length}, {}, [&]() -> int {
        if (!path || length < 1 ||
            ::strnlen(path, static_cast<size_t>(length)) >= static_cast<size_t>(length))
            return ZK_INVALID_PARAMETER;
        auto lock = inventory_.lock();
        CameraInventory::Camera* camera = inventory_.byDeviceId(deviceId & 0x7FFF);
        if (!camera || !camera->description.gige())
            return ZK_DEVICE_NOT_FOUND;
        if (inventory_.inUse(*camera))
            return ZK_CANT_OPEN_DEVICE;
        const std::string file = TextCodec::cp1252ToUtf8(path);
        if (!std::ifstream(file, std::ios::binary).good())
            return ZK_FILE_NOT_FOUND;
        if (!inventory_.loadFirmware(*camera, lock, settings_.firmwareMs))
            return ZK_DEVICE_NOT_FOUND;
        return inventory_.persist(*camera,
                                  {{"starter_fw", std::to_string(camera->description.driverStarterFirmware)}})
                   ? ZK_SUCCESS
                   : ZK_IO_REQUEST_FAILED;
    });
}

int CameraManagerCalls::configuration(uint32_t command, void* parameter, uint32_t size) {
    const bool readable = parameter && size == 4;
    return call(
        "zk_Configuration", {command, readable ? get<uint32_t>(parameter, 0) : 0, size}, {}, [&]() -> int {
            if (!readable)
                return ZK_INVALID_PARAMETER;
            auto lock = inventory_.lock();
            inventory_.state().refresh();
            const uint32_t value = get<uint32_t>(parameter, 0);
            switch (command) {
            case ZK_CONFIG_GET_CAPABILITIES:
                put<uint32_t>(parameter, 0, settings_.capabilities);
                return ZK_SUCCESS;
            case ZK_CONFIG_GET_IDLE_SUPPORTED:
                put<uint32_t>(parameter, 0, settings_.idleOptions);
                return ZK_SUCCESS;
            case ZK_CONFIG_SET_IDLE_FLAGS:
                if (value & ~settings_.idleOptions.load())
                    return ZK_INVALID_PARAMETER;
                return inventory_.state().set("driver", {{"idle_flags", std::to_string(value)}})
                           ? ZK_SUCCESS
                           : ZK_IO_REQUEST_FAILED;
            case ZK_CONFIG_GET_IDLE_FLAGS:
                put<uint32_t>(parameter, 0,
                              inventory_.state().getU32("driver", "idle_flags", 0) & settings_.idleOptions);
                return ZK_SUCCESS;
            case ZK_CONFIG_SET_START_PARAMSET:
                if (!(settings_.capabilities & 0x4) || value > 2)
                    return ZK_INVALID_PARAMETER;
                return inventory_.state().set("driver", {{"param_set", std::to_string(value)}})
                           ? ZK_SUCCESS
                           : ZK_IO_REQUEST_FAILED;
            case ZK_CONFIG_GET_START_PARAMSET:
                if (!(settings_.capabilities & 0x4))
                    return ZK_INVALID_PARAMETER;
                put<uint32_t>(parameter, 0, inventory_.state().getU32("driver", "param_set", 0));
                return ZK_SUCCESS;
            default:
                return ZK_INVALID_PARAMETER;
            }
        });
}

int CameraManagerCalls::setDhcpStatus(const uint8_t* mac, int enabled) {
    return call("zk_SetDHCP_Status", {enabled}, {}, [&]() -> int {
        if (!mac)
            return ZK_INVALID_PARAMETER;
        auto lock = inventory_.lock();
        inventory_.setAdapterDhcp(macText(mac), enabled != 0);
        return ZK_SUCCESS;
    });
}

int CameraManagerCalls::accessAdapterCfg(const uint8_t* mac, int set, uint32_t command, void* buffer,
                                         uint32_t size) {
    return call(
        "zk_AccessAdapterCfgByMAC",
        {set, command, size, (buffer && set && size >= 4) ? get<uint32_t>(buffer, 0) : 0}, {}, [&]() -> int {
            if (!mac || !buffer)
                return ZK_INVALID_PARAMETER;
            auto lock = inventory_.lock();
            inventory_.state().refresh();
            // One record per host adapter, whichever adapters the host has.
            const std::string section = "adapter-mac " + macText(mac);
            if (set == ZK_ADAPTER_GET && command == ZK_ADAPTER_CFG_RECORD) {
                if (size < ZK_ADAPTER_CFG_SIZE)
                    return ZK_INVALID_PARAMETER;
                std::memset(buffer, 0, ZK_ADAPTER_CFG_SIZE);
                std::memcpy(buffer, mac, 6);
                put<uint16_t>(buffer, 56,
                              static_cast<uint16_t>(inventory_.state().getU32(section, "packet_filter", 0)));
                put<uint32_t>(buffer, 84,
                              inventory_.state().getU32(section, "max_packet", kDefaultMaxPacket));
                return ZK_SUCCESS;
            }
            if (set == ZK_ADAPTER_GET && command == ZK_ADAPTER_CFG_PACKET_SIZE) {
                if (size < 8)
                    return ZK_INVALID_PARAMETER;
                put<uint64_t>(buffer, 0, settings_.adapterPacketSize.load());
                return ZK_SUCCESS;
            }
            // The size is checked before the value is read: never read past what the caller gave.
            if (set == ZK_ADAPTER_SET && command == ZK_ADAPTER_CFG_PACKET_FILTER) {
                if (size != 4)
                    return ZK_INVALID_PARAMETER;
                const uint32_t filter = get<uint32_t>(buffer, 0);
                if (filter > 2)
                    return ZK_INVALID_PARAMETER;
                return inventory_.state().set(section, {{"packet_filter", std::to_string(filter)}})
                           ? ZK_SUCCESS
                           : ZK_IO_REQUEST_FAILED;
            }
            if (set == ZK_ADAPTER_SET && command == ZK_ADAPTER_CFG_MAX_PACKET) {
                if (size != 4)
                    return ZK_INVALID_PARAMETER;
                const uint32_t packet = get<uint32_t>(buffer, 0);
                if (packet < 576 || packet > 16128)
                    return ZK_INVALID_PARAMETER;
                return inventory_.state().set(section, {{"max_packet", std::to_string(packet)}})
                           ? ZK_SUCCESS
                           : ZK_IO_REQUEST_FAILED;
            }
            return ZK_INVALID_PARAMETER;
        });
}

int CameraManagerCalls::fetchTcpIpSetup() {
    return call("zk_FetchTCPIP_Setup", {}, {}, [] { return ZK_SUCCESS; });
}

int CameraManagerCalls::setComportConfig(const uint8_t* mac, uint16_t currentOffset, void* config,
                                         uint32_t size, int flags) {
    const bool readable = config && size == ZK_COMPORT_CFG_SIZE;
    return call("zk_SetComportConfig",
                {static_cast<int16_t>(currentOffset), readable ? get<int16_t>(config, 4) : 0, size, flags},
                {}, [&]() -> int {
                    if (!mac || !readable || get<uint32_t>(config, 0) != 1)
                        return ZK_INVALID_PARAMETER;
                    const int16_t offset = get<int16_t>(config, 4);
                    // Only COM1 to COM256 exist.
                    if (offset < -99 || offset > 156)
                        return ZK_INVALID_PARAMETER;
                    auto lock = inventory_.lock();
                    CameraInventory::Camera* camera = inventory_.byMac(mac);
                    if (!camera)
                        return ZK_DEVICE_NOT_FOUND;
                    return inventory_.persist(*camera, {{"comport_offset", std::to_string(offset)}})
                               ? ZK_SUCCESS
                               : ZK_IO_REQUEST_FAILED;
                });
}

} // namespace zeko::sim
