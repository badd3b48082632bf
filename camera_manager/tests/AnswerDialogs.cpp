#include "camera_manager/tests/AnswerDialogs.h"

#include <wx/app.h>
#include <wx/init.h>

namespace cmtest {

void WxTestEnvironment::SetUp() {
    static char name[] = "camera_manager_gui_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(makeApp_());
    ASSERT_TRUE(wxEntryStart(argc, argv));
    if (callOnInit_)
        wxTheApp->CallOnInit();
}

void WxTestEnvironment::TearDown() {
    wxEntryCleanup();
}

} // namespace cmtest
