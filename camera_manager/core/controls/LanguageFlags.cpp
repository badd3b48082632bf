#include "camera_manager/core/controls/LanguageFlags.h"

#include <wx/dcmemory.h>

#include <cmath>

namespace {

constexpr int W = languageFlagWidth;
constexpr int H = languageFlagHeight;

void Fill(wxDC& dc, const wxColour& colour, int x, int y, int width, int height) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawRectangle(x, y, width, height);
}

// Stripes across (horizontal) or down (vertical), equal unless weights are given.
void Stripes(wxDC& dc, bool horizontal, std::initializer_list<std::pair<wxColour, int>> stripes) {
    int total = 0;
    for (const auto& s : stripes)
        total += s.second;
    const int length = horizontal ? H : W;
    int at = 0, weight = 0;
    for (const auto& [colour, w] : stripes) {
        const int from = at;
        weight += w;
        at = (length * weight + total / 2) / total;
        if (horizontal)
            Fill(dc, colour, 0, from, W, at - from);
        else
            Fill(dc, colour, from, 0, at - from, H);
    }
}

void Star(wxDC& dc, const wxColour& colour, double cx, double cy, double radius) {
    wxPoint points[10];
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? radius * 0.4 : radius;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        points[i] = wxPoint(static_cast<int>(std::lround(cx + r * std::cos(angle))),
                            static_cast<int>(std::lround(cy + r * std::sin(angle))));
    }
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawPolygon(10, points);
}

void Disc(wxDC& dc, const wxColour& colour, int cx, int cy, int radius) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawCircle(cx, cy, radius);
}

const wxColour red(206, 17, 38), white(255, 255, 255), blue(0, 56, 147), green(0, 140, 69), black(0, 0, 0),
    gold(255, 206, 0);

void Draw(wxDC& dc, int index) {
    switch (index) {
    case 0: { // English: the Union flag
        Fill(dc, wxColour(1, 33, 105), 0, 0, W, H);
        dc.SetPen(wxPen(white, 3));
        dc.DrawLine(0, 0, W, H);
        dc.DrawLine(0, H, W, 0);
        dc.SetPen(wxPen(red, 1));
        dc.DrawLine(0, 0, W, H);
        dc.DrawLine(0, H, W, 0);
        Fill(dc, white, W / 2 - 2, 0, 5, H);
        Fill(dc, white, 0, H / 2 - 2, W, 5);
        Fill(dc, red, W / 2 - 1, 0, 3, H);
        Fill(dc, red, 0, H / 2 - 1, W, 3);
        break;
    }
    case 1: // German
        Stripes(dc, true, {{black, 1}, {wxColour(221, 0, 0), 1}, {gold, 1}});
        break;
    case 2: // Spanish
        Stripes(dc, true,
                {{wxColour(170, 21, 27), 1}, {wxColour(241, 191, 0), 2}, {wxColour(170, 21, 27), 1}});
        break;
    case 3: // Portuguese
        Stripes(dc, false, {{wxColour(0, 102, 0), 2}, {wxColour(255, 0, 0), 3}});
        Disc(dc, wxColour(255, 204, 0), W * 2 / 5, H / 2, 3);
        break;
    case 4: // Italian
        Stripes(dc, false, {{wxColour(0, 146, 70), 1}, {white, 1}, {wxColour(206, 43, 55), 1}});
        break;
    case 5: // French
        Stripes(dc, false, {{wxColour(0, 35, 149), 1}, {white, 1}, {wxColour(237, 41, 57), 1}});
        break;
    case 6: // Dutch
        Stripes(dc, true, {{wxColour(174, 28, 40), 1}, {white, 1}, {wxColour(33, 70, 139), 1}});
        break;
    case 7: // Polish
        Stripes(dc, true, {{white, 1}, {wxColour(220, 20, 60), 1}});
        break;
    case 8: { // Czech
        Stripes(dc, true, {{white, 1}, {wxColour(215, 20, 26), 1}});
        const wxPoint wedge[] = {{0, 0}, {W / 2, H / 2}, {0, H}};
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxColour(17, 69, 126)));
        dc.DrawPolygon(3, wedge);
        break;
    }
    case 9: // Hungarian
        Stripes(dc, true, {{wxColour(206, 41, 57), 1}, {white, 1}, {wxColour(71, 112, 80), 1}});
        break;
    case 10: // Chinese
        Fill(dc, wxColour(238, 28, 37), 0, 0, W, H);
        Star(dc, wxColour(255, 255, 0), 4.5, 4.5, 3.2);
        Star(dc, wxColour(255, 255, 0), 9, 2, 1.1);
        Star(dc, wxColour(255, 255, 0), 10.5, 4.5, 1.1);
        Star(dc, wxColour(255, 255, 0), 10.5, 7.5, 1.1);
        Star(dc, wxColour(255, 255, 0), 9, 9.5, 1.1);
        break;
    case 11: // Japanese
        Fill(dc, white, 0, 0, W, H);
        Disc(dc, wxColour(188, 0, 45), W / 2, H / 2, 4);
        break;
    case 12: { // Korean
        Fill(dc, white, 0, 0, W, H);
        Disc(dc, wxColour(0, 71, 160), W / 2, H / 2, 4);
        dc.SetClippingRegion(0, 0, W, H / 2);
        Disc(dc, wxColour(205, 46, 58), W / 2, H / 2, 4);
        dc.DestroyClippingRegion();
        dc.SetPen(wxPen(black, 1));
        for (int bar = 0; bar < 3; ++bar) {
            dc.DrawLine(2, 2 + bar, 5, 5 + bar - 3);
            dc.DrawLine(W - 5, 2 + bar, W - 2, 5 + bar - 3);
            dc.DrawLine(2, H - 5 + bar, 5, H - 2 + bar);
            dc.DrawLine(W - 5, H - 2 + bar - 3, W - 2, H - 5 + bar - 3);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

wxBitmap LanguageFlag(int index) {
    if (index < 0 || index > 12)
        return wxBitmap();
    wxBitmap flag(W, H);
    {
        wxMemoryDC dc(flag);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        Draw(dc, index);
        // A thin grey edge keeps white flags apart from a white list.
        dc.SetPen(wxPen(wxColour(150, 150, 150)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(0, 0, W, H);
    }
    return flag;
}
