#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <vector>

#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osgViewer/Viewer>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "pemblon/widgets/OSGCanvas.h"

extern "C" int XInitThreads(void);

using PBN::Widgets::OSGCanvas;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 640, kHeight = 480;

// A lit sphere and box: a simple scene that still costs the rasteriser something.
osg::ref_ptr<osg::Node> scene() {
    osg::ref_ptr<osg::Geode> geode = new osg::Geode();
    geode->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(-1.2f, 0.f, 0.f), 1.f)));
    geode->addDrawable(new osg::ShapeDrawable(new osg::Box(osg::Vec3(1.2f, 0.f, 0.f), 1.5f)));
    return geode;
}

void pumpFor(std::chrono::milliseconds span) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    const auto end = Clock::now() + span;
    while (Clock::now() < end) {
        while (loop.Pending()) {
            loop.Dispatch();
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(2);
    }
}

struct ShownCanvas {
    wxFrame* frame;
    OSGCanvas* canvas;
    ShownCanvas(int w, int h) {
        frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0));
        canvas = new OSGCanvas(frame, wxID_ANY, wxPoint(0, 0), wxSize(w, h));
        frame->SetClientSize(w, h);
        canvas->initViewer(PBN::Strings::ostring(""), OSGCanvas::TRACKBALL, false);
        canvas->getViewer().setSceneData(scene().get());
        frame->Show();
        for (int i = 0; i < 200 && !canvas->IsShownOnScreen(); ++i) {
            pumpFor(std::chrono::milliseconds(10));
        }
        pumpFor(std::chrono::milliseconds(100));
    }
    ~ShownCanvas() {
        frame->Destroy();
        pumpFor(std::chrono::milliseconds(20));
    }
};

unsigned frameNumber(const osgViewer::Viewer& viewer) {
    return viewer.getFrameStamp()->getFrameNumber();
}

// Frames drawn by the canvas's render thread while the GUI thread runs its event loop.
void BM_CanvasRenderThreadFps(benchmark::State& state) {
    ShownCanvas shown(kWidth, kHeight);
    shown.canvas->run();
    pumpFor(std::chrono::milliseconds(300));
    double frames = 0, seconds = 0;
    for (auto _ : state) {
        const unsigned before = frameNumber(shown.canvas->getViewer());
        const auto start = Clock::now();
        pumpFor(std::chrono::milliseconds(1000));
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        frames += frameNumber(shown.canvas->getViewer()) - before;
    }
    shown.canvas->stop(true);
    state.counters["fps"] = frames / seconds;
}

// The same scene in a window of the same size that osgViewer opens and drives itself.
void BM_PlainOsgViewerFps(benchmark::State& state) {
    osgViewer::Viewer viewer;
    viewer.setSceneData(scene().get());
    viewer.setUpViewInWindow(0, 0, kWidth, kHeight);
    viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    viewer.realize();
    for (int i = 0; i < 30; ++i) {
        viewer.frame();
    }
    double frames = 0, seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto end = start + std::chrono::milliseconds(1000);
        while (Clock::now() < end) {
            viewer.frame();
            ++frames;
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["fps"] = frames / seconds;
}

// One 1024x768 capture through the render thread, into a wxBitmap on the calling thread.
void BM_Capture1024x768(benchmark::State& state) {
    ShownCanvas shown(1024, 768);
    const bool threaded = state.range(0) != 0;
    if (threaded) {
        shown.canvas->run();
        pumpFor(std::chrono::milliseconds(200));
    }
    wxBitmap bitmap;
    for (auto _ : state) {
        if (!shown.canvas->getScreenCapture(bitmap)) {
            state.SkipWithError("capture failed");
            break;
        }
        benchmark::DoNotOptimize(bitmap.GetWidth());
    }
    if (threaded) {
        shown.canvas->stop(true);
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * 3);
}

// The anchor: copying the frame's bytes once.
void BM_Memcpy1024x768(benchmark::State& state) {
    std::vector<unsigned char> from(1024 * 768 * 3, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * from.size());
}

// The converter alone: an image read back from GL into a bitmap.
void BM_GetBitmap1024x768(benchmark::State& state) {
    osg::ref_ptr<osg::Image> image = new osg::Image();
    image->allocateImage(1024, 768, 1, GL_RGB, GL_UNSIGNED_BYTE, 1);
    std::memset(image->data(), 90, image->getTotalSizeInBytes());
    wxBitmap bitmap;
    for (auto _ : state) {
        OSGCanvas::getBitmap(*image, bitmap);
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * 3);
}

} // namespace

BENCHMARK(BM_CanvasRenderThreadFps)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainOsgViewerFps)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Capture1024x768)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Memcpy1024x768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetBitmap1024x768)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    XInitThreads();
    static char name[] = "pemblon_widgets_bench";
    static char* wxArgv[] = {name, nullptr};
    int wxArgc = 1;
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
