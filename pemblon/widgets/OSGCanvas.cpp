#include "pemblon/widgets/OSGCanvas.h"

#include <cctype>
#include <chrono>
#include <cstring>

#include <GL/glx.h>
#include <gtk/gtk.h>
#include <osgDB/ReadFile>
#include <osgDB/Registry>
#include <osgGA/DriveManipulator>
#include <osgGA/FlightManipulator>
#include <osgGA/KeySwitchMatrixManipulator>
#include <osgGA/TerrainManipulator>
#include <osgGA/TrackballManipulator>
#include <osgGA/UFOManipulator>
#include <osgUtil/Optimizer>
#include <wx/image.h>
#include <wx/rawbmp.h>
#include <wx/utils.h>

#include "pemblon/core/FileSystemPath.h"
#include "pemblon/widgets/OSGCanvasRenderThread.h"

namespace PBN {
namespace Widgets {

// The GTK signals that tell when the canvas's window comes and goes. GTK destroys a window while
// it unrealises its widget (Reparent does, on its way to the new parent) and draws nothing into a
// widget while it is unmapped.
struct OSGCanvasSignals {
    static void up(GtkWidget*, gpointer canvas) { static_cast<OSGCanvas*>(canvas)->updateDrawable(); }
    static void down(GtkWidget*, gpointer data) {
        auto* canvas = static_cast<OSGCanvas*>(data);
        canvas->offerWindow(0);
        if (canvas->_glxContext != nullptr && glXGetCurrentContext() == canvas->_glxContext &&
            canvas->_graphicsWindow.valid()) {
            canvas->_graphicsWindow->releaseCurrentContext(); // a frame drawn here, on the GUI thread
        }
    }
};

const wchar_t OSGCanvas::DFT_NAME[] = L"OSGCanvas";
int* OSGCanvas::_attrList = nullptr;

// clang-format off
wxBEGIN_EVENT_TABLE(OSGCanvas, wxGLCanvas)
    EVT_SIZE(OSGCanvas::OnSize)
    EVT_ERASE_BACKGROUND(OSGCanvas::OnEraseBackground)
    EVT_CHAR(OSGCanvas::OnChar)
    EVT_KEY_UP(OSGCanvas::OnKeyUp)
    EVT_ENTER_WINDOW(OSGCanvas::OnMouseEnter)
    EVT_LEFT_DOWN(OSGCanvas::OnMouseDown)
    EVT_MIDDLE_DOWN(OSGCanvas::OnMouseDown)
    EVT_RIGHT_DOWN(OSGCanvas::OnMouseDown)
    EVT_LEFT_UP(OSGCanvas::OnMouseUp)
    EVT_MIDDLE_UP(OSGCanvas::OnMouseUp)
    EVT_RIGHT_UP(OSGCanvas::OnMouseUp)
    EVT_MOTION(OSGCanvas::OnMouseMotion)
wxEND_EVENT_TABLE()
    // clang-format on

    OSGCanvas::OSGCanvas(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                         const long& style, const wxString& name)
    : wxGLCanvas(parent, id, defaultAttrList(), pos, size, style | wxFULL_REPAINT_ON_RESIZE, name,
                 wxNullPalette) {
    construct();
}

OSGCanvas::OSGCanvas(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                     const long& style, const wxString& name, int* attrList)
    : wxGLCanvas(parent, id, attrList, pos, size, style | wxFULL_REPAINT_ON_RESIZE, name, wxNullPalette) {
    construct();
}

OSGCanvas::OSGCanvas(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size,
                     const long& style, const wxString& name, const std::vector<std::pair<int, int>>& attrs)
    : wxGLCanvas(parent, id, makeAttrList(attrs), pos, size, style | wxFULL_REPAINT_ON_RESIZE, name,
                 wxNullPalette) {
    construct();
}

void OSGCanvas::construct() {
    _viewer = nullptr;
    _renderThread = nullptr;
    _condition = new wxCondition(_mutex);
    _windowCondition = new wxCondition(_mutex);
    _lastKey = -1;
    _window = 0;
    _threadWindow = 0;
    _threadAccepting = false;
    _captureBusy = false;
    _captureFinished = false;
    _captureAbandoned = false;
    deleteAttrList();
    _context = new wxGLContext(this);
    _glDisplay = nullptr;
    _glxContext = nullptr;
    _ownDisplay = false;
    _ownContextTried = false;
    Bind(wxEVT_IDLE, &OSGCanvas::onIdle, this);
    if (m_wxwindow != nullptr) {
        // Before GTK's own handlers, which destroy or unmap the window; after them, which make it.
        g_signal_connect(m_wxwindow, "unrealize", G_CALLBACK(OSGCanvasSignals::down), this);
        g_signal_connect(m_wxwindow, "unmap", G_CALLBACK(OSGCanvasSignals::down), this);
        g_signal_connect_after(m_wxwindow, "realize", G_CALLBACK(OSGCanvasSignals::up), this);
        g_signal_connect_after(m_wxwindow, "map", G_CALLBACK(OSGCanvasSignals::up), this);
    }
    init();
}

OSGCanvas::~OSGCanvas() {
    deleteAttrList();
    // The thread is always joined before the viewer it draws goes away.
    if (_renderThread != nullptr) {
        _renderThread->Delete(nullptr, wxTHREAD_WAIT_YIELD);
        _renderThread->Wait(); // joins a thread that had already ended by itself
        delete _renderThread;
        _renderThread = nullptr;
    }
    if (m_wxwindow != nullptr) {
        g_signal_handlers_disconnect_by_data(m_wxwindow, this);
    }
    delete _viewer;
    _viewer = nullptr;
    _pendingCapture = nullptr;
    _capturedImage = nullptr;
    delete _condition;
    delete _windowCondition;
    if (_graphicsWindow.valid()) {
        _graphicsWindow->_canvas = nullptr;
    }
    _graphicsWindow = nullptr;
    if (_glxContext != nullptr && glXGetCurrentContext() == _glxContext) {
        glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
    }
    if (_ownDisplay) {
        auto* display = static_cast<Display*>(_glDisplay);
        glXDestroyContext(display, static_cast<GLXContext>(_glxContext));
        XCloseDisplay(display);
    }
    delete _context;
}

int* OSGCanvas::defaultAttrList() {
    deleteAttrList();
    _attrList = new int[7]{WX_GL_DOUBLEBUFFER, WX_GL_RGBA, WX_GL_DEPTH_SIZE, 8, WX_GL_STENCIL_SIZE, 8, 0};
    return _attrList;
}

int* OSGCanvas::makeAttrList(const std::vector<std::pair<int, int>>& attrs) {
    deleteAttrList();
    if (attrs.empty()) {
        return nullptr;
    }
    _attrList = new int[2 * attrs.size() + 1];
    size_t i = 0;
    for (const auto& [key, value] : attrs) {
        _attrList[i++] = key;
        _attrList[i++] = value;
    }
    _attrList[i] = 0;
    return _attrList;
}

void OSGCanvas::deleteAttrList() {
    delete[] _attrList;
    _attrList = nullptr;
}

void OSGCanvas::init() {
    _graphicsWindow = new GraphicsWindowWX(*this);
    _viewer = new osgViewer::Viewer();
    osg::Camera& camera = *_viewer->getCamera();
    camera.setGraphicsContext(_graphicsWindow.get());
    const wxSize client = GetClientSize();
    camera.setViewport(0, 0, client.GetWidth(), client.GetHeight());
    // The viewer's default projection has the aspect of osg's default screen, not the canvas's:
    // the picture came out stretched and the rasteriser filled more pixels than in a window
    // osgViewer sets up itself. Later resizes keep the aspect, scaled from this size.
    if (client.GetWidth() > 0 && client.GetHeight() > 0) {
        fitPerspective(client.GetWidth(), client.GetHeight());
    }
    // The window's depth buffer carries stencil bits (the default attribute list asks for them):
    // clearing depth alone makes the software rasteriser keep the stencil bits of every pixel
    // with a read and a masked write, where clearing both is a plain fill.
    camera.setClearMask(camera.getClearMask() | GL_STENCIL_BUFFER_BIT);
    _viewer->setThreadingModel(osgViewer::Viewer::SingleThreaded);
}

void OSGCanvas::fitPerspective(int width, int height) {
    osg::Camera& camera = *_viewer->getCamera();
    double fovy = 0, aspect = 0, zNear = 0, zFar = 0;
    if (camera.getProjectionMatrixAsPerspective(fovy, aspect, zNear, zFar)) {
        camera.setProjectionMatrixAsPerspective(fovy, static_cast<double>(width) / height, zNear, zFar);
    }
    if (osg::GraphicsContext::Traits* traits = _graphicsWindow->_traits.get()) {
        if (traits->width <= 0 || traits->height <= 0) {
            camera.setViewport(0, 0, width, height);
            traits->width = width;
            traits->height = height;
        }
    }
}

osgViewer::Viewer& OSGCanvas::initViewer(const Strings::ostring& path, const Manip& manip,
                                         const bool& optimize) {
    if (path != Strings::ostring("")) {
        osg::ref_ptr<osg::Node> node =
            osgDB::readNodeFile(FileSystemPath::toNative(path), osgDB::Registry::instance()->getOptions());
        if (node.valid()) {
            if (optimize) {
                osgUtil::Optimizer optimizer;
                optimizer.optimize(node.get());
            }
            _viewer->setSceneData(node.get());
        }
    }
    osg::ref_ptr<osgGA::CameraManipulator> manipulator;
    switch (manip) {
    case TRACKBALL:
        manipulator = new osgGA::TrackballManipulator(5);
        break;
    case FLIGHT:
        manipulator = new osgGA::FlightManipulator(3);
        break;
    case DRIVE:
        manipulator = new osgGA::DriveManipulator();
        break;
    case TERRAIN:
        manipulator = new osgGA::TerrainManipulator(5);
        break;
    case UFO:
        manipulator = new osgGA::UFOManipulator();
        break;
    case KEY_SWITCH: {
        osg::ref_ptr<osgGA::KeySwitchMatrixManipulator> keySwitch = new osgGA::KeySwitchMatrixManipulator();
        keySwitch->addMatrixManipulator('1', "Trackball", new osgGA::TrackballManipulator(5));
        keySwitch->addMatrixManipulator('2', "Flight", new osgGA::FlightManipulator(3));
        keySwitch->addMatrixManipulator('3', "Drive", new osgGA::DriveManipulator());
        keySwitch->addMatrixManipulator('4', "Terrain", new osgGA::TerrainManipulator(5));
        keySwitch->addMatrixManipulator('5', "UFO", new osgGA::UFOManipulator());
        manipulator = keySwitch;
        break;
    }
    default:
        break;
    }
    if (manipulator.valid()) {
        _viewer->setCameraManipulator(manipulator.get(), true);
    }
    return *_viewer;
}

osg::ref_ptr<osgViewer::GraphicsWindow> OSGCanvas::getGraphicsWindow() const {
    return osg::ref_ptr<osgViewer::GraphicsWindow>(_graphicsWindow.get());
}

int OSGCanvas::getKeyCode(wxKeyEvent& event, const KeyEventType& type) {
    const int code = static_cast<int>(static_cast<uint16_t>(event.GetUnicodeKey()));
    switch (type) {
    case KEY_PRESS:
        _lastKey = code;
        return code;
    case KEY_RELEASE: {
        const int32_t last = _lastKey;
        _lastKey = -1;
        if (last != -1 && (last == code || std::toupper(last) == code)) {
            return last;
        }
        return code;
    }
    default:
        return -1;
    }
}

void OSGCanvas::OnSize(wxSizeEvent&) {
    updateDrawable();
    if (!_graphicsWindow.valid()) {
        return;
    }
    const wxSize client = GetClientSize();
    const int w = client.GetWidth();
    const int h = client.GetHeight();
    // A size without area (a splitter's pane pushed shut, a sizer without room) has no aspect: the
    // projection would be scaled by an infinite or undefined ratio, and every later size scaled
    // from there, and the manipulators would divide by the window's size. It changes nothing.
    if (w <= 0 || h <= 0) {
        return;
    }
    const osg::GraphicsContext::Traits* traits = _graphicsWindow->getTraits();
    if (traits != nullptr && (traits->width <= 0 || traits->height <= 0)) {
        fitPerspective(w, h); // nothing to scale from: fitted as when the viewer was made
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->windowResize(0, 0, w, h, queue->getTime());
    _graphicsWindow->resized(0, 0, w, h);
}

void OSGCanvas::OnEraseBackground(wxEraseEvent&) {}

void OSGCanvas::OnChar(wxKeyEvent& event) {
    const int key = getKeyCode(event, KEY_PRESS);
    if (!_graphicsWindow.valid()) {
        return;
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->keyPress(key, queue->getTime(), 0);
}

void OSGCanvas::OnKeyUp(wxKeyEvent& event) {
    const int key = getKeyCode(event, KEY_RELEASE);
    if (!_graphicsWindow.valid()) {
        return;
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->keyRelease(key, queue->getTime(), 0);
}

void OSGCanvas::OnMouseEnter(wxMouseEvent&) {
    SetFocus();
}

void OSGCanvas::OnMouseDown(wxMouseEvent& event) {
    if (!_graphicsWindow.valid()) {
        return;
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->mouseButtonPress(static_cast<float>(event.GetX()), static_cast<float>(event.GetY()),
                            event.GetButton(), queue->getTime());
}

void OSGCanvas::OnMouseUp(wxMouseEvent& event) {
    if (!_graphicsWindow.valid()) {
        return;
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->mouseButtonRelease(static_cast<float>(event.GetX()), static_cast<float>(event.GetY()),
                              event.GetButton(), queue->getTime());
}

void OSGCanvas::OnMouseMotion(wxMouseEvent& event) {
    if (!_graphicsWindow.valid()) {
        return;
    }
    osgGA::EventQueue* queue = _graphicsWindow->getEventQueue();
    queue->mouseMotion(static_cast<float>(event.GetX()), static_cast<float>(event.GetY()), queue->getTime());
}

unsigned long OSGCanvas::drawingWindow() {
    if (!wxThread::IsMain()) {
        return _threadWindow; // written by this thread only
    }
    // wx asserts (and GL would draw without a context) on a window that is not realised.
    return m_wxwindow != nullptr && IsShownOnScreen() && gtk_widget_get_mapped(m_wxwindow) ? GetXWindow() : 0;
}

bool OSGCanvas::makeContextCurrent() {
    const unsigned long window = drawingWindow();
    if (window == 0) {
        return false;
    }
    // Already current here (every frame of the render thread): making it current again costs
    // the software rasteriser a flush per frame.
    if (_glxContext != nullptr && glXGetCurrentContext() == _glxContext &&
        glXGetCurrentDrawable() == window) {
        return true;
    }
    if (wxThread::IsMain()) {
        prepareContext(window);
    }
    if (_glxContext == nullptr) {
        return false;
    }
    return glXMakeCurrent(static_cast<Display*>(_glDisplay), window, static_cast<GLXContext>(_glxContext));
}

void OSGCanvas::prepareContext(unsigned long window) {
    if (_ownContextTried) {
        return;
    }
    _ownContextTried = true;
    XSync(wxGetX11Display(), False); // the window is known to the server before another connection names it
    if (makeOwnContext(window)) {
        return;
    }
    // The context behind wx's, learnt by making it current here; what was current is put back.
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable draw = glXGetCurrentDrawable();
    const GLXDrawable read = glXGetCurrentReadDrawable();
    const GLXContext previous = glXGetCurrentContext();
    if (_context->SetCurrent(*this)) {
        _glxContext = glXGetCurrentContext();
        _glDisplay = wxGetX11Display();
        if (previous != nullptr) {
            glXMakeContextCurrent(display, draw, read, previous);
        } else {
            glXMakeCurrent(static_cast<Display*>(_glDisplay), None, nullptr);
        }
    }
}

bool OSGCanvas::makeOwnContext(unsigned long window) {
    Display* gui = wxGetX11Display();
    Display* display = gui != nullptr ? XOpenDisplay(DisplayString(gui)) : nullptr;
    if (display == nullptr) {
        return false;
    }
    // A context for the visual wx gave the window, so that it draws into the window as wx's would.
    XWindowAttributes attributes;
    GLXFBConfig chosen = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        const VisualID visual = XVisualIDFromVisual(attributes.visual);
        int count = 0;
        GLXFBConfig* configs = glXGetFBConfigs(display, XScreenNumberOfScreen(attributes.screen), &count);
        for (int i = 0; i < count && chosen == nullptr; ++i) {
            int id = 0;
            int doubleBuffer = 0;
            int types = 0;
            glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id);
            glXGetFBConfigAttrib(display, configs[i], GLX_DOUBLEBUFFER, &doubleBuffer);
            glXGetFBConfigAttrib(display, configs[i], GLX_RENDER_TYPE, &types);
            if (static_cast<VisualID>(id) == visual && doubleBuffer != 0 && (types & GLX_RGBA_BIT) != 0) {
                chosen = configs[i];
            }
        }
        if (configs != nullptr) {
            XFree(configs);
        }
    }
    GLXContext context =
        chosen != nullptr ? glXCreateNewContext(display, chosen, GLX_RGBA_TYPE, nullptr, True) : nullptr;
    if (context == nullptr) {
        XCloseDisplay(display);
        return false;
    }
    _glDisplay = display;
    _glxContext = context;
    _ownDisplay = true;
    return true;
}

bool OSGCanvas::SwapBuffers() {
    // The drawable the context is current on: the render thread never asks GTK for the window.
    if (_glxContext != nullptr && glXGetCurrentContext() == _glxContext) {
        const GLXDrawable drawable = glXGetCurrentDrawable();
        if (drawable == None) {
            return false;
        }
        glXSwapBuffers(glXGetCurrentDisplay(), drawable);
        return true;
    }
    return wxThread::IsMain() && wxGLCanvas::SwapBuffers();
}

void OSGCanvas::offerWindow(unsigned long window) {
    {
        wxMutexLocker lock(_mutex);
        if (_window == window) { // written on this thread only
            return;
        }
    }
    if (window != 0) {
        // A window GTK has just made may still wait in the GUI's connection: the canvas's own
        // connection must not name it before the server has made it.
        XSync(wxGetX11Display(), False);
        prepareContext(window);
    }
    wxMutexLocker lock(_mutex);
    _window = window;
    _windowCondition->Broadcast();
    // The thread lets go after the frame it draws; a thread that ends lets go as it leaves.
    while (_threadWindow != 0 && _threadWindow != window) {
        _windowCondition->Wait();
    }
}

void OSGCanvas::updateDrawable() {
    const bool shown = m_wxwindow != nullptr && IsShownOnScreen() && gtk_widget_get_mapped(m_wxwindow);
    offerWindow(shown ? GetXWindow() : 0);
}

void OSGCanvas::onIdle(wxIdleEvent& event) {
    updateDrawable();
    event.Skip();
}

bool OSGCanvas::takeWindow() {
    if (_threadWindow != _window) {
        if (_threadWindow != 0) {
            letGoOfWindow();
        }
        _threadWindow = _window;
    }
    return _threadWindow != 0;
}

void OSGCanvas::letGoOfWindow() {
    if (_graphicsWindow.valid()) {
        _graphicsWindow->releaseCurrentContext();
    }
    _threadWindow = 0;
    _windowCondition->Broadcast();
}

bool OSGCanvas::drawFrame() {
    if (drawingWindow() == 0) {
        return false;
    }
    _viewer->frame();
    return true;
}

// ---- render thread and captures ----

void OSGCanvas::joinEndedThread() {
    if (_renderThread == nullptr) {
        return;
    }
    {
        wxMutexLocker lock(_mutex);
        if (_threadAccepting) {
            return;
        }
    }
    _renderThread->Wait();
    delete _renderThread;
    _renderThread = nullptr;
}

void OSGCanvas::run() {
    joinEndedThread();
    if (_renderThread != nullptr) {
        return; // one thread per canvas and GL context
    }
    updateDrawable();
    _renderThread = new OSGCanvasRenderThread(*this);
    {
        wxMutexLocker lock(_mutex);
        _threadAccepting = true;
    }
    if (_renderThread->Run() != wxTHREAD_NO_ERROR) {
        {
            wxMutexLocker lock(_mutex);
            _threadAccepting = false;
        }
        delete _renderThread;
        _renderThread = nullptr;
    }
}

void OSGCanvas::stop(const bool& wait) {
    if (_renderThread == nullptr) {
        return;
    }
    if (wait) {
        _renderThread->Delete(nullptr, wxTHREAD_WAIT_YIELD);
        _renderThread->Wait();
        delete _renderThread;
        _renderThread = nullptr;
        return;
    }
    _renderThread->scheduleStop();
    // From now on the thread counts as gone; run() and captures join it first.
    wxMutexLocker lock(_mutex);
    _threadAccepting = false;
}

void OSGCanvas::renderThreadEnding() {
    _threadAccepting = false;
    if (_captureBusy && !_captureFinished) {
        // Posted but never taken: the caller gets false, not a wait for ever.
        _captureFinished = true;
        _capturedImage = nullptr;
        if (_captureAbandoned) {
            _captureBusy = false;
            _captureAbandoned = false;
        }
    }
    _condition->Broadcast();
}

void OSGCanvas::addCaptureCallbackToViewer(osg::Camera& camera, wxBitmap& bitmap) {
    osg::ref_ptr<ScreenCaptureCallback> callback =
        new ScreenCaptureCallback(bitmap, camera, camera.getFinalDrawCallback());
    {
        wxMutexLocker lock(_mutex);
        _pendingCapture = callback;
    }
    camera.setFinalDrawCallback(callback.get());
}

void OSGCanvas::captureDone() {
    wxMutexLocker lock(_mutex);
    osg::ref_ptr<osg::Image> image;
    if (_pendingCapture.valid()) {
        // A camera that was not drawn, or a zero-size context: the callback is still in place
        // and must not outlive the capture.
        _pendingCapture->restore();
        image = _pendingCapture->takeImage();
        _pendingCapture = nullptr;
    }
    if (_captureAbandoned) {
        _captureAbandoned = false;
        _captureBusy = false;
    } else {
        _capturedImage = image;
        _captureFinished = true;
    }
    _condition->Broadcast();
}

bool OSGCanvas::isActiveCamera(const osg::Camera& camera) {
    osgViewer::ViewerBase::Cameras cameras;
    _viewer->getCameras(cameras, true);
    for (osg::Camera* active : cameras) {
        if (active == &camera) {
            return true;
        }
    }
    return false;
}

osg::ref_ptr<osg::Image> OSGCanvas::captureHere(osg::Camera& camera, wxBitmap& bitmap) {
    addCaptureCallbackToViewer(camera, bitmap);
    if (drawFrame()) {
        _graphicsWindow->releaseCurrentContext();
    }
    osg::ref_ptr<osg::Image> image;
    wxMutexLocker lock(_mutex);
    if (_pendingCapture.valid()) {
        _pendingCapture->restore();
        image = _pendingCapture->takeImage();
        _pendingCapture = nullptr;
    }
    return image;
}

bool OSGCanvas::getScreenCapture(osg::Camera& camera, wxBitmap& bitmap, const bool& checkCamera) {
    if (checkCamera && !isActiveCamera(camera)) {
        return false;
    }
    if (wxThread::IsMain()) {
        updateDrawable();
        joinEndedThread();
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(CAPTURE_TIMEOUT_MS);
    auto remaining = [&deadline]() {
        return static_cast<unsigned long>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
    };
    osg::ref_ptr<osg::Image> image;
    bool here = false;
    {
        wxMutexLocker lock(_mutex);
        while (_captureBusy) { // one capture at a time
            if (_condition->WaitTimeout(remaining()) == wxCOND_TIMEOUT && _captureBusy) {
                return false;
            }
        }
        _captureBusy = true;
        if (_threadAccepting) {
            _captureFinished = false;
            _capturedImage = nullptr;
            _renderThread->captureNextFrame(camera, bitmap);
            while (!_captureFinished) {
                if (_condition->WaitTimeout(remaining()) == wxCOND_TIMEOUT && !_captureFinished) {
                    if (_renderThread != nullptr && _renderThread->withdrawCapture()) {
                        _captureBusy = false;
                    } else {
                        _captureAbandoned = true; // the thread finishes it and frees the slot
                    }
                    _condition->Broadcast();
                    return false;
                }
            }
            image = _capturedImage;
            _capturedImage = nullptr;
            _captureBusy = false;
            _condition->Broadcast();
        } else {
            here = true;
        }
    }
    if (here) {
        image = captureHere(camera, bitmap);
        wxMutexLocker lock(_mutex);
        _captureBusy = false;
        _condition->Broadcast();
    }
    return image.valid() && getBitmap(*image, bitmap);
}

bool OSGCanvas::getScreenCapture(wxBitmap& bitmap) {
    // The viewer keeps no camera with focus any more: the first active camera (the master
    // camera once it has a context) is the one drawn into the canvas.
    osgViewer::ViewerBase::Cameras cameras;
    _viewer->getCameras(cameras, true);
    if (cameras.empty()) {
        return false;
    }
    return getScreenCapture(*cameras.front(), bitmap, false);
}

bool OSGCanvas::getBitmap(const osg::Image& image, wxBitmap& bitmap) {
    const int s = image.s();
    const int t = image.t();
    const unsigned int nc = osg::Image::computeNumComponents(image.getPixelFormat());
    if (image.getDataType() != GL_UNSIGNED_BYTE || image.data() == nullptr || s <= 0 || t <= 0 || nc == 0) {
        return false;
    }
    if (!bitmap.Create(s, t, 24)) {
        return false;
    }
    wxNativePixelData data(bitmap, wxPoint(0, 0), wxSize(s, t));
    if (!data) {
        return false;
    }
    // GTK's bitmaps hold packed RGB rows: an RGB image row is copied whole, other layouts pixel
    // by pixel straight into the row, without the iterator's per-pixel steps.
    using Native = wxNativePixelFormat;
    constexpr bool packedRgb =
        Native::RED == 0 && Native::GREEN == 1 && Native::BLUE == 2 && Native::SizePixel == 3;
    const std::size_t rowBytes = static_cast<std::size_t>(s) * 3;
    wxNativePixelData::Iterator rowStart(data);
    for (int y = 0; y < t; ++y) {
        const unsigned char* src = image.data(0, t - 1 - y);
        if constexpr (packedRgb) {
            unsigned char* dst = &rowStart.Red();
            if (nc == 3) {
                std::memcpy(dst, src, rowBytes);
            } else if (nc > 3) {
                for (unsigned char* end = dst + rowBytes; dst != end; dst += 3, src += nc) {
                    dst[0] = src[0];
                    dst[1] = src[1];
                    dst[2] = src[2];
                }
            } else {
                for (unsigned char* end = dst + rowBytes; dst != end; dst += 3, src += nc) {
                    dst[0] = dst[1] = dst[2] = src[0];
                }
            }
        } else {
            wxNativePixelData::Iterator pixel = rowStart;
            for (int x = 0; x < s; ++x, ++pixel, src += nc) {
                pixel.Red() = src[0];
                pixel.Green() = src[nc >= 3 ? 1 : 0];
                pixel.Blue() = src[nc >= 3 ? 2 : 0];
            }
        }
        rowStart.OffsetY(data, 1);
    }
    return true;
}

bool OSGCanvas::getImage(const wxBitmap& bitmap, osg::Image& image) {
    if (!bitmap.IsOk()) {
        return false;
    }
    const int s = bitmap.GetWidth();
    const int t = bitmap.GetHeight();
    image.allocateImage(s, t, 1, GL_RGB, GL_UNSIGNED_BYTE, 1);
    const unsigned int nc = osg::Image::computeNumComponents(image.getPixelFormat());
    const wxImage converted = bitmap.ConvertToImage();
    const unsigned char* rgb = converted.GetData();
    for (int y = 0; y < t; ++y) {
        unsigned char* dst = image.data(0, t - 1 - y);
        const unsigned char* src = rgb + static_cast<size_t>(y) * s * 3;
        for (int x = 0; x < s; ++x, dst += nc, src += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    return true;
}

} // namespace Widgets
} // namespace PBN
