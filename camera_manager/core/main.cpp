#include "camera_manager/core/CZekoManagerApp.h"

wxIMPLEMENT_APP(CZekoManagerApp);
