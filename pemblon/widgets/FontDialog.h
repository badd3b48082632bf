#pragma once

#include <wx/checkbox.h>
#include <wx/clrpicker.h>
#include <wx/dialog.h>
#include <wx/stattext.h>

#include "pemblon/core/Export.h"
#include "pemblon/widgets/FontCombo.h"
#include "pemblon/widgets/FontSizeCombo.h"
#include "pemblon/widgets/OFont.h"

namespace PBN {
namespace Widgets {

// The "Format" dialog: edits a copy of an OFont (face, size, colour, bold, italic, underline)
// with a live preview. The background colour travels through unchanged.
class PBN_API FontDialog : public wxDialog {
public:
    enum {
        ID_FONT = 1000,
        ID_SIZE = 1001,
        ID_COLOR = 1002,
        ID_BOLD = 1003,
        ID_ITALIC = 1004,
        ID_UNDERLINE = 1005
    };

    FontDialog(wxWindow* parent, const OFont& font);
    ~FontDialog() override;

    OFont getFont() const { return _font; }

protected:
    void createCtrls();
    void initCtrls();
    void preview();
    // Sizes the preview for its text in the boldest, slanted style of the current face and size.
    void fitPreview();

    void onFont(wxCommandEvent& event);
    void onSize(wxCommandEvent& event);
    void onColor(wxColourPickerEvent& event);
    void onBold(wxCommandEvent& event);
    void onItalic(wxCommandEvent& event);
    void onUnderline(wxCommandEvent& event);

private:
    OFont _font;
    wxStaticText* _fontLabel;
    FontCombo* _fontCombo;
    wxStaticText* _sizeLabel;
    FontSizeCombo* _sizeCombo;
    wxStaticText* _colorLabel;
    wxColourPickerCtrl* _colorPicker;
    wxCheckBox* _bold;
    wxCheckBox* _italic;
    wxCheckBox* _underline;
    wxStaticText* _preview;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Widgets
} // namespace PBN
