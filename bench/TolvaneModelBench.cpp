// The viewer asks for the current image on every display tick: expanding a monochrome frame to
// grey RGB should run at a quarter of memcpy's bandwidth for the same output size or better.
// A recording tick (copy, channel swap, MJPEG frame through the film writer) at 1280 x 1024 must
// stay well inside the frame period of the rates people record at.
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <wx/init.h>
#include <wx/timer.h>

using Tolvane_model::Camera;
using Tolvane_model::Config;

namespace {

const char* kCameras =
    "[camera]\ndevice_id = 1\nserial = 300\nsensor = BENCH1280-M\nwidth = 1280\nheight = 1024\n"
    "[camera]\ndevice_id = 2\nserial = 301\nsensor = BENCH2048-M\nwidth = 2048\nheight = 2048\n"
    "[camera]\ndevice_id = 3\nserial = 302\nsensor = BENCH1280-C\nwidth = 1280\nheight = 1024\n";

std::string benchDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/tolvane_model_bench_XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

std::string factoryValues() {
    return "<MasterGain>0</MasterGain><RedGain>0</RedGain><GreenGain>0</GreenGain><BlueGain>0</BlueGain>"
           "<Brightness>128</Brightness><Exposure>20</Exposure><Clock>30</Clock><Gamma>100</Gamma>"
           "<BLEnable>false</BLEnable><BlackLevel>0</BlackLevel><ColorMode>6</ColorMode>"
           "<ColorCorrection>0</ColorCorrection>";
}

// Opens the camera at `index` of kCameras (the ones before it are held open by the test
// control's own handles, so the camera takes the next free one).
void startCamera(int index, std::vector<uint32_t>& held) {
    const std::string dir = benchDir();
    setenv("ZEKO_SIM_STATE_DIR", dir.c_str(), 1);
    zksim_UseDescription(kCameras);
    zksim_SetDelays(0, 0);
    std::ofstream(dir + "/config.xml")
        << "<?xml version=\"1.0\"?><Tolvane><CameraSettings><BENCH1280-M>" << factoryValues()
        << "</BENCH1280-M><BENCH2048-M>" << factoryValues() << "</BENCH2048-M><BENCH1280-C>"
        << factoryValues() << "</BENCH1280-C></CameraSettings></Tolvane>";
    Config::getInstance()->load((dir + "/config.xml").c_str());
    for (int i = 0; i < index; ++i) {
        uint32_t h = 0;
        zk_InitCamera(&h, nullptr);
        held.push_back(h);
    }
    Camera::getInstance()->init();
}

void stopCamera(std::vector<uint32_t>& held) {
    delete Camera::getInstance();
    for (const uint32_t h : held)
        zk_ExitCamera(h);
    held.clear();
}

void BM_ActiveImageMono(benchmark::State& state) {
    std::vector<uint32_t> held;
    startCamera(static_cast<int>(state.range(0)), held);
    Camera& camera = *Camera::getInstance();
    // The slowest rate: the measured time is the expansion, not the simulator rendering a frame.
    camera.setFrameRate(0.5);
    for (auto _ : state) {
        unsigned char* image = camera.getActiveImage();
        benchmark::DoNotOptimize(image);
        std::free(image);
    }
    const int64_t bytes = int64_t(camera.getMaxWidth()) * camera.getMaxHeight() * 3;
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetLabel(std::to_string(camera.getMaxWidth()) + "x" + std::to_string(camera.getMaxHeight()));
    stopCamera(held);
}
BENCHMARK(BM_ActiveImageMono)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The anchor: memcpy of the same output size (1280x1024x3 and 2048x2048x3).
void BM_MemcpyOutputSize(benchmark::State& state) {
    const size_t bytes = size_t(state.range(0)) * size_t(state.range(1)) * 3;
    std::vector<unsigned char> from(bytes, 7), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(bytes));
}
BENCHMARK(BM_MemcpyOutputSize)->Args({1280, 1024})->Args({2048, 2048})->Unit(benchmark::kMicrosecond);

void BM_RecordingTick1280(benchmark::State& state) {
    std::vector<uint32_t> held;
    startCamera(2, held);
    Camera& camera = *Camera::getInstance();
    const std::string film = benchDir() + "/bench.avi";
    camera.startRecording(nullptr, film.c_str(), -1.0, 30.0, -1.0, 25);
    wxTimer source;
    wxTimerEvent event(source);
    for (auto _ : state)
        camera.onTimer(event);
    camera.stopRecording();
    stopCamera(held);
    std::remove(film.c_str());
}
BENCHMARK(BM_RecordingTick1280)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    wxInitializer wx;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf '" + benchDir() + "'").c_str());
    return 0;
}
