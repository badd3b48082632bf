#pragma once

// Decisions of the custom list controls that need no window: where a wheel turn goes, which parts
// of an item list are erased, and the colours of the status columns.

#include "camera_manager/core/rules/ColumnTreeRules.h"

#include <optional>
#include <vector>

#include <string>

namespace ListControlRules {

using ColumnTreeRules::Rect;

// Pixels the list scrolls for one wheel event, whatever the size of the delta.
constexpr int wheelListPixels = 17;
// Rows the partner tree scrolls for one wheel event.
constexpr int wheelPartnerRows = 3;

enum class WheelTarget { List, Partner, None };

// Strictly inside: on an edge is outside.
bool StrictlyInside(const Rect& r, int x, int y);

// Where a wheel turn with the cursor at (x, y) in screen coordinates goes. The list's rectangle
// includes its header.
WheelTarget RouteWheel(const Rect& list, const Rect& partner, int x, int y);

// Vertical list scroll for a wheel delta: up (negative pixels) for a positive delta.
int ListWheelScroll(int delta);
// New first visible row of the partner for a wheel delta, never below 0.
int PartnerWheelRow(int currentRow, int delta);

struct EraseFill {
    Rect rect;
    bool buttonFace; // true: the button face colour, false: white
};

// Parts of the client area that no item covers. `first` and `last` are the bounds of the first
// and last item, none when the list is empty; `headerBottom` is where the header ends.
std::vector<EraseFill> PartialErase(const Rect& client, int headerBottom, const std::optional<Rect>& first,
                                    const std::optional<Rect>& last, int windowsVersion);

struct CellColours {
    unsigned background; // colour reference 0x00BBGGRR
    unsigned text;
};

// Colours of column `column` of a row whose column 5 reads `stateText`: columns 3 and 4 follow
// the state digit, every other cell is black on white.
CellColours StatusCellColours(int column, const std::u16string& stateText);

// What a screen reader says for one row: "title: cell" for every cell that holds a text, joined
// by ", "; a cell without a title is said alone.
std::u16string SpokenRow(const std::vector<std::u16string>& titles, const std::vector<std::u16string>& cells);

// The keys that move the selection mark of a list.
enum class ListKey { Up, Down, PageUp, PageDown, Home, End };

// The row the mark moves to from `mark` (-1: no row marked) in a list of `count` rows that shows
// `perPage` at once: a page is one row less than is shown, so that the row at the edge stays in
// sight; both ends are limits. -1 for an empty list.
long ListKeyTarget(ListKey key, long mark, long count, long perPage);

} // namespace ListControlRules
