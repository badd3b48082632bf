#pragma once

#include <algorithm>
#include <wx/panel.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace Tolvane::Properties {

// A captioned slider with its minimum and maximum under it and the value beside it, which the
// user can also type (applied by Enter). Scroll events leave it with the identifier it was given.
class Slider : public wxPanel {
public:
    Slider(wxWindow* parent, const int& id, const wxString& caption);

    double getValue() const;
    // The user's value: moves the slider and sends a scroll event, as a drag would, so the owning
    // tab applies it to the camera.
    void setValue(const double& value);
    // A value read from the camera: moves the slider and its text only, sending nothing, so that
    // showing a value never writes it back (truncated) to the camera.
    void showValue(const double& value);
    void setMin(const double& min);
    void setMax(const double& max);
    double getMin() const { return min; }
    double getMax() const { return max; }

    // Captions are 65 pixels wide, or as wide as their text; a tab gives its sliders one width so
    // that they line up.
    int getCaptionWidth() const;
    void setCaptionWidth(const int& width);
    template <class... S> static void alignCaptions(S*... sliders) {
        int width = 0;
        ((width = std::max(width, sliders->getCaptionWidth())), ...);
        (sliders->setCaptionWidth(width), ...);
    }

    wxSlider* getSlider() const { return slider; }
    wxTextCtrl* getValueField() const { return value; }
    wxStaticText* getMinLabel() const { return minLabel; }
    wxStaticText* getMaxLabel() const { return maxLabel; }

private:
    void applyRange();
    void onScroll(wxScrollEvent& event);
    void onEnter(wxCommandEvent& event);
    void onKillFocus(wxFocusEvent& event);

    wxSlider* slider;
    wxTextCtrl* value;
    wxStaticText* minLabel;
    wxStaticText* maxLabel;
    wxStaticText* captionLabel;
    double min = 0;
    double max = 100;
};

} // namespace Tolvane::Properties
