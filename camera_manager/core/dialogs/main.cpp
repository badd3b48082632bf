#include "camera_manager/core/dialogs/CZekoManagerApp.h"

wxIMPLEMENT_APP(CZekoManagerApp);
