// The polling tick runs every 1.5 s on the GUI thread: beyond the interface library's own calls
// it must cost little (within 1.5x of the same calls in a plain loop, under 2 ms of our own work
// at 64 cameras). Drawing is not measured. A full parameter tree of a GigE camera: under 20 ms.
#include "bench/ManagerBenchCameras.h"
#include "camera_manager/core/CameraInterfaceLibrary.h"
#include "camera_manager/core/CameraListRefresh.h"
#include "camera_manager/core/ParameterTreeBuilder.h"
#include "camera_manager/core/WxText.h"
#include "camera_manager/res/StringTable.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// n cameras, half of them GigE; none: one described camera, unplugged.
void useCameras(int n) {
    zeko::bench::useBenchCameras(n > 0 ? n : 1);
    if (n == 0)
        zksim_SetCameraConnected(1, 0);
}

wxString Text(int id) {
    return ResourceText(static_cast<unsigned>(id));
}

// A tick's list refresh and status decision for the first camera, as the dialog runs them.
void BM_PollingTick(benchmark::State& state) {
    useCameras(static_cast<int>(state.range(0)));
    CameraList lists[2];
    std::vector<CameraListRules::Snapshot> snapshots[2];
    RefreshCameraLists(lists, snapshots, false, Text); // the first tick builds the view
    for (auto _ : state) {
        const ListRefresh refresh = RefreshCameraLists(lists, snapshots, false, Text);
        benchmark::DoNotOptimize(refresh.rebuild);
        const CameraList& l = lists[0].GetCount() ? lists[0] : lists[1];
        if (l.GetCount()) {
            const auto camera = CameraStateOf(*l.At(0));
            benchmark::DoNotOptimize(CameraListRules::DecideStatus(&camera, false, false, Text));
        }
    }
    zksim_JournalClear();
}
BENCHMARK(BM_PollingTick)->Arg(0)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);

// The same interface-library calls as a tick: four list fills (the comparison's and the lists'
// own), each a count call and a fill call, and the device information of every GigE camera twice.
void BM_PlainCalls(benchmark::State& state) {
    useCameras(static_cast<int>(state.range(0)));
    std::vector<uint8_t> info(640);
    for (auto _ : state) {
        for (int fill = 0; fill < 4; ++fill) {
            std::vector<uint8_t> buffer(4 + 112, 0);
            ZekoApi::zk_GetCameraList(buffer.data());
            uint32_t count;
            std::memcpy(&count, buffer.data(), 4);
            buffer.assign(4 + size_t(count) * 112, 0);
            std::memcpy(buffer.data(), &count, 4);
            ZekoApi::zk_GetCameraList(buffer.data());
            if (fill % 2 == 1) // the GigE fills ask for the device information
                for (uint32_t i = 0; i < count; ++i) {
                    uint32_t id;
                    std::memcpy(&id, buffer.data() + 4 + i * 112 + 4, 4);
                    if (id >= 1000)
                        ZekoApi::zk_GetEthDeviceInfo(id | 0x8000, info.data(), 640);
                }
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    zksim_JournalClear();
}
BENCHMARK(BM_PlainCalls)->Arg(0)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);

// Every node of a GigE camera's tree, texts and values, from its entry.
void BM_GigETreeBuild(benchmark::State& state) {
    useCameras(2);
    CameraList lists[2];
    FillCameraList(lists[1], FillGigE);
    if (!lists[1].GetCount()) {
        state.SkipWithError("no GigE camera");
        return;
    }
    const ParameterTreeBuilder::AdapterTexts adapter{wxT("Unknown"), wxT("Unknown"), wxT("Unknown")};
    for (auto _ : state) {
        auto nodes = ParameterTreeBuilder::GigETree(*lists[1].At(0), adapter, Text);
        benchmark::DoNotOptimize(nodes.data());
    }
}
BENCHMARK(BM_GigETreeBuild)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
