#include "platform/zeko/CameraInventory.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zeko::sim {

void CameraInventory::load(const std::vector<CameraDescription>& descriptions) {
    cameras_.clear();
    for (const auto& d : descriptions) {
        Camera c;
        c.description = d;
        c.connected = d.connected;
        cameras_.push_back(std::move(c));
    }
    changes_.count();
}

CameraInventory::Camera* CameraInventory::byDeviceId(uint32_t deviceId) {
    for (auto& c : cameras_)
        if (c.connected && c.description.deviceId == deviceId)
            return &c;
    return nullptr;
}

CameraInventory::Camera* CameraInventory::byMac(const uint8_t* mac) {
    for (auto& c : cameras_)
        if (c.connected && c.description.gige() && std::memcmp(c.description.mac.data(), mac, 6) == 0)
            return &c;
    return nullptr;
}

std::string CameraInventory::lockPath(const Camera& camera) const {
    return state_.folder() + "/zeko_sim_cam_" + camera.description.serial + ".lock";
}

bool CameraInventory::inUse(const Camera& camera) {
    if (camera.handle != 0 || camera.busy || camera.description.inUseElsewhere)
        return true;
    // Another process holds the camera when it holds a lock on the camera's lock file.
    const int fd = ::open(lockPath(camera).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

bool CameraInventory::setConnected(uint32_t deviceId, bool connected) {
    for (auto& c : cameras_) {
        if (c.description.deviceId != deviceId)
            continue;
        c.connected = connected;
        changes_.count();
        // An unplugged camera's handles fail until they are closed; its memory stays valid till then.
        if (!connected && c.handle != 0) {
            if (auto it = sessions_.find(c.handle); it != sessions_.end())
                it->second->unplugged = true;
        }
        return true;
    }
    return false;
}

bool CameraInventory::loadFirmware(Camera& camera, std::unique_lock<std::mutex>& lock, int ms) {
    camera.busy = true;
    const uint64_t generation = generation_;
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    lock.lock();
    if (generation != generation_)
        return false;
    camera.busy = false;
    return true;
}

uint32_t CameraInventory::open(Camera& camera) {
    state_.ensureFolder();
    const int fd = ::open(lockPath(camera).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // Without a shared folder only this process can tell that the camera is open.
    if (fd >= 0) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd, F_SETLK, &lock) != 0) {
            ::close(fd);
            return 0;
        }
        // Taking a lock tells a folder's watchers nothing; a touch of its file does.
        ::futimens(fd, nullptr);
        camera.lockFd = fd;
    }
    uint32_t h = nextHandle_++;
    if (h == 0 || sessions_.count(h))
        h = nextHandle_++; // after a wrap: 0 means no camera to every caller
    sessions_[h] =
        std::make_unique<CameraSession>(camera.description, static_cast<size_t>(&camera - cameras_.data()));
    camera.handle = h;
    serveSerialInterface(camera, h);
    return h;
}

void CameraInventory::serveSerialInterface(const Camera& camera, uint32_t handle) {
    const int comNumber = 100 + comportOffset(camera);
    if (!camera.description.gige() || comNumber < 1 || comNumber > 256)
        return;
    auto port =
        std::make_unique<SerialInterface>(static_cast<uint32_t>(comNumber), camera.description.serialLine);
    if (port->serving())
        serialInterfaces_[handle] = std::move(port);
}

CameraSession* CameraInventory::session(uint32_t handle) {
    const auto it = sessions_.find(handle);
    if (it == sessions_.end() || it->second->unplugged)
        return nullptr;
    return it->second.get();
}

void CameraInventory::unlock(Camera& camera) {
    if (camera.lockFd >= 0)
        ::close(camera.lockFd);
    camera.lockFd = -1;
    camera.handle = 0;
}

bool CameraInventory::close(uint32_t handle) {
    const auto it = sessions_.find(handle);
    if (it == sessions_.end())
        return false;
    const size_t index = it->second->cameraIndex();
    if (index < cameras_.size() && cameras_[index].handle == handle)
        unlock(cameras_[index]);
    sessions_.erase(it);
    serialInterfaces_.erase(handle);
    return true;
}

void CameraInventory::closeAll() {
    for (auto& c : cameras_)
        unlock(c);
    sessions_.clear();
    serialInterfaces_.clear();
}

uint32_t CameraInventory::persisted(const Camera& camera, const char* key, uint32_t fallback) const {
    return state_.getU32(section(camera), key, fallback);
}

uint32_t CameraInventory::cameraId(const Camera& camera) const {
    return persisted(camera, "camera_id", camera.description.cameraId);
}

int16_t CameraInventory::comportOffset(const Camera& camera) const {
    const std::string text = state_.get(section(camera), "comport_offset", "");
    if (text.empty())
        return camera.description.comportOffset;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < -99 || value > 156)
        return camera.description.comportOffset;
    return static_cast<int16_t>(value);
}

std::array<uint8_t, 64> CameraInventory::eeprom(const Camera& camera) const {
    std::array<uint8_t, 64> out{};
    const std::string text = state_.get(section(camera), "eeprom", "");
    auto nibble = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    const bool valid =
        text.size() == 128 && std::all_of(text.begin(), text.end(), [&](char c) { return nibble(c) >= 0; });
    if (valid) {
        for (size_t i = 0; i < 64; ++i)
            out[i] = static_cast<uint8_t>(nibble(text[2 * i]) * 16 + nibble(text[2 * i + 1]));
    } else {
        std::memcpy(out.data(), camera.description.eeprom.data(),
                    std::min<size_t>(64, camera.description.eeprom.size()));
    }
    return out;
}

bool CameraInventory::persist(const Camera& camera, const StateStore::Section& values) {
    return state_.set(section(camera), values);
}

bool CameraInventory::adapterDhcp(const std::string& adapterMac) const {
    const auto it = adapterDhcp_.find(adapterMac);
    return it != adapterDhcp_.end() && it->second;
}

} // namespace zeko::sim
