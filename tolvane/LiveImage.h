#pragma once

#include <cstdint>
#include <memory>
#include <wx/dc.h>
#include <wx/gdicmn.h>

struct _cairo_surface;

namespace Tolvane {

// The part of the live image the view shows, kept between frames in the form the toolkit paints
// (a cairo RGB24 surface similar to the window's): each frame is converted once, straight from
// the camera's buffer, and painted without another copy.
class LiveImage {
public:
    LiveImage();
    ~LiveImage();
    LiveImage(const LiveImage&) = delete;
    LiveImage& operator=(const LiveImage&) = delete;

    // Takes the rectangle `part` of an RGB image `width` pixels wide, into a surface made for the
    // window dc paints on (shared with the X server where it can be, so painting copies nothing).
    void update(wxDC& dc, const unsigned char* rgb, const int& width, const wxRect& part);
    // Paints it at its place in logical coordinates of a prepared device context.
    void draw(wxDC& dc) const;
    bool isOk() const { return surface != nullptr; }
    void clear();
    wxRect getPart() const { return part; }

    // One row of RGB bytes as 32-bit native-endian 0x00RRGGBB pixels.
    static void convertRow(const unsigned char* rgb, uint32_t* out, const int& pixels);

private:
    _cairo_surface* surface = nullptr;
    wxRect part;
};

} // namespace Tolvane
