// The language combo box: pictures beside the names, and no background erase (no flicker).
#ifndef CAMERA_MANAGER_CORE_CUSTOMCOMBO_H
#define CAMERA_MANAGER_CORE_CUSTOMCOMBO_H

#include <wx/bmpcbox.h>

class CustomCombo : public wxBitmapComboBox {
public:
    CustomCombo(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
};

#endif
