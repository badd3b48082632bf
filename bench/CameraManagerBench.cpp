// Building the camera lists must cost little beyond the interface library's own calls (the
// main dialog does it on every refresh), a polling tick while nothing changes must cost next to
// nothing however many cameras there are (against the tick that reads them all), and registry
// look-ups are served from memory: within 3x of a plain std::map.
#include "bench/ManagerBenchCameras.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/rules/CameraListRefresh.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

void BM_FillCameraLists64(benchmark::State& state) {
    zeko::bench::useBenchCameras(64); // 32 USB, 32 GigE
    for (auto _ : state) {
        CameraList lists[2];
        FillCameraList(lists[0], FillUsb);
        FillCameraList(lists[1], FillGigE);
        benchmark::DoNotOptimize(lists[1].GetCount());
    }
    zksim_JournalClear();
}
BENCHMARK(BM_FillCameraLists64)->Unit(benchmark::kMicrosecond);

// The anchor: the interface library calls of the two fills, nothing built.
void BM_SimulatorCallsOnly64(benchmark::State& state) {
    zeko::bench::useBenchCameras(64); // 32 USB, 32 GigE
    std::vector<uint8_t> list(4 + 64 * 112);
    std::vector<uint8_t> info(640);
    for (auto _ : state) {
        for (int fill = 0; fill < 2; ++fill) {
            uint32_t count = 0;
            std::memcpy(list.data(), &count, 4);
            ZekoApi::zk_GetCameraList(list.data());
            count = 64;
            std::memcpy(list.data(), &count, 4);
            ZekoApi::zk_GetCameraList(list.data());
        }
        for (int i = 1; i < 64; i += 2)
            ZekoApi::zk_GetEthDeviceInfo(uint32_t(1000 + i) | 0x8000, info.data(), 640);
        benchmark::DoNotOptimize(info[0]);
    }
    zksim_JournalClear();
}
BENCHMARK(BM_SimulatorCallsOnly64)->Unit(benchmark::kMicrosecond);

std::u16string text(int id) {
    return LoadResourceString(static_cast<unsigned>(id));
}

// The main dialog's list refresh on a tick where no camera changed.
void BM_IdleTick(benchmark::State& state) {
    zeko::bench::useBenchCameras(static_cast<int>(state.range(0)));
    CameraList lists[2];
    std::vector<CameraListRules::Snapshot> snapshots[2];
    std::optional<uint32_t> seen;
    RefreshChangedCameraLists(lists, snapshots, seen, false, text); // the first tick reads them
    bool refilled = false;
    for (auto _ : state)
        refilled = RefreshChangedCameraLists(lists, snapshots, seen, false, text).refilled || refilled;
    if (refilled)
        state.SkipWithError("an idle tick read the cameras");
    zksim_JournalClear();
}
BENCHMARK(BM_IdleTick)->Arg(1)->Arg(64)->Arg(254)->Unit(benchmark::kMicrosecond);

// The peer: the same refresh when every tick reads the cameras (a library without a change count).
void BM_ReadingTick(benchmark::State& state) {
    zeko::bench::useBenchCameras(static_cast<int>(state.range(0)));
    CameraList lists[2];
    std::vector<CameraListRules::Snapshot> snapshots[2];
    RefreshCameraLists(lists, snapshots, false, text);
    for (auto _ : state) {
        const ListRefresh refresh = RefreshCameraLists(lists, snapshots, false, text);
        benchmark::DoNotOptimize(refresh.refilled);
    }
    zksim_JournalClear();
}
BENCHMARK(BM_ReadingTick)->Arg(1)->Arg(64)->Arg(254)->Unit(benchmark::kMicrosecond);

std::u16string keyName(int i) {
    std::string name = "Software\\Marvek\\Zeko\\Bench\\Key" + std::to_string(i);
    return std::u16string(name.begin(), name.end());
}

void fillRegistry() {
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("ZEKO_REGISTRY_DIR", zeko::bench::benchFolder().c_str(), 1);
    win::RegistryStore::resetAll();
    win::RegistryStore::Keys keys;
    for (int i = 0; i < 500; ++i) {
        const DWORD value = DWORD(i);
        win::RegistryStore::Value v{u"Value", REG_DWORD, {}};
        v.data.assign(reinterpret_cast<const uint8_t*>(&value), reinterpret_cast<const uint8_t*>(&value) + 4);
        keys[keyName(i)] = win::RegistryStore::Key{keyName(i), {v}};
    }
    FILE* file = std::fopen((zeko::bench::benchFolder() + "/user.reg").c_str(), "w");
    const std::string text = win::RegistryStore::serialise(keys);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    win::RegistryStore::resetAll();
}

// Open, read and close, as the program reads each setting.
void BM_RegistryLookup500(benchmark::State& state) {
    fillRegistry();
    std::vector<std::u16string> names;
    for (int i = 0; i < 500; ++i)
        names.push_back(keyName(i));
    for (auto _ : state) {
        DWORD sum = 0;
        for (const std::u16string& name : names) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
                DWORD value = 0, size = 4;
                RegQueryValueExW(key, u"Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
                sum += value;
                RegCloseKey(key);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RegistryLookup500)->Unit(benchmark::kMicrosecond);

// The store itself, without handles.
void BM_RegistryStoreLookup500(benchmark::State& state) {
    fillRegistry();
    std::vector<std::u16string> names;
    for (int i = 0; i < 500; ++i)
        names.push_back(keyName(i));
    win::RegistryStore& store = win::RegistryStore::instance(win::RegistryStore::Hive::CurrentUser);
    for (auto _ : state) {
        DWORD sum = 0;
        for (const std::u16string& name : names)
            store.readValue(name, u"Value",
                            [&](const win::RegistryStore::Value& value) { sum += value.data[0]; });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RegistryStoreLookup500)->Unit(benchmark::kMicrosecond);

// The anchor: a plain std::map from key and value name to the value.
void BM_StdMapLookup500(benchmark::State& state) {
    std::map<std::u16string, DWORD> map;
    std::vector<std::u16string> names;
    for (int i = 0; i < 500; ++i) {
        names.push_back(keyName(i) + u"\\Value");
        map[names.back()] = DWORD(i);
    }
    for (auto _ : state) {
        DWORD sum = 0;
        for (const std::u16string& name : names)
            sum += map.find(name)->second;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_StdMapLookup500)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
