// Frame production must stay far above the simulated frame rate (the viewer asks for frames on
// its GUI thread), and film writing at least as fast as ffmpeg's MJPEG encoder on one thread.
#include "platform/zeko/AviWriter.h"
#include "platform/zeko/TestPattern.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kFilmFrames = 60;

std::string tempDir() {
    const char* t = std::getenv("TMPDIR");
    return t && *t ? t : "/tmp";
}

// Frames of the moving pattern in the film's B, G, R order.
const std::vector<std::vector<uint8_t>>& filmFrames() {
    static const std::vector<std::vector<uint8_t>> frames = [] {
        zeko::sim::TestPattern pattern(kWidth, kHeight);
        std::vector<std::vector<uint8_t>> out;
        for (int i = 0; i < kFilmFrames; ++i) {
            std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
            pattern.render(rgb.data(), kWidth, 3, true, 0, 0, kWidth, kHeight, uint64_t(i) * 5, {});
            for (size_t p = 0; p < rgb.size(); p += 3)
                std::swap(rgb[p], rgb[p + 2]);
            out.push_back(std::move(rgb));
        }
        return out;
    }();
    return frames;
}

void BM_FrameProduction(benchmark::State& state) {
    setenv("ZEKO_SIM_STATE_DIR", (tempDir() + "/zeko_sim_bench").c_str(), 1);
    unsetenv("ZEKO_SIM_CAMERAS");
    zksim_Reset();
    zksim_SetFreeRunning(1);
    uint32_t h = 0;
    char* memory = nullptr;
    int id = 0;
    if (zk_InitCamera(&h, nullptr) != 0 || zk_AllocImageMem(h, kWidth, kHeight, 24, &memory, &id) != 0 ||
        zk_SetImageMem(h, memory, id) != 0 || zk_CaptureVideo(h, 1) != 0) {
        state.SkipWithError("camera start failed");
        return;
    }
    double rate = 0;
    zk_SetFrameRate(h, ZK_GET_DEFAULT_FRAMERATE, &rate);
    for (auto _ : state) {
        int n;
        char *a, *b;
        zk_fn70(h, &n, &a, &b);
        benchmark::DoNotOptimize(b);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["simulated_fps"] = rate;
    zk_ExitCamera(h);
    zksim_Reset();
}
BENCHMARK(BM_FrameProduction)->Unit(benchmark::kMillisecond);

// The largest sensor the simulator takes, monochrome: from opening the camera to its first image
// in the image memory, as the viewer's first live tick sees it (the memory's own allocation
// included).
void BM_LargestSensorFirstFrame(benchmark::State& state) {
    constexpr int kSide = 16384;
    setenv("ZEKO_SIM_STATE_DIR", (tempDir() + "/zeko_sim_bench").c_str(), 1);
    if (zksim_UseDescription("[camera]\nserial=1\nsensor=BIG-M\nwidth=16384\nheight=16384\n") != 0) {
        state.SkipWithError("description refused");
        return;
    }
    zksim_SetDelays(0, 0);
    zksim_SetFreeRunning(1);
    for (auto _ : state) {
        uint32_t h = 0;
        char* memory = nullptr;
        int id = 0, n = 0;
        char *first = nullptr, *last = nullptr;
        if (zk_InitCamera(&h, nullptr) != 0 || zk_AllocImageMem(h, kSide, kSide, 8, &memory, &id) != 0 ||
            zk_SetImageMem(h, memory, id) != 0 || zk_CaptureVideo(h, 1) != 0 ||
            zk_fn70(h, &n, &first, &last) != 0 || !last) {
            state.SkipWithError("first frame failed");
            break;
        }
        benchmark::DoNotOptimize(last[kSide * 100 + 100]);
        zk_ExitCamera(h);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide);
    unsetenv("ZEKO_SIM_CAMERAS");
    zksim_Reset();
}
BENCHMARK(BM_LargestSensorFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FilmWriting(benchmark::State& state) {
    const auto& frames = filmFrames();
    for (auto _ : state) {
        zeko::sim::AviWriter writer;
        const int fd = memfd_create("film", MFD_CLOEXEC);
        writer.setImageSize(kWidth, kHeight, 0, 0, 0);
        writer.setQuality(50);
        writer.open(fd);
        writer.setFrameRate(25);
        writer.start();
        for (const auto& f : frames)
            writer.addFrame(f.data());
        writer.close();
    }
    state.SetItemsProcessed(state.iterations() * kFilmFrames);
}
BENCHMARK(BM_FilmWriting)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frames through ffmpeg's MJPEG encoder on one thread (process start included once
// per film of 60 frames). Skipped when ffmpeg is missing.
void BM_FfmpegMjpeg(benchmark::State& state) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("ffmpeg missing");
        return;
    }
    const auto& frames = filmFrames();
    const std::string raw = tempDir() + "/zeko_sim_bench.raw";
    {
        std::ofstream out(raw, std::ios::binary);
        for (const auto& f : frames)
            out.write(reinterpret_cast<const char*>(f.data()), std::streamsize(f.size()));
    }
    const std::string command =
        "ffmpeg -v error -y -threads 1 -filter_threads 1 -f rawvideo -pix_fmt bgr24 -s " +
        std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -r 25 -i '" + raw +
        "' -threads 1 -c:v mjpeg -q:v 8 -f avi /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFilmFrames);
    ::unlink(raw.c_str());
}
BENCHMARK(BM_FfmpegMjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
