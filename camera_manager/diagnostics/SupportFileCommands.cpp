// The main dialog's support-file commands (buttons 1104 and 1145: create; 1143: open). Until
// the support file is built they do nothing.
#include "camera_manager/core/CZekoManagerDlg.h"

void CZekoManagerDlg::CreateSupportFile() {}

void CZekoManagerDlg::OpenSupportFile() {}
