#include "camera_manager/core/dialogs/DlgProgress2.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/rules/ProgressRules.h"
#include "camera_manager/res/StringIds.h"

#include <wx/gauge.h>

DlgProgress2::DlgProgress2(wxWindow* ownerWindow) : owner(ownerWindow) {}

bool DlgProgress2::Create() {
    if (!wxDialog::Create(owner, wxID_ANY, ResourceText(ids::Progress), wxDefaultPosition, wxDefaultSize,
                          wxCAPTION))
        return false;
    bar = BuildProgressTemplate(this);
    bar->SetRange(100);
    bar->SetValue(1);
    bar->Refresh();
    CenterOnOwner();
    Show();
    return true;
}

void DlgProgress2::CenterOnOwner() {
    if (!owner)
        return;
    const wxRect o = owner->GetScreenRect();
    const wxSize s = GetSize();
    const auto p = ProgressRules::CenterOnOwner(o.GetLeft(), o.GetTop(), o.GetLeft() + o.GetWidth(),
                                                o.GetTop() + o.GetHeight(), s.GetWidth(), s.GetHeight());
    Move(p.x, p.y);
}

void DlgProgress2::SetProgress(int position) {
    if (!bar)
        return;
    bar->SetValue(ProgressRules::BarPosition(position));
    bar->Refresh();
}

int DlgProgress2::GetPosition() const {
    return bar ? bar->GetValue() : 0;
}
