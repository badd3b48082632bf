// One open camera: its adjustable state (area of interest, gains, timing), its image memories,
// and the frames produced into them. Not locked: the simulator serialises every call.
#pragma once

#include "platform/zeko/CameraDescription.h"
#include "platform/zeko/TestPattern.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace zeko::sim {

class CameraSession {
public:
    struct Memory {
        int id;
        int width;
        int height;
        int bitsPerPixel;
        std::unique_ptr<char[]> data;
    };

    CameraSession(const CameraDescription& camera, size_t cameraIndex);

    const CameraDescription& camera() const { return camera_; }
    size_t cameraIndex() const { return cameraIndex_; }

    // Area of interest; sizes and positions are clamped to the sensor and rounded down to the steps.
    int aoiX() const { return aoiX_; }
    int aoiY() const { return aoiY_; }
    int aoiWidth() const { return aoiW_; }
    int aoiHeight() const { return aoiH_; }
    void setSize(int width, int height);
    void setPosition(int x, int y);

    // Timing: the pixel clock (MHz) and the area bound the frame rate, the frame time the exposure (ms).
    int clock() const { return clock_; }
    void setClock(int mhz);
    // Never below the slowest rate the camera runs at, so that [kMinRate, maxRate()] is a range
    // even for a large sensor on a slow clock.
    double maxRate() const { return std::max(kMinRate, maxRateAt(clock_)); }
    double maxRateAt(int clockMHz) const;
    static constexpr double kMinRate = 0.5;
    double rate() const { return rate_; }
    double setRate(double rate);
    double exposure() const { return exposure_; }
    double setExposure(double ms);
    static constexpr double kMinExposure = 0.05;

    Tone tone;
    bool autoGain = false;
    int colorMode;
    bool capturing = false;
    bool unplugged = false;

    // Image memory.
    Memory* allocate(int width, int height, int bitsPerPixel);
    Memory* find(const char* data, int id);
    void release(Memory* memory);
    void setActive(Memory* memory) { activeId_ = memory->id; }
    void addToSequence(Memory* memory) { sequence_.push_back(memory->id); }
    void clearSequence() { sequence_.clear(); }

    // The buffer holding the latest image, producing a new frame first when capture runs and a
    // frame period has passed (or always, when freeRunning). Null without image memory.
    Memory* latest(bool freeRunning);
    uint64_t framesProduced() const { return frames_; }

private:
    Memory* byId(int id);
    void clampTiming();
    void produce(Memory& target);

    CameraDescription camera_;
    size_t cameraIndex_;
    int aoiX_ = 0, aoiY_ = 0, aoiW_, aoiH_;
    int clock_;
    double rate_;
    double exposure_;

    std::vector<Memory> memories_;
    int nextMemoryId_ = 1;
    int activeId_ = 0;
    std::vector<int> sequence_;
    size_t sequencePos_ = 0;
    int lastId_ = 0;
    uint64_t frames_ = 0;
    bool produced_ = false;
    std::chrono::steady_clock::time_point due_;
    std::unique_ptr<TestPattern> pattern_;
};

} // namespace zeko::sim
