#include "platform/zeko/CameraSession.h"

#include "platform/zeko/zeko_api.h"

#include <algorithm>
#include <cmath>

namespace zeko::sim {

namespace {

// Blanking around every line and frame: what the pixel clock spends outside the image.
constexpr int kLineBlank = 64;
constexpr int kFrameBlank = 24;

int roundDown(int value, int step) {
    return value - value % step;
}

} // namespace

CameraSession::CameraSession(const CameraDescription& camera, size_t cameraIndex)
    : colorMode(camera.color ? ZK_CM_RGB24 : ZK_CM_MONO8), camera_(camera), cameraIndex_(cameraIndex),
      aoiW_(camera.width), aoiH_(camera.height), clock_(camera.clockDefault),
      pattern_(std::make_unique<TestPattern>(camera.width, camera.height, camera.color)) {
    rate_ = std::clamp(camera.defaultRate, kMinRate, maxRate());
    exposure_ = std::min(10.0, 1000.0 / rate_);
}

double CameraSession::maxRateAt(int clockMHz) const {
    return clockMHz * 1e6 / (static_cast<double>(aoiW_ + kLineBlank) * (aoiH_ + kFrameBlank));
}

void CameraSession::clampTiming() {
    rate_ = std::clamp(rate_, kMinRate, maxRate());
    exposure_ = std::clamp(exposure_, kMinExposure, 1000.0 / rate_);
}

void CameraSession::setSize(int width, int height) {
    const int minW = std::min(camera_.width, std::max(camera_.xStep, roundDown(32, camera_.xStep)));
    const int minH = std::min(camera_.height, std::max(camera_.yStep, roundDown(32, camera_.yStep)));
    aoiW_ = std::max(minW, roundDown(std::clamp(width, minW, camera_.width), camera_.xStep));
    aoiH_ = std::max(minH, roundDown(std::clamp(height, minH, camera_.height), camera_.yStep));
    // A size that only fits at another position moves the area back inside the sensor.
    if (aoiX_ + aoiW_ > camera_.width)
        aoiX_ = roundDown(camera_.width - aoiW_, camera_.xStep);
    if (aoiY_ + aoiH_ > camera_.height)
        aoiY_ = roundDown(camera_.height - aoiH_, camera_.yStep);
    clampTiming();
}

void CameraSession::setPosition(int x, int y) {
    aoiX_ = roundDown(std::clamp(x, 0, camera_.width - aoiW_), camera_.xStep);
    aoiY_ = roundDown(std::clamp(y, 0, camera_.height - aoiH_), camera_.yStep);
}

void CameraSession::setClock(int mhz) {
    clock_ = std::clamp(mhz, camera_.clockMin, camera_.clockMax);
    clampTiming();
}

double CameraSession::setRate(double rate) {
    rate_ = rate;
    clampTiming();
    return rate_;
}

double CameraSession::setExposure(double ms) {
    exposure_ = ms;
    clampTiming();
    return exposure_;
}

CameraSession::Memory* CameraSession::allocate(int width, int height, int bitsPerPixel) {
    const size_t bytes = static_cast<size_t>(width) * height * (bitsPerPixel / 8);
    Memory m{nextMemoryId_++, width, height, bitsPerPixel, std::unique_ptr<char[]>(new char[bytes]())};
    memories_.push_back(std::move(m));
    return &memories_.back();
}

CameraSession::Memory* CameraSession::byId(int id) {
    for (auto& m : memories_)
        if (m.id == id)
            return &m;
    return nullptr;
}

CameraSession::Memory* CameraSession::find(const char* data, int id) {
    Memory* m = byId(id);
    return (m && m->data.get() == data) ? m : nullptr;
}

void CameraSession::release(Memory* memory) {
    const int id = memory->id;
    std::erase(sequence_, id);
    if (activeId_ == id)
        activeId_ = 0;
    if (lastId_ == id)
        lastId_ = 0;
    std::erase_if(memories_, [id](const Memory& m) { return m.id == id; });
}

CameraSession::Memory* CameraSession::latest(bool freeRunning) {
    Memory* target = nullptr;
    if (!sequence_.empty())
        target = byId(sequence_[sequencePos_ % sequence_.size()]);
    else if (activeId_ != 0)
        target = byId(activeId_);

    const auto now = std::chrono::steady_clock::now();
    if (capturing && target && (freeRunning || !produced_ || now >= due_)) {
        produce(*target);
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / rate_));
        // Keep the rate over time, but never try to catch up after a pause.
        due_ = (produced_ && now < due_ + period) ? due_ + period : now + period;
        produced_ = true;
        lastId_ = target->id;
        if (!sequence_.empty())
            ++sequencePos_;
    }
    if (lastId_ != 0)
        return byId(lastId_);
    return target;
}

void CameraSession::produce(Memory& target) {
    const int bytesPerPixel = target.bitsPerPixel / 8;
    const bool color = colorMode == ZK_CM_RGB24 && camera_.color && bytesPerPixel == 3;
    const int width = std::min(aoiW_, target.width);
    const int height = std::min(aoiH_, target.height);
    pattern_->render(reinterpret_cast<uint8_t*>(target.data.get()), target.width, bytesPerPixel, color, aoiX_,
                     aoiY_, width, height, frames_, tone);
    ++frames_;
}

} // namespace zeko::sim
