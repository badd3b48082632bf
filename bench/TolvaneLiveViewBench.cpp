// The live view on a fast simulated camera, under an X server: ticks per second (one image
// fetched and drawn per tick) and the GUI thread's CPU time per second of wall time. Frames are
// rendered by the simulator inside the tick, so the busy time includes the rendering that
// ZekoSimBench measures alone.
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLDoc.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/MainWnd.h"
#include "tolvane_model/Camera.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filefn.h>
#include <wx/timer.h>

using PBN::HelperFuncs;
using PBN::Strings::ostring;

namespace {

void pump(int ms) {
    wxGUIEventLoop loop;
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.Exit(); });
    end.StartOnce(ms);
    loop.Run();
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

std::string sensorFor(int rate) {
    return "ZK1480F" + std::to_string(rate) + "-C";
}

// A camera whose pixel clock allows the rate at full size: rate <= clock / ((w + 64) (h + 24)).
std::string description(int rate, int clock) {
    return "[camera]\nserial = 4102899000\nsensor = " + sensorFor(rate) +
           "\nwidth = 1280\nheight = 1024\nclock_min = 5\nclock_max = " + std::to_string(clock) +
           "\nclock = " + std::to_string(clock) + "\nframe_rate = " + std::to_string(rate) + "\n";
}

// The program folder's settings file, with the factory values of both fast cameras.
void writeSettings() {
    const std::string dir = HelperFuncs::getAppDir().str() + "res";
    if (!wxDirExists(dir))
        wxMkdir(dir);
    std::ofstream out(dir + "/config.xml");
    out << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Tolvane>\n<Language>English</Language>\n"
           "<CameraSettings>\n";
    for (auto [rate, clock] : {std::pair{30, 43}, std::pair{60, 85}})
        out << "<" << sensorFor(rate)
            << "><MasterGain>0</MasterGain><RedGain>0</RedGain><GreenGain>0</GreenGain>"
            << "<BlueGain>0</BlueGain><AutoGain>false</AutoGain><Brightness>128</Brightness>"
            << "<Exposure>10</Exposure><Clock>" << clock
            << "</Clock><Gamma>100</Gamma><BLEnable>false</BLEnable>"
            << "<BlackLevel>0</BlackLevel><ColorMode>129</ColorMode><ColorCorrection>0</ColorCorrection></"
            << sensorFor(rate) << ">\n";
    out << "</CameraSettings>\n</Tolvane>\n";
}

void LiveView(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const int clock = rate == 30 ? 43 : 85;
    if (zksim_UseDescription(description(rate, clock).c_str()) != 0) {
        state.SkipWithError(zksim_DescriptionError());
        return;
    }
    {
        PBN::XML::XMLDoc strings(HelperFuncs::getAppDir() + ostring("res/Tolvane.xml"), true, false);
        PBN::Strings::StringTable::get().load("Tolvane", strings.getRoot());
    }
    auto* main = new Tolvane::MainWnd(wxPoint(0, 0), wxSize(1280, 1024));
    main->Show();
    pump(200);
    wxCommandEvent live(wxEVT_MENU, Tolvane::MainWnd::ID_LIVE);
    main->GetEventHandler()->ProcessEvent(live);
    if (!main->isLive()) {
        state.SkipWithError("live view did not start");
        main->Close(true);
        return;
    }
    pump(1500); // settle
    double fps = 0, busy = 0, cameraRate = 0;
    for (auto _ : state) {
        zksim_JournalClear();
        const double cpu = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        pump(10000);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fps = zksim_JournalCount("zk_fn70") / wall;
        busy = (threadSeconds() - cpu) / wall;
        cameraRate = Tolvane_model::Camera::getInstance()->getFrameRate();
    }
    state.counters["camera_fps"] = cameraRate;
    state.counters["shown_fps"] = fps;
    state.counters["gui_busy_share"] = busy;
    main->Close(true);
    pump(100);
}
BENCHMARK(LiveView)->Arg(30)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    char state[] = "/tmp/tolvane_bench_XXXXXX";
    if (!mkdtemp(state))
        return 1;
    setenv("ZEKO_SIM_STATE_DIR", state, 1);
    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    static wxChar name[] = wxT("tolvane_live_view_bench");
    static wxChar* wxArgv[] = {name, nullptr};
    if (!wxEntryStart(wxArgc, wxArgv))
        return 1;
    wxTheApp->CallOnInit();
    HelperFuncs::initLib();
    writeSettings();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    HelperFuncs::releaseLib();
    wxEntryCleanup();
    std::system((std::string("rm -rf '") + state + "'").c_str());
    return 0;
}
