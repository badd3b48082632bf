#pragma once

#include "tolvane_model/CameraListener.h"

#include <wx/panel.h>
#include <wx/textctrl.h>

namespace Tolvane::Properties {

class Slider;

// Frame rate, exposure time and the clock optimisation. The optimisation ends on the model's
// worker thread; its end is carried to the GUI thread, and the tab detaches itself from the
// camera when it is destroyed, so a closed dialog is never called.
class TimingTab : public wxPanel, public Tolvane_model::CameraListener {
public:
    enum Ids { ID_APPLY = 35, ID_OPTIMIZE = 36, ID_DEFAULTS = 37, ID_EXPOSURE = 44 };

    explicit TimingTab(wxWindow* parent);
    ~TimingTab() override;
    void refresh();
    void optimizeEnd() override;
    bool isOptimizing() const { return optimizing; }

    wxTextCtrl* getRateField() const { return rate; }
    Slider* getExposure() const { return exposure; }

private:
    void setExposureRange(const double& frameRate);
    void onApply(wxCommandEvent& event);
    void onOptimize(wxCommandEvent& event);
    void onDefaults(wxCommandEvent& event);
    void onScroll(wxScrollEvent& event);
    void optimizeDone();

    wxTextCtrl* rate;
    Slider* exposure;
    bool optimizing = false;
};

} // namespace Tolvane::Properties
