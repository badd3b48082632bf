#include "camera_manager/core/WxText.h"
#include "camera_manager/diagnostics/AdditionalInfoDlg.h"
#include "camera_manager/diagnostics/DiagnosticsStringIds.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/tests/LoopbackHttpServer.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>

namespace {

// Answers message boxes at once; runs the test's code on the dialog itself instead of its
// modal loop, with the dialog shown (and photographed when ZEKO_SHOT_DIR names a folder).
class DialogDriver : public wxModalDialogHook {
public:
    std::vector<wxString> messages;
    std::function<void(wxDialog*)> onDialog;
    int answer = wxID_NO;

protected:
    int Enter(wxDialog* dialog) override {
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
            messages.push_back(box->GetMessage());
            return answer;
        }
        dialog->Show();
        for (int i = 0; i < 20; ++i)
            wxTheApp->Yield(true), wxMilliSleep(10);
        if (onDialog)
            onDialog(dialog);
        dialog->Hide();
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

void screenshot(const std::string& name) {
    if (const char* dir = std::getenv("ZEKO_SHOT_DIR"); dir && *dir) {
        for (int i = 0; i < 20; ++i)
            wxTheApp->Yield(true), wxMilliSleep(10);
        std::system(("import -window root '" + std::string(dir) + "/" + name + ".png'").c_str());
    }
}

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char name[] = "zeko_cm_diagnostics_gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv));
        wxTheApp->CallOnInit();
    }
    void TearDown() override { wxEntryCleanup(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

class DiagnosticsGuiTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        setenv("TEMP", dir_.c_str(), 1);
        setenv("ZEKO_UPDATE_LIST_URL", server_.url().c_str(), 1);
        driver_.Register();
    }
    void TearDown() override {
        driver_.Unregister();
        unsetenv("TEMP");
        unsetenv("ZEKO_UPDATE_LIST_URL");
        unsetenv("ZEKO_OS_VERSION");
        ManagerTest::TearDown();
    }
    LoopbackHttpServer server_;
    DialogDriver driver_;
};

TEST_F(DiagnosticsGuiTest, GeneralInformationListsFilesAndChecksUpdates) {
    server_.serve("[ZEKO_DRIVERS]\nAPI_DLL=3.32.0.0\n[DIRECT3D_DLLS]\nDIRECT3D9_DLL=9.0.0.1\n");
    AdditionalInfoDlg dlg(nullptr, 0);
    bool ran = false;
    driver_.onDialog = [&](wxDialog* dialog) {
        ran = true;
        auto* drivers = dynamic_cast<wxListCtrl*>(dialog->FindWindow(1126));
        auto* d3d = dynamic_cast<wxListCtrl*>(dialog->FindWindow(1282));
        auto* tree = dynamic_cast<wxTreeCtrl*>(dialog->FindWindow(1083));
        ASSERT_TRUE(drivers && d3d && tree);
        EXPECT_EQ(drivers->GetItemCount(), 18);
        EXPECT_EQ(d3d->GetItemCount(), 2);
        EXPECT_EQ(drivers->GetItemText(3, 0), "zeko_api_64.dll");
        EXPECT_EQ(drivers->GetItemText(3, 3), "3.31.0.0");
        EXPECT_EQ(drivers->GetItemText(0, 5), "-1");
        EXPECT_EQ(drivers->GetColumnWidth(5), 0);
        wxTreeItemIdValue cookie;
        EXPECT_TRUE(tree->GetFirstChild(tree->GetRootItem(), cookie).IsOk());
        screenshot("general_information");

        dlg.CheckForUpdates();
        EXPECT_EQ(drivers->GetItemText(3, 4), "3.32.0.0");
        EXPECT_EQ(drivers->GetItemText(3, 5), "2");
        EXPECT_EQ(drivers->GetItemText(0, 5), "3");
        EXPECT_EQ(d3d->GetItemText(0, 5), "3");
        screenshot("general_information_checked");
    };
    dlg.DoModal();
    EXPECT_TRUE(ran);
    ASSERT_EQ(driver_.messages.size(), 2u);
    EXPECT_EQ(driver_.messages[0], ResourceText(ids::InstallDirectX));
    EXPECT_EQ(driver_.messages[1], ResourceText(ids::DriversOutOfDate));
}

TEST_F(DiagnosticsGuiTest, NewerSystemsShowNoTreeAndARedStatusLine) {
    setenv("ZEKO_OS_VERSION", "10.0", 1);
    AdditionalInfoDlg dlg(nullptr, 0);
    driver_.onDialog = [&](wxDialog* dialog) {
        auto* tree = dynamic_cast<wxTreeCtrl*>(dialog->FindWindow(1083));
        auto* status = dynamic_cast<wxStaticText*>(dialog->FindWindow(1136));
        ASSERT_TRUE(tree && status);
        wxTreeItemIdValue cookie;
        EXPECT_FALSE(tree->GetFirstChild(tree->GetRootItem(), cookie).IsOk());
        EXPECT_EQ(status->GetLabel(), "No USB 2.0 Controller found !!!");
        EXPECT_EQ(status->GetForegroundColour(), wxColour(200, 0, 0));
    };
    dlg.DoModal();
    server_.serve("", 404);
}

} // namespace
