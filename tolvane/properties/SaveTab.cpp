#include "tolvane/properties/SaveTab.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <wx/button.h>
#include <wx/sizer.h>

using Tolvane::ViewerRules::text;

namespace Tolvane::Properties {

SaveTab::SaveTab(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* saveRow = new wxBoxSizer(wxHORIZONTAL);
    saveRow->Add(new wxButton(this, ID_SAVE, text(ids::Apply)), 0, wxRIGHT, 8);
    saveRow->Add(new wxStaticText(this, wxID_ANY, text(ids::SaveSettingsHint)), 1, wxALIGN_CENTER_VERTICAL);
    top->Add(saveRow, 0, wxEXPAND | wxALL, 8);
    status = new wxStaticText(this, wxID_ANY, wxEmptyString);
    top->Add(status, 0, wxALL, 8);
    auto* removeRow = new wxBoxSizer(wxHORIZONTAL);
    removeRow->Add(new wxButton(this, ID_REMOVE, text(ids::Apply)), 0, wxRIGHT, 8);
    removeRow->Add(new wxStaticText(this, wxID_ANY, text(ids::RemoveSettingsHint)), 1,
                   wxALIGN_CENTER_VERTICAL);
    top->Add(removeRow, 0, wxEXPAND | wxALL, 8);
    SetSizer(top);
    Bind(wxEVT_BUTTON, &SaveTab::onSave, this, ID_SAVE);
    Bind(wxEVT_BUTTON, &SaveTab::onRemove, this, ID_REMOVE);
    refresh();
}

void SaveTab::onSave(wxCommandEvent&) {
    try {
        Tolvane_model::Camera::getInstance()->saveUserSettings();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    refresh();
}

void SaveTab::onRemove(wxCommandEvent&) {
    try {
        Tolvane_model::Camera::getInstance()->resetUserSettings();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    refresh();
}

void SaveTab::refresh() {
    if (Tolvane_model::Config::getInstance()->getConfSaved()) {
        status->SetLabel(text(ids::SettingsSaved));
        status->SetForegroundColour(ViewerRules::savedColour());
    } else {
        status->SetLabel(text(ids::SettingsNotSaved));
        status->SetForegroundColour(*wxRED);
    }
    Layout();
}

} // namespace Tolvane::Properties
