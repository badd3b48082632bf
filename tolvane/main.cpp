// The viewer program's entry point. Release builds run without wx assertions and log at the
// information level.
#include "tolvane/Tolvane_App.h"

#include <wx/log.h>

namespace {

class TolvaneEntry : public Tolvane::Tolvane_App {
public:
    TolvaneEntry() {
#ifdef NDEBUG
        wxDisableAsserts();
        wxLog::SetLogLevel(wxLOG_Info);
#endif
    }
};

} // namespace

wxIMPLEMENT_APP(TolvaneEntry);
