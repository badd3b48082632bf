// Decisions of the viewer's windows that need no window: timer intervals, zoom factors, picture
// file types, proposed file names, recording parameter units and status texts.
#pragma once

#include <optional>
#include <vector>
#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/string.h>

namespace Tolvane::ViewerRules {

// Text id of the viewer's string-table namespace "Tolvane", in the active language.
wxString text(const unsigned int& id);

// Every number typed into the viewer: surrounding blanks ignored, the decimal separator a comma
// or a point whatever the language and the C locale; none for any other text.
std::optional<double> parseNumber(const wxString& text);
// The decimal separator numbers are shown with: a comma for French, a point otherwise.
wxUniChar decimalSeparator(const wxLanguage& language);
// Numbers as the fields show them: six significant digits ("%g"), with the separator given or
// that of the interface language.
wxString numberText(const double& value, const wxUniChar& separator);
wxString numberText(const double& value);

// Display tick interval in milliseconds for a frame rate: the integer part of 1000 / rate, or
// 300 ms when the rate is not positive, not a number or gives less than 1 ms; capped at INT_MAX.
int displayInterval(const double& rate);

// Status-bar text "<label> : <rate> <unit>", the rate as the fields show numbers.
wxString frameRateStatus(const wxString& label, const double& rate, const wxString& unit);

// Width of a status-bar field that shows texts of the given widths whole: the widest plus the
// field's borders and padding, never below minimum.
constexpr int statusFieldPadding = 24;
int statusFieldWidth(const std::vector<int>& textWidths, const int& minimum);

// The colour of the "settings saved" texts: a dark green that keeps a contrast ratio above 4.5:1
// on the light backgrounds of dialogs (the stock green has about 1.4:1 on white).
wxColour savedColour();
// Contrast ratio of two colours, 1 to 21, from their relative luminances.
double contrastRatio(const wxColour& a, const wxColour& b);

// About box text.
wxString aboutText(const wxString& cameraName, const wxString& closing);

// The language a menu name selects: "French" or "English"; none for any other name.
std::optional<wxLanguage> languageForName(const wxString& name);

// The zoom box: six fixed percentages then "fit" (factor -1).
constexpr int zoomChoiceCount = 7;
constexpr int zoomFitIndex = 6;
extern const char* const zoomChoiceTexts[zoomChoiceCount - 1];
double zoomChoiceFactor(const int& index);
// Typed zoom: a number, with or without "%", as a percentage bounded to 1 %..1000 %; none when
// the text is not a number (the current zoom is kept).
constexpr double minZoomPercent = 1.0;
constexpr double maxZoomPercent = 1000.0;
std::optional<double> parseZoomPercent(const wxString& text);
wxString zoomText(const double& percent);
// Size of a picture scaled by factor (each side truncated, at least 1 pixel).
wxSize scaledSize(const wxSize& image, const double& factor);
// Scale that fits image into client: the smaller ratio, the horizontal one when equal; 0 for an
// empty image or client.
double fitScale(const wxSize& client, const wxSize& image);
// Smooth when shrinking or at 1, nearest pixel when enlarging.
wxImageResizeQuality zoomQuality(const double& factor);
// The picture's pixels under the visible part of it scaled to shown (visible in shown's
// coordinates), whole pixels only; empty when nothing of the picture is visible. Source pixel i
// covers the shown pixels from i * shown / image (truncated) up to where pixel i + 1 starts.
wxRect zoomSource(const wxRect& visible, const wxSize& image, const wxSize& shown);
// Where the source pixels land in the shown picture.
wxRect zoomTarget(const wxRect& source, const wxSize& image, const wxSize& shown);

// Main window: the size to give it back when it leaves the maximised state at a size smaller
// than its normal one on both sides (the toolkit then knows no normal size of it); none otherwise.
std::optional<wxSize> restoredSize(const bool& wasMaximized, const bool& maximized, const wxSize& size,
                                   const wxSize& normal);

// Keys that move through the properties tabs from any of their controls, as on the desktop:
// Ctrl+Tab and Ctrl+Page Down go to the next tab (1), Ctrl+Shift+Tab and Ctrl+Page Up to the one
// before (-1); 0 for every other key. modifiers are wxMOD_* flags.
int tabStep(const int& keyCode, const int& modifiers);

// Picture files. The type for an extension, ignoring case; wxBITMAP_TYPE_INVALID for any other.
wxBitmapType pictureType(const wxString& extension);
wxString pictureWildcard();
// Save-dialog filter index for the last extension (bmp 0, jpg 1, tif 2, png 3, else 0), and the
// extension of an index.
int pictureFilterIndex(const wxString& extension);
wxString pictureExtension(const int& filterIndex);
// The chosen path with ".<extension>" appended when it has no extension of its own.
wxString withDefaultExtension(const wxString& path, const wxString& extension);

// Number of files (not folders) in folder whose names match "Tolvane*"; 0, silently, when the
// folder does not exist. The proposed name is "Tolvane" followed by that count.
int countViewerFiles(const wxString& folder);
wxString proposedName(const wxString& folder, const wxString& extension);

// Recording parameters as the advanced dialog's fields give them. Units by their texts.
constexpr double defaultMaxSizeMB = 2048;
constexpr long defaultReplayRate = 25;
// Recording fields are read through parseNumber.
// Seconds for a length in "s", "min" or "h"; -1 when the text is not a number.
double lengthSeconds(const wxString& text, const wxString& unit);
// Images per second for a rate in "im/s", "im/min" or "im/h"; -1 when not a number.
double recordFrameRate(const wxString& text, const wxString& unit);
// Megabytes for a size in "GB" or "MB"; a size that is not a positive number gives the default
// 2048 MB (a size of -1 would end the film before its first frame).
double maxSizeMB(const wxString& text, const wxString& unit);
// A whole replay rate; 25 when the text is not one.
long replayRate(const wxString& text);
// Slider labels: the minimum as the fields show numbers, the maximum with "%.0f".
wxString sliderMinText(const double& value);
wxString sliderMaxText(const double& value);
// Slider range as integers, the maximum kept above the minimum.
std::pair<int, int> sliderRange(const double& min, const double& max);
// Longest exposure (ms) for a frame rate; none for a rate that is not positive.
std::optional<double> exposureMax(const double& rate);

} // namespace Tolvane::ViewerRules
