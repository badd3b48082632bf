#pragma once

#include <wx/colour.h>
#include <wx/font.h>

#include "pemblon/core/Export.h"

namespace PBN {
namespace Widgets {

// A font with a text colour and a background colour.
class PBN_API OFont : public wxFont {
public:
    // 10-point "Arial", black on white.
    OFont();
    // The font in the colour, on white.
    OFont(const wxFont& font, const wxColour& colour);
    OFont(const OFont& other);
    ~OFont() override;
    OFont& operator=(const OFont& other);

    wxColour getColor() const { return _colour; }
    wxColour getBgColor() const { return _bgColour; }
    void setColor(const wxColour& colour) { _colour = colour; }
    void setBgColor(const wxColour& colour) { _bgColour = colour; }

    bool operator==(const OFont& other) const;
    bool operator!=(const OFont& other) const { return !(*this == other); }

private:
    wxColour _colour;
    wxColour _bgColour;
};

} // namespace Widgets
} // namespace PBN
