#include "camera_manager/core/dialogs/DlgProgress.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/DlgProgress2.h"
#include "camera_manager/core/rules/ProgressRules.h"
#include "camera_manager/res/StringIds.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <chrono>

int64_t ProgressClockSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

wxGauge* BuildProgressTemplate(wxDialog* dialog) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* bar = new wxGauge(dialog, 1329, 100, wxDefaultPosition, wxSize(300, 18));
    sizer->Add(bar, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    auto* labels = new wxBoxSizer(wxHORIZONTAL);
    labels->Add(new wxStaticText(dialog, wxID_ANY, wxT("0%")));
    labels->AddStretchSpacer();
    labels->Add(new wxStaticText(dialog, wxID_ANY, wxT("100%")));
    sizer->Add(labels, 0, wxEXPAND | wxALL, 12);
    auto* ok = new wxButton(dialog, wxID_OK, wxT("OK"));
    ok->Hide();
    dialog->SetSizerAndFit(sizer);
    return bar;
}

DlgProgress::DlgProgress(wxWindow* owner, const std::atomic<uint8_t>& done, double expected)
    : wxDialog(owner, wxID_ANY, ResourceText(ids::Progress), wxDefaultPosition, wxDefaultSize, wxCAPTION),
      expectedSeconds(expected), firmwareDone(done), timer(this) {
    bar = BuildProgressTemplate(this);
    bar->SetRange(100);
    CentreOnParent();
    Bind(wxEVT_INIT_DIALOG, &DlgProgress::OnInit, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    Bind(wxEVT_CHAR_HOOK, &DlgProgress::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &DlgProgress::OnClose, this);
}

void DlgProgress::OnInit(wxInitDialogEvent& event) {
    percent = 0;
    startTime = ProgressClockSeconds();
    timer.Start(200);
    event.Skip();
}

void DlgProgress::Tick() {
    now = ProgressClockSeconds();
    percent = ProgressRules::ElapsedPercent(startTime, now, expectedSeconds);
    bar->SetValue(ProgressRules::BarPosition(percent));
    if (firmwareDone.load() == 1) {
        bar->SetValue(100);
        timer.Stop();
        if (IsModal())
            EndModal(wxID_OK);
    }
}

int DlgProgress::GetPosition() const {
    return bar->GetValue();
}

void DlgProgress::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
        return; // the worker decides when this ends
    event.Skip();
}

void DlgProgress::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && firmwareDone.load() != 1) {
        event.Veto();
        return;
    }
    event.Skip();
}
