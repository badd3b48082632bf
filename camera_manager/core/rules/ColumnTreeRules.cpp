#include "camera_manager/core/rules/ColumnTreeRules.h"

#include <algorithm>

namespace ColumnTreeRules {

std::optional<std::u16string> Piece(const std::u16string& itemText, int column) {
    size_t start = 0;
    for (int i = 0; i < column; ++i) {
        const size_t tab = itemText.find(u'\t', start);
        if (tab == std::u16string::npos)
            return std::nullopt;
        start = tab + 1;
    }
    const size_t end = itemText.find(u'\t', start);
    return itemText.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
}

std::u16string SpokenItem(const std::u16string& itemText) {
    std::u16string spoken = Piece(itemText, 0).value_or(std::u16string());
    const char16_t* separator = u": ";
    for (int column = 1;; ++column) {
        const auto piece = Piece(itemText, column);
        if (!piece)
            break;
        if (piece->empty())
            continue;
        spoken += separator + *piece;
        separator = u", ";
    }
    return spoken;
}

namespace {

// Leading integer of a text as the C runtime reads it: blanks, an optional sign, then digits.
long LeadingInteger(const std::u16string& text) {
    size_t i = 0;
    while (i < text.length() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.length() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long value = 0;
    for (; i < text.length() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 1000000)
            break; // far above any threshold; stop before overflowing
    }
    return negative ? -value : value;
}

} // namespace

bool IsHotTemperature(const std::u16string& piece) {
    static const std::u16string degrees = u"\u00B0 C";
    const size_t pos = piece.find(degrees);
    if (pos == std::u16string::npos || pos == 0)
        return false;
    return LeadingInteger(piece.substr(0, pos)) > 64;
}

std::vector<unsigned> ValueColours(const std::u16string& itemText, int columnCount, bool highlighted,
                                   const std::u16string& dhcpEnabledYes) {
    std::vector<unsigned> colours;
    unsigned colour = highlighted ? highlightTextColour : valueColour;
    const bool dhcpRow = itemText == dhcpEnabledYes;
    const int count = std::min(columnCount, maxColumns);
    for (int i = 1; i < count; ++i) {
        const auto piece = Piece(itemText, i);
        if (piece && (dhcpRow || IsHotTemperature(*piece)))
            colour = warningColour;
        colours.push_back(colour);
    }
    return colours;
}

int TotalWidth(const std::vector<int>& columnWidths) {
    int total = 0;
    const size_t n = std::min<size_t>(columnWidths.size(), maxColumns);
    for (size_t i = 0; i < n; ++i)
        total += columnWidths[i];
    return total;
}

RowGeometry RowHighlight(const Rect& label, int textWidth, const std::vector<int>& columnWidths,
                         bool fullRowSelect, bool hasChildren, bool selected) {
    RowGeometry g;
    const int first = columnWidths.empty() ? 0 : columnWidths[0];
    Rect h = label;
    h.right = std::min(label.left + textWidth + 4, first - 4);
    if (fullRowSelect) {
        h.right = TotalWidth(columnWidths) + 10;
        h.left = std::min(first - 1, h.left);
    }
    if (hasChildren) {
        auto xywh = [](int x, int y, int w, int hh) { return Rect{x, y, x + w, y + hh}; };
        g.erase.push_back(xywh(0, label.top, h.left - 14, label.Height()));
        g.erase.push_back(xywh(h.left - 14, label.top, 15, 4));
        g.erase.push_back(xywh(h.left - 14, label.bottom - 3, 15, 3));
        g.erase.push_back(xywh(h.left - 5, label.top, 6, 15));
    } else {
        h.left = 0;
    }
    g.highlight = h;
    g.highlighted = selected && h.Width() >= 0;
    return g;
}

Rect FirstColumnTextRect(const Rect& label, bool bold, int languageIndex) {
    Rect t{label.left + 2, label.top + 1, label.right - 2, label.bottom - 1};
    if (bold && languageIndex < 9)
        t.right += 30;
    return t;
}

Rect ValueTextRect(const Rect& label, const std::vector<int>& columnWidths, int column, int textOffset) {
    int x = 0;
    for (int i = 0; i < column && i < static_cast<int>(columnWidths.size()); ++i)
        x += columnWidths[i];
    const int width = column < static_cast<int>(columnWidths.size()) ? columnWidths[column] : 0;
    return {x + textOffset, label.top + 1, x + width - 2, label.bottom - 1};
}

int FittedColumnWidth(int column, int extent, int textOffset) {
    return (column == 0 ? labelInset : textOffset) + extent + textGap;
}

int ScrolledWidth(int totalWidth, int verticalBarWidth) {
    return totalWidth + std::max(0, verticalBarWidth);
}

int ClampScrollOffset(int offset, int totalWidth, int clientWidth) {
    return std::max(0, std::min(offset, totalWidth - clientWidth));
}

int ScrollTo(ScrollCode code, int offset, int thumbPosition, int totalWidth, int clientWidth) {
    int next = offset;
    switch (code) {
    case ScrollCode::LineLeft:
        next -= 15;
        break;
    case ScrollCode::LineRight:
        next += 15;
        break;
    case ScrollCode::PageLeft:
        next -= clientWidth;
        break;
    case ScrollCode::PageRight:
        next += clientWidth;
        break;
    case ScrollCode::ThumbTrack:
        next = thumbPosition;
        break;
    case ScrollCode::LeftEnd:
        next = 0;
        break;
    case ScrollCode::RightEnd:
        next = totalWidth - clientWidth;
        break;
    case ScrollCode::Other:
        break;
    }
    return ClampScrollOffset(next, totalWidth, clientWidth);
}

} // namespace ColumnTreeRules
