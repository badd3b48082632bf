#include "camera_manager/tests/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

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
    return zeko::test::yieldUntil(done, ms);
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

StandardErrorCapture::StandardErrorCapture() {
    char path[] = "/tmp/zeko_cm_stderr_XXXXXX";
    file = mkstemp(path);
    if (file < 0)
        return;
    unlink(path);
    fflush(stderr);
    saved = dup(2);
    dup2(file, 2);
}

std::string StandardErrorCapture::Stop() {
    std::string text;
    if (saved < 0)
        return text;
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    saved = -1;
    char buffer[4096];
    ssize_t n;
    for (off_t at = 0; (n = pread(file, buffer, sizeof buffer, at)) > 0; at += n)
        text.append(buffer, static_cast<size_t>(n));
    close(file);
    return text;
}

} // namespace cmtest
