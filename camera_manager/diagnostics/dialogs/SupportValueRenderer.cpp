#include "camera_manager/diagnostics/dialogs/SupportValueRenderer.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"

bool SupportValueRenderer::SetValue(const wxVariant& value) {
    warning_ = ColumnTreeRules::IsHotTemperature(FromWx(value.GetString()));
    return wxDataViewTextRenderer::SetValue(value);
}

// The view sets the cell's attributes after its value, for every cell it draws.
void SupportValueRenderer::SetAttr(const wxDataViewItemAttr& attr) {
    wxDataViewItemAttr shown = attr;
    if (warning_) {
        const unsigned ref = ColumnTreeRules::warningColour; // 0x00BBGGRR
        shown.SetColour(wxColour(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF));
    }
    wxDataViewTextRenderer::SetAttr(shown);
}
