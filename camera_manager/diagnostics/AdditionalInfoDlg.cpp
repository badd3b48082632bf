#include "camera_manager/diagnostics/AdditionalInfoDlg.h"

#include <wx/defs.h>

int AdditionalInfoDlg::DoModal() {
    (void)parent_;
    (void)languageIndex_;
    return wxID_CANCEL;
}
