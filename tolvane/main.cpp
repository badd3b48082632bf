// The viewer program's entry point. Release builds run without wx assertions and log at the
// information level.
#include "tolvane/Tolvane_App.h"

#include <wx/log.h>

// Not in an unnamed namespace: the wxGetApp() that wxIMPLEMENT_APP defines for it would then be
// an unused function of this file.
class TolvaneEntry : public Tolvane::Tolvane_App {
public:
    TolvaneEntry() {
#ifdef NDEBUG
        wxDisableAsserts();
        wxLog::SetLogLevel(wxLOG_Info);
#endif
    }
};

wxIMPLEMENT_APP(TolvaneEntry);
