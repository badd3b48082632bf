#include "bench/ManagerBenchCameras.h"

#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_sim_control.h"

#include <cstdio>
#include <cstdlib>

namespace zeko::bench {

const std::string& benchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/zeko_cm_bench_XXXXXX";
        return std::string(mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return folder;
}

void useBenchCameras(int n) {
    setenv("ZEKO_SIM_STATE_DIR", benchFolder().c_str(), 1);
    setenv("ZEKO_REGISTRY_DIR", benchFolder().c_str(), 1);
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

} // namespace zeko::bench
