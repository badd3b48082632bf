#include "platform/zeko/CameraModelCalls.h"

#include "platform/zeko/RecordBytes.h"
#include "platform/zeko/zeko_api.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace zeko::sim {

CameraModelCalls::CameraModelCalls(CameraInventory& inventory, CallJournal& journal,
                                   const SimulatorSettings& settings)
    : ApiCalls(inventory, journal, settings) {}

// ---------------------------------------------------------------------------------------------
// Opening and closing

int CameraModelCalls::initCamera(uint32_t* handle, void*) {
    return call("zk_InitCamera", {handle ? static_cast<long long>(*handle) : -1}, {}, [&]() -> int {
        if (!handle)
            return ZK_INVALID_PARAMETER;
        auto lock = inventory_.lock();
        inventory_.state().refresh();
        const uint32_t request = *handle;
        CameraInventory::Camera* camera = nullptr;
        bool load = false;
        if (request == 0) {
            for (auto& c : inventory_.cameras()) {
                if (c.connected && !inventory_.inUse(c)) {
                    camera = &c;
                    break;
                }
            }
            if (!camera)
                return ZK_NO_CAMERA_FOUND;
        } else if (request & ZK_USE_DEVICE_ID) {
            if (request & ~(ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD | 0x7FFFu))
                return ZK_INVALID_PARAMETER;
            camera = inventory_.byDeviceId(request & 0x7FFF);
            load = request & ZK_ALLOW_STARTER_FW_UPLOAD;
        } else if (request <= 254) {
            for (auto& c : inventory_.cameras())
                if (c.connected && inventory_.cameraId(c) == request) {
                    camera = &c;
                    break;
                }
        } else {
            return ZK_INVALID_PARAMETER;
        }
        if (!camera)
            return ZK_DEVICE_NOT_FOUND;
        if (inventory_.inUse(*camera))
            return ZK_CANT_OPEN_DEVICE;

        const CameraDescription& d = camera->description;
        const uint32_t driverStarter = d.driverStarterFirmware;
        const bool starterKind = d.gige() && (d.deviceType == -127 || d.deviceType == -124);
        const bool outdated =
            starterKind && inventory_.persisted(*camera, "starter_fw", d.starterFirmware) != driverStarter;
        // Addressed by device id, an outdated camera is opened only when the caller allows the load;
        // the first available camera loads it on its own, as the driver does.
        if (outdated && (request & ZK_USE_DEVICE_ID) && !load)
            return ZK_STARTER_FW_UPLOAD_NEEDED;
        if (outdated || (load && d.gige() &&
                         inventory_.persisted(*camera, "starter_fw", d.starterFirmware) != driverStarter)) {
            if (!inventory_.loadFirmware(*camera, lock, settings_.firmwareMs))
                return ZK_DEVICE_NOT_FOUND;
            inventory_.persist(*camera, {{"starter_fw", std::to_string(driverStarter)}});
            if (!camera->connected)
                return ZK_DEVICE_NOT_FOUND;
        }
        const uint32_t h = inventory_.open(*camera);
        if (h == 0)
            return ZK_CANT_OPEN_DEVICE;
        *handle = h;
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::exitCamera(uint32_t handle) {
    return call("zk_ExitCamera", {handle}, {}, [&]() -> int {
        auto lock = inventory_.lock();
        if (!inventory_.close(handle))
            return ZK_INVALID_CAMERA_HANDLE;
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::getSensorInfo(uint32_t handle, void* info) {
    return sessionCall(handle, "zk_GetSensorInfo", {handle}, {}, [&](CameraSession& s) -> int {
        if (!info)
            return ZK_INVALID_PARAMETER;
        std::memset(info, 0, ZK_SENSORINFO_SIZE);
        putText(info, ZK_SENSORINFO_NAME, 32, s.camera().sensorName);
        put<uint32_t>(info, ZK_SENSORINFO_MAX_WIDTH, static_cast<uint32_t>(s.camera().width));
        put<uint32_t>(info, ZK_SENSORINFO_MAX_HEIGHT, static_cast<uint32_t>(s.camera().height));
        return ZK_SUCCESS;
    });
}

// ---------------------------------------------------------------------------------------------
// Capture and image memory

int CameraModelCalls::captureVideo(uint32_t handle, int wait, bool start) {
    return sessionCall(handle, start ? "zk_CaptureVideo" : "zk_StopLiveVideo", {handle, wait}, {},
                       [&](CameraSession& s) -> int {
                           s.capturing = start;
                           return ZK_SUCCESS;
                       });
}

int CameraModelCalls::allocImageMem(uint32_t handle, int width, int height, int bpp, char** memory, int* id) {
    return sessionCall(handle, "zk_AllocImageMem", {handle, width, height, bpp}, {},
                       [&](CameraSession& s) -> int {
                           if (!memory || !id || width < 1 || height < 1 || width > 16384 || height > 16384 ||
                               (bpp != 8 && bpp != 24))
                               return ZK_INVALID_PARAMETER;
                           CameraSession::Memory* m = s.allocate(width, height, bpp);
                           *memory = m->data.get();
                           *id = m->id;
                           return ZK_SUCCESS;
                       });
}

int CameraModelCalls::memoryCall(const char* function, uint32_t handle, char* memory, int id) {
    return sessionCall(handle, function, {handle, id}, {}, [&](CameraSession& s) -> int {
        CameraSession::Memory* m = s.find(memory, id);
        if (!m)
            return ZK_INVALID_MEMORY_POINTER;
        if (std::strcmp(function, "zk_SetImageMem") == 0)
            s.setActive(m);
        else if (std::strcmp(function, "zk_AddToSequence") == 0)
            s.addToSequence(m);
        else
            s.release(m);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::clearSequence(uint32_t handle) {
    return sessionCall(handle, "zk_ClearSequence", {handle}, {}, [&](CameraSession& s) -> int {
        s.clearSequence();
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::latestImage(uint32_t handle, int* number, char** memory, char** last) {
    return call("zk_fn70", {handle}, {}, [&]() -> int {
        // The caller does not check the result: null outputs are its only protection.
        if (number)
            *number = 0;
        if (memory)
            *memory = nullptr;
        if (last)
            *last = nullptr;
        auto lock = inventory_.lock();
        CameraSession* s = inventory_.session(handle);
        if (!s)
            return ZK_INVALID_CAMERA_HANDLE;
        CameraSession::Memory* m = s->latest(settings_.freeRunning);
        if (!m)
            return ZK_INVALID_MEMORY_POINTER;
        if (number)
            *number = m->id;
        if (memory)
            *memory = m->data.get();
        if (last)
            *last = m->data.get();
        return ZK_SUCCESS;
    });
}

// ---------------------------------------------------------------------------------------------
// Image parameters

int CameraModelCalls::accept(const char* function, uint32_t handle, std::initializer_list<long long> args) {
    return call(function, args, {}, [&]() -> int {
        auto lock = inventory_.lock();
        return inventory_.session(handle) ? ZK_SUCCESS : ZK_INVALID_CAMERA_HANDLE;
    });
}

int CameraModelCalls::setColorMode(uint32_t handle, int mode) {
    return sessionCall(handle, "zk_SetColorMode", {handle, mode}, {}, [&](CameraSession& s) -> int {
        if (mode == ZK_GET_CURRENT)
            return s.colorMode;
        if (mode != ZK_CM_RGB24 && mode != ZK_CM_MONO8)
            return ZK_INVALID_PARAMETER;
        s.colorMode = mode;
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setGamma(uint32_t handle, int gamma) {
    return sessionCall(handle, "zk_SetGamma", {handle, gamma}, {}, [&](CameraSession& s) -> int {
        s.tone.gamma = std::clamp(gamma, 1, 1000);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setPixelClock(uint32_t handle, int clock) {
    return sessionCall(handle, "zk_SetPixelClock", {handle, clock}, {}, [&](CameraSession& s) -> int {
        s.setClock(clock);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setBrightness(uint32_t handle, int brightness) {
    return sessionCall(handle, "zk_SetBrightness", {handle, brightness}, {}, [&](CameraSession& s) -> int {
        if (brightness == ZK_GET_CURRENT)
            return s.tone.brightness;
        s.tone.brightness = std::clamp(brightness, 0, 255);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setHardwareGain(uint32_t handle, int master, int red, int green, int blue) {
    return sessionCall(handle, "zk_SetHardwareGain", {handle, master, red, green, blue}, {},
                       [&](CameraSession& s) -> int {
                           Tone& t = s.tone;
                           switch (master) {
                           case ZK_GET_CURRENT:
                               return t.masterGain;
                           case ZK_GET_RED_GAIN:
                               return t.redGain;
                           case ZK_GET_GREEN_GAIN:
                               return t.greenGain;
                           case ZK_GET_BLUE_GAIN:
                               return t.blueGain;
                           default:
                               break;
                           }
                           if (master > 100 || red > 100 || green > 100 || blue > 100) {
                               if (master >= 0x8000)
                                   return ZK_INVALID_PARAMETER;
                           }
                           // A negative gain (the settings' -1 for "automatic") leaves that gain as it is.
                           if (master >= 0)
                               t.masterGain = std::min(master, 100);
                           if (red >= 0)
                               t.redGain = std::min(red, 100);
                           if (green >= 0)
                               t.greenGain = std::min(green, 100);
                           if (blue >= 0)
                               t.blueGain = std::min(blue, 100);
                           return ZK_SUCCESS;
                       });
}

int CameraModelCalls::setAutoParameter(uint32_t handle, int code, double* value1, double* value2) {
    return sessionCall(handle, "zk_SetAutoParameter", {handle, code},
                       {value1 ? *value1 : NAN, value2 ? *value2 : NAN}, [&](CameraSession& s) -> int {
                           switch (code) {
                           case ZK_SET_ENABLE_AUTO_GAIN:
                               if (!value1)
                                   return ZK_INVALID_PARAMETER;
                               s.autoGain = *value1 != 0.0;
                               return ZK_SUCCESS;
                           case ZK_GET_ENABLE_AUTO_GAIN:
                               if (!value1)
                                   return ZK_INVALID_PARAMETER;
                               *value1 = s.autoGain ? 1.0 : 0.0;
                               return ZK_SUCCESS;
                           case ZK_SET_ENABLE_AUTO_WHITEBALANCE:
                               if (!value1)
                                   return ZK_INVALID_PARAMETER;
                               s.tone.whiteBalance = *value1 != 0.0;
                               return ZK_SUCCESS;
                           case ZK_SET_AUTO_REFERENCE:
                           case ZK_SET_ENABLE_AUTO_SHUTTER:
                               return ZK_SUCCESS;
                           default:
                               return ZK_INVALID_PARAMETER;
                           }
                       });
}

int CameraModelCalls::setAOI(uint32_t handle, int code, int* x, int* y, int* width, int* height) {
    const bool set = code == ZK_SET_AOI && x && y && width && height;
    return sessionCall(handle, "zk_SetAOI",
                       {handle, code, set ? *x : 0, set ? *y : 0, set ? *width : 0, set ? *height : 0}, {},
                       [&](CameraSession& s) -> int {
                           if (!x || !y || !width || !height)
                               return ZK_INVALID_PARAMETER;
                           if (code == ZK_GET_AOI) {
                               *x = s.aoiX();
                               *y = s.aoiY();
                               *width = s.aoiWidth();
                               *height = s.aoiHeight();
                               return ZK_SUCCESS;
                           }
                           if (code != ZK_SET_AOI)
                               return ZK_INVALID_PARAMETER;
                           s.setPosition(0, 0);
                           s.setSize(*width, *height);
                           s.setPosition(*x, *y);
                           return ZK_SUCCESS;
                       });
}

int CameraModelCalls::setImageSize(uint32_t handle, int width, int height) {
    return sessionCall(handle, "zk_SetImageSize", {handle, width, height}, {}, [&](CameraSession& s) -> int {
        if (width >= 0x8000 || height >= 0x8000)
            return ZK_INVALID_PARAMETER;
        s.setSize(width, height);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setImagePos(uint32_t handle, int x, int y) {
    return sessionCall(handle, "zk_SetImagePos", {handle, x, y}, {}, [&](CameraSession& s) -> int {
        switch (x) {
        case ZK_GET_POS_X_STEP:
            return s.camera().xStep;
        case ZK_GET_POS_Y_STEP:
            return s.camera().yStep;
        case ZK_GET_POS_X_MAX:
            return s.camera().width - s.aoiWidth();
        case ZK_GET_POS_Y_MAX:
            return s.camera().height - s.aoiHeight();
        default:
            break;
        }
        if (x >= 0x8000 || y >= 0x8000)
            return ZK_INVALID_PARAMETER;
        s.setPosition(x, y);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setFrameRate(uint32_t handle, double rate, double* newRate) {
    return sessionCall(handle, "zk_SetFrameRate", {handle}, {rate}, [&](CameraSession& s) -> int {
        if (rate == ZK_GET_FRAMERATE || rate == ZK_GET_DEFAULT_FRAMERATE) {
            if (!newRate)
                return ZK_INVALID_PARAMETER;
            *newRate = rate == ZK_GET_FRAMERATE
                           ? s.rate()
                           : std::clamp(s.camera().defaultRate, CameraSession::kMinRate, s.maxRate());
            return ZK_SUCCESS;
        }
        if (!std::isfinite(rate))
            return ZK_INVALID_PARAMETER;
        const double obtained = s.setRate(rate);
        if (newRate)
            *newRate = obtained;
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::setExposureTime(uint32_t handle, double time, double* newTime) {
    return sessionCall(handle, "zk_SetExposureTime", {handle}, {time}, [&](CameraSession& s) -> int {
        if (time == ZK_GET_EXPOSURE_TIME) {
            if (!newTime)
                return ZK_INVALID_PARAMETER;
            *newTime = s.exposure();
            return ZK_SUCCESS;
        }
        if (!std::isfinite(time))
            return ZK_INVALID_PARAMETER;
        const double obtained = s.setExposure(time);
        if (newTime)
            *newTime = obtained;
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::optimizeClock(uint32_t handle, int mode, int timeoutMs, int* clock, double* rate) {
    return call("zk_fn407", {handle, mode, timeoutMs}, {}, [&]() -> int {
        if (!clock || !rate)
            return ZK_INVALID_PARAMETER;
        {
            auto lock = inventory_.lock();
            if (!inventory_.session(handle))
                return ZK_INVALID_CAMERA_HANDLE;
        }
        // The search is slow; the other thread keeps the camera meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(settings_.clockSearchMs.load()));
        auto lock = inventory_.lock();
        CameraSession* s = inventory_.session(handle);
        if (!s)
            return ZK_INVALID_CAMERA_HANDLE;
        *clock = s->camera().clockMax;
        *rate = s->maxRateAt(s->camera().clockMax);
        return ZK_SUCCESS;
    });
}

int CameraModelCalls::frameTimeRange(uint32_t handle, double* minimum, double* maximum, double* interval) {
    return sessionCall(handle, "zk_fn271", {handle}, {}, [&](CameraSession& s) -> int {
        if (!minimum || !maximum || !interval)
            return ZK_INVALID_PARAMETER;
        *minimum = 1.0 / s.maxRate();
        *maximum = 1.0 / CameraSession::kMinRate;
        *interval = 1e-5;
        return ZK_SUCCESS;
    });
}

} // namespace zeko::sim
