#pragma once

// The main of a test program over Pemblon's windows and XML layer: a wx application (message
// boxes and timers need one), log messages to stderr, the XML layer, every modal dialog answered
// by the hook, and the string table dropped after the last test. prepare runs before the first.

#include "pemblon/strings/StringTable.h"
#include "pemblon/tests/support/AnsweredDialogs.h"
#include "pemblon/xml/XMLDoc.h"

#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

namespace PBNTest {

class WxTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

inline int RunWxTestProgram(int argc, char** argv, AnsweredDialogs& hook,
                            const std::function<void()>& prepare = {}) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new WxTestApp);
    if (!wxEntryStart(argc, argv))
        return 2;
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    hook.Register();
    PBN::XML::XMLDoc::initLib();
    if (prepare)
        prepare();
    const int result = RUN_ALL_TESTS();
    PBN::Strings::StringTable::destroy();
    hook.Unregister();
    PBN::XML::XMLDoc::releaseLib();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}

} // namespace PBNTest
