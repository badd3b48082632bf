// Start-up shared by the translation, SAX, stream-builder, log and XSLT tests: a wx application
// (message boxes need one), log messages to stderr, the XML layer, and a hook that answers every
// modal dialog at once and remembers its text.

#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLDoc.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

namespace i18ntest {

int dialogCount = 0;
std::string lastDialogText;

namespace {

class AnswerDialogs : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        ++dialogCount;
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog))
            lastDialogText = box->GetMessage().utf8_string();
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace
} // namespace i18ntest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new i18ntest::TestApp);
    if (!wxEntryStart(argc, argv))
        return 2;
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    i18ntest::AnswerDialogs hook;
    hook.Register();
    PBN::XML::XMLDoc::initLib();
    const int result = RUN_ALL_TESTS();
    PBN::Strings::StringTable::destroy();
    hook.Unregister();
    PBN::XML::XMLDoc::releaseLib();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
