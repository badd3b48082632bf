#include "tolvane/ViewerRules.h"

#include "pemblon/strings/StringTable.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <wx/defs.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/log.h>

namespace Tolvane::ViewerRules {

namespace {

const char* const pictureExtensions[] = {"bmp", "jpg", "tif", "png"};

} // namespace

std::optional<double> parseNumber(const wxString& text) {
    double value = 0;
    wxString t = text;
    t.Trim(true).Trim(false);
    // Read the same whatever the process's C locale, with either separator.
    t.Replace(wxT(","), wxT("."));
    if (t.empty() || !t.ToCDouble(&value) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

wxUniChar decimalSeparator(const wxLanguage& language) {
    const wxLanguageInfo* info = wxLocale::GetLanguageInfo(language);
    if (info && info->CanonicalName.StartsWith(wxT("fr")))
        return wxT(',');
    return wxT('.');
}

wxString numberText(const double& value, const wxUniChar& separator) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    wxString out = error == std::errc() ? wxString::FromAscii(buffer, end - buffer) : wxString(wxT("0"));
    out.Replace(wxT("."), wxString(separator));
    return out;
}

wxString numberText(const double& value) {
    // The locale the string table set for the interface language, read without creating one.
    const wxLocale* locale = wxGetLocale();
    const wxLanguage language =
        locale ? static_cast<wxLanguage>(locale->GetLanguage()) : wxLANGUAGE_ENGLISH_US;
    return numberText(value, decimalSeparator(language));
}

wxString text(const unsigned int& id) {
    return PBN::Strings::StringTable::get().getString("Tolvane", id).wxstr();
}

const char* const zoomChoiceTexts[zoomChoiceCount - 1] = {"400 %", "300 %", "200 %", "100 %", "75 %", "50 %"};

int displayInterval(const double& rate) {
    if (!(rate > 0))
        return 300;
    const double quotient = 1000.0 / rate;
    if (!(quotient >= 1))
        return 300;
    if (quotient >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(quotient);
}

wxString frameRateStatus(const wxString& label, const double& rate, const wxString& unit) {
    return label + wxT(" : ") + numberText(rate) + wxT(" ") + unit;
}

int statusFieldWidth(const std::vector<int>& textWidths, const int& minimum) {
    int widest = 0;
    for (const int w : textWidths)
        widest = std::max(widest, w);
    return std::max(minimum, widest + statusFieldPadding);
}

wxColour savedColour() {
    return wxColour(0, 110, 0);
}

double contrastRatio(const wxColour& a, const wxColour& b) {
    auto luminance = [](const wxColour& c) {
        auto channel = [](unsigned char v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.Red()) + 0.7152 * channel(c.Green()) + 0.0722 * channel(c.Blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

wxString aboutText(const wxString& cameraName, const wxString& closing) {
    return wxString(wxT("Tolvane")) + wxT(" v. ") + wxT("1.3") + wxT(".") + wxT("\n\n") +
           wxT("Camera used: ") + cameraName + wxT("\n\n") + closing;
}

std::optional<wxLanguage> languageForName(const wxString& name) {
    if (name == wxT("French"))
        return wxLANGUAGE_FRENCH;
    if (name == wxT("English"))
        return wxLANGUAGE_ENGLISH_US;
    return std::nullopt;
}

double zoomChoiceFactor(const int& index) {
    static const double factors[zoomChoiceCount] = {4, 3, 2, 1, 0.75, 0.5, -1};
    if (index < 0 || index >= zoomChoiceCount)
        return 1;
    return factors[index];
}

std::optional<double> parseZoomPercent(const wxString& text) {
    wxString t = text;
    t.Trim(true).Trim(false);
    if (t.EndsWith(wxT("%")))
        t.RemoveLast();
    auto value = parseNumber(t);
    if (!value)
        return std::nullopt;
    return std::clamp(*value, minZoomPercent, maxZoomPercent);
}

wxString zoomText(const double& percent) {
    return numberText(percent) + wxT(" %");
}

wxSize scaledSize(const wxSize& image, const double& factor) {
    return wxSize(std::max(1, static_cast<int>(image.GetWidth() * factor)),
                  std::max(1, static_cast<int>(image.GetHeight() * factor)));
}

double fitScale(const wxSize& client, const wxSize& image) {
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0 || client.GetWidth() <= 0 || client.GetHeight() <= 0)
        return 0;
    const double h = static_cast<double>(client.GetWidth()) / image.GetWidth();
    const double v = static_cast<double>(client.GetHeight()) / image.GetHeight();
    return v < h ? v : h;
}

namespace {

// The source pixels [first, last) whose shown pixels meet [from, to), for one axis.
std::pair<int, int> sourceSpan(const int& from, const int& to, const int& image, const int& shown) {
    const int64_t a = std::max(from, 0), b = std::min(to, shown);
    if (image <= 0 || shown <= 0 || a >= b)
        return {0, 0};
    const auto first = static_cast<int>(a * image / shown);
    const auto last = static_cast<int>(std::min<int64_t>(image, (b * image + shown - 1) / shown));
    return {first, std::max(last, first + 1)};
}

int shownStart(const int& pixel, const int& image, const int& shown) {
    return static_cast<int>(static_cast<int64_t>(pixel) * shown / image);
}

} // namespace

wxRect zoomSource(const wxRect& visible, const wxSize& image, const wxSize& shown) {
    const auto [left, right] =
        sourceSpan(visible.GetLeft(), visible.GetRight() + 1, image.GetWidth(), shown.GetWidth());
    const auto [top, bottom] =
        sourceSpan(visible.GetTop(), visible.GetBottom() + 1, image.GetHeight(), shown.GetHeight());
    if (left == right || top == bottom)
        return wxRect();
    return wxRect(left, top, right - left, bottom - top);
}

wxRect zoomTarget(const wxRect& source, const wxSize& image, const wxSize& shown) {
    if (source.IsEmpty() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return wxRect();
    const int left = shownStart(source.GetLeft(), image.GetWidth(), shown.GetWidth());
    const int top = shownStart(source.GetTop(), image.GetHeight(), shown.GetHeight());
    const int right = shownStart(source.GetRight() + 1, image.GetWidth(), shown.GetWidth());
    const int bottom = shownStart(source.GetBottom() + 1, image.GetHeight(), shown.GetHeight());
    return wxRect(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
}

std::optional<wxSize> restoredSize(const bool& wasMaximized, const bool& maximized, const wxSize& size,
                                   const wxSize& normal) {
    if (!wasMaximized || maximized || size.GetWidth() >= normal.GetWidth() ||
        size.GetHeight() >= normal.GetHeight())
        return std::nullopt;
    return normal;
}

int tabStep(const int& keyCode, const int& modifiers) {
    switch (keyCode) {
    case WXK_TAB:
        if (modifiers == wxMOD_CONTROL)
            return 1;
        return modifiers == (wxMOD_CONTROL | wxMOD_SHIFT) ? -1 : 0;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        return modifiers == wxMOD_CONTROL ? 1 : 0;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        return modifiers == wxMOD_CONTROL ? -1 : 0;
    default:
        return 0;
    }
}

wxImageResizeQuality zoomQuality(const double& factor) {
    return factor <= 1 ? wxIMAGE_QUALITY_BILINEAR : wxIMAGE_QUALITY_NEAREST;
}

wxBitmapType pictureType(const wxString& extension) {
    const wxString e = extension.Lower();
    if (e == wxT("bmp"))
        return wxBITMAP_TYPE_BMP;
    if (e == wxT("tif"))
        return wxBITMAP_TYPE_TIFF;
    if (e == wxT("jpg"))
        return wxBITMAP_TYPE_JPEG;
    if (e == wxT("png"))
        return wxBITMAP_TYPE_PNG;
    return wxBITMAP_TYPE_INVALID;
}

wxString pictureWildcard() {
    return wxT("Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg|TIFF (*.tif)|*.tif|PNG (*.png)|*.png");
}

int pictureFilterIndex(const wxString& extension) {
    for (int i = 0; i < 4; ++i)
        if (extension == pictureExtensions[i])
            return i;
    return 0;
}

wxString pictureExtension(const int& filterIndex) {
    if (filterIndex < 0 || filterIndex >= 4)
        return pictureExtensions[0];
    return pictureExtensions[filterIndex];
}

wxString withDefaultExtension(const wxString& path, const wxString& extension) {
    wxFileName name(path);
    if (!name.HasExt() && !name.GetFullName().empty())
        return path + wxT(".") + extension;
    return path;
}

int countViewerFiles(const wxString& folder) {
    wxLogNull quiet;
    if (!wxDir::Exists(folder))
        return 0;
    wxDir dir(folder);
    if (!dir.IsOpened())
        return 0;
    int count = 0;
    wxString name;
    for (bool more = dir.GetFirst(&name, wxT("Tolvane*"), wxDIR_FILES | wxDIR_HIDDEN); more;
         more = dir.GetNext(&name))
        ++count;
    return count;
}

wxString proposedName(const wxString& folder, const wxString& extension) {
    wxString name = wxString::Format(wxT("Tolvane%d"), countViewerFiles(folder));
    if (!extension.empty())
        name << wxT(".") << extension;
    return name;
}

double lengthSeconds(const wxString& text, const wxString& unit) {
    auto value = parseNumber(text);
    if (!value)
        return -1;
    if (unit == wxT("min"))
        return *value * 60;
    if (unit == wxT("h"))
        return *value * 3600;
    return *value;
}

double recordFrameRate(const wxString& text, const wxString& unit) {
    auto value = parseNumber(text);
    if (!value)
        return -1;
    if (unit == wxT("im/min"))
        return *value / 60;
    if (unit == wxT("im/h"))
        return *value / 3600;
    return *value;
}

double maxSizeMB(const wxString& text, const wxString& unit) {
    auto value = parseNumber(text);
    if (!value || *value <= 0)
        return defaultMaxSizeMB;
    return unit == wxT("GB") ? *value * 1024 : *value;
}

long replayRate(const wxString& text) {
    long value = 0;
    if (!text.ToLong(&value, 10))
        return defaultReplayRate;
    return value;
}

wxString sliderMinText(const double& value) {
    return numberText(value);
}

wxString sliderMaxText(const double& value) {
    return wxString::Format(wxT("%.0f"), value);
}

std::pair<int, int> sliderRange(const double& min, const double& max) {
    auto clampInt = [](double v) {
        if (!std::isfinite(v))
            return v > 0 ? INT_MAX - 1 : 0;
        return static_cast<int>(
            std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX - 1)));
    };
    const int lo = clampInt(min);
    int hi = clampInt(max);
    if (hi <= lo)
        hi = lo + 1;
    return {lo, hi};
}

std::optional<double> exposureMax(const double& rate) {
    if (!(rate > 0) || !std::isfinite(rate))
        return std::nullopt;
    return 1.0 / rate * 1000.0;
}

} // namespace Tolvane::ViewerRules
