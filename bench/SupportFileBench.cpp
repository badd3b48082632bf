// Writing a support file of 16 cameras (collect, lay out, scramble, store, replace the file)
// and reopening it (decode, index the profile, build every page). Reading must not rescan the
// text per key: the time per camera stays flat from 1 to 16 cameras.
#include "camera_manager/core/CamInfoRecord.h"
#include "camera_manager/core/CameraInterfaceLibrary.h"
#include "camera_manager/core/CameraList.h"
#include "camera_manager/diagnostics/SupportFileCollector.h"
#include "camera_manager/diagnostics/SupportFileFormat.h"
#include "camera_manager/diagnostics/SupportFileOpening.h"
#include "camera_manager/diagnostics/SupportFilePages.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string tempFolder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/zeko_support_bench_XXXXXX";
        return std::string(mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return folder;
}

// n cameras, half USB and half GigE.
void useCameras(int n) {
    setenv("ZEKO_SIM_STATE_DIR", tempFolder().c_str(), 1);
    setenv("ZEKO_REGISTRY_DIR", tempFolder().c_str(), 1);
    std::string text;
    char line[256];
    for (int i = 0; i < n; ++i) {
        const bool gige = i % 2 == 1;
        std::snprintf(line, sizeof line, "[camera]\ndevice_id = %d\nserial = 41%08d\nsensor = %s\n",
                      gige ? 1000 + i : 1 + i, i, gige ? "ZK5240-M" : "ZK1480-C");
        text += line;
        if (gige) {
            std::snprintf(line, sizeof line, "mac = 02-5A-4B-00-20-%02X\n", i);
            text += line;
        }
    }
    if (zksim_UseDescription(text.c_str()) != 0)
        std::fprintf(stderr, "description: %s\n", zksim_DescriptionError());
    zksim_SetDelays(0, 0);
    SetProgramResourceStrings(managerStrings, managerStringCount);
    ZekoApi::Unload();
}

SupportFileContent collect() {
    CameraList lists[2];
    FillCameraList(lists[0], FillUsb);
    FillCameraList(lists[1], FillGigE);
    SupportFileContent content;
    content.programVersion = u"1.0.0.0";
    content.hubLabel = u"Hub";
    content.controllerLabel = u"Controller";
    for (int list = 0; list < 2; ++list)
        for (size_t n = 0; n < size_t(lists[list].GetCount()); ++n) {
            SupportCamera camera;
            camera.entry = *lists[list].At(n);
            ReadCameraInformation(camera.entry.GetDeviceId(), camera.info);
            if (list == 0)
                CollectUsbPath(camera.entry.GetUsbEnumIndex(), camera.hubs, camera.controller);
            (list == 0 ? content.usbCameras : content.ethCameras).push_back(camera);
        }
    CollectInstalledDriverVersions(content.drivers);
    content.system = CollectSystemInfo();
    content.adapters = CollectAdapters();
    content.controllers = CollectUsbControllers();
    return content;
}

std::string storedFile(int cameras) {
    useCameras(cameras);
    std::u16string units = BuildSupportText(collect());
    ScrambleSupportText(units);
    return StoreSupportUnits(units);
}

void BM_WriteSupportFile16(benchmark::State& state) {
    useCameras(16);
    const std::string path = tempFolder() + "/Support.bin";
    for (auto _ : state) {
        std::u16string units = BuildSupportText(collect());
        ScrambleSupportText(units);
        std::string reason;
        benchmark::DoNotOptimize(WriteFileReplacing(path, StoreSupportUnits(units), reason));
    }
}
BENCHMARK(BM_WriteSupportFile16)->Unit(benchmark::kMillisecond);

void BM_OpenSupportFile(benchmark::State& state) {
    const std::string file = storedFile(int(state.range(0)));
    for (auto _ : state) {
        std::u16string header;
        ClassifySupportFile(file, header);
        benchmark::DoNotOptimize(BuildPagesFromProfile(win::ProfileText(DecodeTextSupportFile(file))));
    }
    state.counters["bytes"] = double(file.size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenSupportFile)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
BENCHMARK_MAIN();
