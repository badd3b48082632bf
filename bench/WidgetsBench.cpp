#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <vector>

#include <OpenThreads/Affinity>

#include <osg/GL>
#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osgGA/TrackballManipulator>
#include <osgViewer/Viewer>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

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

// 108 lit spheres: frames of about 10 ms on the machine measured below, so that a fixed cost per
// frame barely moves the ratio while a proportional one moves it as much as in the light scene.
osg::ref_ptr<osg::Node> heavyScene() {
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints();
    hints->setDetailRatio(0.25f);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode();
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 9; ++j) {
            const osg::Vec3 centre(static_cast<float>(i) - 5.5f, 0.f, static_cast<float>(j) - 4.f);
            geode->addDrawable(new osg::ShapeDrawable(new osg::Sphere(centre, 0.6f), hints.get()));
        }
    }
    return geode;
}

// The processors the calling thread may run on.
OpenThreads::Affinity currentAffinity() {
    OpenThreads::Affinity affinity;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (pthread_getaffinity_np(pthread_self(), sizeof set, &set) == 0) {
        for (unsigned cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &set)) {
                affinity.add(cpu);
            }
        }
    }
    return affinity;
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

// The GUI thread as an application runs it: in its event loop, asleep until an event comes.
void runEventLoopFor(std::chrono::milliseconds span) {
    wxGUIEventLoop loop;
    wxEvtHandler handler;
    wxTimer timer(&handler);
    handler.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.Exit(); });
    timer.StartOnce(static_cast<int>(span.count()));
    loop.Run();
}

struct ShownCanvas {
    wxFrame* frame;
    OSGCanvas* canvas;
    ShownCanvas(int w, int h, osg::ref_ptr<osg::Node> node = scene()) {
        frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0));
        canvas = new OSGCanvas(frame, wxID_ANY, wxPoint(0, 0), wxSize(w, h));
        frame->SetClientSize(w, h);
        canvas->initViewer(PBN::Strings::ostring(""), OSGCanvas::TRACKBALL, false);
        canvas->getViewer().setSceneData(node.get());
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

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Frames per second of the canvas's render thread (while the GUI thread runs its event loop)
// and of a window of the same size, scene and view that osgViewer opens and drives itself, side
// by side on the screen and measured in turns, so that the machine's load hits both alike.
// Argument 0: the sphere and box (about 1.5 ms a frame on a quiet machine); 1: the heavy scene.
//
// osgViewer pins the thread that realises a single-threaded viewer to the first processor. The
// plain viewer was realised on the GUI thread, so the canvas's render thread, started from it
// later, inherited that pin, and so did the rasteriser threads of the canvas's context: the canvas
// rasterised on one processor, the plain window (whose threads had started before the pin) on
// all eight. The plain viewer now keeps the GUI thread's processors. The canvas spent no more
// processor time per frame than the plain window (2.8 to 3.3 ms of the process's by getrusage,
// 0.25 to 0.38 ms of Xvfb's by /proc), and drawn on the GUI thread without its render thread it
// was as slow as on it: the cost was lost parallelism, not work on the render thread.
//
// 7 runs of each line before and after, interleaved, on a busy machine (six other builds, load 8
// to 15 on 8 cores), not a quiet one. Per line: the median of the runs' ratios (a run's ratio is
// its median canvas fps over its median plain fps), the lowest ratio, median fps canvas / plain.
//                      before                   after
//   light, unpinned    0.79 (0.61) 269 / 315    0.96 (0.75) 250 / 302
//   light, pinned      0.95 (0.89) 321 / 336    0.94 (0.81) 271 / 334
//   heavy, unpinned    0.94 (0.84) 103 / 105    0.98 (0.84) 119 / 124
//   heavy, pinned      0.96 (0.88) 100 / 111    0.98 (0.92) 100 / 106
// A second batch, load 9 to 14, where the other builds kept the processors busy and the pin
// showed less:
//   light, unpinned    0.93 (0.74) 356 / 377    1.07 (0.82) 329 / 305
//   light, pinned      0.94 (0.91) 325 / 342    0.91 (0.81) 312 / 339
//   heavy, unpinned    0.94 (0.86) 110 / 112    0.98 (0.92) 140 / 140
//   heavy, pinned      0.98 (0.96) 107 / 107    1.01 (0.91) 115 / 110
// Pinned, the rasteriser runs on each drawing thread (LP_NUM_THREADS=0), one processor for both
// windows: the pin cost the canvas nothing there.
//
// On a quiet machine (nothing else running, GCC tree without -g), 7 runs of each line before,
// then 7 after, in one session:
//                      before                   after
//   light, unpinned    0.58 (0.51) 447 / 755    0.99 (0.85) 714 / 704
//   light, pinned      0.95 (0.79) 384 / 425    0.92 (0.83) 364 / 414
//   heavy, unpinned    0.99 (0.94) 169 / 175    0.98 (0.91) 267 / 277
//   heavy, pinned      0.97 (0.91) 125 / 131    1.00 (0.96) 122 / 122
//
// Where the render thread waits (perf sched_switch with DWARF call stacks, light scene, load 16
// to 20): in the same places and for about as long per frame as the plain viewer's thread, the
// software rasteriser's fence in the swap (about 1.0 ms per wait against 1.1 ms), the wake-ups of
// its worker threads, and the two X round trips Mesa makes per frame on both windows (XGetGeometry
// when drawing, XSync in the swap). The render thread took no lock the GUI thread held and made
// no context current per frame. Three runs of each in that session, code unchanged: unpinned,
// light 0.73, 0.85, 0.90, heavy 0.81, 0.90, 0.71; pinned (taskset -c 5), light 0.94, 0.95, 0.96,
// heavy 0.99, 0.82, 0.89.
//
// The fixed cost per frame the light scene still showed was work, not a wait. Instructions per
// light frame by callgrind (LP_NUM_THREADS=0, so that the rasteriser works on the drawing thread;
// turns of 1.5 s, counted after the first), canvas / plain: 14.06 M / 11.42 M, all of the gap in
// the swap, where the frame is rasterised (12.26 M / 9.87 M; the rest of the frame 1.55 M each).
// Both windows are depth 24 and put their frames through MIT-SHM; their fbconfigs differ: the
// canvas's default attributes ask for stencil, and the only such visuals are 24-bit depth with
// 8-bit stencil, against the plain window's 32-bit depth. With the camera clearing depth alone,
// llvmpipe kept every pixel's stencil bits by a read and a masked write instead of a fill
// (1.9 M). And the canvas's perspective had the aspect of osg's default screen (1.25) on a
// 640 x 480 viewport: the picture came out 6.7% too wide, more pixels to fill (0.6 M). The canvas
// now clears stencil with depth and takes its own aspect: 11.58 M / 11.42 M.
//
// 7 runs of each line before and after, alternating, light and heavy in each run (the load is the
// 1-minute load average on 8 cores: 9.7 falling to 2.4 over the session, the first runs at 10 to
// 12, the last at 3). Median of the runs' ratios (lowest), median fps canvas / plain:
//                      before                   after
//   light, unpinned    0.85 (0.79) 599 / 629    1.08 (0.91) 686 / 638
//   light, pinned      0.84 (0.78) 621 / 730    0.98 (0.89) 759 / 772
//   heavy, unpinned    0.95 (0.88) 270 / 284    0.99 (0.84) 299 / 301
//   heavy, pinned      0.94 (0.91) 242 / 265    1.01 (0.95) 238 / 235
// The same, 7 runs before on a quiet machine (load 1.1 to 2.7), then 7 after (load 1.6 rising to
// 9.9 as other builds started), each run unpinned then pinned (taskset -c 5):
//                      before                   after
//   light, unpinned    0.90 (0.87) 708 / 793    0.98 (0.83) 569 / 580
//   light, pinned      0.87 (0.84) 628 / 727    1.03 (0.96) 1012 / 996
//   heavy, unpinned    0.91 (0.85) 304 / 331    1.00 (0.88) 271 / 261
//   heavy, pinned      0.94 (0.93) 194 / 207    1.01 (1.00) 281 / 280
//
// The render thread no longer asks GTK for the window each frame (a window Reparent had destroyed
// ended the program): it takes the one the GUI thread offers, under the canvas mutex at the top of
// each turn, and swaps the drawable its context is current on. Before and after, alternating in
// one session, 4 runs of each line (first batch: load 23 to 28 while other builds ran; second:
// load 4 to 8, the machine nearly quiet):
//                      before                   after
//   light, unpinned    0.71 (0.54) 262 / 351    0.82 (0.73) 315 / 282
//   light, pinned      1.05 (0.87) 943 / 843    1.00 (0.98) 816 / 811
//   heavy, unpinned    1.07 (0.92) 156 / 143    1.03 (0.92) 179 / 165
//   heavy, pinned      1.04 (0.96) 245 / 238    1.01 (0.95) 231 / 227
// quieter:
//   light, unpinned    0.98 (0.96) 609 / 588    1.00 (0.95) 715 / 712
//   light, pinned      0.93 (0.83) 504 / 549    0.96 (0.90) 675 / 731
//   heavy, unpinned    0.97 (0.95) 230 / 238    1.02 (0.99) 318 / 304
//   heavy, pinned      0.96 (0.94) 203 / 205    1.00 (0.98) 233 / 221
void BM_CanvasAgainstPlainViewerFps(benchmark::State& state) {
    ShownCanvas shown(kWidth, kHeight, state.range(0) != 0 ? heavyScene() : scene());
    osgViewer::Viewer plain;
    plain.setUseConfigureAffinity(false);
    plain.setProcessorAffinity(currentAffinity());
    plain.setSceneData(shown.canvas->getViewer().getSceneData());
    plain.setCameraManipulator(new osgGA::TrackballManipulator(5), true); // the canvas's view
    plain.setUpViewInWindow(kWidth, 0, kWidth, kHeight);
    plain.setThreadingModel(osgViewer::Viewer::SingleThreaded);
    plain.realize();
    for (int i = 0; i < 30; ++i) {
        plain.frame();
    }
    const auto turn = std::chrono::milliseconds(400);
    std::vector<double> canvasFps, plainFps;
    for (auto _ : state) {
        shown.canvas->run();
        pumpFor(std::chrono::milliseconds(50));
        const unsigned before = frameNumber(shown.canvas->getViewer());
        auto start = Clock::now();
        runEventLoopFor(turn);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        canvasFps.push_back((frameNumber(shown.canvas->getViewer()) - before) / seconds);
        shown.canvas->stop(true);

        double frames = 0;
        start = Clock::now();
        while (Clock::now() < start + turn) {
            plain.frame();
            ++frames;
        }
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        plainFps.push_back(frames / seconds);
    }
    state.counters["canvas_fps"] = median(canvasFps);
    state.counters["plain_fps"] = median(plainFps);
    state.counters["ratio"] = median(canvasFps) / median(plainFps);
}

// What hiding the canvas costs the GUI thread while the render thread draws: Show(false) waits
// until the thread has finished its frame and let go of the window. Each iteration hides the
// canvas, shows it again and waits for two new frames; "hide_ms" is the median of Show(false)
// alone, "back_ms" that of the time until the second frame after Show(true).
//
// Before the render thread let go of the window on the GUI thread's word, hiding did not wait
// (and the thread went on drawing into the hidden window until the next idle event, then slept
// 10 ms a turn). 3 runs of each, alternating (load 7); the runs' medians, hide_ms and back_ms:
//            before                  after
//   light    0.03 - 0.04, 3.6 - 4.6  0.84 - 1.10, 2.6 - 2.7
//   heavy    0.06, 7.0 - 7.4         1.8 - 2.8, 5.2 - 6.0
// Hiding now costs the GUI thread the rest of the frame being drawn; the picture comes back
// sooner, as GTK's map signal wakes the thread at once.
void BM_HideWhileRendering(benchmark::State& state) {
    ShownCanvas shown(kWidth, kHeight, state.range(0) != 0 ? heavyScene() : scene());
    shown.canvas->run();
    pumpFor(std::chrono::milliseconds(100));
    std::vector<double> hide, back;
    for (auto _ : state) {
        auto start = Clock::now();
        shown.canvas->Show(false);
        hide.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        shown.canvas->Show(true);
        const unsigned before = frameNumber(shown.canvas->getViewer());
        const auto end = start + std::chrono::seconds(2);
        while (frameNumber(shown.canvas->getViewer()) < before + 2 && Clock::now() < end) {
            pumpFor(std::chrono::milliseconds(1));
        }
        back.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    shown.canvas->stop(true);
    state.counters["hide_ms"] = median(hide);
    state.counters["back_ms"] = median(back);
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

// The capture's own work in the canvas's context, without drawing a frame: the read of the back
// buffer, then the flip and conversion into the bitmap.
void BM_CaptureReadAndConvert1024x768(benchmark::State& state) {
    ShownCanvas shown(1024, 768);
    osgViewer::GraphicsWindow& window = *shown.canvas->getGraphicsWindow();
    shown.canvas->getViewer().frame();
    window.makeCurrent();
    osg::Camera& camera = *shown.canvas->getViewer().getCamera();
    osg::RenderInfo info(window.getState(), &shown.canvas->getViewer());
    wxBitmap bitmap;
    for (auto _ : state) {
        osg::ref_ptr<OSGCanvas::ScreenCaptureCallback> capture =
            new OSGCanvas::ScreenCaptureCallback(bitmap, camera, nullptr);
        (*capture)(info);
        osg::ref_ptr<osg::Image> image = capture->takeImage();
        if (!image.valid() || !OSGCanvas::getBitmap(*image, bitmap)) {
            state.SkipWithError("capture failed");
            break;
        }
    }
    window.releaseContext();
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * 3);
}

// The physical anchor of a capture: one glReadPixels of the back buffer of the same size in the
// same context, into memory read before. Argument 0 reads RGB, 1 the buffer's own BGRA layout.
void BM_RawReadPixels1024x768(benchmark::State& state) {
    ShownCanvas shown(1024, 768);
    osgViewer::GraphicsWindow& window = *shown.canvas->getGraphicsWindow();
    shown.canvas->getViewer().frame();
    window.makeCurrent();
    const bool bgra = state.range(0) != 0;
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    for (auto _ : state) {
        glReadPixels(0, 0, 1024, 768, bgra ? GL_BGRA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        benchmark::ClobberMemory();
    }
    window.releaseContext();
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * 3);
}

// Copying the frame's bytes once.
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

BENCHMARK(BM_CanvasAgainstPlainViewerFps)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_HideWhileRendering)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Capture1024x768)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CaptureReadAndConvert1024x768)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_RawReadPixels1024x768)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);
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
