// Shared by the camera model's tests: a fresh simulator and a copy of the shipped settings file
// in a temporary folder per test, the journal as a list, and small film and dialog helpers.
#pragma once

#include "pemblon/tests/support/AnsweredDialogs.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "platform/zeko/zeko_tools.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/CameraListener.h"
#include "tolvane_model/Config.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tvmtest {

// The modal dialogs answered by the test hook and what their message boxes showed.
extern AnsweredDialogs dialogs;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Serves these cameras instead of the default ones (simulator description text).
    void useCameras(const std::string& description);
    // The settings file of this test (a copy of the shipped one).
    std::string configPath() const { return dir_ + "/config.xml"; }
    std::string dir_;
};

std::vector<ZkSimCall> journal();
// The function names of the journal, without the image reads (zk_fn70).
std::vector<std::string> calls();
// The last journal entry of the function; fails the test when there is none.
ZkSimCall lastCall(const char* function);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// The text of string-table item `id` of "Tolvane" in the active language.
std::string tolvaneText(unsigned id);
// A settings file for one camera element holding `children`.
std::string configWith(const std::string& camera, const std::string& children);
// ffprobe's count of decoded video frames, -1 when ffprobe fails.
int filmFrames(const std::string& path);
bool haveFfprobe();
// Runs the event loop until `done` or the timeout; false on timeout.
bool runUntil(const std::function<bool()>& done, int timeoutMs);

// Counts the calls it receives; optimizeEnd may arrive on another thread.
class CountingListener : public Tolvane_model::CameraListener {
public:
    void recordEnd() override { ++recordEnds; }
    void optimizeEnd() override;
    std::atomic<int> recordEnds{0};
    std::atomic<int> optimizeEnds{0};
    std::atomic<bool> onOtherThread{false};
};

} // namespace tvmtest
