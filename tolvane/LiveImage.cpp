#include "tolvane/LiveImage.h"

#include <cairo.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

namespace {

void convertPlain(const unsigned char* rgb, uint32_t* out, int pixels) {
    for (int i = 0; i < pixels; ++i, rgb += 3)
        out[i] = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | uint32_t{rgb[2]};
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a shuffle: 12 RGB bytes become B, G, R, 0 four times (0x00RRGGBB in memory order).
// A load reads 16 bytes, so the last pixels of a row are left to the plain loop.
__attribute__((target("ssse3"))) void convertSsse3(const unsigned char* rgb, uint32_t* out, int pixels) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -128, 5, 4, 3, -128, 8, 7, 6, -128, 11, 10, 9, -128);
    int i = 0;
    for (; i + 6 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgb + 3 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_shuffle_epi8(v, order));
    }
    convertPlain(rgb + 3 * i, out + i, pixels - i);
}
#endif

} // namespace

void LiveImage::convertRow(const unsigned char* rgb, uint32_t* out, const int& pixels) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) {
        convertSsse3(rgb, out, pixels);
        return;
    }
#endif
    convertPlain(rgb, out, pixels);
}

namespace {

cairo_t* contextOf(wxDC& dc) {
    return static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext());
}

} // namespace

void LiveImage::update(wxDC& dc, const unsigned char* rgb, const int& width, const wxRect& area) {
    if (area.IsEmpty()) {
        clear();
        return;
    }
    if (!surface || cairo_image_surface_get_width(surface) != area.width ||
        cairo_image_surface_get_height(surface) != area.height) {
        clear();
        cairo_t* cr = contextOf(dc);
        surface = cr ? cairo_surface_create_similar_image(cairo_get_target(cr), CAIRO_FORMAT_RGB24,
                                                          area.width, area.height)
                     : cairo_image_surface_create(CAIRO_FORMAT_RGB24, area.width, area.height);
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
    cairo_t* cr = contextOf(dc);
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
