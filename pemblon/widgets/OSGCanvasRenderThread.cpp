#include "pemblon/widgets/OSGCanvasRenderThread.h"

#include "pemblon/widgets/OSGCanvas.h"

namespace PBN {
namespace Widgets {

OSGCanvasRenderThread::OSGCanvasRenderThread(OSGCanvas& canvas)
    : wxThread(wxTHREAD_JOINABLE), _canvas(&canvas), _camera(nullptr), _bitmap(nullptr), _deleting(false) {
    Create();
}

OSGCanvasRenderThread::~OSGCanvasRenderThread() = default;

void OSGCanvasRenderThread::scheduleStop() {
    wxMutexLocker lock(_canvas->_mutex);
    _canvas->getViewer().setDone(true);
    _canvas->_windowCondition->Broadcast();
}

void OSGCanvasRenderThread::OnDelete() {
    wxMutexLocker lock(_canvas->_mutex);
    _deleting = true;
    _canvas->_windowCondition->Broadcast();
}

void OSGCanvasRenderThread::captureNextFrame(osg::Camera& camera, wxBitmap& bitmap) {
    _camera = &camera;
    _bitmap = &bitmap;
    _canvas->_windowCondition->Broadcast();
}

bool OSGCanvasRenderThread::withdrawCapture() {
    if (_camera == nullptr) {
        return false;
    }
    _camera = nullptr;
    _bitmap = nullptr;
    return true;
}

wxThread::ExitCode OSGCanvasRenderThread::Entry() {
    osgViewer::Viewer& viewer = _canvas->getViewer();
    // The viewer's done flag is a plain bool that scheduleStop sets on the GUI thread.
    const auto done = [this, &viewer] {
        wxMutexLocker lock(_canvas->_mutex);
        return viewer.done();
    };
    if (!done()) {
        do {
            if (TestDestroy()) {
                break;
            }
            osg::Camera* camera;
            wxBitmap* bitmap;
            {
                wxMutexLocker lock(_canvas->_mutex);
                if (!_canvas->takeWindow() && _camera == nullptr) {
                    // Nothing may be drawn (hidden, or between windows): wait for a window, a
                    // capture to fail or the end, instead of turning round the loop.
                    if (!_deleting) {
                        _canvas->_windowCondition->WaitTimeout(100);
                    }
                    continue;
                }
                camera = _camera;
                bitmap = _bitmap;
            }
            if (camera != nullptr) {
                _canvas->addCaptureCallbackToViewer(*camera, *bitmap);
                _canvas->drawFrame();
                {
                    wxMutexLocker lock(_canvas->_mutex);
                    _camera = nullptr;
                    _bitmap = nullptr;
                }
                _canvas->captureDone();
            } else {
                _canvas->drawFrame();
            }
        } while (!done());
    }
    {
        wxMutexLocker lock(_canvas->_mutex);
        _canvas->letGoOfWindow();
        _camera = nullptr;
        _bitmap = nullptr;
        _canvas->renderThreadEnding();
    }
    return nullptr;
}

} // namespace Widgets
} // namespace PBN
