#pragma once

// The language combo box: pictures beside the names, and no background erase (no flicker).

#include <wx/bmpcbox.h>

class CustomCombo : public wxBitmapComboBox {
public:
    CustomCombo(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
};
