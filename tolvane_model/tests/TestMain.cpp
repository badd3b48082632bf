// Start-up of the camera model's tests: a wx application (timers and message boxes need one), the
// XML layer, the viewer's string table in English, and a hook that answers every message box.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLDoc.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

namespace {

class AnswerDialogs : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        ++tvmtest::dialogCount;
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog))
            tvmtest::lastDialogText = box->GetMessage().utf8_string();
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv))
        return 2;
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    AnswerDialogs hook;
    hook.Register();
    PBN::XML::XMLDoc::initLib();
    {
        PBN::XML::XMLDoc table(PBN::Strings::ostring(TOLVANE_RES_DIR "/Tolvane.xml"), false, false);
        PBN::Strings::StringTable::get().load("Tolvane", table.getRoot());
        PBN::Strings::StringTable::get().setActiveLanguage(wxLANGUAGE_ENGLISH_US);
    }
    const int result = RUN_ALL_TESTS();
    PBN::Strings::StringTable::destroy();
    hook.Unregister();
    PBN::XML::XMLDoc::releaseLib();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
