#pragma once

#include <wx/panel.h>
#include <wx/tglbtn.h>

namespace Tolvane::Properties {

class Slider;

// Master and colour gains, automatic gain and brightness.
class GainTab : public wxPanel {
public:
    enum Ids {
        ID_DEFAULTS = 11,
        ID_AUTO = 20,
        ID_MASTER = 21,
        ID_RED = 22,
        ID_GREEN = 23,
        ID_BLUE = 24,
        ID_BRIGHTNESS = 25
    };

    explicit GainTab(wxWindow* parent);
    void refresh();

    Slider* getMaster() const { return master; }
    Slider* getRed() const { return red; }
    Slider* getGreen() const { return green; }
    Slider* getBlue() const { return blue; }
    Slider* getBrightness() const { return brightness; }
    wxToggleButton* getAutoToggle() const { return autoGain; }

private:
    void autoStep();
    void onScroll(wxScrollEvent& event);
    void onDefaults(wxCommandEvent& event);
    void onToggle(wxCommandEvent& event);
    void onIdle(wxIdleEvent& event);

    Slider* master;
    wxToggleButton* autoGain;
    Slider* red;
    Slider* green;
    Slider* blue;
    Slider* brightness;
};

} // namespace Tolvane::Properties
