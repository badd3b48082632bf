#include "tolvane/RecordDialog.h"

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "platform/common/DesktopClose.h"
#include "tolvane/RecordAdvParameters.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

using PBN::Strings::ostring;
using Tolvane::ViewerRules::text;
using Tolvane_model::Camera;
using Tolvane_model::Config;

namespace Tolvane {

wxBEGIN_EVENT_TABLE(RecordDialog, wxDialog) EVT_BUTTON(ID_RECORD, RecordDialog::onRecord)
    EVT_BUTTON(ID_PAUSE, RecordDialog::onPause) EVT_BUTTON(ID_STOP, RecordDialog::onStop)
        EVT_BUTTON(ID_ADVANCED, RecordDialog::onAdvanced) wxEND_EVENT_TABLE()

            namespace {

    wxBitmap buttonPicture(const wxString& name) {
        const wxString path = PBN::HelperFuncs::getAppDir().wxstr() + wxT("res/") + name;
        wxBitmap bitmap;
        if (wxFileExists(path)) {
            wxLogNull quiet;
            bitmap.LoadFile(path, wxBITMAP_TYPE_ANY);
        }
        return bitmap.IsOk() ? bitmap : wxBitmap(32, 32);
    }

} // namespace

RecordDialog::RecordDialog(wxWindow* parent, const wxString& path)
    : wxDialog(parent, wxID_ANY, text(ids::RecordHelp), wxDefaultPosition, wxSize(350, 180),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      film(path) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* pathField = new wxTextCtrl(this, wxID_ANY, path, wxDefaultPosition, wxDefaultSize, wxTE_CENTRE);
    pathField->Disable();
    top->Add(pathField, 0, wxEXPAND | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto column = [&](int id, const wxString& picture, const wxString& caption) {
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        auto* button = new wxBitmapButton(this, id, buttonPicture(picture), wxDefaultPosition, wxDefaultSize,
                                          wxBU_AUTODRAW);
        sizer->Add(button, 0, wxALIGN_CENTER_HORIZONTAL);
        sizer->Add(new wxStaticText(this, wxID_ANY, caption), 0, wxALIGN_CENTER_HORIZONTAL | wxTOP, 2);
        row->Add(sizer, 1, wxEXPAND);
        return button;
    };
    record = column(ID_RECORD, wxT("record.png"), text(ids::Record));
    pause = column(ID_PAUSE, wxT("pause.png"), text(ids::Pause));
    stop = column(ID_STOP, wxT("stop.png"), text(ids::Stop));
    top->Add(row, 0, wxEXPAND | wxALL, 5);

    advancedButton = new wxButton(this, ID_ADVANCED, text(ids::AdvancedParameters));
    top->Add(advancedButton, 0, wxALIGN_RIGHT | wxALL, 5);

    pause->Disable();
    stop->Disable();
    // The dialog has no cancel button for the toolkit to press on Escape: Escape does what the
    // close box does, which is all a desktop without a window manager has to close it.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Close();
        else
            event.Skip();
    });
    SetSizer(top);
    wxSize size = GetSize();
    size.IncTo(GetBestSize());
    SetSize(size);
    Layout();
}

RecordDialog::~RecordDialog() {
    Camera::getInstance()->removeListener(this);
}

void RecordDialog::recordEnd() {
    finish();
}

void RecordDialog::finish() {
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}

RecordAdvParameters* RecordDialog::createAdvancedParameters() {
    // Another X client may have destroyed its window: the toolkit cannot show that one again.
    if (advanced && DesktopClose::isDestroyed(*advanced)) {
        advanced->Destroy();
        advanced = nullptr;
    }
    if (!advanced)
        advanced = new RecordAdvParameters(this);
    return advanced;
}

void RecordDialog::onRecord(wxCommandEvent&) {
    if (!film.IsOk()) {
        PBN::Exception(ostring(text(ids::InvalidFileName)), PBN::Exception::SEVERE).display(this, false);
        return;
    }
    double length = -1, rate = -1, size = ViewerRules::defaultMaxSizeMB;
    long replay = ViewerRules::defaultReplayRate;
    try {
        Config* config = Config::getInstance();
        if (advanced) {
            length = advanced->getLength();
            rate = advanced->getFrameRate();
            size = advanced->getMaxSize();
            replay = advanced->getReplayFrameRate();
        } else if (config->isUserRecordingDefined()) {
            length = config->getAviUserLength();
            rate = config->getAviUserFrameRate();
            size = config->getAviUserMaxSize();
            replay = config->getAviUserReplayFrameRate();
        }
        if (!(size > 0)) // a stored size of 0 or less would end the film before its first frame
            size = ViewerRules::defaultMaxSizeMB;
        if (replay <= 0)
            replay = ViewerRules::defaultReplayRate;
        Camera::getInstance()->startRecording(this, ostring(film.GetFullPath()), length, rate, size, replay);
    } catch (const PBN::Exception& e) {
        e.display(this, false);
        return;
    }
    setButtons(false, true, true);
}

void RecordDialog::setButtons(const bool& recordOn, const bool& pauseOn, const bool& stopOn) {
    wxWindow* focus = FindFocus();
    record->Enable(recordOn);
    pause->Enable(pauseOn);
    stop->Enable(stopOn);
    // A disabled button keeps no focus, and with none in the dialog no key reaches it (Escape
    // among them): the focus goes to the button that does what is next, Stop while a film runs
    // (Record once it is paused). Without a window manager the keyboard may reach the dialog
    // through its grab while the toolkit counts the focus elsewhere: that is no focus of its.
    if (!focus || !focus->IsEnabled() || wxGetTopLevelParent(focus) != this)
        (recordOn ? record : stop)->SetFocus();
}

void RecordDialog::onPause(wxCommandEvent&) {
    setButtons(true, false, true);
    try {
        Camera::getInstance()->pauseRecording();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void RecordDialog::onStop(wxCommandEvent&) {
    try {
        Camera::getInstance()->stopRecording();
    } catch (const PBN::Exception& e) {
        // The film is released whatever failed: nothing records any more, so the dialog goes too.
        e.display(this, false);
    }
    finish();
}

void RecordDialog::onAdvanced(wxCommandEvent&) {
    createAdvancedParameters()->ShowModal();
}

} // namespace Tolvane
