#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CAboutDlg.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/diagnostics/dialogs/AdditionalFunctions.h"
#include "camera_manager/diagnostics/dialogs/AdditionalInfoDlg.h"
#include "camera_manager/diagnostics/dialogs/DlgSerial.h"
#include "camera_manager/res/StringIds.h"
#include "camera_manager/res/StringTable.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/common/tests/WindowManager.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/System.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/tests/LoopbackHttpServer.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

namespace {

// Answers message boxes at once; runs the test's code on the dialog itself instead of its
// modal loop, with the dialog shown (and photographed when ZEKO_SHOT_DIR names a folder).
class DialogDriver : public AnsweredDialogs {
public:
    std::function<void(wxDialog*)> onDialog;
    bool realModal = false; // other dialogs run their own modal loop

    DialogDriver() {
        answer = [this](wxDialog* dialog) {
            if (dynamic_cast<wxMessageDialog*>(dialog))
                return int(wxID_NO);
            if (realModal)
                return int(wxID_NONE);
            dialog->Show();
            for (int i = 0; i < 20; ++i)
                wxTheApp->Yield(true), wxMilliSleep(10);
            if (onDialog)
                onDialog(dialog);
            dialog->Hide();
            return int(wxID_OK);
        };
    }
};

void screenshot(const std::string& name) {
    if (const char* dir = std::getenv("ZEKO_SHOT_DIR"); dir && *dir) {
        for (int i = 0; i < 20; ++i)
            wxTheApp->Yield(true), wxMilliSleep(10);
        std::system(("import -window root '" + std::string(dir) + "/" + name + ".png'").c_str());
    }
}

// Runs the event loop until done() holds or the time is up.
bool pumpUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    for (int waited = 0; !done(); waited += 10) {
        if (waited > milliseconds)
            return false;
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    return true;
}

class OneShot : public wxTimer {
public:
    explicit OneShot(std::function<void()> action) : action_(std::move(action)) {}
    void Notify() override { action_(); }

private:
    std::function<void()> action_;
};

void click(wxWindow* dialog, int id) {
    wxWindow* button = dialog->FindWindow(id);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

// Every caption of the four tool dialogs, with each control wide enough for its text.
struct Caption {
    wxWindow* window;
    wxString text;
};

void collectCaptions(wxWindow* parent, std::vector<Caption>& captions) {
    for (wxWindow* child : parent->GetChildren()) {
        if (dynamic_cast<wxStaticText*>(child) || dynamic_cast<wxAnyButton*>(child) ||
            dynamic_cast<wxCheckBox*>(child) || dynamic_cast<wxRadioButton*>(child) ||
            dynamic_cast<wxStaticBox*>(child))
            if (!child->GetLabel().empty())
                captions.push_back({child, child->GetLabel()});
        collectCaptions(child, captions);
    }
}

std::vector<Caption> dialogCaptions(wxDialog* dialog) {
    std::vector<Caption> captions{{dialog, dialog->GetTitle()}};
    collectCaptions(dialog, captions);
    return captions;
}

wxString englishText(unsigned id) {
    for (size_t i = 0; i < managerStringCount; ++i)
        if (managerStrings[i].id == id)
            return ToWx(managerStrings[i].text);
    return wxString();
}

// In German no caption is one that the dialogs once had typed in English (alone, or before the
// version or a COM number); in both languages each control is at least as wide as its text.
void expectCaptions(const std::vector<Caption>& captions, bool german, const std::string& dialog) {
    std::vector<unsigned> moved{ids::CaptionClose, ids::CaptionAdditionalFunctions, ids::SerialSendFile,
                                ids::Progress};
    for (unsigned id = ids::CaptionGeneralInformationTitle; id <= ids::CaptionAbout; ++id)
        moved.push_back(id);
    for (const Caption& caption : captions) {
        for (unsigned id : moved) {
            const wxString english = englishText(id);
            if (!german || english == ResourceText(id))
                continue;
            EXPECT_FALSE(caption.text == english || caption.text.StartsWith(english + " (") ||
                         (english.EndsWith(" ") && caption.text.StartsWith(english)))
                << dialog << ": \"" << caption.text << "\" is English";
        }
        if (dynamic_cast<wxDialog*>(caption.window) || dynamic_cast<wxStaticBox*>(caption.window) ||
            !caption.window->IsShown())
            continue;
        EXPECT_GE(caption.window->GetSize().x, caption.window->GetBestSize().x)
            << dialog << ": \"" << caption.text << "\" is cut";
        // and lies wholly inside its parent
        const wxRect inside(wxPoint(0, 0), caption.window->GetParent()->GetClientSize());
        EXPECT_TRUE(inside.Contains(caption.window->GetRect()))
            << dialog << ": \"" << caption.text << "\" reaches out of its parent";
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
        win::SetSystemDescriptionSource({});
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
        EXPECT_EQ(dlg.Marker(VersionList::Drivers, 0), u"-1");
        // The markers are no list column: not even a sliver of one is drawn.
        EXPECT_EQ(drivers->GetColumnCount(), 5);
        EXPECT_EQ(d3d->GetColumnCount(), 5);
        wxTreeItemIdValue cookie;
        EXPECT_TRUE(tree->GetFirstChild(tree->GetRootItem(), cookie).IsOk());
        screenshot("general_information");

        dlg.CheckForUpdates();
        EXPECT_TRUE(pumpUntil([&] { return !dlg.IsCheckingUpdates(); }));
        EXPECT_EQ(drivers->GetItemText(3, 4), "3.32.0.0");
        EXPECT_EQ(dlg.Marker(VersionList::Drivers, 3), u"2");
        // The build's stand-in USB driver is newer than the list names; the COM port driver is missing.
        EXPECT_EQ(dlg.Marker(VersionList::Drivers, 0), u"1");
        EXPECT_EQ(dlg.Marker(VersionList::Drivers, 2), u"3");
        EXPECT_EQ(dlg.Marker(VersionList::Direct3D, 0), u"3");
        EXPECT_EQ(drivers->GetItemBackgroundColour(3), wxColour(255, 0, 0));
        screenshot("general_information_checked");
    };
    dlg.DoModal();
    EXPECT_TRUE(ran);
    ASSERT_EQ(driver_.messages.size(), 2u);
    EXPECT_EQ(driver_.messages[0], ResourceText(ids::InstallDirectX));
    EXPECT_EQ(driver_.messages[1], ResourceText(ids::DriversOutOfDate));
}

// A server that answers late, or trickles its answer, no longer holds the dialog: it keeps
// handling events (a timer fires while the check still waits), shows the wait cursor, "Cancel"
// stops the check and Close ends the dialog before the answer is in. Before, the button's handler
// held the event loop for the whole download. The answers take long (20 s and 10 s) only so that
// a loaded machine's late timers never come after them; a dialog that works ends each at once.
TEST_F(DiagnosticsGuiTest, ASlowUpdateServerLeavesTheDialogWorkingAndClosable) {
    using namespace std::chrono;
    server_.serve("[ZEKO_DRIVERS]\nAPI_DLL=3.32.0.0\n[DIRECT3D_DLLS]\nDIRECT3D9_DLL=9.0.0.1\n");
    driver_.realModal = true;
    struct Case {
        const char* name;
        milliseconds firstByte;
        size_t chunk;
        milliseconds answered; // when the last byte is sent at the earliest
        bool cancel;           // press "Cancel" before Close
    };
    for (const Case& c : {Case{"late", seconds(20), 0, seconds(20), false},
                          Case{"trickling", milliseconds(0), 1, seconds(10), true}}) {
        SCOPED_TRACE(c.name);
        // The trickle: one byte each 100 ms, more than 100 bytes.
        server_.pace(c.firstByte, c.chunk, milliseconds(100));
        const size_t requests = server_.paths().size();
        AdditionalInfoDlg dlg(nullptr, 0);
        steady_clock::time_point pressed;
        milliseconds tickLate{-1};
        bool busy = false, checkingAtTick = false, stillChecking = true;
        wxString duringCheck, afterCancel, updateCell = "?";
        OneShot tick([&] {
            tickLate = duration_cast<milliseconds>(steady_clock::now() - pressed) - milliseconds(300);
            checkingAtTick = dlg.IsCheckingUpdates();
            busy = wxIsBusy();
            wxDialog* dialog = dlg.window();
            duringCheck = dialog->FindWindow(1104)->GetLabel();
            if (c.cancel) {
                click(dialog, 1104);
                stillChecking = dlg.IsCheckingUpdates();
                afterCancel = dialog->FindWindow(1104)->GetLabel();
                updateCell = dynamic_cast<wxListCtrl*>(dialog->FindWindow(1126))->GetItemText(3, 4);
            }
            click(dialog, wxID_OK);
        });
        OneShot press([&] {
            pressed = steady_clock::now();
            click(dlg.window(), 1104);
            tick.StartOnce(300);
        });
        press.StartOnce(200);
        dlg.DoModal();
        const auto closed = duration_cast<milliseconds>(steady_clock::now() - pressed);
        EXPECT_GE(tickLate.count(), -50);
        EXPECT_TRUE(checkingAtTick) << "the event loop was held until the check ended, " << tickLate.count()
                                    << " ms late";
        EXPECT_LT(closed, c.answered) << "Close waited for the answer";
        EXPECT_TRUE(busy);
        EXPECT_FALSE(wxIsBusy());
        EXPECT_EQ(duringCheck, ResourceText(ids::CaptionCancel));
        EXPECT_EQ(server_.paths().size(), requests + 1);
        if (c.cancel) {
            EXPECT_FALSE(stillChecking);
            EXPECT_EQ(afterCancel, ResourceText(ids::CaptionCheckUpdates));
            EXPECT_EQ(updateCell, "");
        }
        EXPECT_TRUE(driver_.messages.empty());
    }
}

// The general-information, additional-functions, serial-terminal and About dialogs in English
// and in German: captions from the language chosen, none cut off.
TEST_F(DiagnosticsGuiTest, ToolDialogsShowTheChosenLanguageWhole) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "starter_fw = 0x1000021\n");
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1u);
    std::u16string path;
    ASSERT_TRUE(ResourceLibraryPath(u"de", path));
    HINSTANCE german = LoadLibraryW(path.c_str());
    ASSERT_NE(german, nullptr);
    for (bool inGerman : {false, true}) {
        const std::string language = inGerman ? "de" : "en";
        AfxSetResourceHandle(inGerman ? german : nullptr);
        int seen = 0;
        auto check = [&](const std::string& name) {
            return [&, name](wxDialog* dialog) {
                ++seen;
                expectCaptions(dialogCaptions(dialog), inGerman, name);
                screenshot(name + "_" + language);
            };
        };
        AdditionalInfoDlg info(nullptr, inGerman ? 1 : 0);
        driver_.onDialog = check("general_information");
        info.DoModal();
        AdditionalFunctions functions(nullptr, gige.At(0), FALSE);
        driver_.onDialog = check("additional_functions");
        functions.DoModal();
        for (wxDialog* dialog :
             std::initializer_list<wxDialog*>{new DlgSerial(nullptr, gige.At(0)), new CAboutDlg(nullptr)}) {
            dialog->Show();
            check(dynamic_cast<CAboutDlg*>(dialog) ? "about" : "serial_terminal")(dialog);
            dialog->Destroy();
        }
        EXPECT_EQ(seen, 4);
    }
    AfxSetResourceHandle(nullptr);
    FreeLibrary(german);
}

TEST_F(DiagnosticsGuiTest, NewerSystemsShowNoTreeAndARedStatusLine) {
    win::SetSystemDescriptionSource([] {
        win::SystemDescription d;
        d.majorVersion = 10;
        return d;
    });
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

// The serial terminal's two file choosers are titled in the language chosen, as the other
// choosers of the program are; a click on each Browse button opens one.
TEST_F(DiagnosticsGuiTest, TheSerialTerminalsFileChoosersAreTitledInTheChosenLanguage) {
    std::u16string path;
    ASSERT_TRUE(ResourceLibraryPath(u"de", path));
    HINSTANCE german = LoadLibraryW(path.c_str());
    ASSERT_NE(german, nullptr);
    AfxSetResourceHandle(german);
    CameraEntry entry;
    auto* terminal = new DlgSerial(nullptr, &entry);
    terminal->Show();
    std::vector<wxString> titles;
    cmtest::AnswerDialogs choosers(true);
    choosers.answer = [&](wxDialog* dialog) {
        if (auto* chooser = dynamic_cast<wxFileDialog*>(dialog))
            titles.push_back(chooser->GetMessage());
        return int(wxID_CANCEL);
    };
    ASSERT_TRUE(pumpUntil([&] { return terminal->IsShownOnScreen(); }));
    wxUIActionSimulator input;
    for (int browse : {1175, 1176}) {
        const size_t before = titles.size();
        input.MouseMove(terminal->FindWindow(browse)->GetScreenRect().GetLeftTop() + wxPoint(6, 6));
        pumpUntil([] { return false; }, 50);
        input.MouseClick();
        EXPECT_TRUE(pumpUntil([&] { return titles.size() > before; }, 3000)) << browse;
    }
    terminal->Destroy();
    pumpUntil([] { return false; }, 30);
    AfxSetResourceHandle(nullptr);
    FreeLibrary(german);
    EXPECT_EQ(titles, (std::vector<wxString>{wxString::FromUTF8("\u00d6ffnen"), "Speichern unter"}));
}

TEST_F(DiagnosticsGuiTest, AdditionalFunctionsHostsTheComPortPanelAndDriverSettings) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "starter_fw = 0x1000021\n");
    zksim_SetDriverCapabilities(0x4, 0x1);
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1u);
    int terminals = 0;
    wxWindow* terminalOwner = nullptr;
    AdditionalFunctions::runSerialTerminal = [&](wxWindow* owner, CameraEntry*) {
        ++terminals;
        terminalOwner = owner;
    };
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
        EXPECT_EQ(terminalOwner, dialog) << "the terminal opens over the dialog it came from";

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
    AdditionalFunctions::runSerialTerminal = [](wxWindow*, CameraEntry*) {};
    ASSERT_GE(driver_.messages.size(), 3u);
    EXPECT_EQ(driver_.messages.back(), ResourceText(ids::IdleStateRebootHint));
    EXPECT_EQ(gige.At(0)->GetDeviceComportOffset(), 0);
}

// Return pressed as the dialog opens closes it: the focus is on Close, not on a CPU idle state
// box that Return would tick (a change applied after a reboot).
TEST_F(DiagnosticsGuiTest, AdditionalFunctionsOpensWithTheFocusOnClose) {
    zeko::test::WindowManager wm; // gives the dialog the keyboard, as a desktop does
    if (!wm.Running())
        GTEST_SKIP() << "openbox is not installed";
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "starter_fw = 0x1000021\n");
    zksim_SetDriverCapabilities(0x4, 0x1);
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    AdditionalFunctions dlg(nullptr, gige.At(0), FALSE);
    driver_.realModal = true;
    int focus = wxID_NONE;
    int waited = 0;
    bool mainsTicked = false;
    OneShot press([&] {
        wxDialog* dialog = dlg.window();
        // The keyboard comes with the activation, the focus a moment after it: Return pressed in
        // between would go nowhere.
        wxWindow* focused = wxWindow::FindFocus();
        if (!dialog || !dialog->IsActive() || !focused || wxGetTopLevelParent(focused) != dialog) {
            // A window manager may leave a new window without the keyboard when other input came
            // just before: the user then clicks its title bar, which leaves the focus inside
            // where the dialog put it.
            if (dialog && dialog->IsShownOnScreen() && ++waited % 20 == 0) {
                wxUIActionSimulator mouse;
                mouse.MouseMove(dialog->GetScreenPosition() + wxPoint(dialog->GetSize().x / 2, 6));
                mouse.MouseClick();
            }
            press.StartOnce(50);
            return;
        }
        focus = focused->GetId();
        wxUIActionSimulator().Char(WXK_RETURN);
    });
    // Long enough for a loaded machine; a dialog that works closes within a second.
    OneShot giveUp([&] {
        if (wxDialog* dialog = dlg.window()) {
            mainsTicked = dynamic_cast<wxCheckBox*>(dialog->FindWindow(1356))->GetValue();
            dialog->EndModal(wxID_CANCEL);
        }
    });
    press.StartOnce(200);
    giveUp.StartOnce(60000);
    const int result = dlg.DoModal();
    giveUp.Stop();
    ASSERT_NE(focus, wxID_NONE) << "the dialog had no focus inside it after a minute";
    EXPECT_EQ(focus, wxID_OK);
    EXPECT_EQ(result, wxID_OK) << "Return did not close the dialog";
    EXPECT_FALSE(mainsTicked);
    EXPECT_TRUE(driver_.messages.empty()) << driver_.lastMessage();
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
