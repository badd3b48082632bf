#include "tolvane/properties/ImageSizeTab.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/properties/Slider.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <wx/button.h>
#include <wx/sizer.h>

using Tolvane::ViewerRules::text;
using Tolvane_model::Camera;

namespace Tolvane::Properties {

ImageSizeTab::ImageSizeTab(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    width = new Slider(this, ID_WIDTH, text(ids::Width));
    height = new Slider(this, ID_HEIGHT, text(ids::Height));
    Slider::alignCaptions(width, height);
    top->Add(width, 0, wxEXPAND | wxALL, 3);
    top->Add(height, 0, wxEXPAND | wxALL, 3);
    top->Add(new wxButton(this, ID_DEFAULTS, text(ids::Defaults)), 0, wxALIGN_RIGHT | wxALL, 3);
    SetSizer(top);
    try {
        Camera* camera = Camera::getInstance();
        width->setMax(camera->getMaxWidth());
        width->setMin(32);
        height->setMax(camera->getMaxHeight());
        height->setMin(24);
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    for (auto type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN,
                      wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
                      wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
        Bind(type, &ImageSizeTab::onScroll, this);
    Bind(wxEVT_BUTTON, &ImageSizeTab::onDefaults, this, ID_DEFAULTS);
    refresh();
}

void ImageSizeTab::onScroll(wxScrollEvent&) {
    try {
        Camera* camera = Camera::getInstance();
        camera->setAOI(static_cast<int>(width->getValue()), static_cast<int>(height->getValue()));
        // The camera rounds the area down to its steps: the fields show what it took.
        width->showValue(camera->getWidth());
        height->showValue(camera->getHeight());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void ImageSizeTab::onDefaults(wxCommandEvent&) {
    try {
        Camera* camera = Camera::getInstance();
        camera->setDefaultAOI();
        Tolvane_model::Config::getInstance()->setConfSaved(false);
        width->showValue(camera->getWidth());
        height->showValue(camera->getHeight());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void ImageSizeTab::refresh() {
    try {
        Camera* camera = Camera::getInstance();
        width->showValue(camera->getWidth());
        height->showValue(camera->getHeight());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

} // namespace Tolvane::Properties
