#include "camera_manager/core/controls/CustomListCtrlColor.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/rules/ListControlRules.h"

namespace {

wxColour FromReference(unsigned ref) {
    return wxColour(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

} // namespace

CustomListCtrlColor::CustomListCtrlColor(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                         const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_THEME) {}

long CustomListCtrlColor::AppendRow(const std::vector<wxString>& texts) {
    rows.push_back(texts);
    SetItemCount(static_cast<long>(rows.size()));
    return static_cast<long>(rows.size()) - 1;
}

void CustomListCtrlColor::SetCellText(long row, int column, const wxString& text) {
    if (row < 0 || row >= static_cast<long>(rows.size()) || column < 0)
        return;
    auto& cells = rows[row];
    if (static_cast<int>(cells.size()) <= column)
        cells.resize(column + 1);
    cells[column] = text;
    RefreshItem(row);
}

wxString CustomListCtrlColor::GetCellText(long row, int column) const {
    if (row < 0 || row >= static_cast<long>(rows.size()) || column < 0 ||
        column >= static_cast<int>(rows[row].size()))
        return wxString();
    return rows[row][column];
}

void CustomListCtrlColor::DeleteAllRows() {
    rows.clear();
    SetItemCount(0);
    Refresh();
}

wxString CustomListCtrlColor::OnGetItemText(long item, long column) const {
    return GetCellText(item, static_cast<int>(column));
}

wxItemAttr* CustomListCtrlColor::OnGetItemColumnAttr(long item, long column) const {
    const auto colours =
        ListControlRules::StatusCellColours(static_cast<int>(column), FromWx(GetCellText(item, 5)));
    attr.SetBackgroundColour(FromReference(colours.background));
    attr.SetTextColour(FromReference(colours.text));
    return &attr;
}
