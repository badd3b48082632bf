#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/diagnostics/AdditionalFunctions.h"
#include "camera_manager/diagnostics/AdditionalInfoDlg.h"
#include "camera_manager/res/StringIds.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/tests/LoopbackHttpServer.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

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

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new wxApp(); }, true));

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
        // The build's stand-in USB driver is newer than the list names; the COM port driver is missing.
        EXPECT_EQ(drivers->GetItemText(0, 5), "1");
        EXPECT_EQ(drivers->GetItemText(2, 5), "3");
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

TEST_F(DiagnosticsGuiTest, AdditionalFunctionsHostsTheComPortPanelAndDriverSettings) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "starter_fw = 0x1000021\n");
    zksim_SetDriverCapabilities(0x4, 0x1);
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1u);
    int terminals = 0;
    AdditionalFunctions::runSerialTerminal = [&](CameraEntry*) { ++terminals; };
    AdditionalFunctions dlg(nullptr, gige.At(0), FALSE);
    driver_.onDialog = [&](wxDialog* dialog) {
        auto* status = dynamic_cast<wxStaticText*>(dialog->FindWindow(1265));
        auto* combo = dynamic_cast<wxChoice*>(dialog->FindWindow(1032));
        auto* mains = dynamic_cast<wxCheckBox*>(dialog->FindWindow(1356));
        auto* battery = dynamic_cast<wxCheckBox*>(dialog->FindWindow(1252));
        ASSERT_TRUE(status && combo && mains && battery);
        EXPECT_EQ(combo->GetCount(), 256u);
        EXPECT_EQ(combo->GetSelection(), 99);
        EXPECT_TRUE(mains->IsEnabled());
        EXPECT_FALSE(battery->IsEnabled());
        EXPECT_FALSE(dialog->FindWindow(1104)->IsShown());
        EXPECT_TRUE(dialog->FindWindow(1359)->IsEnabled());
        screenshot("additional_functions");

        // Install COM100 as a user would: click the button.
        wxCommandEvent click(wxEVT_BUTTON, 1175);
        click.SetEventObject(dialog->FindWindow(1175));
        dialog->FindWindow(1175)->GetEventHandler()->ProcessEvent(click);
        EXPECT_EQ(status->GetForegroundColour(), wxColour(0, 135, 0));
        EXPECT_TRUE(dialog->FindWindow(1270)->IsEnabled());
        wxCommandEvent send(wxEVT_BUTTON, 1270);
        send.SetEventObject(dialog->FindWindow(1270));
        dialog->FindWindow(1270)->GetEventHandler()->ProcessEvent(send);
        EXPECT_EQ(terminals, 1);

        // The idle hint comes once.
        for (bool tick : {true, false}) {
            mains->SetValue(tick);
            wxCommandEvent box(wxEVT_CHECKBOX, 1356);
            box.SetEventObject(mains);
            box.SetInt(tick);
            mains->GetEventHandler()->ProcessEvent(box);
        }
        // The key sequence reveals the hidden button.
        wxUIActionSimulator keys;
        dialog->FindWindow(wxID_OK)->SetFocus();
        keys.Text("zekocomda");
        for (int i = 0; i < 30; ++i)
            wxTheApp->Yield(true), wxMilliSleep(10);
        EXPECT_TRUE(dialog->FindWindow(1104)->IsShown());
        screenshot("additional_functions_installed");
    };
    dlg.DoModal();
    AdditionalFunctions::runSerialTerminal = [](CameraEntry*) {};
    ASSERT_GE(driver_.messages.size(), 3u);
    EXPECT_EQ(driver_.messages.back(), ResourceText(ids::IdleStateRebootHint));
    EXPECT_EQ(gige.At(0)->GetDeviceComportOffset(), 0);
}

TEST_F(DiagnosticsGuiTest, UsbCamerasAndNoCameraGetNoComPortPanel) {
    AdditionalFunctions none(nullptr, nullptr, TRUE);
    driver_.onDialog = [&](wxDialog* dialog) {
        EXPECT_FALSE(dialog->FindWindow(1032)->IsEnabled());
        EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog->FindWindow(1265))->GetLabel(), "");
    };
    none.DoModal();
    useCameras("[camera]\ndevice_id = 999\nserial = S999\nsensor = ZK1480-C\n");
    CameraList usb;
    ASSERT_TRUE(FillCameraList(usb, FillUsb));
    AdditionalFunctions dlg(nullptr, usb.At(0), FALSE);
    driver_.onDialog = [&](wxDialog* dialog) {
        EXPECT_FALSE(dialog->FindWindow(1175)->IsEnabled());
        EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog->FindWindow(1265))->GetLabel(),
                  ResourceText(ids::ComPortUnsupportedCamera));
        screenshot("additional_functions_usb");
    };
    dlg.DoModal();
}

} // namespace
