#include "camera_manager/tests/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <chrono>
#include <thread>

namespace cmtest {

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char name[] = "camera_manager_gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        ASSERT_TRUE(wxTheApp->CallOnInit());
        wxInitAllImageHandlers();
    }
    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        wxYield();
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

} // namespace cmtest
