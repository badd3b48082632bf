#include "pemblon/widgets/FontDialog.h"

#include <algorithm>

#include <wx/arrstr.h>
#include <wx/display.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "pemblon/core/Defines.h"

namespace PBN {
namespace Widgets {

namespace {

wxString tr(const char* text) {
    return wxGetTranslation(text, Defines::name().wxstr());
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(FontDialog, wxDialog)
    EVT_COMBOBOX(FontDialog::ID_FONT, FontDialog::onFont)
    EVT_COMBOBOX(FontDialog::ID_SIZE, FontDialog::onSize)
    EVT_COLOURPICKER_CHANGED(FontDialog::ID_COLOR, FontDialog::onColor)
    EVT_CHECKBOX(FontDialog::ID_BOLD, FontDialog::onBold)
    EVT_CHECKBOX(FontDialog::ID_ITALIC, FontDialog::onItalic)
    EVT_CHECKBOX(FontDialog::ID_UNDERLINE, FontDialog::onUnderline)
wxEND_EVENT_TABLE()
    // clang-format on

    FontDialog::FontDialog(wxWindow* parent, const OFont& font)
    : wxDialog(parent, wxID_ANY, "Format", wxDefaultPosition, wxSize(320, 300),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      _font(font) {
    createCtrls();
    initCtrls();
}

FontDialog::~FontDialog() = default;

void FontDialog::createCtrls() {
    SetSizeHints(wxDefaultSize, wxDefaultSize);
    auto* main = new wxBoxSizer(wxVERTICAL);

    auto* format = new wxStaticBoxSizer(wxVERTICAL, this, tr("Format"));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* grid = new wxFlexGridSizer(2, 2, 0, 0);
    grid->SetFlexibleDirection(wxBOTH);
    grid->SetNonFlexibleGrowMode(wxFLEX_GROWMODE_SPECIFIED);
    _fontLabel = new wxStaticText(format->GetStaticBox(), wxID_ANY, tr("Font"));
    grid->Add(_fontLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    _fontCombo = new FontCombo(format->GetStaticBox(), ID_FONT);
    grid->Add(_fontCombo, 0, wxALL, 5);
    _sizeLabel = new wxStaticText(format->GetStaticBox(), wxID_ANY, tr("Size"));
    grid->Add(_sizeLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    _sizeCombo = new FontSizeCombo(format->GetStaticBox(), ID_SIZE);
    grid->Add(_sizeCombo, 0, wxALL, 5);
    row->Add(grid, 1, wxEXPAND, 5);
    _colorLabel = new wxStaticText(format->GetStaticBox(), wxID_ANY, tr("Color"));
    row->Add(_colorLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    _colorPicker = new wxColourPickerCtrl(format->GetStaticBox(), ID_COLOR);
    row->Add(_colorPicker, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    format->Add(row, 0, wxALIGN_CENTER_HORIZONTAL, 5);

    auto* styles = new wxBoxSizer(wxHORIZONTAL);
    _bold = new wxCheckBox(format->GetStaticBox(), ID_BOLD, tr("Bold"));
    styles->Add(_bold, 0, wxALL, 5);
    _italic = new wxCheckBox(format->GetStaticBox(), ID_ITALIC, tr("Italic"));
    styles->Add(_italic, 0, wxALL, 5);
    _underline = new wxCheckBox(format->GetStaticBox(), ID_UNDERLINE, tr("Underline"));
    styles->Add(_underline, 0, wxALL, 5);
    format->Add(styles, 0, wxALIGN_CENTER_HORIZONTAL, 5);
    main->Add(format, 0, wxEXPAND | wxALL, 5);

    auto* previewBox = new wxStaticBoxSizer(wxVERTICAL, this, tr("Preview"));
    _preview =
        new wxStaticText(previewBox->GetStaticBox(), wxID_ANY,
                         tr("The quick brown fox jumps over the lazy dog.\nABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                            "abcdefghijklmnopqrstuvwxyz\n0123456789"),
                         wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE | wxST_ELLIPSIZE_END);
    _preview->Wrap(-1);
    previewBox->Add(_preview, 1, wxEXPAND | wxALL, 5);
    main->Add(previewBox, 1, wxEXPAND | wxALL, 5);

    main->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 5);
    SetSizer(main);
    Layout();
}

void FontDialog::initCtrls() {
    const int face = _fontCombo->FindString(_font.GetFaceName(), true);
    if (face != wxNOT_FOUND) {
        _fontCombo->SetSelection(face);
    }
    const int size = _sizeCombo->FindString(wxString::Format("%d", _font.GetPointSize()), true);
    if (size != wxNOT_FOUND) {
        _sizeCombo->SetSelection(size);
    }
    _colorPicker->SetColour(_font.getColor());
    _bold->SetValue(_font.GetWeight() == wxFONTWEIGHT_BOLD);
    _italic->SetValue(_font.GetStyle() == wxFONTSTYLE_ITALIC);
    _underline->SetValue(_font.GetUnderlined());
    preview();
}

void FontDialog::preview() {
    _preview->SetFont(_font);
    _preview->SetForegroundColour(_font.getColor());
    fitPreview();
    Layout();
}

void FontDialog::fitPreview() {
    // Room for the text in the widest style of the chosen face and size, so that ticking Bold or
    // Italic neither wraps a line nor pushes the last one out of sight.
    wxFont widest(_font);
    widest.SetWeight(wxFONTWEIGHT_BOLD);
    widest.SetStyle(wxFONTSTYLE_ITALIC);
    widest.SetUnderlined(true);
    int width = 0;
    int height = 0;
    for (const wxString& line : wxSplit(_preview->GetLabel(), '\n', '\0')) {
        int w = 0;
        int h = 0;
        _preview->GetTextExtent(line.empty() ? wxString(" ") : line, &w, &h, nullptr, nullptr, &widest);
        width = std::max(width, w);
        height += h;
    }
    // Italic letters lean out past the measured width.
    int slack = 0;
    _preview->GetTextExtent("M", &slack, nullptr, nullptr, nullptr, &widest);
    _preview->SetMinSize(wxSize(width + slack, height + slack / 2));
    // The dialog grows to show it, never beyond the screen, and never shrinks under the user.
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect area =
        wxDisplay(display == wxNOT_FOUND ? 0U : static_cast<unsigned>(display)).GetClientArea();
    wxSize size = GetSize();
    size.IncTo(GetSizer()->ComputeFittingWindowSize(this));
    size.DecTo(area.GetSize());
    if (size == GetSize()) {
        return;
    }
    SetSize(size);
    if (IsShown()) {
        // Grown past the screen's edge: moved back onto it.
        wxPoint pos = GetPosition();
        pos.x = std::max(area.GetLeft(), std::min(pos.x, area.GetRight() + 1 - size.GetWidth()));
        pos.y = std::max(area.GetTop(), std::min(pos.y, area.GetBottom() + 1 - size.GetHeight()));
        Move(pos);
    }
}

void FontDialog::onFont(wxCommandEvent&) {
    // The chosen item, not the highlighted text nor the event's string (the wheel sends none).
    const int selection = _fontCombo->GetSelection();
    if (selection != wxNOT_FOUND) {
        _font.SetFaceName(_fontCombo->GetString(selection));
    }
    preview();
}

void FontDialog::onSize(wxCommandEvent&) {
    long size = 0;
    _sizeCombo->GetStringSelection().ToLong(&size, 10);
    if (size > 0 && size <= 1000) { // wx refuses other sizes with an assertion
        _font.SetPointSize(static_cast<int>(size));
    }
    preview();
}

void FontDialog::onColor(wxColourPickerEvent&) {
    _font.setColor(_colorPicker->GetColour());
    preview();
}

void FontDialog::onBold(wxCommandEvent&) {
    _font.SetWeight(_bold->GetValue() ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    preview();
}

void FontDialog::onItalic(wxCommandEvent&) {
    _font.SetStyle(_italic->GetValue() ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    preview();
}

void FontDialog::onUnderline(wxCommandEvent&) {
    _font.SetUnderlined(_underline->GetValue());
    preview();
}

} // namespace Widgets
} // namespace PBN
