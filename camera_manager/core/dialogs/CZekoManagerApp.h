#pragma once

// The camera manager's application object: start-up picks the language and its resource
// library, checks the camera interface library and runs the main dialog; the program ends with
// the dialog (or after message 549 or 550).

#include "camera_manager/core/controls/WindowBehaviour.h"
#include "platform/win/System.h"

#include <wx/app.h>

class CZekoManagerApp : public wxApp {
public:
    CZekoManagerApp();
    // Runs the whole start-up; the program then ends with exitCode, without a main loop.
    bool OnInit() override;
    int OnRun() override { return exitCode; }
    // The whole start-up; always false, so that the program ends when the dialog ends.
    bool InitInstance();
    // Every dialog the program shows is kept inside the screen's work area.
    int FilterEvent(wxEvent& event) override;

    // 0 once the main dialog has been closed, 1 when the interface library stopped the start.
    int exitCode = 0;

    // Always 0: there is no 32-bit program on a 64-bit system here.
    BOOL wow64 = FALSE;

private:
    WorkAreaKeeper workArea;
};
