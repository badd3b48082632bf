#include "tolvane/properties/TimingTab.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/properties/Slider.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/valtext.h>

using Tolvane::ViewerRules::text;
using Tolvane_model::Camera;

namespace Tolvane::Properties {

TimingTab::TimingTab(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* rateBox = new wxStaticBoxSizer(wxVERTICAL, this, text(ids::FrameRate));
    wxWindow* rateWindow = rateBox->GetStaticBox();
    auto* rateRow = new wxBoxSizer(wxHORIZONTAL);
    rateRow->Add(new wxStaticText(rateWindow, wxID_ANY, text(ids::Rate)), 0,
                 wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    rate = new wxTextCtrl(rateWindow, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(80, -1), wxTE_RIGHT,
                          wxTextValidator(wxFILTER_NUMERIC));
    // Wide enough for the text shown during the clock search, whatever the language and theme.
    rate->SetMinSize(wxSize(
        std::max(
            80, rate->GetSizeFromTextSize(rate->GetTextExtent(text(ids::Optimising) + wxT("  "))).GetWidth()),
        -1));
    rateRow->Add(rate, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    rateRow->Add(new wxStaticText(rateWindow, wxID_ANY, text(ids::FramesPerSecond)), 0,
                 wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
    rateRow->Add(new wxButton(rateWindow, ID_APPLY, text(ids::Apply)), 0, wxRIGHT, 5);
    rateRow->Add(new wxButton(rateWindow, ID_OPTIMIZE, text(ids::OptimiseClock)), 0);
    rateBox->Add(rateRow, 0, wxEXPAND | wxALL, 5);
    top->Add(rateBox, 0, wxEXPAND | wxALL, 5);

    auto* exposureBox = new wxStaticBoxSizer(wxVERTICAL, this, text(ids::ExposureTime));
    exposure = new Slider(exposureBox->GetStaticBox(), ID_EXPOSURE, text(ids::ExposureTime));
    exposureBox->Add(exposure, 0, wxEXPAND | wxALL, 5);
    top->Add(exposureBox, 0, wxEXPAND | wxALL, 5);
    top->Add(new wxButton(this, ID_DEFAULTS, text(ids::Defaults)), 0, wxALIGN_RIGHT | wxALL, 5);
    SetSizer(top);

    try {
        setExposureRange(Camera::getInstance()->getFrameRate());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    Bind(wxEVT_BUTTON, &TimingTab::onApply, this, ID_APPLY);
    Bind(wxEVT_BUTTON, &TimingTab::onOptimize, this, ID_OPTIMIZE);
    Bind(wxEVT_BUTTON, &TimingTab::onDefaults, this, ID_DEFAULTS);
    for (auto type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN,
                      wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
                      wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
        Bind(type, &TimingTab::onScroll, this);
    refresh();
}

TimingTab::~TimingTab() {
    // After this no optimisation started here calls back: the camera waits for a call under way.
    Camera::getInstance()->removeListener(this);
}

void TimingTab::setExposureRange(const double& frameRate) {
    // A rate that is not positive has no frame period: the range stays as it was.
    if (auto longest = ViewerRules::exposureMax(frameRate))
        exposure->setMax(*longest);
}

void TimingTab::onApply(wxCommandEvent&) {
    try {
        const double requested = ViewerRules::parseNumber(rate->GetValue()).value_or(0);
        Camera* camera = Camera::getInstance();
        camera->setFrameRate(requested);
        const double current = camera->getFrameRate();
        rate->ChangeValue(ViewerRules::numberText(current));
        setExposureRange(current);
        exposure->showValue(camera->getExposure());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void TimingTab::onOptimize(wxCommandEvent&) {
    try {
        optimizing = true;
        rate->ChangeValue(text(ids::Optimising));
        SetCursor(*wxHOURGLASS_CURSOR);
        Camera::getInstance()->optimizeClock(this);
    } catch (const PBN::Exception& e) {
        optimizeDone();
        e.display(this, false);
    }
}

void TimingTab::optimizeEnd() {
    // On the worker thread: the controls are changed on the GUI thread. A tab destroyed before the
    // call runs drops it.
    CallAfter(&TimingTab::optimizeDone);
}

void TimingTab::optimizeDone() {
    optimizing = false;
    SetCursor(wxNullCursor);
    try {
        rate->ChangeValue(ViewerRules::numberText(Camera::getInstance()->getFrameRate()));
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void TimingTab::onDefaults(wxCommandEvent&) {
    try {
        Camera* camera = Camera::getInstance();
        camera->setDefaultFrameRate();
        rate->ChangeValue(ViewerRules::numberText(camera->getFrameRate()));
        camera->setDefaultExposure();
        exposure->showValue(camera->getExposure());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void TimingTab::onScroll(wxScrollEvent&) {
    try {
        Camera::getInstance()->setExposure(exposure->getValue());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void TimingTab::refresh() {
    if (optimizing)
        return; // the field shows the optimisation until it ends
    try {
        Camera* camera = Camera::getInstance();
        rate->ChangeValue(ViewerRules::numberText(camera->getFrameRate()));
        exposure->showValue(camera->getExposure());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

} // namespace Tolvane::Properties
