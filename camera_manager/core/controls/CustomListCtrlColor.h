#pragma once

// A list whose status columns 3 and 4 are coloured by the state digit in column 5 of the same row.
// The rows are held by the control itself and drawn on demand.

#include <wx/listctrl.h>

#include <vector>

class CustomListCtrlColor : public wxListCtrl {
public:
    CustomListCtrlColor(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);

    // Appends a row of texts (missing columns are empty) and returns its index.
    long AppendRow(const std::vector<wxString>& texts);
    void SetCellText(long row, int column, const wxString& text);
    wxString GetCellText(long row, int column) const;
    void DeleteAllRows();

    wxString OnGetItemText(long item, long column) const override;
    // Columns 3 and 4 in the colours of the row's state digit, every other cell black on white.
    wxItemAttr* OnGetItemColumnAttr(long item, long column) const override;

private:
    std::vector<std::vector<wxString>> rows;
    mutable wxItemAttr attr;
};
