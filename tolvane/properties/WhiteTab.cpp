#include "tolvane/properties/WhiteTab.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

using Tolvane::ViewerRules::text;

namespace Tolvane::Properties {

WhiteTab::WhiteTab(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* explanation = new wxStaticText(this, wxID_ANY, text(ids::WhiteBalanceHint));
    explanation->Wrap(400);
    top->Add(explanation, 0, wxALL, 8);
    button = new wxButton(this, ID_START_STOP, text(ids::Start));
    top->Add(button, 0, wxALL, 8);
    SetSizer(top);
    Bind(wxEVT_BUTTON, &WhiteTab::onButton, this, ID_START_STOP);
}

void WhiteTab::onButton(wxCommandEvent&) {
    try {
        if (running) {
            running = false;
            button->SetLabel(text(ids::Start));
            Tolvane_model::Camera::getInstance()->stopWhiteBalance();
        } else {
            running = true;
            button->SetLabel(text(ids::Stop));
            Tolvane_model::Camera::getInstance()->doWhiteBalance();
        }
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    Layout();
}

} // namespace Tolvane::Properties
