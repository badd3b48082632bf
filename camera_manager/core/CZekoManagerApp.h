#pragma once

// The camera manager's application object: start-up picks the language and its resource
// library, checks the camera interface library and runs the main dialog; the program ends with
// the dialog (or after message 549 or 550).

#include "platform/win/System.h"

#include <wx/app.h>

class CZekoManagerApp : public wxApp {
public:
    CZekoManagerApp();
    bool OnInit() override;
    // The whole start-up; always false, so that the program ends when the dialog ends.
    bool InitInstance();

    // Always 0: there is no 32-bit program on a 64-bit system here.
    BOOL wow64 = FALSE;
};
