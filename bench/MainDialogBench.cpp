// The polling tick runs every 1.5 s on the GUI thread: beyond the interface library's own calls
// it must cost little (within 1.5x of the same calls in a plain loop, under 2 ms of our own work
// at 64 cameras). A full parameter tree of a GigE camera: under 20 ms. The whole tick of the
// shown dialog, drawing included (needs a display, e.g. under xvfb-run): an idle tick draws
// nothing, a tick that changes one value draws that row.
#include "bench/ManagerBenchCameras.h"
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/rules/CameraListRefresh.h"
#include "camera_manager/core/rules/ParameterTreeBuilder.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/init.h>

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

std::u16string Text(int id) {
    return LoadResourceString(static_cast<unsigned>(id));
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
    const ParameterTreeBuilder::AdapterTexts adapter{u"Unknown", u"Unknown", u"Unknown"};
    for (auto _ : state) {
        auto nodes = ParameterTreeBuilder::GigETree(*lists[1].At(0), adapter, Text);
        benchmark::DoNotOptimize(nodes.data());
    }
}
BENCHMARK(BM_GigETreeBuild)->Unit(benchmark::kMicrosecond);

// The GUI, started once for the dialog benchmarks; false without a display.
bool StartGui() {
    static const bool started = [] {
        if (!std::getenv("DISPLAY"))
            return false;
        static int argc = 1;
        static char name[] = "main_dialog_bench";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        return wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    }();
    return started;
}

void Pump() {
    for (int i = 0; i < 3; ++i) {
        while (wxTheApp->Pending())
            wxTheApp->Dispatch();
        wxTheApp->ProcessIdle();
    }
}

// One tick of the shown dialog in expert mode with a GigE camera of 64 selected, and the drawing
// it causes; range(0) 1: the camera's user EEPROM changes before every tick (one tree row).
void BM_DialogTick(benchmark::State& state) {
    useCameras(64);
    if (!StartGui()) {
        state.SkipWithError("no display");
        return;
    }
    auto* dialog = new CZekoManagerDlg(nullptr, nullptr, 0);
    dialog->StopRefresh();
    dialog->Show();
    dialog->expertMode->SetValue(true);
    dialog->OnExpertMode();
    dialog->StopRefresh();
    dialog->selectedDeviceId = 1001;
    dialog->refresh.RequestAdapterLookup();
    dialog->refresh.RequestParameters();
    for (int i = 0; i < 3; ++i) {
        dialog->OnRefreshTick();
        dialog->StopRefresh();
        Pump();
    }
    const bool change = state.range(0) != 0;
    unsigned n = 0;
    for (auto _ : state) {
        if (change) {
            state.PauseTiming();
            uint32_t handle = 1001 | ZK_USE_DEVICE_ID;
            if (ZekoApi::zk_InitCamera(&handle, nullptr) == 0) {
                const char* text = ++n % 2 ? "odd" : "even";
                ZekoApi::zk_WriteEEPROM(handle, 0, text, static_cast<int>(std::strlen(text)) + 1);
                ZekoApi::zk_ExitCamera(handle);
            }
            state.ResumeTiming();
        }
        dialog->OnRefreshTick();
        dialog->StopRefresh();
        dialog->Update();
        Pump();
    }
    dialog->Destroy();
    Pump();
    zksim_JournalClear();
}
BENCHMARK(BM_DialogTick)->ArgName("change")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
