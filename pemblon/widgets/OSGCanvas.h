#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <osg/Camera>
#include <osg/Image>
#include <osg/ref_ptr>
#include <osgViewer/Viewer>
#include <wx/bitmap.h>
#include <wx/glcanvas.h>
#include <wx/thread.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/widgets/GraphicsWindowWX.h"

namespace PBN {
namespace Widgets {

class OSGCanvasRenderThread;

// An OpenGL window that hosts one OpenSceneGraph viewer. Size, key and mouse events become
// events of the graphics window's event queue; frames are drawn by a render thread (run, stop),
// which also serves screen captures. The canvas may be hidden, shown, minimised, moved to another
// parent or closed while the thread renders: the thread draws only into the window the GUI thread
// offers it, and lets go of it before GTK unmaps or destroys it.
//
// Keys without a character (arrows, function keys) reach the event queue as 0: no table
// translates them.
//
// The destructor joins the render thread. A derived class calls stop(true) in its own
// destructor, before its part of the object goes while the thread still calls into it.
class PBN_API OSGCanvas : public wxGLCanvas {
public:
    enum Manip { TRACKBALL = 1, FLIGHT = 2, DRIVE = 3, TERRAIN = 4, UFO = 5, KEY_SWITCH = 6 };
    enum KeyEventType { KEY_PRESS = 0, KEY_RELEASE = 1 };

    // Reads the back buffer of one frame of the camera it is installed on, then puts the
    // camera's previous final-draw callback back. It runs on the drawing thread and only copies
    // pixels; the canvas turns them into the caller's bitmap on the caller's thread.
    class PBN_API ScreenCaptureCallback : public osg::Camera::DrawCallback {
    public:
        ScreenCaptureCallback(wxBitmap& bitmap, osg::Camera& camera, osg::Camera::DrawCallback* previous);
        void operator()(osg::RenderInfo& renderInfo) const override;

        // The pixels read, null when the callback did not read any.
        osg::ref_ptr<osg::Image> takeImage() const;
        // Puts the previous callback back if this one is still installed.
        void restore() const;
        wxBitmap* bitmap() const { return _bitmap; }

    protected:
        ~ScreenCaptureCallback() override;

    private:
        ScreenCaptureCallback();
        ScreenCaptureCallback(const ScreenCaptureCallback&);
        ScreenCaptureCallback& operator=(const ScreenCaptureCallback&);

        wxBitmap* _bitmap;
        osg::Camera* _camera;
        osg::ref_ptr<osg::Camera::DrawCallback> _previous;
        mutable osg::ref_ptr<osg::Image> _image;
    };

    static const wchar_t DFT_NAME[];
    // How long a capture waits for the render thread before it gives up.
    static constexpr int CAPTURE_TIMEOUT_MS = 10000;

    OSGCanvas(wxWindow* parent, const int& id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, const long& style = 0, const wxString& name = DFT_NAME);
    // The caller's zero-terminated attribute list, used and not freed.
    OSGCanvas(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size, const long& style,
              const wxString& name, int* attrList);
    // Attribute pairs; an empty vector means the wx default attributes.
    OSGCanvas(wxWindow* parent, const int& id, const wxPoint& pos, const wxSize& size, const long& style,
              const wxString& name, const std::vector<std::pair<int, int>>& attrs);
    ~OSGCanvas() override;

    // Loads the scene (an empty path or an unreadable file keeps the scene), optionally
    // optimises it, and installs the manipulator (other values keep the current one).
    osgViewer::Viewer& initViewer(const Strings::ostring& path, const Manip& manip, const bool& optimize);
    osgViewer::Viewer& getViewer() { return *_viewer; }
    const osgViewer::Viewer& getViewer() const { return *_viewer; }
    osg::ref_ptr<osgViewer::GraphicsWindow> getGraphicsWindow() const;

    // Starts the render thread; nothing when one runs already. A thread that stop(false) has
    // asked to end is joined first.
    void run();
    // wait false: asks the thread to end after its frame (the viewer is marked done).
    // wait true: ends the thread and waits for it; the done flag is left alone.
    void stop(const bool& wait);

    // True when pixels of one frame of the camera were read into the bitmap, of the size of
    // the graphics context, right way up. Without a render thread the frame is drawn here.
    // Never blocks longer than CAPTURE_TIMEOUT_MS; false on time-out, for a camera the viewer
    // does not draw (checkCamera), and when nothing could be drawn or read.
    bool getScreenCapture(osg::Camera& camera, wxBitmap& bitmap, const bool& checkCamera);
    // The first active camera: the viewer's own camera drawn into this canvas.
    bool getScreenCapture(wxBitmap& bitmap);

    // Shows the back buffer drawn through the canvas's context.
    bool SwapBuffers() override;

    // Image rows run bottom-up, bitmap rows top-down: both converters flip. getBitmap takes
    // 8-bit data only (grey images give grey pixels) and leaves the bitmap alone otherwise.
    static bool getBitmap(const osg::Image& image, wxBitmap& bitmap);
    static bool getImage(const wxBitmap& bitmap, osg::Image& image);

protected:
    void init();
    static int* defaultAttrList();
    static int* makeAttrList(const std::vector<std::pair<int, int>>& attrs);
    static void deleteAttrList();

    int getKeyCode(wxKeyEvent& event, const KeyEventType& type);

    void OnSize(wxSizeEvent& event);
    void OnEraseBackground(wxEraseEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnMouseEnter(wxMouseEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnMouseUp(wxMouseEvent& event);
    void OnMouseMotion(wxMouseEvent& event);

    // Installs a capture callback on the camera (drawing thread).
    void addCaptureCallbackToViewer(osg::Camera& camera, wxBitmap& bitmap);
    // Ends the capture of the frame just drawn and wakes the caller (drawing thread).
    void captureDone();

    static int* _attrList;

private:
    friend class GraphicsWindowWX;
    friend class OSGCanvasRenderThread;
    friend struct OSGCanvasSignals;

    void construct();
    bool makeContextCurrent();
    // The context frames are drawn with, made once on the GUI thread for the canvas's window: an
    // own X connection and a context on it, or wx's context.
    void prepareContext(unsigned long window);
    // The own X connection and a context on it for the window's visual; false when there is none.
    bool makeOwnContext(unsigned long window);
    // Offers the render thread the window it may draw into (0: none). A window taken away may be
    // destroyed once this returns: the thread has let go of it by then.
    void offerWindow(unsigned long window);
    // Offers the window while the canvas is realised and shown, none otherwise (GUI thread).
    void updateDrawable();
    void onIdle(wxIdleEvent& event);
    // The window the calling thread draws into: on the GUI thread the canvas's own while it is
    // shown, on the render thread the one it has taken; 0 when nothing may be drawn.
    unsigned long drawingWindow();
    // Render thread, with the canvas mutex held: lets go of a window no longer offered and takes
    // the one offered; false when there is none.
    bool takeWindow();
    // Render thread, with the canvas mutex held: releases the context and the window.
    void letGoOfWindow();
    // Fits the master camera's perspective and the graphics window's size to a size with area,
    // without scaling from an earlier one.
    void fitPerspective(int width, int height);
    // A frame on the calling thread; false when nothing could be drawn.
    bool drawFrame();
    // Joins a thread that has been asked to end (or ended by itself).
    void joinEndedThread();
    // The render thread is leaving: no more captures are posted to it, a pending one fails.
    void renderThreadEnding();
    bool isActiveCamera(const osg::Camera& camera);
    osg::ref_ptr<osg::Image> captureHere(osg::Camera& camera, wxBitmap& bitmap);

    osg::ref_ptr<GraphicsWindowWX> _graphicsWindow;
    osgViewer::Viewer* _viewer;
    OSGCanvasRenderThread* _renderThread; // joinable, owned
    osg::ref_ptr<ScreenCaptureCallback> _pendingCapture;
    wxMutex _mutex;
    wxCondition* _condition;
    int32_t _lastKey;

    // Frames are drawn through a GLX context on an X connection of the canvas's own: on the GUI's
    // connection every round trip of the drawing thread (Mesa asks the window's size each frame)
    // wakes the GUI thread, which reads the reply and hands it over. wx's context, over the GUI's
    // connection, stands in when no such connection or context can be had.
    wxGLContext* _context;
    void* _glDisplay;      // the connection the context draws over (Display*), null before it is made
    void* _glxContext;     // the context made current: the own one, or the one behind _context
    bool _ownDisplay;      // _glDisplay is the canvas's own connection, closed with it
    bool _ownContextTried; // the context was prepared (GUI thread)
    // The render thread never asks wx or GTK for the window: the GUI thread offers it while the
    // canvas is realised and shown, and takes it back (waiting for the thread to let go of it)
    // before GTK destroys it or hides it. Guarded by _mutex, signalled through _windowCondition.
    unsigned long _window;       // the window offered, 0 for none
    unsigned long _threadWindow; // the window the render thread has taken, 0 for none
    wxCondition* _windowCondition;
    // Guarded by _mutex.
    bool _threadAccepting;  // the thread runs and takes captures
    bool _captureBusy;      // a capture is between posting and completion
    bool _captureFinished;  // the frame of the posted capture has been drawn
    bool _captureAbandoned; // its caller gave up waiting
    osg::ref_ptr<osg::Image> _capturedImage;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Widgets
} // namespace PBN
