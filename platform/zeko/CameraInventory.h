// The simulated cameras of this process, their open sessions, and what the cameras and the
// driver keep: the state file shared with other processes and the host adapters' DHCP switches.
// One lock guards all of it: lock() and withSession() take it, every other member function
// expects the caller to hold it.
#pragma once

#include "platform/zeko/CameraDescription.h"
#include "platform/zeko/CameraSession.h"
#include "platform/zeko/ChangeCounter.h"
#include "platform/zeko/SerialInterface.h"
#include "platform/zeko/StateStore.h"
#include "platform/zeko/zeko_api.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zeko::sim {

class CameraInventory {
public:
    struct Camera {
        CameraDescription description;
        bool connected = true;
        bool busy = false;   // a firmware load is running
        uint32_t handle = 0; // this process's open handle, 0 when closed
        int lockFd = -1;     // held while open, so that other processes see the camera in use
    };

    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }

    // Replaces the cameras; close every session first.
    void load(const std::vector<CameraDescription>& descriptions);
    std::vector<Camera>& cameras() { return cameras_; }
    Camera& cameraOf(const CameraSession& session) { return cameras_[session.cameraIndex()]; }
    // Connected cameras only.
    Camera* byDeviceId(uint32_t deviceId);
    Camera* byMac(const uint8_t* mac);
    // Open here or in another process, loading firmware, or described as in use elsewhere.
    bool inUse(const Camera& camera);
    // Changes whether the camera is plugged in; false when no camera has the device id.
    bool setConnected(uint32_t deviceId, bool connected);

    // Opens a session on the camera and returns its handle; 0 when another process holds it.
    uint32_t open(Camera& camera);
    // The session of an open handle; null when unknown or its camera was unplugged.
    CameraSession* session(uint32_t handle);
    // Runs body(session) for an open handle, under the lock; refuses an unknown or unplugged one.
    template <class Body> int withSession(uint32_t handle, Body&& body);
    // False when the handle is not open.
    bool close(uint32_t handle);
    void closeAll();

    // Keeps the camera busy for a firmware load of `ms` milliseconds, letting go of the lock
    // meanwhile so that other calls go on. False when a reset came in between: the camera is gone.
    bool loadFirmware(Camera& camera, std::unique_lock<std::mutex>& lock, int ms);
    // Called at every reset, so that a firmware load that let go of the lock notices it.
    void nextGeneration() { ++generation_; }

    // What the cameras keep in their own memory, read through the state file.
    StateStore& state() { return state_; }
    // Its own lock: counted without the inventory's.
    ChangeCounter& changes() { return changes_; }
    uint32_t persisted(const Camera& camera, const char* key, uint32_t fallback) const;
    uint32_t cameraId(const Camera& camera) const;
    std::array<uint8_t, 64> eeprom(const Camera& camera) const;
    int16_t comportOffset(const Camera& camera) const;
    // False when the state file cannot be written.
    bool persist(const Camera& camera, const StateStore::Section& values);

    // The DHCP switch of the host adapter with this MAC address text; not kept in the state file.
    bool adapterDhcp(const std::string& adapterMac) const;
    void setAdapterDhcp(const std::string& adapterMac, bool enabled) { adapterDhcp_[adapterMac] = enabled; }
    void clearAdapterDhcp() { adapterDhcp_.clear(); }

private:
    std::string section(const Camera& camera) const { return "camera " + camera.description.serial; }
    std::string lockPath(const Camera& camera) const;
    void unlock(Camera& camera);
    // While a GigE camera with a COM number is open, its virtual COM port is served.
    void serveSerialInterface(const Camera& camera, uint32_t handle);

    std::mutex mutex_;
    std::vector<Camera> cameras_;
    std::map<uint32_t, std::unique_ptr<CameraSession>> sessions_;
    std::map<uint32_t, std::unique_ptr<SerialInterface>> serialInterfaces_; // by handle
    uint32_t nextHandle_ = 1;
    uint64_t generation_ = 0;
    StateStore state_;
    ChangeCounter changes_;
    std::map<std::string, bool> adapterDhcp_;
};

template <class Body> int CameraInventory::withSession(uint32_t handle, Body&& body) {
    std::lock_guard guard(mutex_);
    CameraSession* s = session(handle);
    if (!s)
        return ZK_INVALID_CAMERA_HANDLE;
    return body(*s);
}

} // namespace zeko::sim
