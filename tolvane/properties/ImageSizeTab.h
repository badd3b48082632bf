#pragma once

#include <wx/panel.h>

namespace Tolvane::Properties {

class Slider;

// Width and height of the camera's area of interest.
class ImageSizeTab : public wxPanel {
public:
    enum Ids { ID_WIDTH = 26, ID_HEIGHT = 27, ID_DEFAULTS = 31 };

    explicit ImageSizeTab(wxWindow* parent);
    void refresh();

    Slider* getWidthSlider() const { return width; }
    Slider* getHeightSlider() const { return height; }

private:
    void onScroll(wxScrollEvent& event);
    void onDefaults(wxCommandEvent& event);

    Slider* width;
    Slider* height;
};

} // namespace Tolvane::Properties
