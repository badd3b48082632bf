#pragma once

// Progress of a long operation on a worker thread, estimated from the time elapsed against an
// expected duration. Runs modally and ends itself once the worker reports it is done; Enter,
// Escape and the close box do not end it while the worker runs.

#include <wx/dialog.h>
#include <wx/timer.h>

#include <atomic>
#include <cstdint>

class wxGauge;

class DlgProgress : public wxDialog {
public:
    // `firmwareDone` is the owner's flag that its worker sets to 1 when it has finished.
    DlgProgress(wxWindow* owner, const std::atomic<uint8_t>& firmwareDone, double expectedSeconds);

    // One timer tick: the bar follows the time elapsed; a finished worker ends the dialog.
    void Tick();
    int GetPosition() const;

    double percent = 0;
    int64_t startTime = 0;
    int64_t now = 0;
    double expectedSeconds;

private:
    void OnInit(wxInitDialogEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);

    wxGauge* bar;
    const std::atomic<uint8_t>& firmwareDone;
    wxTimer timer;
};

// Whole seconds of a monotonic clock.
int64_t ProgressClockSeconds();
