// The simulator core behind zeko_api, zeko_api_64, zeko_tools and zeko_sim_control: one camera
// inventory, journal and set of test settings per process, and the parts that serve each kind
// of caller from them. A process that loads several of the libraries sees one inventory.
#pragma once

#include "platform/zeko/CallJournal.h"
#include "platform/zeko/CameraInventory.h"
#include "platform/zeko/CameraManagerCalls.h"
#include "platform/zeko/CameraModelCalls.h"
#include "platform/zeko/FilmWriters.h"
#include "platform/zeko/SimulatorSettings.h"
#include "platform/zeko/TestControls.h"

namespace zeko::sim {

class Simulator {
public:
    static Simulator& instance();

    // The viewer's calls.
    CameraModelCalls& cameraModel() { return cameraModel_; }
    // The camera manager's calls.
    CameraManagerCalls& cameraManager() { return cameraManager_; }
    // zeko_tools.
    FilmWriters& films() { return films_; }
    // zeko_sim_control; its first use starts the journal. A control may change what the
    // cameras show (an injected failure or a delay too), so each counts as a change; only those
    // that merely look use readControls().
    TestControls& controls() {
        inventory_.changes().count();
        return readControls();
    }
    TestControls& readControls() {
        journal_.keep();
        return controls_;
    }

private:
    Simulator();

    CallJournal journal_;
    SimulatorSettings settings_;
    CameraInventory inventory_;
    FilmWriters films_;
    CameraModelCalls cameraModel_;
    CameraManagerCalls cameraManager_;
    TestControls controls_;
};

} // namespace zeko::sim
