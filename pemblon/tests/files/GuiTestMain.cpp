#include "pemblon/xml/XMLDoc.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {

// A GUI wx application (list controls, timers on the GTK main loop) for the whole program.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char name[] = "pemblon_files_gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        ASSERT_TRUE(wxTheApp->CallOnInit());
        PBN::XML::XMLDoc::initLib();
    }
    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
