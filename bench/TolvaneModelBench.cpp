// The viewer asks for the current image on every display tick: expanding a monochrome frame to
// grey RGB should run at a quarter of memcpy's bandwidth for the same output size or better.
// A film of 1280 x 1024 colour keeps every frame at 60 and 120 im/s, and at 240 im/s at least 95 %
// of the frames the film writer encodes alone in the same time (BM_FilmWriterAlone1280).
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "platform/zeko/zeko_tools.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <chrono>
#include <memory>
#include <sys/resource.h>

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/init.h>

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

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Serves the event loop for `seconds`, as the viewer's main loop would; with a display rate, it
// also takes the current image as often as the viewer's live view does at that rate.
void serveEvents(double seconds, Camera& camera, double displayRate) {
    std::unique_ptr<wxEventLoopBase> loop(wxTheApp->GetTraits()->CreateEventLoop());
    wxEventLoopActivator activate(loop.get());
    auto now = std::chrono::steady_clock::now();
    const auto end = now + std::chrono::duration<double>(seconds);
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(displayRate > 0 ? 1.0 / displayRate : seconds));
    auto nextShow = now + period;
    while ((now = std::chrono::steady_clock::now()) < end) {
        if (displayRate > 0 && now >= nextShow) {
            nextShow = now + period;
            benchmark::DoNotOptimize(camera.getActiveImage());
        }
        while (loop->Pending())
            loop->Dispatch();
        wxTheApp->ProcessPendingEvents();
        loop->DispatchTimeout(displayRate > 0 ? 1 : 2);
    }
}

// A 4 s film of 1280 x 1024 colour at the rate of the first argument, the event loop served
// meanwhile, and with a second argument of 1 the live view taking each image as the viewer does:
// the share of the frames asked for that the film kept, and the process's CPU per frame kept.
void BM_Recording1280(benchmark::State& state) {
    std::vector<uint32_t> held;
    startCamera(2, held);
    Camera& camera = *Camera::getInstance();
    const double rate = double(state.range(0));
    const std::string film = benchDir() + "/bench.avi";
    double kept = 0, cpuPerFrame = 0;
    for (auto _ : state) {
        zksim_JournalClear();
        const double cpu = cpuSeconds();
        camera.startRecording(nullptr, film.c_str(), -1.0, rate, -1.0, 25);
        // The first frame is due a period after the start.
        const auto started = std::chrono::steady_clock::now();
        serveEvents(4.0, camera, state.range(1) ? rate : 0.0);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        camera.stopRecording();
        const int frames = zksim_JournalCount("zkavi_AddFrame");
        kept = frames / std::floor(rate * elapsed);
        cpuPerFrame = frames > 0 ? (cpuSeconds() - cpu) / frames * 1e3 : 0;
    }
    state.counters["kept"] = kept;
    state.counters["cpu_ms_per_frame"] = cpuPerFrame;
    stopCamera(held);
    std::remove(film.c_str());
}
BENCHMARK(BM_Recording1280)
    ->ArgsProduct({{60, 120, 240}, {0, 1}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The film writer alone on frames of the same camera: frames per second it encodes and writes.
void BM_FilmWriterAlone1280(benchmark::State& state) {
    std::vector<uint32_t> held;
    startCamera(2, held);
    Camera& camera = *Camera::getInstance();
    const size_t bytes = size_t(camera.getMaxWidth()) * camera.getMaxHeight() * 3;
    const unsigned char* image = camera.getActiveImage();
    std::vector<unsigned char> frame(image, image + bytes);
    stopCamera(held);
    const std::string film = benchDir() + "/alone.avi";
    int id = 0;
    zkavi_InitAVI(&id, 0);
    zkavi_SetImageSize(id, 1, 1280, 1024, 0, 0, 0);
    zkavi_SetImageQuality(id, 50);
    zkavi_OpenAVI(id, film.c_str());
    zkavi_SetFrameRate(id, 25.0);
    zkavi_StartAVI(id);
    const double cpu = cpuSeconds();
    for (auto _ : state) {
        frame[state.iterations() % bytes] ^= 1; // no two frames alike
        zkavi_AddFrame(id, reinterpret_cast<const char*>(frame.data()));
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms_per_frame"] = (cpuSeconds() - cpu) / double(state.iterations()) * 1e3;
    zkavi_StopAVI(id);
    zkavi_CloseAVI(id);
    zkavi_ExitAVI(id);
    std::remove(film.c_str());
}
BENCHMARK(BM_FilmWriterAlone1280)->MinTime(3.0)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    wxInitializer wx;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf '" + benchDir() + "'").c_str());
    return 0;
}
