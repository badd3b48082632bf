#pragma once

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace Tolvane {

// The recording's length, frame rate, maximum size and replay rate, with the user's stored
// recording values loaded at creation, saved or removed again from the save area.
class RecordAdvParameters : public wxDialog {
public:
    enum Ids { ID_LENGTH_AUTO = 42, ID_RATE_AUTO = 43, ID_SAVE = 45, ID_REMOVE = 46 };

    explicit RecordAdvParameters(wxWindow* parent);

    // Seconds, or -1 for no limit.
    double getLength() const;
    // Images per second, or -1 for the camera's rate.
    double getFrameRate() const;
    // Megabytes.
    double getMaxSize() const;
    long getReplayFrameRate() const;

    // The controls, for tests.
    wxCheckBox* lengthAutoBox() const { return lengthAuto; }
    wxTextCtrl* lengthField() const { return lengthText; }
    wxComboBox* lengthUnitBox() const { return lengthUnit; }
    wxCheckBox* rateAutoBox() const { return rateAuto; }
    wxTextCtrl* rateField() const { return rateText; }
    wxComboBox* rateUnitBox() const { return rateUnit; }
    wxTextCtrl* sizeField() const { return sizeText; }
    wxComboBox* sizeUnitBox() const { return sizeUnit; }
    wxChoice* replayChoice() const { return replay; }
    wxStaticText* statusText() const { return status; }

private:
    void loadValues();
    void updateStatus();
    void setAuto(wxCheckBox* box, wxTextCtrl* field, wxString& saved, wxComboBox* unit, const bool& on);
    void onLengthAuto(wxCommandEvent& event);
    void onRateAuto(wxCommandEvent& event);
    void onSave(wxCommandEvent& event);
    void onRemove(wxCommandEvent& event);
    void onChange(wxCommandEvent& event);

    wxCheckBox* lengthAuto;
    wxTextCtrl* lengthText;
    wxString lengthSaved;
    wxStaticText* lengthLabel;
    wxComboBox* lengthUnit;
    wxCheckBox* rateAuto;
    wxTextCtrl* rateText;
    wxString rateSaved;
    wxStaticText* rateLabel;
    wxComboBox* rateUnit;
    wxTextCtrl* sizeText;
    wxStaticText* sizeLabel;
    wxComboBox* sizeUnit;
    wxChoice* replay;
    wxButton* saveButton;
    wxStaticText* saveText;
    wxStaticText* status;
    wxButton* removeButton;
    wxStaticText* removeText;
    bool loading = false;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tolvane
