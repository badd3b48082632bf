#include "camera_manager/core/CZekoManagerApp.h"
#include "camera_manager/core/CZekoManagerDlg.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(
    new cmtest::WxTestEnvironment([] { return new CZekoManagerApp(); }));

class StartupGuiTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        hook_.answer = [this](wxDialog* dialog) {
            if (dynamic_cast<CZekoManagerDlg*>(dialog))
                ++mainDialogs_;
            return wxID_OK;
        };
        hook_.Register();
    }
    void TearDown() override {
        hook_.Unregister();
        ManagerTest::TearDown();
    }
    bool runStartup() { return static_cast<CZekoManagerApp*>(wxTheApp)->InitInstance(); }
    static bool hasDword(const char16_t* key, const char16_t* name, DWORD expected) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER,
                          (std::u16string(u"Software\\Marvek\\Zeko\\Camera Manager\\") + key).c_str(), 0,
                          KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        DWORD value = 0, size = 4;
        const bool ok =
            RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == 0;
        RegCloseKey(handle);
        return ok && value == expected;
    }
    cmtest::AnswerDialogs hook_;
    int mainDialogs_ = 0;
};

TEST_F(StartupGuiTest, AcceptedLibraryRunsTheMainDialogAndItsSettingsAreSaved) {
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(mainDialogs_, 1);
    EXPECT_TRUE(hook_.messages.empty());
    EXPECT_TRUE(hasDword(u"TreeNodes", u"TreeNodeGeneralInfo", 1));
    EXPECT_TRUE(hasDword(u"TreeNodes", u"TreeNodeControlStatus", 0));
    EXPECT_TRUE(hasDword(u"Checkboxes", u"TreeAutoRefresh", 1));
    EXPECT_TRUE(hasDword(u"Dialog", u"maximized", 0));
}

TEST_F(StartupGuiTest, MissingLibraryEndsWithMessage549) {
    useWindowsFolder("");
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(mainDialogs_, 0);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], "'Zeko_api.dll' could not be found. Please reinstall the Zeko driver!");
    EXPECT_FALSE(hasDword(u"Checkboxes", u"TreeAutoRefresh", 1));
}

TEST_F(StartupGuiTest, IncompatibleLibraryEndsWithMessage550) {
    for (const char* library : {"zeko_cm_test_api_330", "zeko_cm_test_api_400"}) {
        hook_.messages.clear();
        useWindowsFolder(library);
        EXPECT_FALSE(runStartup());
        ASSERT_EQ(hook_.messages.size(), 1u) << library;
        EXPECT_TRUE(hook_.messages[0].StartsWith("The version of 'Zeko_api.dll' is not compatible"))
            << library;
    }
    EXPECT_EQ(mainDialogs_, 0);
}

} // namespace
