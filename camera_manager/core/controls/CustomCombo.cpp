#include "camera_manager/core/controls/CustomCombo.h"

CustomCombo::CustomCombo(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxBitmapComboBox(parent, id, wxString(), pos, size, 0, nullptr, wxCB_READONLY) {
    Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
}
