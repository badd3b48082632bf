#include "camera_manager/core/rules/ListControlRules.h"

#include <algorithm>

namespace ListControlRules {

bool StrictlyInside(const Rect& r, int x, int y) {
    return x > r.left && x < r.right && y > r.top && y < r.bottom;
}

WheelTarget RouteWheel(const Rect& list, const Rect& partner, int x, int y) {
    if (StrictlyInside(list, x, y))
        return WheelTarget::List;
    if (StrictlyInside(partner, x, y))
        return WheelTarget::Partner;
    return WheelTarget::None;
}

int ListWheelScroll(int delta) {
    if (delta == 0)
        return 0;
    return delta > 0 ? -wheelListPixels : wheelListPixels;
}

int PartnerWheelRow(int currentRow, int delta) {
    if (delta == 0)
        return currentRow;
    return std::max(0, currentRow + (delta > 0 ? -wheelPartnerRows : wheelPartnerRows));
}

std::vector<EraseFill> PartialErase(const Rect& client, int headerBottom, const std::optional<Rect>& first,
                                    const std::optional<Rect>& last, int windowsVersion) {
    std::vector<EraseFill> fills;
    if (!first || !last) {
        fills.push_back({{client.left, headerBottom, client.right, client.bottom}, false});
        return fills;
    }
    fills.push_back({{0, last->bottom, client.right, client.bottom}, false});
    fills.push_back({{0, first->top, 2, client.bottom}, false});
    fills.push_back({{first->right, first->top, client.right, client.bottom}, false});
    if (windowsVersion == 1)
        fills.push_back({{0, first->top - 2, client.right, first->top}, true});
    return fills;
}

CellColours StatusCellColours(int column, const std::u16string& stateText) {
    const CellColours plain{0xFFFFFF, 0x000000};
    if (column != 3 && column != 4)
        return plain;
    if (stateText == u"0")
        return {0x00FF00, 0x000000};
    if (stateText == u"1")
        return {0x00FFFF, 0x000000};
    if (stateText == u"2")
        return {0x0000FF, 0xFFFFFF};
    if (stateText == u"3")
        return {0x646464, 0xFFFFFF};
    return plain;
}

std::u16string SpokenRow(const std::vector<std::u16string>& titles,
                         const std::vector<std::u16string>& cells) {
    std::u16string spoken;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].empty())
            continue;
        if (!spoken.empty())
            spoken += u", ";
        if (i < titles.size() && !titles[i].empty())
            spoken += titles[i] + u": ";
        spoken += cells[i];
    }
    return spoken;
}

long ListKeyTarget(ListKey key, long mark, long count, long perPage) {
    if (count <= 0)
        return -1;
    const long page = std::max(1L, perPage - 1);
    const long from = std::clamp(mark, -1L, count - 1);
    long to = from;
    switch (key) {
    case ListKey::Up:
        to = from - 1;
        break;
    case ListKey::Down:
        to = from + 1;
        break;
    case ListKey::PageUp:
        to = from - page;
        break;
    case ListKey::PageDown:
        to = std::max(0L, from) + page;
        break;
    case ListKey::Home:
        to = 0;
        break;
    case ListKey::End:
        to = count - 1;
        break;
    }
    return std::clamp(to, 0L, count - 1);
}

} // namespace ListControlRules
