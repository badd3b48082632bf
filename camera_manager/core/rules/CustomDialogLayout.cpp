#include "camera_manager/core/rules/CustomDialogLayout.h"

#include <algorithm>

namespace CustomDialogLayout {

const std::array<int, 33> recordedControls = {
    1010, 1082, 1085, 1175, 1086, 1087, 1125, 1104, 1195, 1092, 1143, 1029, 1079, 1106, 1001, 1090, 1091,
    1095, 1153, 1158, 1154, 1159, 1072, 1097, 1124, 1328, 1340, 1341, 1351, 1352, 1325, 1150, 1096};

const std::array<int, 6> hiddenGroupBoxes = {1001, 1091, 1090, 1095, 1153, 1158};

namespace {

// Order of the moves after the list and the tree.
constexpr std::array<int, 31> moveOrder = {1085, 1175, 1086, 1087, 1125, 1104, 1195, 1092, 1143, 1029, 1079,
                                           1106, 1154, 1159, 1072, 1097, 1124, 1328, 1340, 1341, 1351, 1352,
                                           1325, 1096, 1150, 1001, 1090, 1091, 1095, 1153, 1158};

ControlPlacement Place(int id, const ControlPlacement& p, int e, int b) {
    const int t = e / 2;
    const int q = e / 4;
    const int r = 3 * e / 4;
    switch (id) {
    case 1010:
    case 1001:
        return {p.x, p.y, p.width + e, p.height + b};
    case 1082:
    case 1090:
        return {p.x + e, p.y, p.width + e, p.height + b};
    case 1091:
    case 1095:
    case 1153:
    case 1154:
        return {p.x, p.y + b, p.width + e, p.height};
    case 1158:
    case 1159:
        return {p.x, p.y + b, p.width + 2 * e, p.height};
    case 1125:
    case 1104:
    case 1195:
    case 1092:
    case 1325:
        return {p.x, p.y + b, p.width + t, p.height};
    case 1085:
    case 1175:
    case 1086:
    case 1087:
    case 1143:
    case 1029:
        return {p.x + t, p.y + b, p.width + t, p.height};
    case 1079:
        return {p.x + t, p.y + b, p.width, p.height};
    case 1106:
        return {p.x, p.y + b, p.width, p.height};
    case 1096:
    case 1150:
        return {p.x + r, p.y + b, p.width, p.height};
    default: // the left picture slot
        return {p.x + q, p.y + b, p.width, p.height};
    }
}

// The narrow layout closes the gap of the hidden expert row.
ControlPlacement Narrow(int id, ControlPlacement p) {
    switch (id) {
    case 1091: // the control centre's frame
        p.height -= expertRowHeight;
        break;
    case 1153: // the status frame and line take the freed height
    case 1154:
        p.y -= expertRowHeight;
        p.height += expertRowHeight;
        break;
    case 1106:
    case 1143:
    case 1029:
    case 1095:
    case 1325:
    case 1096:
    case 1150:
    case 1072:
    case 1097:
    case 1124:
    case 1328:
    case 1340:
    case 1341:
    case 1351:
    case 1352:
        p.y -= expertRowHeight;
        break;
    default:
        break;
    }
    return p;
}

constexpr int minimumValueColumn = 100;

// Free room kept between the language combo and the camera picture.
constexpr int comboPictureGap = 8;

// The combo grows by half the extra width, the picture beside it moves by a quarter: in a window
// widened far enough the combo would run under the picture. A combo that stood left of the
// pictures in the template stops short of them.
void KeepComboBesidePictures(const std::map<int, ControlPlacement>& recorded, Layout& layout) {
    const auto combo = recorded.find(1325);
    if (combo == recorded.end())
        return;
    int pictureLeft = -1;
    for (const auto& m : layout.moves)
        if (m.id == 1072 || m.id == 1097 || m.id == 1124 || m.id == 1328 || m.id == 1340 || m.id == 1341 ||
            m.id == 1351 || m.id == 1352) {
            if (recorded.at(m.id).x < combo->second.x + combo->second.width + comboPictureGap)
                return;
            pictureLeft = pictureLeft < 0 ? m.placement.x : std::min(pictureLeft, m.placement.x);
        }
    if (pictureLeft < 0)
        return;
    for (auto& m : layout.moves)
        if (m.id == 1325 && m.placement.x < pictureLeft &&
            m.placement.x + m.placement.width > pictureLeft - comboPictureGap)
            m.placement.width = std::max(0, pictureLeft - comboPictureGap - m.placement.x);
}

} // namespace

int ExtraWidth(int cx, int w0, bool expertMode) {
    return expertMode ? (cx - w0) / 2 : cx - w0 + narrowDelta;
}

namespace {

// The width a list of `listWidth` has beside its columns (negative where they stand past it).
int SpareBeside(const Layout& layout, int listWidth) {
    int columns = 0;
    for (int width : layout.listColumnWidths)
        columns += width;
    return listWidth - listChrome - columns;
}

// Every control for the extra width e and height b. In expert mode `shift` moves the split
// between the list and the tree: the list and all below it are that much narrower, the tree that
// much wider to its left; the window's right edge stays.
Layout Arrange(const std::map<int, ControlPlacement>& recorded, int e, int b, bool expertMode, int shift,
               const ListFit& list) {
    Layout layout;
    const int left = e - shift;
    layout.extraWidth = e;
    layout.extraHeight = b;
    auto add = [&](int id) {
        auto it = recorded.find(id);
        if (it == recorded.end())
            return;
        ControlPlacement placed = Place(id, it->second, left, b);
        if (id == 1082 || id == 1090 || id == 1158 || id == 1159)
            placed.width += 2 * shift;
        layout.moves.push_back({id, expertMode ? placed : Narrow(id, placed)});
    };
    add(1010);
    add(1082);
    for (int id : moveOrder)
        add(id);
    KeepComboBesidePictures(recorded, layout);
    layout.listColumnWidths = {47, 42, 39, 51, 49, 82, 79};
    // A seventh of the extra width to each column. A window narrower than the template (a small
    // screen) takes width from the columns only once the list has none left beside them: no
    // column is cut while part of the list stays empty.
    int c = left / 7;
    if (const auto found = recorded.find(1010); c < 0 && found != recorded.end()) {
        const int spare = SpareBeside(layout, found->second.width + left);
        c = std::max(c, spare >= 0 ? 0 : -((6 - spare) / 7));
    }
    for (size_t i = 0; i < layout.listColumnWidths.size(); ++i)
        layout.listColumnWidths[i] = std::max(layout.listColumnWidths[i] + c, list.textWidths[i]);
    layout.treeColumnWidths = {e / 2 + 195, e / 2 + 143};
    return layout;
}

int WidthOf(const Layout& layout, int id) {
    for (const Move& m : layout.moves)
        if (m.id == id)
            return m.placement.width;
    return 0;
}

// How much wider the tree has to be for its labels and values to stand whole side by side, as
// far as the list can spare beside its columns; 0 when the user sized a column.
int TreeShift(const Layout& layout, const TreeFit& tree) {
    if (tree.labelWidth <= 0 || tree.valueWidth <= 0 || !tree.chrome || tree.userWidths[0] > 0 ||
        tree.userWidths[1] > 0)
        return 0;
    const int shortfall = tree.labelWidth + tree.valueWidth - (WidthOf(layout, 1082) - *tree.chrome);
    return std::clamp(shortfall, 0, std::max(0, SpareBeside(layout, WidthOf(layout, 1010))));
}

} // namespace

Layout LayoutControls(const std::map<int, ControlPlacement>& recorded, int w0, int h0, int cx, int cy,
                      bool expertMode, const TreeFit& tree, const ListFit& list) {
    const int e = ExtraWidth(cx, w0, expertMode);
    Layout layout = Arrange(recorded, e, cy - h0, expertMode, 0, list);
    if (const int shift = expertMode ? TreeShift(layout, tree) : 0; shift > 0)
        layout = Arrange(recorded, e, cy - h0, expertMode, shift, list);
    const bool userSized = tree.userWidths[0] > 0 || tree.userWidths[1] > 0;
    if (tree.labelWidth > 0 || tree.valueWidth > 0 || tree.chrome || userSized) {
        // Labels whole first, then values: a column gives room to the other only what it can
        // spare; when both cannot be whole the tree scrolls sideways.
        int room = layout.treeColumnWidths[0] + layout.treeColumnWidths[1];
        if (tree.chrome)
            room = WidthOf(layout, 1082) - *tree.chrome;
        const int first =
            tree.userWidths[0] > 0
                ? tree.userWidths[0]
                : std::max(tree.labelWidth, std::min(layout.treeColumnWidths[0], room - tree.valueWidth));
        const int second = tree.userWidths[1] > 0
                               ? tree.userWidths[1]
                               : std::max({room - first, tree.valueWidth, minimumValueColumn});
        layout.treeColumnWidths = {first, second};
    }
    return layout;
}

Span ResizeWithinScreen(int x, int width, int delta, int areaX, int areaWidth) {
    Span span{x, std::min(width + delta, areaWidth)};
    if (span.x + span.width > areaX + areaWidth)
        span.x = areaX + areaWidth - span.width;
    span.x = std::max(span.x, areaX);
    return span;
}

std::vector<int> PaintedGroupFrames(bool expertMode) {
    return {1001, 1091, 1090, 1095, expertMode ? 1158 : 1153};
}

int MinimumHeight(bool layoutReady, int initialHeight, int listHeight, int areaHeight) {
    if (!layoutReady)
        return 0;
    const int height = initialHeight - std::max(0, listHeight - minimumListHeight);
    return areaHeight > 0 ? std::min(height, areaHeight) : height;
}

int SavedExtent(int current, int imposed, int wanted, int fitted) {
    return current == imposed || (current < wanted && current >= fitted) ? wanted : current;
}

int MinimumWidth(bool layoutReady, bool expertMode, int fullMinWidth, int narrowMinWidth, int areaWidth) {
    if (!layoutReady)
        return 0;
    const int width = expertMode ? fullMinWidth : narrowMinWidth;
    return areaWidth > 0 ? std::min(width, areaWidth) : width;
}

} // namespace CustomDialogLayout
