#include "tolvane/LiveImage.h"

#include <cairo.h>

namespace Tolvane {

LiveImage::LiveImage() = default;

LiveImage::~LiveImage() {
    clear();
}

void LiveImage::clear() {
    if (surface)
        cairo_surface_destroy(surface);
    surface = nullptr;
    part = wxRect();
}

void LiveImage::convertRow(const unsigned char* rgb, uint32_t* out, const int& pixels) {
    for (int i = 0; i < pixels; ++i, rgb += 3)
        out[i] = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | uint32_t{rgb[2]};
}

void LiveImage::update(const unsigned char* rgb, const int& width, const wxRect& area) {
    if (area.IsEmpty()) {
        clear();
        return;
    }
    if (!surface || cairo_image_surface_get_width(surface) != area.width ||
        cairo_image_surface_get_height(surface) != area.height) {
        clear();
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, area.width, area.height);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            surface = nullptr;
            return;
        }
    }
    part = area;
    cairo_surface_flush(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const unsigned char* source =
        rgb + static_cast<size_t>(area.y) * rowBytes + static_cast<size_t>(area.x) * 3;
    for (int row = 0; row < area.height; ++row, source += rowBytes)
        convertRow(source, reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(row) * stride),
                   area.width);
    cairo_surface_mark_dirty(surface);
}

void LiveImage::draw(wxDC& dc) const {
    if (!surface)
        return;
    auto* cr = static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext());
    if (!cr)
        return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, part.x, part.y);
    // One pixel of the image is one pixel of the screen: no filtering to pay for.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, part.x, part.y, part.width, part.height);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace Tolvane
