#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <filesystem>
#include <pthread.h>
#include <time.h>

#include <GL/glx.h>
#include <osg/ColorMask>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Stencil>
#include <osgDB/WriteFile>
#include <osgGA/DriveManipulator>
#include <osgGA/KeySwitchMatrixManipulator>
#include <osgGA/TrackballManipulator>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/rawbmp.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "WidgetsTestSupport.h"
#include "pemblon/widgets/OSGCanvas.h"

// Every binding of a GL context to a drawable in this program, counted on its way to libGL.
std::atomic<int> contextBindings{0};

extern "C" Bool glXMakeCurrent(Display* display, GLXDrawable drawable, GLXContext context) {
    using Real = Bool (*)(Display*, GLXDrawable, GLXContext);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "glXMakeCurrent"));
    if (drawable != None) {
        ++contextBindings;
    }
    return real(display, drawable, context);
}

extern "C" Bool glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read,
                                      GLXContext context) {
    using Real = Bool (*)(Display*, GLXDrawable, GLXDrawable, GLXContext);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "glXMakeContextCurrent"));
    if (draw != None) {
        ++contextBindings;
    }
    return real(display, draw, read, context);
}

namespace fs = std::filesystem;
using PBN::Strings::ostring;
using PBN::Widgets::OSGCanvas;
using WidgetsTest::pump;
using WidgetsTest::pumpUntil;

namespace {

// Opens the protected parts that the tests look at.
class TestCanvas : public OSGCanvas {
public:
    using OSGCanvas::getKeyCode;
    using OSGCanvas::OSGCanvas;
    ~TestCanvas() override { stop(true); } // before this part of the object goes
    static int* attrList() { return _attrList; }
    static int* pairs(const std::vector<std::pair<int, int>>& attrs) { return makeAttrList(attrs); }
    static void drop() { deleteAttrList(); }
};

// Two coloured halves over a blue background, seen through a fixed orthographic camera.
osg::ref_ptr<osg::Node> halvesScene() {
    auto quad = [](float y0, float y1, const osg::Vec4& colour) {
        osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry();
        osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array();
        vertices->push_back({-10.f, y0, 0.f});
        vertices->push_back({10.f, y0, 0.f});
        vertices->push_back({10.f, y1, 0.f});
        vertices->push_back({-10.f, y1, 0.f});
        geometry->setVertexArray(vertices.get());
        osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array();
        colours->push_back(colour);
        geometry->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
        geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
        return geometry;
    };
    osg::ref_ptr<osg::Geode> geode = new osg::Geode();
    geode->addDrawable(quad(0.05f, 10.f, {1.f, 0.f, 0.f, 1.f}));   // top: red
    geode->addDrawable(quad(-10.f, -0.05f, {0.f, 1.f, 0.f, 1.f})); // bottom: green
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    return geode;
}

void useFixedCamera(osgViewer::Viewer& viewer) {
    viewer.setSceneData(halvesScene().get());
    osg::Camera* camera = viewer.getCamera();
    camera->setClearColor({0.f, 0.f, 1.f, 1.f});
    camera->setProjectionResizePolicy(osg::Camera::FIXED);
    camera->setProjectionMatrixAsOrtho2D(-1.0, 1.0, -1.0, 1.0);
    camera->setViewMatrix(osg::Matrix::identity());
}

// A frame holding one canvas of 200 x 150 client pixels, shown.
struct Shown {
    wxFrame* frame;
    TestCanvas* canvas;
    Shown() {
        frame = new wxFrame(nullptr, wxID_ANY, "canvas", wxPoint(20, 20));
        canvas = new TestCanvas(frame, wxID_ANY, wxPoint(0, 0), wxSize(200, 150));
        frame->SetClientSize(200, 150);
        useFixedCamera(canvas->getViewer());
        WidgetsTest::showAndWait(frame, canvas);
    }
    ~Shown() {
        if (frame != nullptr) {
            frame->Destroy();
            pump(20);
        }
    }
};

std::string pixel(const wxBitmap& bitmap, int x, int y) {
    wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y))
        .GetAsString(wxC2S_HTML_SYNTAX)
        .ToStdString();
}
const std::string red = "#FF0000", green = "#00FF00", blue = "#0000FF";

unsigned frameNumber(const OSGCanvas& canvas) {
    return canvas.getViewer().getFrameStamp()->getFrameNumber();
}

// Counts how often the camera's own final-draw callback runs.
struct CountingCallback : osg::Camera::DrawCallback {
    mutable std::atomic<int> calls{0};
    void operator()(osg::RenderInfo&) const override { ++calls; }
};

// Notes the X connection that draws the frame.
struct ConnectionCallback : osg::Camera::DrawCallback {
    mutable std::atomic<Display*> display{nullptr};
    void operator()(osg::RenderInfo&) const override { display = glXGetCurrentDisplay(); }
};

// Notes the thread that draws the frames and the drawable each frame goes to.
struct DrawingThreadCallback : osg::Camera::DrawCallback {
    mutable std::atomic<pthread_t> thread{};
    mutable std::atomic<GLXDrawable> drawable{None};
    mutable std::atomic<int> frames{0};
    void operator()(osg::RenderInfo&) const override {
        thread = pthread_self();
        drawable = glXGetCurrentDrawable();
        ++frames;
    }
};

// The processor time a thread has used so far, in milliseconds.
double processorMs(pthread_t thread) {
    clockid_t clock;
    timespec spent{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &spent) != 0) {
        return -1;
    }
    return static_cast<double>(spent.tv_sec) * 1e3 + static_cast<double>(spent.tv_nsec) / 1e6;
}

// The master camera's perspective: field of view and aspect.
std::pair<double, double> perspective(const osgViewer::Viewer& viewer) {
    double fovy = 0, aspect = 0, zNear = 0, zFar = 0;
    if (!viewer.getCamera()->getProjectionMatrixAsPerspective(fovy, aspect, zNear, zFar)) {
        return {0, 0};
    }
    return {fovy, aspect};
}

// A unit square facing the camera, unlit white, three units in front of it.
osg::ref_ptr<osg::Geode> squareAhead() {
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry();
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array();
    vertices->push_back({-0.5f, -0.5f, -3.f});
    vertices->push_back({0.5f, -0.5f, -3.f});
    vertices->push_back({0.5f, 0.5f, -3.f});
    vertices->push_back({-0.5f, 0.5f, -3.f});
    geometry->setVertexArray(vertices.get());
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array();
    colours->push_back({1.f, 1.f, 1.f, 1.f});
    geometry->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode();
    geode->addDrawable(geometry.get());
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    return geode;
}

// The width and height in pixels of what is not the clear colour, across the bitmap's middle.
std::pair<int, int> extentAcrossMiddle(const wxBitmap& bitmap) {
    int width = 0, height = 0;
    for (int x = 0; x < bitmap.GetWidth(); ++x) {
        width += pixel(bitmap, x, bitmap.GetHeight() / 2) != blue ? 1 : 0;
    }
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        height += pixel(bitmap, bitmap.GetWidth() / 2, y) != blue ? 1 : 0;
    }
    return {width, height};
}

// Writes 1 into the stencil buffer wherever it draws, leaving the colours alone.
osg::ref_ptr<osg::Node> stencilMark() {
    osg::ref_ptr<osg::Node> mark = halvesScene();
    osg::StateSet* state = mark->getOrCreateStateSet();
    osg::ref_ptr<osg::Stencil> stencil = new osg::Stencil();
    stencil->setFunction(osg::Stencil::ALWAYS, 1, ~0u);
    stencil->setOperation(osg::Stencil::KEEP, osg::Stencil::KEEP, osg::Stencil::REPLACE);
    state->setAttributeAndModes(stencil.get(), osg::StateAttribute::ON);
    state->setAttribute(new osg::ColorMask(false, false, false, false));
    return mark;
}

// Reads the stencil value of one pixel once the frame is drawn.
struct StencilProbe : osg::Camera::DrawCallback {
    mutable std::atomic<int> value{-1};
    void operator()(osg::RenderInfo&) const override {
        GLubyte stencil = 0;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(100, 100, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
        value = stencil;
    }
};
} // namespace

// The drawing thread's round trips (Mesa asks the window's size every frame) go over a connection
// of the canvas's own: on the GUI's, each would wake the GUI thread to read the reply for it.
TEST(OSGCanvasThread, FramesAreDrawnOverAnXConnectionOfTheirOwn) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    osg::ref_ptr<ConnectionCallback> connection = new ConnectionCallback();
    canvas.getViewer().getCamera()->setFinalDrawCallback(connection.get());
    canvas.run();
    ASSERT_TRUE(pumpUntil([&] { return connection->display.load() != nullptr; }));
    canvas.stop(true);
    EXPECT_NE(connection->display.load(), wxGetX11Display());
    wxBitmap bitmap;
    ASSERT_TRUE(canvas.getScreenCapture(bitmap)); // and on the GUI thread, without a render thread
    EXPECT_EQ(pixel(bitmap, 100, 0), red);
    canvas.getViewer().getCamera()->setFinalDrawCallback(nullptr);
}

TEST(OSGCanvasConstruction, AttributeListsLiveOnlyDuringConstruction) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "attrs");
    auto* plain = new TestCanvas(frame);
    EXPECT_EQ(TestCanvas::attrList(), nullptr);
    auto* fromPairs = new TestCanvas(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "pairs",
                                     std::vector<std::pair<int, int>>{{WX_GL_DEPTH_SIZE, 16}});
    EXPECT_EQ(TestCanvas::attrList(), nullptr);
    auto* defaults = new TestCanvas(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "defaults",
                                    std::vector<std::pair<int, int>>{});
    EXPECT_EQ(TestCanvas::attrList(), nullptr);
    int own[] = {WX_GL_RGBA, WX_GL_DOUBLEBUFFER, 0};
    auto* caller = new TestCanvas(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "own", own);
    EXPECT_EQ(own[0], WX_GL_RGBA); // the caller's list is used, not freed
    EXPECT_EQ(TestCanvas::attrList(), nullptr);
    EXPECT_EQ(plain->GetName(), "OSGCanvas");
    EXPECT_TRUE(plain->GetWindowStyleFlag() & wxFULL_REPAINT_ON_RESIZE);
    EXPECT_NE(&fromPairs->getViewer(), &defaults->getViewer());
    EXPECT_EQ(caller->getViewer().getThreadingModel(), osgViewer::Viewer::SingleThreaded);
    EXPECT_EQ(caller->getViewer().getCamera()->getGraphicsContext(), caller->getGraphicsWindow().get());

    int* list = TestCanvas::pairs({{1, 2}, {3, 4}});
    EXPECT_EQ(std::vector<int>(list, list + 5), (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(TestCanvas::pairs({}), nullptr); // frees the earlier list
    TestCanvas::drop();
    frame->Destroy();
    pump(20);
}

TEST(OSGCanvasInput, KeyReleasesPairWithTheirPresses) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "keys");
    auto* canvas = new TestCanvas(frame);
    auto key = [canvas](wxEventType type, wxChar code) {
        wxKeyEvent event(type);
        event.m_uniChar = code;
        event.SetEventObject(canvas);
        canvas->GetEventHandler()->ProcessEvent(event);
    };
    osgGA::EventQueue* queue = canvas->getGraphicsWindow()->getEventQueue();
    queue->clear();
    key(wxEVT_CHAR, 'a');
    key(wxEVT_KEY_UP, 'A'); // GTK reports the key, not the character
    key(wxEVT_KEY_UP, 'B'); // no remembered press
    osgGA::EventQueue::Events events;
    queue->takeEvents(events);
    std::vector<std::pair<int, int>> seen;
    for (const auto& event : events) {
        if (const osgGA::GUIEventAdapter* ea = event->asGUIEventAdapter()) {
            seen.emplace_back(ea->getEventType(), ea->getKey());
        }
    }
    const std::vector<std::pair<int, int>> expected{{osgGA::GUIEventAdapter::KEYDOWN, 'a'},
                                                    {osgGA::GUIEventAdapter::KEYUP, 'a'},
                                                    {osgGA::GUIEventAdapter::KEYUP, 'B'}};
    EXPECT_EQ(seen, expected);

    wxKeyEvent event(wxEVT_CHAR);
    event.m_uniChar = 'x';
    EXPECT_EQ(canvas->getKeyCode(event, OSGCanvas::KEY_RELEASE), 'x');
    frame->Destroy();
    pump(20);
}

TEST(OSGCanvasViewer, ManipulatorsAndScenes) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "viewer");
    auto* canvas = new TestCanvas(frame);
    osgViewer::Viewer& viewer = canvas->initViewer(ostring(""), OSGCanvas::TRACKBALL, false);
    EXPECT_EQ(&viewer, &canvas->getViewer());
    EXPECT_EQ(viewer.getSceneData(), nullptr);
    auto* trackball = dynamic_cast<osgGA::TrackballManipulator*>(viewer.getCameraManipulator());
    ASSERT_NE(trackball, nullptr);

    canvas->initViewer(ostring(""), static_cast<OSGCanvas::Manip>(0), false);
    canvas->initViewer(ostring("/nonexistent/scene.osgt"), static_cast<OSGCanvas::Manip>(7), true);
    EXPECT_EQ(viewer.getCameraManipulator(), trackball);
    EXPECT_EQ(viewer.getSceneData(), nullptr);

    // A scene file whose name is not ASCII.
    const fs::path dir = fs::temp_directory_path() / ("pbn-osg-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "sc\xC3\xA8ne.osgt";
    ASSERT_TRUE(osgDB::writeNodeFile(*halvesScene(), file.string()));
    const ostring path = ostring(wxString::FromUTF8(file.string()));
    canvas->initViewer(path, OSGCanvas::KEY_SWITCH, true);
    EXPECT_NE(viewer.getSceneData(), nullptr);

    auto* keySwitch = dynamic_cast<osgGA::KeySwitchMatrixManipulator*>(viewer.getCameraManipulator());
    ASSERT_NE(keySwitch, nullptr);
    EXPECT_EQ(keySwitch->getNumMatrixManipulators(), 5u);
    osg::ref_ptr<osgGA::GUIEventAdapter> press = new osgGA::GUIEventAdapter();
    press->setEventType(osgGA::GUIEventAdapter::KEYDOWN);
    press->setKey('3');
    keySwitch->handle(*press, *canvas->getGraphicsWindow());
    EXPECT_NE(dynamic_cast<osgGA::DriveManipulator*>(keySwitch->getCurrentMatrixManipulator()), nullptr);
    fs::remove_all(dir);
    frame->Destroy();
    pump(20);
}

TEST(OSGCanvasCapture, RenderedFrameIsCapturedRightWayUp) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    canvas.run();
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > 3; }));
    WidgetsTest::snapshot("canvas");
    wxBitmap bitmap;
    ASSERT_TRUE(canvas.getScreenCapture(bitmap));
    const osg::GraphicsContext::Traits* traits = canvas.getGraphicsWindow()->getTraits();
    EXPECT_EQ(bitmap.GetWidth(), traits->width);
    EXPECT_EQ(bitmap.GetHeight(), traits->height);
    EXPECT_EQ(bitmap.GetWidth(), 200);
    EXPECT_EQ(bitmap.GetHeight(), 150);
    EXPECT_EQ(pixel(bitmap, 100, 0), red);
    EXPECT_EQ(pixel(bitmap, 100, 149), green);
    EXPECT_EQ(pixel(bitmap, 100, 75), blue); // the gap shows the clear colour
    canvas.stop(true);

    // Without a thread the frame is drawn here.
    wxBitmap still;
    ASSERT_TRUE(canvas.getScreenCapture(*canvas.getViewer().getCamera(), still, true));
    EXPECT_EQ(pixel(still, 10, 0), red);
}

// The default perspective took the screen's aspect, so a square came out wider than high.
TEST(OSGCanvasViewer, PerspectiveFollowsTheCanvasShape) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "aspect", wxPoint(20, 20));
    auto* canvas = new TestCanvas(frame, wxID_ANY, wxPoint(0, 0), wxSize(200, 150));
    frame->SetClientSize(200, 150);
    osgViewer::Viewer& viewer = canvas->getViewer();
    viewer.setSceneData(squareAhead().get());
    viewer.getCamera()->setClearColor({0.f, 0.f, 1.f, 1.f});
    viewer.getCamera()->setViewMatrix(osg::Matrix::identity());
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, canvas));
    wxBitmap bitmap;
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    auto [width, height] = extentAcrossMiddle(bitmap);
    EXPECT_GT(height, 50);
    EXPECT_NEAR(width, height, 1);

    frame->SetClientSize(300, 150); // a resize keeps it square
    ASSERT_TRUE(pumpUntil([&] { return canvas->GetClientSize() == wxSize(300, 150); }));
    pump(50);
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    ASSERT_EQ(bitmap.GetWidth(), 300);
    std::tie(width, height) = extentAcrossMiddle(bitmap);
    EXPECT_GT(height, 50);
    EXPECT_NEAR(width, height, 1);
    frame->Destroy();
    pump(20);
}

// Depth and stencil are cleared together: the software rasteriser fills both at once, where
// clearing depth alone reads and rewrites every pixel to keep its stencil bits.
TEST(OSGCanvasViewer, EachFrameStartsWithAClearStencil) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    osg::ref_ptr<osg::Node> mark = stencilMark();
    canvas.getViewer().setSceneData(mark.get());
    osg::ref_ptr<StencilProbe> probe = new StencilProbe();
    canvas.getViewer().getCamera()->setFinalDrawCallback(probe.get());
    canvas.getViewer().frame(); // here, on the GUI thread
    EXPECT_EQ(probe->value, 1);
    mark->setNodeMask(0);
    canvas.getViewer().frame();
    EXPECT_EQ(probe->value, 0);
    dynamic_cast<PBN::Widgets::GraphicsWindowWX&>(*canvas.getGraphicsWindow()).releaseCurrentContext();
    canvas.getViewer().getCamera()->setFinalDrawCallback(nullptr);
}

TEST(OSGCanvasCapture, PreviousCallbackIsBackAfterEachCapture) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    osg::Camera* camera = canvas.getViewer().getCamera();
    osg::ref_ptr<CountingCallback> previous = new CountingCallback();
    camera->setFinalDrawCallback(previous.get());
    const int references = previous->referenceCount();
    wxBitmap bitmap;
    ASSERT_TRUE(canvas.getScreenCapture(*camera, bitmap, true)); // no thread
    EXPECT_EQ(camera->getFinalDrawCallback(), previous.get());
    EXPECT_EQ(previous->calls, 0); // not in the capture frame
    canvas.run();
    ASSERT_TRUE(canvas.getScreenCapture(*camera, bitmap, true));
    EXPECT_EQ(camera->getFinalDrawCallback(), previous.get());
    EXPECT_TRUE(pumpUntil([&] { return previous->calls > 0; })); // runs again in later frames
    canvas.stop(true);
    EXPECT_EQ(previous->referenceCount(), references);

    // A camera the viewer never draws: nothing read, nothing left behind, false.
    osg::ref_ptr<osg::Camera> foreign = new osg::Camera();
    wxBitmap untouched(7, 5, 24);
    EXPECT_FALSE(canvas.getScreenCapture(*foreign, untouched, true));
    EXPECT_EQ(untouched.GetWidth(), 7);
    EXPECT_EQ(foreign->getFinalDrawCallback(), nullptr);
    EXPECT_FALSE(canvas.getScreenCapture(*foreign, untouched, false));
    EXPECT_EQ(foreign->getFinalDrawCallback(), nullptr);
    canvas.run();
    EXPECT_FALSE(canvas.getScreenCapture(*foreign, untouched, false));
    EXPECT_EQ(foreign->getFinalDrawCallback(), nullptr);
    EXPECT_EQ(untouched.GetWidth(), 7);
}

TEST(OSGCanvasCapture, HiddenCanvasCapturesNothingAndNeverBlocks) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "hidden");
    auto* canvas = new TestCanvas(frame, wxID_ANY, wxPoint(0, 0), wxSize(64, 64));
    useFixedCamera(canvas->getViewer());
    wxBitmap bitmap;
    EXPECT_FALSE(canvas->getScreenCapture(bitmap));
    canvas->run();
    EXPECT_FALSE(canvas->getScreenCapture(bitmap));
    EXPECT_EQ(canvas->getViewer().getCamera()->getFinalDrawCallback(), nullptr);
    frame->Destroy(); // with the thread running
    pump(20);
}

TEST(OSGCanvasThread, StopWithoutWaitLeavesTheViewerDone) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    canvas.run();
    canvas.run(); // one thread only
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > 2; }));
    canvas.stop(false);
    EXPECT_TRUE(canvas.getViewer().done());
    canvas.run(); // joins the old thread; the new one ends at once
    pump(100);
    const unsigned before = frameNumber(canvas);
    pump(200);
    EXPECT_EQ(frameNumber(canvas), before);

    canvas.stop(true); // joins the thread that ended by itself before the viewer is touched
    canvas.getViewer().setDone(false);
    canvas.run();
    EXPECT_TRUE(pumpUntil([&] { return frameNumber(canvas) > before + 2; }));
    canvas.stop(false);
    // The thread is joined; a done viewer draws nothing, so nothing is captured.
    wxBitmap bitmap;
    EXPECT_FALSE(canvas.getScreenCapture(bitmap));
    EXPECT_EQ(canvas.getViewer().getCamera()->getFinalDrawCallback(), nullptr);
    canvas.getViewer().setDone(false);
    EXPECT_TRUE(canvas.getScreenCapture(bitmap));
    EXPECT_EQ(pixel(bitmap, 0, 0), red);
}

TEST(OSGCanvasThread, CapturesRacingWithTheThreadEndingNeverHang) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    wxBitmap bitmap;
    int captured = 0;
    for (int i = 0; i < 15; ++i) {
        canvas.getViewer().setDone(false);
        canvas.run();
        if (i % 3 == 0) {
            pump(10);
        }
        captured += canvas.getScreenCapture(bitmap) ? 1 : 0;
        canvas.stop(false);                            // the thread may still draw its last frame
        EXPECT_FALSE(canvas.getScreenCapture(bitmap)); // joined first; a done viewer draws nothing
        EXPECT_EQ(canvas.getViewer().getCamera()->getFinalDrawCallback(), nullptr);
    }
    EXPECT_EQ(captured, 15);
    EXPECT_EQ(pixel(bitmap, 199, 0), red);
}

TEST(OSGCanvasThread, DestroyingTheCanvasWhileRenderingIsSafe) {
    for (int i = 0; i < 3; ++i) {
        Shown shown;
        shown.canvas->initViewer(ostring(""), OSGCanvas::TRACKBALL, false);
        shown.canvas->run();
        ASSERT_TRUE(pumpUntil([&] { return frameNumber(*shown.canvas) > 2; }));
        if (i == 1) {
            shown.canvas->stop(false); // ending by itself while the canvas goes
        }
        shown.frame->Destroy();
        shown.frame = nullptr;
        pump(20);
    }
}

TEST(OSGCanvasConverters, RoundTripsAndFormats) {
    wxImage source(33, 17);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 33; ++x) {
            source.SetRGB(x, y, x * 7, y * 13, (x * y) & 0xff);
        }
    }
    wxBitmap original(source, 24);
    osg::ref_ptr<osg::Image> image = new osg::Image();
    ASSERT_TRUE(OSGCanvas::getImage(original, *image));
    EXPECT_EQ(image->s(), 33);
    EXPECT_EQ(image->t(), 17);
    EXPECT_EQ(image->data(0, 16)[1], 0);      // bitmap row 0 is the image's top row
    EXPECT_EQ(image->data(1, 0)[1], 16 * 13); // and row 16 its bottom row
    wxBitmap back;
    ASSERT_TRUE(OSGCanvas::getBitmap(*image, back));
    const wxImage result = back.ConvertToImage();
    ASSERT_EQ(result.GetWidth(), 33);
    EXPECT_EQ(0, memcmp(result.GetData(), source.GetData(), 33 * 17 * 3));

    // Grey pixels, rows padded to four bytes.
    osg::ref_ptr<osg::Image> grey = new osg::Image();
    grey->allocateImage(3, 2, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE, 4);
    memset(grey->data(), 0, grey->getTotalSizeInBytes());
    grey->data(0, 0)[2] = 200; // bottom row, third pixel
    grey->data(0, 1)[0] = 50;  // top row, first pixel
    wxBitmap greyBitmap;
    ASSERT_TRUE(OSGCanvas::getBitmap(*grey, greyBitmap));
    EXPECT_EQ(pixel(greyBitmap, 0, 0), "#323232");
    EXPECT_EQ(pixel(greyBitmap, 2, 1), "#C8C8C8");

    // Four bytes a pixel: the fourth is skipped.
    osg::ref_ptr<osg::Image> rgba = new osg::Image();
    rgba->allocateImage(2, 2, 1, GL_RGBA, GL_UNSIGNED_BYTE, 1);
    const unsigned char quad[] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 0, 10, 11, 12, 0};
    memcpy(rgba->data(), quad, sizeof quad);
    wxBitmap rgbaBitmap;
    ASSERT_TRUE(OSGCanvas::getBitmap(*rgba, rgbaBitmap));
    EXPECT_EQ(pixel(rgbaBitmap, 0, 0), "#070809");
    EXPECT_EQ(pixel(rgbaBitmap, 1, 0), "#0A0B0C");
    EXPECT_EQ(pixel(rgbaBitmap, 1, 1), "#040506");

    osg::ref_ptr<osg::Image> floats = new osg::Image();
    floats->allocateImage(4, 4, 1, GL_RGB, GL_FLOAT, 1);
    wxBitmap kept(5, 6, 24);
    EXPECT_FALSE(OSGCanvas::getBitmap(*floats, kept));
    EXPECT_EQ(kept.GetWidth(), 5);
}

// A program docks and hides the canvas's view while it renders: Reparent destroys the window under
// the canvas and makes a new one, Show(false) unmaps it, at any pace. The render thread lets go of
// a window before it goes and takes up the new one, and the picture comes back.
TEST(OSGCanvasThread, HidingShowingAndMovingWhileRenderingIsSafe) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "docking", wxPoint(20, 20));
    wxPanel* panels[] = {new wxPanel(frame), new wxPanel(frame)};
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(panels[0], 1, wxEXPAND);
    sizer->Add(panels[1], 1, wxEXPAND);
    frame->SetSizer(sizer);
    frame->SetClientSize(400, 150);
    auto* canvas = new TestCanvas(panels[0], wxID_ANY, wxPoint(0, 0), wxSize(200, 150));
    useFixedCamera(canvas->getViewer());
    osg::ref_ptr<DrawingThreadCallback> drawing = new DrawingThreadCallback();
    canvas->getViewer().getCamera()->setFinalDrawCallback(drawing.get());
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, canvas));
    canvas->run();
    ASSERT_TRUE(pumpUntil([&] { return drawing->frames > 2; }));
    const int gaps[] = {10, 200, 30, 10, 120, 50, 10, 80, 20};
    for (int i = 0; i < 50; ++i) {
        const int gap = gaps[i % 9];
        canvas->Show(false);
        pump(gap % 40);
        canvas->Show(true);
        pump(gap);
        canvas->Reparent(panels[(i + 1) % 2]);
        canvas->SetSize(0, 0, 200, 150);
        pump(gap);
        if (i % 10 == 9) { // minimised and back
            frame->Iconize(true);
            pump(gap);
            frame->Iconize(false);
            pump(gap);
        }
    }
    ASSERT_EQ(canvas->GetParent(), panels[0]);
    const int frames = drawing->frames;
    ASSERT_TRUE(pumpUntil([&] { return drawing->frames > frames + 2; }));
    WidgetsTest::snapshot("docking");
    EXPECT_EQ(drawing->drawable.load(), canvas->GetXWindow()); // the window the canvas has now
    canvas->getViewer().getCamera()->setFinalDrawCallback(nullptr);
    wxBitmap bitmap;
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    EXPECT_EQ(bitmap.GetWidth(), 200);
    EXPECT_EQ(pixel(bitmap, 100, 0), red);
    EXPECT_EQ(pixel(bitmap, 100, 149), green);
    frame->Destroy(); // with the thread running
    pump(20);
}

// Between frames the context stays current on the drawing thread: binding it again every frame
// costs the software rasteriser a flush per frame. A new window is bound once.
TEST(OSGCanvasThread, ContextIsBoundOncePerWindowNotEveryFrame) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    canvas.run();
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > 2; }));
    int bindings = contextBindings;
    unsigned frames = frameNumber(canvas);
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > frames + 20; }));
    EXPECT_EQ(contextBindings - bindings, 0);

    wxFrame* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(300, 20));
    other->SetClientSize(200, 150);
    ASSERT_TRUE(WidgetsTest::showAndWait(other, other));
    canvas.Reparent(other);
    ASSERT_TRUE(pumpUntil([&] { return canvas.IsShownOnScreen(); }));
    frames = frameNumber(canvas);
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > frames + 2; }));
    bindings = contextBindings;
    frames = frameNumber(canvas);
    ASSERT_TRUE(pumpUntil([&] { return frameNumber(canvas) > frames + 20; }));
    EXPECT_EQ(contextBindings - bindings, 0);
    canvas.stop(true);
    canvas.Reparent(shown.frame);
    other->Destroy();
    pump(20);
}

// A canvas that cannot draw (hidden) leaves the processor to others: its render thread waits
// instead of turning round its loop, and draws again once it is shown. A context the GUI thread
// kept after a frame of its own is let go when the canvas is hidden, so that the thread can take
// it up.
TEST(OSGCanvasThread, RenderThreadWaitsWhileTheCanvasCannotDraw) {
    Shown shown;
    OSGCanvas& canvas = *shown.canvas;
    osg::ref_ptr<DrawingThreadCallback> drawing = new DrawingThreadCallback();
    canvas.getViewer().getCamera()->setFinalDrawCallback(drawing.get());
    canvas.getViewer().frame();
    ASSERT_EQ(drawing->frames, 1);
    ASSERT_NE(glXGetCurrentContext(), nullptr) << "the frame left no context current here";
    canvas.Show(false);
    EXPECT_EQ(glXGetCurrentContext(), nullptr);
    canvas.Show(true);
    ASSERT_TRUE(pumpUntil([&] { return canvas.IsShownOnScreen(); }));
    drawing->frames = 0;
    canvas.run();
    ASSERT_TRUE(pumpUntil([&] { return drawing->frames > 2; }));
    const pthread_t thread = drawing->thread;
    canvas.Show(false);
    pump(100);
    const int frames = drawing->frames;
    const double before = processorMs(thread);
    const auto start = std::chrono::steady_clock::now();
    pump(600);
    const double spent = processorMs(thread) - before;
    const double span =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(drawing->frames, frames); // nothing drawn while hidden
    EXPECT_GE(before, 0);
    EXPECT_LT(spent, 0.05 * span) << spent << " ms of processor time in " << span << " ms";
    canvas.Show(true);
    EXPECT_TRUE(pumpUntil([&] { return drawing->frames > frames + 2; }));
    canvas.stop(true);
    canvas.getViewer().getCamera()->setFinalDrawCallback(nullptr);
}

// A pane of no area (a splitter's lower pane at its first show, a sizer's 0 x 0) changes nothing;
// the next real size gives the scene its proper perspective.
TEST(OSGCanvasViewer, SizesWithoutAreaLeaveThePerspectiveAlone) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "splitter", wxPoint(20, 20));
    frame->SetClientSize(300, 300);
    auto* splitter = new wxSplitterWindow(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 300), wxSP_LIVE_UPDATE);
    auto* top = new wxPanel(splitter);
    auto* canvas = new TestCanvas(splitter, wxID_ANY);
    osgViewer::Viewer& viewer = canvas->getViewer();
    viewer.setSceneData(squareAhead().get());
    viewer.getCamera()->setClearColor({0.f, 0.f, 1.f, 1.f});
    viewer.getCamera()->setViewMatrix(osg::Matrix::identity());
    const double fovy = perspective(viewer).first;
    splitter->SplitHorizontally(top, canvas, 300); // the lower pane has no height
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, top));
    canvas->run();
    pump(200);
    ASSERT_EQ(canvas->GetClientSize().GetHeight(), 0);
    EXPECT_DOUBLE_EQ(perspective(viewer).first, fovy);

    // The sash dragged up with the mouse, as a user does.
    const wxPoint sash = splitter->ClientToScreen(wxPoint(150, splitter->GetSashPosition() + 2));
    WidgetsTest::pointerTo(sash);
    WidgetsTest::pointerButton(true);
    WidgetsTest::pointerTo(sash - wxPoint(0, 150));
    WidgetsTest::pointerButton(false);
    ASSERT_TRUE(pumpUntil([&] { return canvas->GetClientSize().GetHeight() > 100; }));
    pump(100);
    const wxSize client = canvas->GetClientSize();
    EXPECT_DOUBLE_EQ(perspective(viewer).first, fovy);
    EXPECT_NEAR(perspective(viewer).second, static_cast<double>(client.GetWidth()) / client.GetHeight(),
                1e-9);
    wxBitmap bitmap;
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    auto [width, height] = extentAcrossMiddle(bitmap);
    EXPECT_GT(height, 30);
    EXPECT_NEAR(width, height, 1);
    canvas->stop(true);
    frame->Destroy();
    pump(20);
}

// A canvas made without area (a sizer gives it its size later) has no size to scale the
// perspective from: its first real size fits it afresh.
TEST(OSGCanvasViewer, CanvasMadeWithoutAreaTakesItsFirstRealSize) {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "sizer", wxPoint(20, 20));
    auto* panel = new wxPanel(frame);
    auto* canvas = new TestCanvas(panel, wxID_ANY, wxPoint(0, 0), wxSize(0, 0));
    osgViewer::Viewer& viewer = canvas->getViewer();
    viewer.setSceneData(squareAhead().get());
    viewer.getCamera()->setClearColor({0.f, 0.f, 1.f, 1.f});
    viewer.getCamera()->setViewMatrix(osg::Matrix::identity());
    const double fovy = perspective(viewer).first;
    canvas->run();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(canvas, 1, wxEXPAND);
    panel->SetSizer(sizer);
    frame->SetClientSize(200, 150);
    ASSERT_TRUE(WidgetsTest::showAndWait(frame, canvas));
    ASSERT_TRUE(pumpUntil([&] { return canvas->GetClientSize() == wxSize(200, 150); }));
    pump(50);
    EXPECT_DOUBLE_EQ(perspective(viewer).first, fovy);
    EXPECT_NEAR(perspective(viewer).second, 200.0 / 150.0, 1e-9);
    wxBitmap bitmap;
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    auto [width, height] = extentAcrossMiddle(bitmap);
    EXPECT_GT(height, 50);
    EXPECT_NEAR(width, height, 1);

    frame->SetClientSize(300, 150); // and later sizes scale from there
    ASSERT_TRUE(pumpUntil([&] { return canvas->GetClientSize() == wxSize(300, 150); }));
    pump(50);
    EXPECT_NEAR(perspective(viewer).second, 2.0, 1e-9);
    ASSERT_TRUE(canvas->getScreenCapture(bitmap));
    std::tie(width, height) = extentAcrossMiddle(bitmap);
    EXPECT_GT(height, 50);
    EXPECT_NEAR(width, height, 1);
    canvas->stop(true);
    frame->Destroy();
    pump(20);
}
