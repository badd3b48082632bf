#include "pemblon/widgets/OFont.h"

namespace PBN {
namespace Widgets {

OFont::OFont()
    : wxFont(10, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Arial",
             wxFONTENCODING_DEFAULT),
      _colour(0, 0, 0, 255), _bgColour(255, 255, 255, 255) {}

OFont::OFont(const wxFont& font, const wxColour& colour)
    : wxFont(font), _colour(colour), _bgColour(255, 255, 255, 255) {}

OFont::OFont(const OFont& other) = default;

OFont::~OFont() = default;

OFont& OFont::operator=(const OFont& other) {
    if (this != &other) {
        wxFont::operator=(other);
        _colour = other._colour;
        _bgColour = other._bgColour;
    }
    return *this;
}

bool OFont::operator==(const OFont& other) const {
    return wxFont::operator==(other) && _colour == other._colour && _bgColour == other._bgColour;
}

} // namespace Widgets
} // namespace PBN
