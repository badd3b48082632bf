#include "pemblon/widgets/OutputDialog.h"

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "pemblon/core/Defines.h"

namespace PBN {
namespace Widgets {

namespace {

wxString tr(const char* text) {
    return wxGetTranslation(text, Defines::name().wxstr());
}

} // namespace

OutputDialog::OutputDialog()
    : OutputDialog(Strings::ostring(""), Strings::ostring(""), tr("Output"), nullptr) {}

OutputDialog::OutputDialog(const Strings::ostring& output, const Strings::ostring& message,
                           const Strings::ostring& title, wxWindow* parent)
    : wxDialog(parentOrTopWindow(parent), wxID_ANY, title.wxstr(), wxDefaultPosition, wxSize(525, 347),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX),
      _message(message), _outputColour(0, 0, 0, 255), _errorColour(0, 0, 0, 255), _label(nullptr),
      _text(nullptr), _close(nullptr) {
    _lines.push_back({output, false});
    createCtrls();
    initCtrls();
}

OutputDialog::~OutputDialog() = default;

wxWindow* OutputDialog::parentOrTopWindow(wxWindow* parent) {
    // Given at creation, the parent also holds for a modeless Show().
    if (parent != nullptr || wxTheApp == nullptr) {
        return parent;
    }
    return wxTheApp->GetTopWindow();
}

void OutputDialog::createCtrls() {
    SetSizeHints(wxDefaultSize, wxDefaultSize);
    auto* main = new wxBoxSizer(wxVERTICAL);
    _label = new wxStaticText(this, 1, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0);
    _label->Wrap(-1);
    main->Add(_label, 0, wxEXPAND | wxALL, 5);
    _text = new wxTextCtrl(this, 2, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                           wxTE_READONLY | wxTE_MULTILINE | wxTE_RICH | wxTE_NOHIDESEL | wxTE_RICH2 |
                               wxTE_DONTWRAP);
    _text->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    main->Add(_text, 1, wxEXPAND | wxALL, 5);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(0, 0, 1, wxEXPAND, 5);
    _close = new wxButton(this, wxID_OK, tr("Close"));
    _close->SetDefault();
    buttons->Add(_close, 0, wxALL, 5);
    main->Add(buttons, 0, wxEXPAND, 5);
    SetSizer(main);
    Layout();
}

void OutputDialog::initCtrls() {
    _label->SetLabel(_message.wxstr());
    _text->SetDefaultStyle(
        wxTextAttr(_outputColour, wxNullColour,
                   wxFont(8, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                          wxEmptyString, wxFONTENCODING_DEFAULT)));
    showPending();
}

void OutputDialog::showPending() {
    // Each append costs the text box a style change and a layout, so a run of lines of one
    // colour goes in as one text.
    while (_shown < _lines.size()) {
        const bool error = _lines[_shown].error;
        wxString run;
        for (; _shown < _lines.size() && _lines[_shown].error == error; ++_shown)
            run += _lines[_shown].text.wxstr();
        wxTextAttr style = _text->GetDefaultStyle();
        style.SetTextColour(error ? _errorColour : _outputColour);
        _text->SetDefaultStyle(style);
        _text->AppendText(run);
    }
}

void OutputDialog::schedulePending() {
    if (_showQueued)
        return;
    _showQueued = true;
    CallAfter([this] {
        _showQueued = false;
        showPending();
    });
}

void OutputDialog::output(const Strings::ostring& text) {
    _lines.push_back({text, false});
    schedulePending();
}

void OutputDialog::error(const Strings::ostring& text) {
    _lines.push_back({text, true});
    schedulePending();
}

} // namespace Widgets
} // namespace PBN
