#include "tolvane/RecordAdvParameters.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Config.h"

#include <wx/button.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/valtext.h>

using Tolvane::ViewerRules::text;
using Tolvane_model::Config;

namespace Tolvane {

wxBEGIN_EVENT_TABLE(RecordAdvParameters, wxDialog)
    EVT_CHECKBOX(ID_LENGTH_AUTO, RecordAdvParameters::onLengthAuto)
        EVT_CHECKBOX(ID_RATE_AUTO, RecordAdvParameters::onRateAuto)
            EVT_BUTTON(ID_SAVE, RecordAdvParameters::onSave)
                EVT_BUTTON(ID_REMOVE, RecordAdvParameters::onRemove) wxEND_EVENT_TABLE()

                    namespace {

    // Labels are 135 pixels wide, or wider when their text needs it.
    wxStaticText* rowLabel(wxWindow * parent, const wxString& label) {
        auto* text = new wxStaticText(parent, wxID_ANY, label);
        text->SetMinSize(wxSize(std::max(135, text->GetBestSize().GetWidth()), -1));
        return text;
    }

    wxComboBox* unitBox(wxWindow * parent, std::initializer_list<const char*> units) {
        wxArrayString choices;
        for (const char* unit : units)
            choices.Add(unit);
        return new wxComboBox(parent, wxID_ANY, choices[0], wxDefaultPosition, wxDefaultSize, choices,
                              wxCB_READONLY);
    }

    wxTextCtrl* numberField(wxWindow * parent, const wxString& value) {
        return new wxTextCtrl(parent, wxID_ANY, value, wxDefaultPosition, wxDefaultSize, wxTE_RIGHT,
                              wxTextValidator(wxFILTER_NUMERIC));
    }

} // namespace

RecordAdvParameters::RecordAdvParameters(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, text(ids::AdvancedParameters), wxDefaultPosition, wxSize(530, 320),
               wxCAPTION | wxRESIZE_BORDER) {
    const wxString autoText = wxGetTranslation(wxT("Auto"), wxT("Pemblon"));
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, text(ids::RecordingParameters));
    wxWindow* boxWindow = box->GetStaticBox();
    auto* grid = new wxFlexGridSizer(4, 5, 5);
    grid->AddGrowableCol(2, 1);

    lengthLabel = rowLabel(boxWindow, text(ids::RecordLength));
    lengthAuto = new wxCheckBox(boxWindow, ID_LENGTH_AUTO, autoText);
    lengthText = numberField(boxWindow, wxT("60"));
    lengthUnit = unitBox(boxWindow, {"s", "min", "h"});
    grid->Add(lengthLabel, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(lengthAuto, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(lengthText, 1, wxEXPAND);
    grid->Add(lengthUnit, 0, wxALIGN_CENTER_VERTICAL);

    rateLabel = rowLabel(boxWindow, text(ids::RecordFrameRate));
    rateAuto = new wxCheckBox(boxWindow, ID_RATE_AUTO, autoText);
    rateText = numberField(boxWindow, wxT("1"));
    rateUnit = unitBox(boxWindow, {"im/s", "im/min", "im/h"});
    grid->Add(rateLabel, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(rateAuto, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(rateText, 1, wxEXPAND);
    grid->Add(rateUnit, 0, wxALIGN_CENTER_VERTICAL);

    sizeLabel = rowLabel(boxWindow, text(ids::RecordMaxSize));
    sizeText = numberField(boxWindow, wxEmptyString);
    sizeUnit = unitBox(boxWindow, {"GB", "MB"});
    grid->Add(sizeLabel, 0, wxALIGN_CENTER_VERTICAL);
    grid->AddSpacer(0);
    grid->Add(sizeText, 1, wxEXPAND);
    grid->Add(sizeUnit, 0, wxALIGN_CENTER_VERTICAL);

    wxArrayString rates;
    for (int r = 25; r >= 1; --r)
        rates.Add(wxString::Format(wxT("%d"), r));
    grid->Add(rowLabel(boxWindow, text(ids::ReplayFrameRate)), 0, wxALIGN_CENTER_VERTICAL);
    grid->AddSpacer(0);
    replay = new wxChoice(boxWindow, wxID_ANY, wxDefaultPosition, wxDefaultSize, rates);
    grid->Add(replay, 1, wxEXPAND);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, wxT("im/s")), 0, wxALIGN_CENTER_VERTICAL);
    box->Add(grid, 1, wxEXPAND | wxALL, 5);
    top->Add(box, 0, wxEXPAND | wxALL, 5);

    auto* saveBox = new wxStaticBoxSizer(wxVERTICAL, this, text(ids::SaveSettings));
    wxWindow* saveWindow = saveBox->GetStaticBox();
    auto* saveRow = new wxBoxSizer(wxHORIZONTAL);
    saveButton = new wxButton(saveWindow, ID_SAVE, text(ids::Apply));
    saveText = new wxStaticText(saveWindow, wxID_ANY, text(ids::SaveSettingsHint));
    saveRow->Add(saveButton, 0, wxRIGHT, 5);
    saveRow->Add(saveText, 1, wxALIGN_CENTER_VERTICAL);
    saveBox->Add(saveRow, 0, wxEXPAND | wxALL, 3);
    status = new wxStaticText(saveWindow, wxID_ANY, wxEmptyString);
    saveBox->Add(status, 0, wxALL, 3);
    auto* removeRow = new wxBoxSizer(wxHORIZONTAL);
    removeButton = new wxButton(saveWindow, ID_REMOVE, text(ids::Apply));
    removeText = new wxStaticText(saveWindow, wxID_ANY, text(ids::RemoveSettingsHint));
    removeRow->Add(removeButton, 0, wxRIGHT, 5);
    removeRow->Add(removeText, 1, wxALIGN_CENTER_VERTICAL);
    saveBox->Add(removeRow, 0, wxEXPAND | wxALL, 3);
    top->Add(saveBox, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);

    top->Add(CreateButtonSizer(wxOK), 0, wxEXPAND | wxALL, 5);

    loadValues();

    for (wxTextCtrl* field : {lengthText, rateText, sizeText})
        field->Bind(wxEVT_TEXT, &RecordAdvParameters::onChange, this);
    for (wxComboBox* unit : {lengthUnit, rateUnit, sizeUnit})
        unit->Bind(wxEVT_COMBOBOX, &RecordAdvParameters::onChange, this);
    replay->Bind(wxEVT_CHOICE, &RecordAdvParameters::onChange, this);

    SetSizer(top);
    // Never smaller than its contents, whatever the fonts and theme.
    wxSize size = GetSize();
    size.IncTo(GetBestSize());
    SetSize(size);
    Layout();
    updateStatus();
}

void RecordAdvParameters::setAuto(wxCheckBox* box, wxTextCtrl* field, wxString& saved, wxComboBox* unit,
                                  const bool& on) {
    box->SetValue(on);
    if (on) {
        if (field->IsEnabled()) // a row already on "Auto" keeps the text it saved then
            saved = field->GetValue();
        field->Disable();
        field->ChangeValue(wxEmptyString);
        unit->Disable();
    } else {
        field->Enable();
        field->ChangeValue(saved);
        unit->Enable();
    }
}

void RecordAdvParameters::loadValues() {
    loading = true;
    double length = -1, rate = -1, size = ViewerRules::defaultMaxSizeMB;
    long replayRate = ViewerRules::defaultReplayRate;
    Config* config = Config::getInstance();
    if (config->isUserRecordingDefined()) {
        length = config->getAviUserLength();
        rate = config->getAviUserFrameRate();
        size = config->getAviUserMaxSize();
        replayRate = config->getAviUserReplayFrameRate();
    }
    if (length == -1) {
        setAuto(lengthAuto, lengthText, lengthSaved, lengthUnit, true);
    } else {
        setAuto(lengthAuto, lengthText, lengthSaved, lengthUnit, false);
        lengthText->ChangeValue(ViewerRules::numberText(length));
        lengthUnit->SetValue(wxT("s"));
    }
    if (rate == -1) {
        setAuto(rateAuto, rateText, rateSaved, rateUnit, true);
    } else {
        setAuto(rateAuto, rateText, rateSaved, rateUnit, false);
        rateText->ChangeValue(ViewerRules::numberText(rate));
        rateUnit->SetValue(wxT("im/s"));
    }
    sizeText->ChangeValue(ViewerRules::numberText(size));
    sizeUnit->SetValue(wxT("MB"));
    replay->SetSelection(replay->FindString(wxString::Format(wxT("%ld"), replayRate), true));
    config->setRecordConfSaved(true);
    loading = false;
}

void RecordAdvParameters::updateStatus() {
    if (Config::getInstance()->getRecordConfSaved()) {
        status->SetLabel(text(ids::SettingsSaved));
        status->SetForegroundColour(ViewerRules::savedColour());
    } else {
        status->SetLabel(text(ids::SettingsNotSaved));
        status->SetForegroundColour(*wxRED);
    }
    Layout();
}

double RecordAdvParameters::getLength() const {
    if (lengthAuto->GetValue())
        return -1;
    return ViewerRules::lengthSeconds(lengthText->GetValue(), lengthUnit->GetValue());
}

double RecordAdvParameters::getFrameRate() const {
    if (rateAuto->GetValue())
        return -1;
    return ViewerRules::recordFrameRate(rateText->GetValue(), rateUnit->GetValue());
}

double RecordAdvParameters::getMaxSize() const {
    return ViewerRules::maxSizeMB(sizeText->GetValue(), sizeUnit->GetValue());
}

long RecordAdvParameters::getReplayFrameRate() const {
    return ViewerRules::replayRate(replay->GetStringSelection());
}

void RecordAdvParameters::onLengthAuto(wxCommandEvent&) {
    setAuto(lengthAuto, lengthText, lengthSaved, lengthUnit, lengthAuto->GetValue());
    Config::getInstance()->setRecordConfSaved(false);
    updateStatus();
}

void RecordAdvParameters::onRateAuto(wxCommandEvent&) {
    setAuto(rateAuto, rateText, rateSaved, rateUnit, rateAuto->GetValue());
    Config::getInstance()->setRecordConfSaved(false);
    updateStatus();
}

void RecordAdvParameters::onChange(wxCommandEvent&) {
    if (loading)
        return;
    Config::getInstance()->setRecordConfSaved(false);
    updateStatus();
}

void RecordAdvParameters::onSave(wxCommandEvent&) {
    try {
        Config::getInstance()->saveUserRecordSettings(getLength(), getFrameRate(), getMaxSize(),
                                                      getReplayFrameRate());
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    updateStatus();
}

void RecordAdvParameters::onRemove(wxCommandEvent&) {
    try {
        Config::getInstance()->resetUserRecordSettings();
        loadValues();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    updateStatus();
}

} // namespace Tolvane
