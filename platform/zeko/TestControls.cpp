#include "platform/zeko/TestControls.h"

#include "platform/zeko/RecordBytes.h"
#include "platform/zeko/zeko_api.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zeko::sim {

TestControls::TestControls(CameraInventory& inventory, FilmWriters& films, CallJournal& journal,
                           SimulatorSettings& settings)
    : inventory_(inventory), films_(films), journal_(journal), settings_(settings) {}

int TestControls::reset(const std::string* descriptionText) {
    auto lock = inventory_.lock();
    inventory_.closeAll();
    films_.closeAll();
    inventory_.nextGeneration();
    journal_.clear();
    journal_.clearFailures();
    settings_.restoreDefaults();
    inventory_.clearAdapterDhcp();
    inventory_.state().open(StateStore::defaultFolder());
    inventory_.changes().watch(inventory_.state().folder());

    std::vector<CameraDescription> descriptions;
    descriptionError_.clear();
    if (descriptionText) {
        descriptions = CameraDescription::parse(*descriptionText, descriptionError_);
    } else if (const char* file = std::getenv("ZEKO_SIM_CAMERAS"); file && *file) {
        std::ifstream in(file);
        if (!in) {
            descriptionError_ = std::string(file) + ": cannot be read";
        } else {
            std::ostringstream text;
            text << in.rdbuf();
            descriptions = CameraDescription::parse(text.str(), descriptionError_);
            if (!descriptionError_.empty())
                descriptionError_ = std::string(file) + ": " + descriptionError_;
        }
    } else {
        descriptions = CameraDescription::defaults();
    }
    inventory_.load(descriptions);
    if (!descriptionError_.empty()) {
        // The programs have no other channel for it; no camera is served until it is mended.
        std::fprintf(stderr, "zeko camera simulator: %s\n", descriptionError_.c_str());
        return ZK_INVALID_PARAMETER;
    }
    return ZK_SUCCESS;
}

std::string TestControls::descriptionError() {
    auto lock = inventory_.lock();
    return descriptionError_;
}

std::string TestControls::statePath() {
    auto lock = inventory_.lock();
    return inventory_.state().path();
}

int TestControls::cameraCount() {
    auto lock = inventory_.lock();
    return static_cast<int>(inventory_.cameras().size());
}

int TestControls::cameraAt(int index, ZkSimCamera& out) {
    auto lock = inventory_.lock();
    if (index < 0 || static_cast<size_t>(index) >= inventory_.cameras().size())
        return ZK_INVALID_PARAMETER;
    const CameraInventory::Camera& c = inventory_.cameras()[static_cast<size_t>(index)];
    const CameraDescription& d = c.description;
    out = ZkSimCamera{};
    out.deviceId = d.deviceId;
    out.cameraId = inventory_.cameraId(c);
    putText(out.serial, 0, sizeof out.serial, d.serial);
    putText(out.model, 0, sizeof out.model, d.model);
    putText(out.sensorName, 0, sizeof out.sensorName, d.sensorName);
    out.maxWidth = d.width;
    out.maxHeight = d.height;
    out.color = d.color;
    out.gige = d.gige();
    out.xStep = d.xStep;
    out.yStep = d.yStep;
    out.clockMin = d.clockMin;
    out.clockMax = d.clockMax;
    out.clockDefault = d.clockDefault;
    out.defaultRate = d.defaultRate;
    out.connected = c.connected;
    out.open = c.handle != 0;
    return ZK_SUCCESS;
}

int TestControls::setCameraConnected(uint32_t deviceId, bool connected) {
    auto lock = inventory_.lock();
    return inventory_.setConnected(deviceId, connected) ? ZK_SUCCESS : ZK_DEVICE_NOT_FOUND;
}

void TestControls::setDelays(int clockSearchMs, int firmwareMs) {
    settings_.clockSearchMs = std::max(0, clockSearchMs);
    settings_.firmwareMs = std::max(0, firmwareMs);
}

void TestControls::setDriverCapabilities(uint32_t capabilities, uint32_t idleOptions) {
    settings_.capabilities = capabilities;
    settings_.idleOptions = idleOptions;
}

} // namespace zeko::sim
