#include "pemblon/widgets/OSGCanvasRenderThread.h"

#include "pemblon/widgets/OSGCanvas.h"

namespace PBN {
namespace Widgets {

OSGCanvasRenderThread::OSGCanvasRenderThread(OSGCanvas& canvas)
    : wxThread(wxTHREAD_JOINABLE), _canvas(&canvas), _camera(nullptr), _bitmap(nullptr) {
    Create();
}

OSGCanvasRenderThread::~OSGCanvasRenderThread() = default;

void OSGCanvasRenderThread::scheduleStop() {
    wxMutexLocker lock(_canvas->_mutex);
    _canvas->getViewer().setDone(true);
}

void OSGCanvasRenderThread::captureNextFrame(osg::Camera& camera, wxBitmap& bitmap) {
    _camera = &camera;
    _bitmap = &bitmap;
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
            } else if (!_canvas->drawFrame()) {
                // Not shown yet: nothing may draw into the window.
                wxMilliSleep(10);
            }
        } while (!done());
    }
    if (_canvas->_graphicsWindow.valid()) {
        _canvas->_graphicsWindow->releaseCurrentContext();
    }
    {
        wxMutexLocker lock(_canvas->_mutex);
        _camera = nullptr;
        _bitmap = nullptr;
        _canvas->renderThreadEnding();
    }
    return nullptr;
}

} // namespace Widgets
} // namespace PBN
