// Writing a support file of 16 cameras (collect, lay out, scramble, store, replace the file)
// and reopening it (decode, index the profile, build every page). Reading must not rescan the
// text per key: the time per camera stays flat from 1 to 16 cameras.
#include "bench/ManagerBenchCameras.h"
#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/diagnostics/records/SupportFilePages.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

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
    zeko::bench::useBenchCameras(cameras);
    std::u16string units = BuildSupportText(collect());
    ScrambleSupportText(units);
    return StoreSupportUnits(units);
}

void BM_WriteSupportFile16(benchmark::State& state) {
    zeko::bench::useBenchCameras(16);
    const std::string path = zeko::bench::benchFolder() + "/Support.bin";
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
