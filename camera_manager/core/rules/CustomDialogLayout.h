#pragma once

// Placement of the main dialog's controls for a given client size. The positions come from the
// dialog's template, recorded once; every layout starts from them again, so resizing never
// accumulates rounding. No window is needed to compute a layout.

#include <array>
#include <map>
#include <optional>
#include <vector>

struct ControlPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ControlPlacement&) const = default;
};

namespace CustomDialogLayout {

// Width difference between the full and the narrow window that the layout assumes.
constexpr int narrowDelta = 371;
// What the camera list's border and vertical scroll bar take of its width.
constexpr int listChrome = 24;
// The camera list's least height: its header and three rows.
constexpr int minimumListHeight = 100;

// The controls whose placement is recorded at initialisation, in the order they are recorded.
extern const std::array<int, 33> recordedControls;
// The group boxes the dialog paints itself instead of showing them.
extern const std::array<int, 6> hiddenGroupBoxes;

struct Move {
    int id;
    ControlPlacement placement;
};

struct Layout {
    int extraWidth = 0;  // e
    int extraHeight = 0; // b
    // Every control in the order it is moved: the list, the tree, then the rest.
    std::vector<Move> moves;
    std::array<int, 7> listColumnWidths{};
    std::array<int, 2> treeColumnWidths{};
};

// Extra width e for a client width cx: shared between list and tree in expert mode, all of it
// beyond the narrow width to the list otherwise. Integer division truncates toward zero.
int ExtraWidth(int cx, int w0, bool expertMode);

// The layout for a client area of cx by cy, given the placements recorded for a client area of
// w0 by h0. Controls missing from the recorded map are left out. Nothing is clamped.
// The narrow layout hides the expert row (starter firmware upload, manual ETH configuration):
// what lies below it moves up by one row, and the status line takes the height it frees.
constexpr int expertRowHeight = 30;

// What the tree's columns are fitted to; nothing given keeps the template's widths. The label
// column is never narrower than its labels, the value column never narrower than its values (the
// tree then scrolls sideways); room one column can spare goes to the other. A width the user gave
// a column stays as given, and a value column the user did not size ends where the rows end.
struct TreeFit {
    int labelWidth = 0; // the longest label of the rows shown, with its margin (0: none)
    int valueWidth = 0; // the longest value of the rows shown, with its margin (0: none)
    // The tree's width that no column may take, when known: its border and the rows' vertical
    // scroll bar while it shows. Without it the columns share the template's total.
    std::optional<int> chrome;
    std::array<int, 2> userWidths{}; // widths the user dragged the columns to (0: none)
};

// What the list's columns are fitted to: the widest text of each column (its header, the words
// its cells show) with its margins and icon; a column is never narrower (0: no text known).
struct ListFit {
    std::array<int, 7> textWidths{};
};

// In expert mode a tree whose labels and values cannot stand whole side by side takes the width
// it lacks from the list, as far as the list has room beside its columns.
Layout LayoutControls(const std::map<int, ControlPlacement>& recorded, int w0, int h0, int cx, int cy,
                      bool expertMode, const TreeFit& tree = {}, const ListFit& list = {});

// A window's horizontal extent.
struct Span {
    int x = 0;
    int width = 0;
    bool operator==(const Span&) const = default;
};
// The extent after a width change of delta, kept inside the screen area [areaX, areaX +
// areaWidth): the left edge stays unless the right edge would leave the area, then the window
// moves left, never past the area's left edge, and is never wider than the area.
Span ResizeWithinScreen(int x, int width, int delta, int areaX, int areaWidth);

// The group frames painted, in order: the wide bottom frame in expert mode, the narrow one otherwise.
std::vector<int> PaintedGroupFrames(bool expertMode);

// Minimum tracking height: the template's window height less what the camera list (listHeight
// high in the template) can give up and still show minimumListHeight; everything below the list
// moves up with its lower edge, so nothing overlaps above it. 0 (no limit of ours) until the
// layout is ready; never taller than the work area (areaHeight, 0 when unknown).
int MinimumHeight(bool layoutReady, int initialHeight, int listHeight, int areaHeight = 0);

// The width or height to keep in the settings: the one asked for (wanted) while the window still
// has the extent a small screen imposed on it, else the one it has. A size the screen forced is
// then not taken for the user's to a larger screen. The extent imposed is the one given at the
// start, or one smaller than asked that fills the work area (fitted: the area's extent less the
// frame's), which is what a window manager leaves of it once it has added its frame.
int SavedExtent(int current, int imposed, int wanted, int fitted);

// Minimum tracking width; 0 (no limit of ours) until the layout is ready. Never wider than the
// work area (areaWidth, 0 when unknown), so that expert mode widens within it on a small screen.
int MinimumWidth(bool layoutReady, bool expertMode, int fullMinWidth, int narrowMinWidth, int areaWidth = 0);

} // namespace CustomDialogLayout
