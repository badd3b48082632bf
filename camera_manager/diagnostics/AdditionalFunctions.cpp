#include "camera_manager/diagnostics/AdditionalFunctions.h"

#include <wx/defs.h>

int AdditionalFunctions::DoModal() {
    (void)parent_;
    (void)entry_;
    (void)wow64_;
    return wxID_CANCEL;
}
