#pragma once

#include <osgViewer/GraphicsWindow>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

class OSGCanvas;

// The OpenSceneGraph graphics window of a canvas: the viewer draws into the canvas's OpenGL
// context through it. It counts as realized from the start, so the viewer never opens a window
// of its own. Its traits hold the canvas's position and size.
class PBN_API GraphicsWindowWX : public osgViewer::GraphicsWindow {
public:
    explicit GraphicsWindowWX(OSGCanvas& canvas);

    bool valid() const override { return true; }
    bool realizeImplementation() override { return true; }
    bool isRealizedImplementation() const override { return true; }
    void closeImplementation() override {}
    // Makes the canvas's context current; false while the canvas has no X window yet.
    bool makeCurrentImplementation() override;
    // The context stays current between frames; releaseCurrentContext hands it over.
    bool releaseContextImplementation() override { return true; }
    void swapBuffersImplementation() override;
    void grabFocus() override;
    void grabFocusIfPointerInWindow() override;

    // Releases the context from the calling thread, so that another thread may make it
    // current (a context may be current in one thread only), and waits until the X server has
    // done what was drawn, so that the window may go.
    void releaseCurrentContext();

protected:
    ~GraphicsWindowWX() override;
    void init();

private:
    friend class OSGCanvas; // detaches itself when it goes away before this window
    GraphicsWindowWX();

    OSGCanvas* _canvas;
};

} // namespace Widgets
} // namespace PBN
