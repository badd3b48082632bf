#pragma once

// The text renderer of the support-file viewer's value column: a value the column tree's rule
// calls a hot temperature is drawn in the tree's warning colour, as the main window's tree
// draws it; every other value in the default colour.

#include <wx/dataview.h>

class SupportValueRenderer : public wxDataViewTextRenderer {
public:
    SupportValueRenderer() = default;
    bool SetValue(const wxVariant& value) override;
    // Whether the value last given is drawn in the warning colour (tests).
    bool IsWarning() const { return warning_; }

protected:
    void SetAttr(const wxDataViewItemAttr& attr) override;

private:
    bool warning_ = false;
};
