#pragma once

#include "tolvane_model/CameraListener.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filename.h>

namespace Tolvane {

class RecordAdvParameters;

// Records the live image into one film: record (or resume), pause, stop, and the advanced
// parameters. Closes itself with wxID_OK when the camera ends the film (length or size reached,
// a film that failed, the camera lost) or Stop released it, so it never shows a recording that
// no longer runs.
class RecordDialog : public wxDialog, public Tolvane_model::CameraListener {
public:
    enum Ids { ID_RECORD = 38, ID_PAUSE = 39, ID_STOP = 40, ID_ADVANCED = 41 };

    RecordDialog(wxWindow* parent, const wxString& path);
    ~RecordDialog() override;

    void recordEnd() override;

    wxButton* recordButton() const { return record; }
    wxButton* pauseButton() const { return pause; }
    wxButton* stopButton() const { return stop; }
    // Null until the advanced parameters were first opened.
    RecordAdvParameters* advancedParameters() const { return advanced; }
    // Builds the advanced parameters without showing them (what each press does first): once, and
    // again when another X client destroyed their window.
    RecordAdvParameters* createAdvancedParameters();

private:
    void onRecord(wxCommandEvent& event);
    void onPause(wxCommandEvent& event);
    void onStop(wxCommandEvent& event);
    void onAdvanced(wxCommandEvent& event);
    void finish();
    // Enables the three buttons as given; the focus leaves a button that is disabled.
    void setButtons(const bool& recordOn, const bool& pauseOn, const bool& stopOn);

    wxFileName film;
    wxButton* record;
    wxButton* pause;
    wxButton* stop;
    wxButton* advancedButton;
    RecordAdvParameters* advanced = nullptr;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tolvane
