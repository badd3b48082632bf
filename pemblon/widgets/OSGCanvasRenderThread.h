#pragma once

#include <osg/Camera>
#include <wx/bitmap.h>
#include <wx/thread.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

class OSGCanvas;

// Draws the frames of one canvas until the viewer is marked done or the thread is deleted, and
// serves the captures posted to it. Joinable: the canvas owns it and joins it before the viewer
// goes away.
class PBN_API OSGCanvasRenderThread : public wxThread {
public:
    explicit OSGCanvasRenderThread(OSGCanvas& canvas);
    ~OSGCanvasRenderThread() override;

    // Marks the viewer done: the loop ends after the frame being drawn.
    void scheduleStop();
    // Posts a capture for the next frame. Called with the canvas mutex held.
    void captureNextFrame(osg::Camera& camera, wxBitmap& bitmap);
    // Takes back a capture that the thread has not started. Called with the canvas mutex held.
    bool withdrawCapture();

protected:
    ExitCode Entry() override;
    // Wakes a thread that waits for a window, so that Delete does not wait out its pause.
    void OnDelete() override;

private:
    OSGCanvas* _canvas;
    osg::Camera* _camera;
    wxBitmap* _bitmap;
    bool _deleting; // Delete was called; guarded by the canvas mutex
};

} // namespace Widgets
} // namespace PBN
