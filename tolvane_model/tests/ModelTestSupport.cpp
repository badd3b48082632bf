#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/strings/StringTable.h"
#include "platform/zeko/tests/RunCommand.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

namespace tvmtest {

AnsweredDialogs dialogs;

namespace {

using zeko::test::runCommand;

std::thread::id mainThread = std::this_thread::get_id();

} // namespace

void ModelTest::SetUp() {
    char pattern[] = "/tmp/tolvane_model_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setenv("ZEKO_SIM_STATE_DIR", dir_.c_str(), 1);
    setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
    unsetenv("ZEKO_SIM_CAMERAS");
    ASSERT_EQ(zksim_Reset(), 0) << zksim_DescriptionError();
    zksim_SetDelays(0, 0);
    writeFile(configPath(), readFile(std::string(TOLVANE_RES_DIR) + "/config.xml"));
    Tolvane_model::Config::getInstance()->load(configPath().c_str());
    zksim_JournalClear();
    dialogs.count = 0;
    dialogs.messages.clear();
}

void ModelTest::TearDown() {
    delete Tolvane_model::Camera::getInstance();
    delete Tolvane_model::Config::getInstance();
    unsetenv("ZEKO_SIM_CAMERAS");
    zksim_Reset();
    if (dir_.rfind("/tmp/", 0) == 0)
        runCommand("rm -rf '" + dir_ + "'", nullptr);
}

void ModelTest::useCameras(const std::string& description) {
    ASSERT_EQ(zksim_UseDescription(description.c_str()), 0) << zksim_DescriptionError();
    zksim_SetDelays(0, 0);
    zksim_JournalClear();
}

std::vector<ZkSimCall> journal() {
    std::vector<ZkSimCall> out(static_cast<size_t>(zksim_JournalSize()));
    for (size_t i = 0; i < out.size(); ++i)
        zksim_JournalEntry(static_cast<int>(i), &out[i]);
    return out;
}

std::vector<std::string> calls() {
    std::vector<std::string> out;
    for (const ZkSimCall& c : journal())
        if (std::string(c.function) != "zk_fn70")
            out.push_back(c.function);
    return out;
}

ZkSimCall lastCall(const char* function) {
    const std::vector<ZkSimCall> all = journal();
    for (size_t i = all.size(); i-- > 0;)
        if (std::string(all[i].function) == function)
            return all[i];
    ADD_FAILURE() << "no call of " << function;
    return ZkSimCall{};
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string tolvaneText(unsigned id) {
    return PBN::Strings::StringTable::get().getString("Tolvane", id).str();
}

std::string configWith(const std::string& camera, const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Tolvane>\n  <Language>English</Language>\n"
           "  <CameraSettings>\n    <" +
           camera + ">" + children + "</" + camera + ">\n  </CameraSettings>\n</Tolvane>\n";
}

bool haveFfprobe() {
    int status = -1;
    runCommand("command -v ffprobe >/dev/null 2>&1", &status);
    return status == 0;
}

int filmFrames(const std::string& path) {
    int status = -1;
    const std::string out = runCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                       "stream=nb_read_frames -of csv=p=0 '" +
                                           path + "' 2>/dev/null",
                                       &status);
    if (status != 0 || out.empty())
        return -1;
    return std::atoi(out.c_str());
}

bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    wxEventLoop loop;
    wxEventLoopActivator activate(&loop);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        // One pass of pending events, timers included, as the running program's loop would do.
        while (loop.Pending())
            loop.Dispatch();
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
        loop.DispatchTimeout(5);
    }
    return true;
}

void CountingListener::optimizeEnd() {
    if (std::this_thread::get_id() != mainThread)
        onOtherThread = true;
    ++optimizeEnds;
}

} // namespace tvmtest
