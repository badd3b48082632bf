#include "tolvane/properties/Slider.h"

#include "tolvane/ViewerRules.h"

#include <cmath>
#include <wx/sizer.h>
#include <wx/valtext.h>

namespace Tolvane::Properties {

Slider::Slider(wxWindow* parent, const int& id, const wxString& caption)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER) {
    slider = new wxSlider(this, id, 50, 0, 100, wxDefaultPosition, wxDefaultSize, wxSL_HORIZONTAL);
    value = new wxTextCtrl(this, wxID_ANY, wxT("50"), wxDefaultPosition, wxSize(40, -1),
                           wxTE_PROCESS_ENTER | wxTE_RIGHT, wxTextValidator(wxFILTER_NUMERIC));
    // At least 40 pixels, and room for four digits whatever the theme's padding.
    value->SetMinSize(
        wxSize(std::max(40, value->GetSizeFromTextSize(value->GetTextExtent(wxT("0000"))).GetWidth()), -1));
    minLabel =
        new wxStaticText(this, wxID_ANY, ViewerRules::numberText(0), wxDefaultPosition, wxSize(30, -1));
    maxLabel = new wxStaticText(this, wxID_ANY, ViewerRules::numberText(100), wxDefaultPosition,
                                wxSize(30, -1), wxALIGN_RIGHT | wxST_NO_AUTORESIZE);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    captionLabel = new wxStaticText(this, wxID_ANY, caption);
    setCaptionWidth(std::max(65, captionLabel->GetBestSize().GetWidth()));
    row->Add(captionLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(slider, 0, wxEXPAND);
    auto* labels = new wxBoxSizer(wxHORIZONTAL);
    labels->Add(minLabel, 0);
    labels->AddStretchSpacer(1);
    labels->Add(maxLabel, 0);
    column->Add(labels, 0, wxEXPAND);
    row->Add(column, 1, wxEXPAND);
    row->Add(value, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 5);
    SetSizer(row);

    slider->Bind(wxEVT_SCROLL_TOP, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_BOTTOM, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_LINEUP, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_LINEDOWN, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_PAGEUP, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_PAGEDOWN, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_THUMBTRACK, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_THUMBRELEASE, &Slider::onScroll, this);
    slider->Bind(wxEVT_SCROLL_CHANGED, &Slider::onScroll, this);
    value->Bind(wxEVT_TEXT_ENTER, &Slider::onEnter, this);
    value->Bind(wxEVT_KILL_FOCUS, &Slider::onKillFocus, this);
}

namespace {

// A slider position for a value: cut to an integer within the slider's range.
int position(const wxSlider* slider, const double& v) {
    if (!std::isfinite(v))
        return slider->GetMin();
    return static_cast<int>(
        std::clamp(v, static_cast<double>(slider->GetMin()), static_cast<double>(slider->GetMax())));
}

} // namespace

int Slider::getCaptionWidth() const {
    return captionLabel->GetMinSize().GetWidth();
}

void Slider::setCaptionWidth(const int& width) {
    captionLabel->SetMinSize(wxSize(width, -1));
    Layout();
}

double Slider::getValue() const {
    return slider->GetValue();
}

void Slider::showValue(const double& v) {
    slider->SetValue(position(slider, v));
    value->ChangeValue(wxString::Format(wxT("%d"), slider->GetValue()));
}

void Slider::setValue(const double& v) {
    slider->SetValue(position(slider, v));
    wxScrollEvent event(wxEVT_SCROLL_CHANGED, slider->GetId(), slider->GetValue(), wxHORIZONTAL);
    event.SetEventObject(slider);
    slider->GetEventHandler()->AddPendingEvent(event);
}

void Slider::applyRange() {
    const auto [lo, hi] = ViewerRules::sliderRange(min, max);
    slider->SetRange(lo, hi);
}

void Slider::setMin(const double& v) {
    min = v;
    applyRange();
    minLabel->SetLabel(ViewerRules::sliderMinText(v));
}

void Slider::setMax(const double& v) {
    max = v;
    applyRange();
    maxLabel->SetLabel(ViewerRules::sliderMaxText(v));
}

void Slider::onScroll(wxScrollEvent& event) {
    value->ChangeValue(wxString::Format(wxT("%d"), slider->GetValue()));
    event.Skip();
}

void Slider::onEnter(wxCommandEvent&) {
    if (const auto typed = ViewerRules::parseNumber(value->GetValue()))
        setValue(*typed);
}

void Slider::onKillFocus(wxFocusEvent& event) {
    const auto typed = ViewerRules::parseNumber(value->GetValue());
    if (typed && *typed != slider->GetValue())
        value->ChangeValue(wxString::Format(wxT("%d"), slider->GetValue()));
    event.Skip();
}

} // namespace Tolvane::Properties
