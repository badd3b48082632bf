#include <osg/GL>
#include <osg/GraphicsContext>
#include <osg/State>

#include "pemblon/widgets/OSGCanvas.h"

namespace PBN {
namespace Widgets {

OSGCanvas::ScreenCaptureCallback::ScreenCaptureCallback() : _bitmap(nullptr), _camera(nullptr) {}

OSGCanvas::ScreenCaptureCallback::ScreenCaptureCallback(wxBitmap& bitmap, osg::Camera& camera,
                                                        osg::Camera::DrawCallback* previous)
    : _bitmap(&bitmap), _camera(&camera), _previous(previous) {}

OSGCanvas::ScreenCaptureCallback::~ScreenCaptureCallback() = default;

void OSGCanvas::ScreenCaptureCallback::operator()(osg::RenderInfo& renderInfo) const {
    osg::State* state = renderInfo.getState();
    osg::GraphicsContext* context = state != nullptr ? state->getGraphicsContext() : nullptr;
    const osg::GraphicsContext::Traits* traits = context != nullptr ? context->getTraits() : nullptr;
    if (traits == nullptr || traits->width <= 0 || traits->height <= 0) {
        return;
    }
    glReadBuffer(GL_BACK);
    osg::ref_ptr<osg::Image> image = new osg::Image();
    image->readPixels(0, 0, traits->width, traits->height, GL_RGB, GL_UNSIGNED_BYTE);
    _image = image;
    restore();
}

osg::ref_ptr<osg::Image> OSGCanvas::ScreenCaptureCallback::takeImage() const {
    osg::ref_ptr<osg::Image> image = _image;
    _image = nullptr;
    return image;
}

void OSGCanvas::ScreenCaptureCallback::restore() const {
    if (_camera != nullptr && _camera->getFinalDrawCallback() == this) {
        _camera->setFinalDrawCallback(_previous.get());
    }
}

} // namespace Widgets
} // namespace PBN
