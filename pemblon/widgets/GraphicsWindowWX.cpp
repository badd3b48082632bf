#include "pemblon/widgets/GraphicsWindowWX.h"

#include <GL/glx.h>
#include <osg/State>
#include <wx/utils.h>
#include <wx/window.h>

#include "pemblon/widgets/OSGCanvas.h"

namespace PBN {
namespace Widgets {

GraphicsWindowWX::GraphicsWindowWX() : _canvas(nullptr) {}

GraphicsWindowWX::GraphicsWindowWX(OSGCanvas& canvas) : _canvas(&canvas) {
    _traits = new osg::GraphicsContext::Traits();
    const wxPoint pos = canvas.GetPosition();
    const wxSize size = canvas.GetSize();
    _traits->x = pos.x;
    _traits->y = pos.y;
    _traits->width = size.GetWidth();
    _traits->height = size.GetHeight();
    init();
}

GraphicsWindowWX::~GraphicsWindowWX() = default;

void GraphicsWindowWX::init() {
    if (!valid()) {
        return;
    }
    setState(new osg::State());
    getState()->setGraphicsContext(this);
    if (_traits.valid() && _traits->sharedContext.valid()) {
        getState()->setContextID(_traits->sharedContext->getState()->getContextID());
        incrementContextIDUsageCount(getState()->getContextID());
    } else {
        getState()->setContextID(osg::GraphicsContext::createNewContextID());
    }
}

bool GraphicsWindowWX::makeCurrentImplementation() {
    return _canvas != nullptr && _canvas->makeContextCurrent();
}

void GraphicsWindowWX::swapBuffersImplementation() {
    if (_canvas != nullptr) {
        _canvas->SwapBuffers();
    }
}

void GraphicsWindowWX::grabFocus() {
    if (_canvas != nullptr) {
        _canvas->SetFocus();
    }
}

void GraphicsWindowWX::grabFocusIfPointerInWindow() {
    if (_canvas != nullptr && wxFindWindowAtPoint(wxGetMousePosition()) == _canvas) {
        _canvas->SetFocus();
    }
}

void GraphicsWindowWX::releaseCurrentContext() {
    if (Display* display = glXGetCurrentDisplay()) {
        glXMakeCurrent(display, None, nullptr);
        // Everything drawn is done by the server before the window may be destroyed, over
        // another connection, once the context has let go of it.
        XSync(display, False);
    }
}

} // namespace Widgets
} // namespace PBN
