#pragma once

// Decisions of the column tree that need no window: splitting an item's text into its columns,
// the colours of the value columns, the highlight geometry of a row and horizontal scrolling.

#include <string>

#include <optional>
#include <vector>

namespace ColumnTreeRules {

// Columns beyond this count are neither measured, scrolled nor drawn.
constexpr int maxColumns = 16;

// Colour references (0x00BBGGRR) of the value columns.
constexpr unsigned valueColour = 0xC80000;
constexpr unsigned warningColour = 0x0000E6;
constexpr unsigned highlightTextColour = 0xFFFFFF;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Piece `column` of an item text whose columns are joined by '\t'; none when the text has fewer pieces.
std::optional<std::u16string> Piece(const std::u16string& itemText, int column);

// What a screen reader says for one item: its label, then ": " and its values joined by ", "
// (empty values left out).
std::u16string SpokenItem(const std::u16string& itemText);

// True when a value piece shows a temperature of 65 degrees Celsius or more: it holds "° C" at a
// position above 0 and the integer at the start of the piece is above 64.
bool IsHotTemperature(const std::u16string& piece);

// Text colours of columns 1 to columnCount - 1 of one item (index 0 of the result is column 1).
// A column turns to the warning colour when the whole item text is the "DHCP enabled" row with
// "Yes", or when its own piece is a hot temperature; once turned, the colour stays for the later
// columns of the item. Highlighted items draw every value in the highlight text colour.
std::vector<unsigned> ValueColours(const std::u16string& itemText, int columnCount, bool highlighted,
                                   const std::u16string& dhcpEnabledYes);

struct RowGeometry {
    Rect highlight;           // H
    std::vector<Rect> erase;  // rectangles filled with the window colour around the button
    bool highlighted = false; // false when H has a negative width
};

// Highlight rectangle and erase rectangles of a row with label rectangle `label` (L), piece 0
// measuring `textWidth` pixels, and header widths `columnWidths` (at most 16 used).
RowGeometry RowHighlight(const Rect& label, int textWidth, const std::vector<int>& columnWidths,
                         bool fullRowSelect, bool hasChildren, bool selected);

// Column 0's text rectangle: L shrunk by 2 left and right and 1 top and bottom, and widened by 30
// to the right for a bold item in a language below index 9.
Rect FirstColumnTextRect(const Rect& label, bool bold, int languageIndex);

// Text rectangle of value column i (1 and above) on a row whose label rectangle is `label`.
Rect ValueTextRect(const Rect& label, const std::vector<int>& columnWidths, int column, int textOffset);

// The room a fitted column keeps free after its longest text, before the next column or the
// rows' scroll bar.
constexpr int textGap = 6;
// Where a label's text starts after its indent, and the width a column fitted to its longest
// text needs: `extent` is the text's width (for column 0 with its indent, as GetMaxColumnWidth
// measures it), `textOffset` the inset of the value columns' texts.
constexpr int labelInset = 5;
int FittedColumnWidth(int column, int extent, int textOffset);

// The width the tree scrolls sideways over: its columns and, right of them, the rows' vertical
// scroll bar, so that scrolled to its end the last column ends before the bar instead of under it.
int ScrolledWidth(int totalWidth, int verticalBarWidth);

// Scroll offset kept within 0 .. totalWidth - clientWidth (0 when the content is narrower).
int ClampScrollOffset(int offset, int totalWidth, int clientWidth);

enum class ScrollCode { LineLeft, LineRight, PageLeft, PageRight, ThumbTrack, LeftEnd, RightEnd, Other };

// The new scroll offset after a horizontal scroll request, clamped.
int ScrollTo(ScrollCode code, int offset, int thumbPosition, int totalWidth, int clientWidth);

// Sum of the first min(count, 16) widths.
int TotalWidth(const std::vector<int>& columnWidths);

} // namespace ColumnTreeRules
