#include "tolvane/properties/GainTab.h"

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

GainTab::GainTab(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    master = new Slider(this, ID_MASTER, text(ids::MasterGain));
    autoGain = new wxToggleButton(this, ID_AUTO, text(ids::AutomaticGain));
    red = new Slider(this, ID_RED, text(ids::RedGain));
    green = new Slider(this, ID_GREEN, text(ids::GreenGain));
    blue = new Slider(this, ID_BLUE, text(ids::BlueGain));
    brightness = new Slider(this, ID_BRIGHTNESS, text(ids::Brightness));
    brightness->setMax(255);
    Slider::alignCaptions(master, red, green, blue, brightness);
    top->Add(master, 0, wxEXPAND | wxALL, 3);
    top->Add(autoGain, 0, wxALIGN_RIGHT | wxALL, 3);
    top->Add(red, 0, wxEXPAND | wxALL, 3);
    top->Add(green, 0, wxEXPAND | wxALL, 3);
    top->Add(blue, 0, wxEXPAND | wxALL, 3);
    top->AddSpacer(10);
    top->Add(brightness, 0, wxEXPAND | wxALL, 3);
    top->Add(new wxButton(this, ID_DEFAULTS, text(ids::Defaults)), 0, wxALIGN_RIGHT | wxALL, 3);
    SetSizer(top);

    Bind(wxEVT_SCROLL_TOP, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_BOTTOM, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_LINEUP, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_LINEDOWN, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_PAGEUP, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_PAGEDOWN, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_THUMBTRACK, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_THUMBRELEASE, &GainTab::onScroll, this);
    Bind(wxEVT_SCROLL_CHANGED, &GainTab::onScroll, this);
    Bind(wxEVT_BUTTON, &GainTab::onDefaults, this, ID_DEFAULTS);
    Bind(wxEVT_TOGGLEBUTTON, &GainTab::onToggle, this, ID_AUTO);
    Bind(wxEVT_IDLE, &GainTab::onIdle, this);
    refresh();
}

void GainTab::onScroll(wxScrollEvent& event) {
    try {
        Camera* camera = Camera::getInstance();
        const int id = event.GetId();
        if (id >= ID_MASTER && id <= ID_BLUE)
            camera->setGain(static_cast<int>(master->getValue()), static_cast<int>(red->getValue()),
                            static_cast<int>(green->getValue()), static_cast<int>(blue->getValue()));
        else if (id == ID_BRIGHTNESS)
            camera->setBrightness(static_cast<int>(brightness->getValue()));
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void GainTab::autoStep() {
    Camera* camera = Camera::getInstance();
    const bool on = autoGain->GetValue();
    camera->setAutoGain(on);
    master->Enable(!on);
    if (!on)
        master->showValue(camera->getGain());
    brightness->showValue(camera->getBrightness());
}

void GainTab::onToggle(wxCommandEvent&) {
    try {
        autoStep();
        Tolvane_model::Config::getInstance()->setConfSaved(false);
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void GainTab::onIdle(wxIdleEvent& event) {
    event.Skip();
    if (!autoGain->GetValue())
        return;
    try {
        // Only a change moves the slider: following the camera must not keep the loop busy.
        const int gain = static_cast<int>(Camera::getInstance()->getGain());
        if (gain != static_cast<int>(master->getValue()))
            master->showValue(gain);
    } catch (const PBN::Exception&) {
        // The camera's state is read again at the next idle time.
    }
}

void GainTab::onDefaults(wxCommandEvent&) {
    try {
        Camera* camera = Camera::getInstance();
        camera->setDefaultGain();
        camera->setAutoGain(false);
        autoGain->SetValue(false);
        master->Enable();
        camera->setDefaultBrightness();
        Tolvane_model::Config::getInstance()->setConfSaved(false);
        master->showValue(camera->getGain());
        red->showValue(camera->getRedGain());
        green->showValue(camera->getGreenGain());
        blue->showValue(camera->getBlueGain());
        brightness->showValue(camera->getBrightness());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void GainTab::refresh() {
    try {
        Camera* camera = Camera::getInstance();
        master->showValue(camera->getGain());
        red->showValue(camera->getRedGain());
        green->showValue(camera->getGreenGain());
        blue->showValue(camera->getBlueGain());
        brightness->showValue(camera->getBrightness());
        if (camera->isGainAuto()) {
            autoGain->SetValue(true);
            master->Disable();
            brightness->showValue(camera->getBrightness());
        }
        const bool color = camera->isColor();
        red->Enable(color);
        green->Enable(color);
        blue->Enable(color);
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

} // namespace Tolvane::Properties
