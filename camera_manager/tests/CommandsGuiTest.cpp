// The main dialog's commands against the simulator, on a real display (run under xvfb-run):
// sorting, the starter firmware upload with its progress dialog, the language switch, the
// driver check at start, expert mode and About.
#include "camera_manager/core/controls/CColumnTreeWnd.h"
#include "camera_manager/core/controls/CustomListCtrl.h"
#include "camera_manager/core/controls/CustomStatic.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CAboutDlg.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/dialogs/DlgProgress.h"
#include "camera_manager/core/dialogs/ManualConfigDlg.h"
#include "camera_manager/core/dialogs/NetworkConfigDlg.h"
#include "camera_manager/core/dialogs/SetCamID.h"
#include "camera_manager/core/records/ManagerSettings.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/core/rules/ColumnTreeRules.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/GuiTestSupport.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/headerctrl.h>
#include <wx/msgdlg.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

using cmtest::Pump;
using cmtest::PumpUntil;

std::string gigeCamera(int deviceType, const char* extra = "") {
    return "[camera]\ndevice_id = 1001\ncamera_id = 2\nserial = 4103900017\nmodel = ZK5240CP-M\n"
           "sensor = ZK5240-M\nwidth = 752\nheight = 480\nmac = 02-5A-4B-00-10-01\nip = 192.168.10.21\n"
           "device_type = " +
           std::to_string(deviceType) + "\n" + extra;
}

class CommandsTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        cmtest::ManagerTest::SetUp();
        // Poll every 100 ms, so that the tests wait less for their ticks.
        setDword(HKEY_CURRENT_USER, std::u16string(managerRegistryKey) + u"\\Tree", u"RefreshTime", 100);
        hook.answer = [this](wxDialog* dialog) -> int {
            if (auto* progress = dynamic_cast<DlgProgress*>(dialog)) {
                this->progress = progress;
                ++progressRuns;
                expectedSeconds = progress->expectedSeconds;
                if (duringProgress)
                    dialog->CallAfter(duringProgress);
                return wxID_NONE; // runs for real
            }
            if (auto* box = dynamic_cast<wxMessageDialog*>(dialog))
                return box->GetMessage() == lastMessageToCancel ? wxID_CANCEL : wxID_OK;
            return wxID_OK;
        };
        hook.Register();
    }
    void TearDown() override {
        if (dlg) {
            dlg->Destroy();
            dlg = nullptr;
            Pump(30);
        }
        hook.Unregister();
        cmtest::ManagerTest::TearDown();
    }
    static void setDword(HKEY root, const std::u16string& path, const char16_t* name, DWORD value) {
        cmtest::setRegistryDword(root, path, name, value);
    }
    static void setString(HKEY root, const std::u16string& path, const char16_t* name,
                          const std::u16string& v) {
        cmtest::setRegistryString(root, path, name, v);
    }
    static std::u16string readString(const std::u16string& path, const char16_t* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != 0)
            return u"<no key>";
        WCHAR value[300] = {};
        DWORD size = sizeof value - 2;
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        return value;
    }
    CZekoManagerDlg& Open() {
        dlg = new CZekoManagerDlg(nullptr, nullptr, 0);
        dlg->Show();
        WaitTicks(1);
        return *dlg;
    }
    void WaitTicks(unsigned n) {
        const unsigned target = dlg->refresh.Ticks() + n;
        ASSERT_TRUE(PumpUntil([&] { return dlg->refresh.Ticks() >= target; }, 10000))
            << "the polling stopped";
    }
    void SelectDevice(int deviceId) {
        for (long row = 0; row < dlg->list->GetItemCount(); ++row)
            if (wxAtoi(dlg->list->GetItemText(row, 4)) == deviceId) {
                dlg->list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
                dlg->OnListClick();
                return;
            }
        FAIL() << "no row for device " << deviceId;
    }
    // Answers the firmware file chooser with `path`, remembering the path it was offered.
    void ChooseFile(const wxString& path) {
        dlg->chooseFirmwareFile = [this, path](const wxString& initial, wxString& chosen) {
            offeredPath = initial;
            chosen = path;
            return true;
        };
    }
    std::string WriteFile(const std::string& name, size_t size) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << std::string(size, '\x5a');
        return path;
    }
    int Calls(const char* function) { return zksim_JournalCount(function); }
    ZkSimCall LastCall(const char* function) {
        ZkSimCall call{}, found{};
        for (int i = 0; zksim_JournalEntry(i, &call) == 0; ++i)
            if (std::string(call.function) == function)
                found = call;
        return found;
    }
    wxString Label(int id) { return dlg->FindWindow(id)->GetLabel(); }
    wxString ListHeader(int column) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        dlg->list->GetColumn(column, item);
        return item.GetText();
    }

    CZekoManagerDlg* dlg = nullptr;
    cmtest::AnswerDialogs hook;
    DlgProgress* progress = nullptr;
    int progressRuns = 0;
    double expectedSeconds = -1;
    std::function<void()> duringProgress;
    wxString lastMessageToCancel;
    wxString offeredPath;
};

TEST_F(CommandsTest, HeaderClicksFlipTheOrderAndAreStored) {
    Open();
    ASSERT_EQ(dlg->list->GetItemCount(), 2);
    auto click = [&](int column) {
        wxListEvent event(wxEVT_LIST_COL_CLICK, dlg->list->GetId());
        event.SetEventObject(dlg->list);
        event.m_col = column;
        dlg->list->GetEventHandler()->ProcessEvent(event);
        WaitTicks(1);
    };
    const std::u16string key = std::u16string(managerRegistryKey) + u"\\CameraList";
    click(4); // the default order was ascending: now descending by device id
    EXPECT_EQ(dlg->list->GetItemText(0, 4), "1001");
    EXPECT_EQ(ReadSortSettings().column, 4);
    EXPECT_FALSE(ReadSortSettings().ascending);
    click(4);
    EXPECT_NE(dlg->list->GetItemText(0, 4), "1001");
    EXPECT_TRUE(ReadSortSettings().ascending);
    click(3); // another column flips as well
    EXPECT_EQ(ReadSortSettings().column, 3);
    EXPECT_FALSE(ReadSortSettings().ascending);
    EXPECT_EQ(dlg->list->GetItemText(0, 3), "2"); // camera IDs 2 (GigE) and 1 (USB), descending
}

TEST_F(CommandsTest, UploadOfAChosenFileReportsSuccessAndStoresThePath) {
    useCameras(gigeCamera(-127));
    setString(HKEY_CURRENT_USER, std::u16string(managerRegistryKey) + u"\\Firmware", u"SE", u"/old/SE_1.fw");
    Open();
    SelectDevice(1001);
    const std::string file = WriteFile("SE_\xc3\xa9t\xc3\xa9.fw", 569858 * 2); // "SE_été.fw", 30 s expected
    ChooseFile(wxString::FromUTF8(file));
    dlg->OnUploadStarterFirmware();
    EXPECT_EQ(offeredPath, "/old/SE_1.fw");
    EXPECT_EQ(readString(std::u16string(managerRegistryKey) + u"\\Firmware", u"SE"),
              FromWx(wxString::FromUTF8(file)));
    EXPECT_EQ(progressRuns, 1);
    EXPECT_DOUBLE_EQ(expectedSeconds, 30.0);
    ASSERT_EQ(Calls("zk_UploadStarterFirmware"), 1);
    const ZkSimCall call = LastCall("zk_UploadStarterFirmware");
    EXPECT_EQ(call.ints[0], 1001 | 0x8000);
    EXPECT_EQ(call.ints[1],
              static_cast<long long>(file.size() - 2 + 1)); // é is one byte, plus the terminator
    EXPECT_EQ(call.result, 0);
    ASSERT_EQ(hook.messages.size(), 2u);
    EXPECT_TRUE(hook.messages[0].StartsWith("The upload can take several seconds"));
    EXPECT_EQ(hook.messages[1], "Firmware upload successful");
    WaitTicks(1); // the polling runs again
}

TEST_F(CommandsTest, UploadFailuresShowTheLibrarysCode) {
    useCameras(gigeCamera(16));
    Open();
    SelectDevice(1001);
    // The library refuses.
    ChooseFile(wxString::FromUTF8(WriteFile("HE_2.fw", 100)));
    zksim_InjectFailure("zk_UploadStarterFirmware", 7, 1);
    dlg->OnUploadStarterFirmware();
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_EQ(hook.messages.back(), "Firmware upload failed!\nErrorcode: 7");
    EXPECT_DOUBLE_EQ(expectedSeconds, 1.0); // a small file still expects a second
    // A file that cannot be read still goes to the library, which answers 25.
    ChooseFile(wxString::FromUTF8(dir_ + "/missing.fw"));
    dlg->OnUploadStarterFirmware();
    EXPECT_EQ(hook.messages.back(), "Firmware upload failed!\nErrorcode: 25");
    EXPECT_DOUBLE_EQ(expectedSeconds, 25.0);
    EXPECT_EQ(Calls("zk_UploadStarterFirmware"), 2);
    // An empty file: one second expected, the bar ends full, the library's result is shown.
    ChooseFile(wxString::FromUTF8(WriteFile("empty.fw", 0)));
    dlg->OnUploadStarterFirmware();
    EXPECT_DOUBLE_EQ(expectedSeconds, 1.0);
    EXPECT_EQ(hook.messages.back(), "Firmware upload successful");
    EXPECT_EQ(progressRuns, 3);
}

TEST_F(CommandsTest, UploadIsNotStartedWhenCancelledOrThePathHasNoBytes) {
    useCameras(gigeCamera(-128));
    Open();
    SelectDevice(1001);
    dlg->chooseFirmwareFile = [](const wxString&, wxString&) { return false; };
    dlg->OnUploadStarterFirmware();
    lastMessageToCancel =
        wxString::FromUTF8("The upload can take several seconds. Please do not unplug the "
                           "camera or switch off the power supply of your computer system!");
    ChooseFile(wxString::FromUTF8(WriteFile("HE_3.fw", 10)));
    dlg->OnUploadStarterFirmware();
    // "łódź" has no byte in the driver's text: refused with a message, never replaced.
    lastMessageToCancel.clear();
    ChooseFile(wxString::FromUTF8(WriteFile("\xc5\x82\xc3\xb3\x64\xc5\xba.fw", 10)));
    dlg->OnUploadStarterFirmware();
    EXPECT_EQ(Calls("zk_UploadStarterFirmware"), 0);
    EXPECT_EQ(progressRuns, 0);
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_TRUE(
        hook.messages.back().StartsWith("Firmware upload failed!\nThe path of the firmware file holds"));
}

TEST_F(CommandsTest, TheDriverLoadsTheStarterFirmwareOfAnOutdatedCamera) {
    useCameras(gigeCamera(-124, "starter_fw = 16777216\ndriver_starter_fw = 33554432\n"));
    Open();
    SelectDevice(1001);
    // The worker ends before the progress dialog's first tick (no firmware delay).
    dlg->chooseFirmwareFile = [](const wxString&, wxString&) -> bool {
        ADD_FAILURE() << "no file is asked for";
        return false;
    };
    const auto start = std::chrono::steady_clock::now();
    dlg->OnUploadStarterFirmware();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(progressRuns, 1);
    EXPECT_DOUBLE_EQ(expectedSeconds, 25.0);
    const ZkSimCall open = LastCall("zk_InitCamera");
    EXPECT_EQ(open.ints[0], 1001 | 0x18000);
    EXPECT_EQ(open.result, 0);
    EXPECT_EQ(Calls("zk_UploadStarterFirmware"), 0);
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_EQ(hook.messages.back(), "Firmware upload successful");
    // A failing open is reported with its code.
    zksim_InjectFailure("zk_InitCamera", 3, 1);
    dlg->OnUploadStarterFirmware();
    EXPECT_EQ(hook.messages.back(), "Firmware upload failed!\nErrorcode: 3");
}

TEST_F(CommandsTest, EscapeEnterAndCloseDoNotEndARunningUpload) {
    useCameras(gigeCamera(-127));
    Open();
    SelectDevice(1001);
    zksim_SetDelays(0, 1500);
    ChooseFile(wxString::FromUTF8(WriteFile("SE_4.fw", 1000)));
    bool stillModal = false;
    duringProgress = [&] {
        for (int key : {WXK_ESCAPE, WXK_RETURN}) {
            wxKeyEvent press(wxEVT_CHAR_HOOK);
            press.m_keyCode = key;
            press.SetEventObject(progress);
            progress->GetEventHandler()->ProcessEvent(press);
        }
        progress->Close();
        stillModal = progress->IsModal();
    };
    const auto start = std::chrono::steady_clock::now();
    dlg->OnUploadStarterFirmware();
    EXPECT_TRUE(stillModal);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_EQ(hook.messages.back(), "Firmware upload successful");
    EXPECT_EQ(dlg->firmwareResult.load(), 0);
}

TEST_F(CommandsTest, LanguageSwitchSwapsTheLibraryAndRetextsEveryControl) {
    Open();
    dlg->OnLanguageChange(1); // German: loaded although its version differs from the program's
    EXPECT_TRUE(dlg->refresh.ParametersRequested());
    EXPECT_TRUE(dlg->refresh.ListRebuildRequested());
    EXPECT_NE(AfxGetResourceHandle(), nullptr);
    EXPECT_EQ(Label(1029), wxString::FromUTF8("Schlie\xc3\x9f"
                                              "en"));
    EXPECT_EQ(Label(1092), "Starter-Firmware hochladen");
    EXPECT_EQ(Label(1106), "Expertenmodus");
    EXPECT_EQ(Label(1001), "Kameraliste");
    EXPECT_EQ(ListHeader(0), "Frei");
    EXPECT_EQ(ListHeader(5), "Modell");
    EXPECT_EQ(dlg->tree->GetColumnTitle(1), "Wert");
    EXPECT_EQ(dlg->GetTitle(), "Zeko Camera Manager - 64-Bit");
    EXPECT_EQ(readString(std::u16string(managerRegistryKey) + u"\\Language", u"Language"), u"de");
    EXPECT_EQ(dlg->languageIndex, 1);
    EXPECT_EQ(dlg->tree->GetLanguageIndex(), 1);
    WaitTicks(2); // the list and tree are rebuilt in the new language without trouble

    dlg->OnLanguageChange(0);
    EXPECT_EQ(Label(1029), "Close");
    EXPECT_EQ(ListHeader(0), "Free");
    EXPECT_EQ(Label(1090), "Parameters");
    EXPECT_TRUE(hook.messages.empty());
}

TEST_F(CommandsTest, TheAdapterTextsThatStayUnknownFollowTheLanguage) {
    Open();
    SelectDevice(1001);
    WaitTicks(2);
    const auto treeHolds = [&](const wxString& word) {
        for (const CColumnTreeCtrl::Item* item : dlg->tree->GetTree().GetAllItems())
            if (item->text.Contains(word))
                return true;
        return false;
    };
    ASSERT_TRUE(treeHolds(wxT("\tUnknown"))) << "the simulated adapter has no driver texts";
    dlg->OnLanguageChange(1);
    WaitTicks(2);
    EXPECT_FALSE(treeHolds(wxT("Unknown")));
    EXPECT_TRUE(treeHolds(wxT("\tUnbekannt")));
}

TEST_F(CommandsTest, FileChoosersAreTitledInTheChosenLanguage) {
    Open();
    SelectDevice(1001);
    dlg->OnLanguageChange(1);
    std::vector<std::string> titles;
    hook.answer = [&](wxDialog* dialog) {
        if (auto* chooser = dynamic_cast<wxFileDialog*>(dialog)) {
            titles.push_back(chooser->GetMessage().utf8_string());
            return wxID_CANCEL;
        }
        return wxID_OK;
    };
    for (int button : {1104, 1143}) { // create support file, open support file
        wxCommandEvent click(wxEVT_BUTTON, button);
        click.SetEventObject(dlg->FindWindow(button));
        dlg->GetEventHandler()->ProcessEvent(click);
    }
    dlg->OnUploadStarterFirmware();
    EXPECT_EQ(titles, (std::vector<std::string>{"Speichern unter",
                                                "\xc3\x96"
                                                "ffnen",
                                                "\xc3\x96"
                                                "ffnen"}));
}

TEST_F(CommandsTest, ALanguageWithoutLoadableLibraryUsesTheProgramsStrings) {
    Open();
    dlg->OnLanguageChange(1);
    ASSERT_NE(AfxGetResourceHandle(), nullptr);
    dlg->OnLanguageChange(5); // French: the file is no library
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    EXPECT_EQ(Label(1029), "Close");
    EXPECT_EQ(Label(1092), "Upload starter firmware");
    EXPECT_EQ(readString(std::u16string(managerRegistryKey) + u"\\Language", u"Language"), u"fr");
    WaitTicks(2);
    EXPECT_GT(dlg->list->GetItemCount(), 0);
}

TEST_F(CommandsTest, EastAsianLanguagesAskForTheirLanguageGroupsOnly) {
    Open();
    const wxString notice = wxString::FromUTF8(
        "The Chinese, Japanese and Korean texts need the East Asian language support of the system. Please "
        "install it in the regional settings, otherwise some texts may not be shown correctly.");
    dlg->OnLanguageChange(9); // Hungarian: no check
    EXPECT_TRUE(hook.messages.empty());
    dlg->OnLanguageChange(10);
    ASSERT_EQ(hook.messages.size(), 1u);
    EXPECT_EQ(hook.messages[0], notice);
    // The switch went on all the same.
    EXPECT_EQ(readString(std::u16string(managerRegistryKey) + u"\\Language", u"Language"), u"zh");
    const std::u16string groups = u"SYSTEM\\CurrentControlSet\\Control\\NLs\\Language Groups";
    for (const char16_t* name : {u"7", u"8", u"9"})
        setString(HKEY_LOCAL_MACHINE, groups, name, u"1");
    dlg->OnLanguageChange(11);
    dlg->OnLanguageChange(12);
    EXPECT_EQ(hook.messages.size(), 1u);
    setString(HKEY_LOCAL_MACHINE, groups, u"8", u"0");
    dlg->OnLanguageChange(12);
    EXPECT_EQ(hook.messages.size(), 2u);
}

class DriverCheckTest : public CommandsTest {
protected:
    // A Windows folder with the interface library and the named driver files.
    void useDrivers(std::initializer_list<const char*> files) {
        useWindowsFolder("zeko_api_64");
        const std::string drivers = dir_ + "/windows/system32/drivers";
        std::filesystem::create_directories(drivers);
        for (const char* file : files)
            std::filesystem::copy_file(cmtest::libDir() + "/../windows/system32/drivers/" + file,
                                       drivers + "/" + file);
    }
    int serviceDialogs = 0;
    void OpenCounting() {
        dlg = new CZekoManagerDlg(nullptr, nullptr, 0);
        dlg->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { ++serviceDialogs; }, 1175);
        dlg->Show();
        WaitTicks(2);
    }
};

TEST_F(DriverCheckTest, MissingDriversAreReported) {
    useDrivers({});
    OpenCounting();
    ASSERT_EQ(hook.messages.size(), 1u);
    EXPECT_TRUE(hook.messages[0].StartsWith("There is no Zeko driver installed on your system."));
    dlg->Destroy();
    dlg = nullptr;
    Pump(30);

    hook.messages.clear();
    std::filesystem::remove_all(dir_ + "/windows");
    useDrivers({"zeko_eth_64.sys"});
    OpenCounting();
    ASSERT_EQ(hook.messages.size(), 1u);
    EXPECT_TRUE(hook.messages[0].StartsWith("The Zeko Camera Manager has only detected the Zeko Gigabit"));
}

TEST_F(DriverCheckTest, AMissingEthDriverIsReportedOnlyWhenSetupInstalledIt) {
    useDrivers({"zeko_usb_64.sys"});
    OpenCounting();
    EXPECT_TRUE(hook.messages.empty());
    dlg->Destroy();
    dlg = nullptr;
    Pump(30);
    setDword(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Setup", u"ETH", 1);
    OpenCounting();
    ASSERT_EQ(hook.messages.size(), 1u);
    EXPECT_TRUE(
        hook.messages[0].StartsWith("The Zeko Gigabit Ethernet driver was installed by the Zeko setup"));
    EXPECT_EQ(serviceDialogs, 0);
}

TEST_F(DriverCheckTest, TheFirstStartAfterSetupOpensTheNetworkServiceOnce) {
    setDword(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Setup", u"ETH", 1);
    setDword(HKEY_CURRENT_USER, std::u16string(managerRegistryKey) + u"\\FirstStart", u"x", 1);
    OpenCounting(); // the build's Windows folder: both drivers
    EXPECT_TRUE(hook.messages.empty());
    EXPECT_EQ(serviceDialogs, 1);
    dlg->Destroy();
    dlg = nullptr;
    Pump(30);
    OpenCounting();
    EXPECT_EQ(serviceDialogs, 1);
}

TEST_F(CommandsTest, TogglingExpertModeShowsAndHidesItsControlsAtOnce) {
    Open();
    WaitTicks(1);
    auto toggle = [&](bool on) {
        dlg->expertMode->SetValue(on);
        wxCommandEvent event(wxEVT_CHECKBOX, 1106);
        event.SetEventObject(dlg->expertMode);
        event.SetInt(on);
        dlg->expertMode->GetEventHandler()->ProcessEvent(event);
    };
    toggle(true);
    for (int id : {1079, 1092, 1087, 1159})
        EXPECT_TRUE(dlg->FindWindow(id)->IsShown()) << id;
    EXPECT_FALSE(dlg->FindWindow(1154)->IsShown());
    toggle(false);
    for (int id : {1079, 1092, 1087, 1159})
        EXPECT_FALSE(dlg->FindWindow(id)->IsShown()) << id;
    EXPECT_TRUE(dlg->FindWindow(1154)->IsShown());
}

TEST_F(CommandsTest, TheTreeColumnsAreSizedForTheRowsShownAndFollowAnOpenedBranch) {
    Open();
    SelectDevice(1001);
    dlg->expertMode->SetValue(true);
    wxCommandEvent event(wxEVT_CHECKBOX, 1106);
    event.SetEventObject(dlg->expertMode);
    event.SetInt(1);
    dlg->expertMode->GetEventHandler()->ProcessEvent(event);
    WaitTicks(2);
    CColumnTreeWnd& window = *dlg->tree;
    CColumnTreeCtrl& tree = window.GetTree();
    const auto widest = [&](int column, bool shownOnly) {
        int width = 0;
        for (const auto& root : tree.GetRootItems())
            width = std::max(width, window.GetMaxColumnWidth(root.get(), column, 0, shownOnly));
        return width;
    };
    const auto fitted = [&](int column) {
        return ColumnTreeRules::FittedColumnWidth(column, widest(column, true), window.textOffset);
    };
    // The status flags' bits have the longest labels; closed, they take no room from the values.
    ASSERT_GT(widest(0, false), widest(0, true));
    EXPECT_EQ(dlg->treeLabelWidth, fitted(0));
    EXPECT_EQ(dlg->treeValueWidth, fitted(1));

    for (CColumnTreeCtrl::Item* item : tree.GetAllItems())
        if (!item->children.empty() && !item->expanded) {
            tree.SelectItem(item);
            tree.HandleKey(WXK_RIGHT);
        }
    WaitTicks(1);
    EXPECT_EQ(widest(0, true), widest(0, false));
    EXPECT_EQ(dlg->treeLabelWidth, fitted(0));
}

TEST_F(CommandsTest, DiagnosticsButtonsRunTheirDialogsAndPollingGoesOn) {
    setenv("ZEKO_UPDATE_LIST_URL", "http://127.0.0.1:9/none", 1);
    Open();
    SelectDevice(1001);
    std::vector<int> dialogs;
    std::vector<bool> overTheMainDialog;
    hook.answer = [&](wxDialog* dialog) {
        dialogs.push_back(dialog->GetId());
        overTheMainDialog.push_back(dialog->GetParent() == dlg);
        return dynamic_cast<wxFileDialog*>(dialog) ? wxID_CANCEL : wxID_OK;
    };
    for (int button : {1125, 1195, 1104, 1145, 1143}) {
        const unsigned ticks = dlg->refresh.Ticks();
        wxCommandEvent click(wxEVT_BUTTON, button);
        click.SetEventObject(dlg->FindWindow(button) ? dlg->FindWindow(button) : dlg);
        dlg->GetEventHandler()->ProcessEvent(click);
        EXPECT_TRUE(dlg->refresh.ParametersRequested()) << button;
        // The polling starts again at once.
        EXPECT_TRUE(PumpUntil([&] { return dlg->refresh.Ticks() > ticks; }, 500)) << button;
    }
    unsetenv("ZEKO_UPDATE_LIST_URL");
    ASSERT_EQ(dialogs.size(), 5u);
    EXPECT_EQ(dialogs[0], 156); // general information
    EXPECT_EQ(dialogs[1], 474); // additional functions
    // Owned by the main dialog, over which they open.
    EXPECT_TRUE(overTheMainDialog[0]);
    EXPECT_TRUE(overTheMainDialog[1]);
}

TEST_F(CommandsTest, ConfigurationButtonsRunTheirDialogsForTheSelectedCamera) {
    Open();
    SelectDevice(1001);
    std::vector<std::string> dialogs;
    int cameraIdShown = -1;
    hook.answer = [&](wxDialog* dialog) {
        if (auto* info = dynamic_cast<SetCamID*>(dialog)) {
            dialogs.push_back("camera information");
            cameraIdShown = info->cameraId;
        } else if (dynamic_cast<ManualConfigDlg*>(dialog)) {
            dialogs.push_back("manual");
        } else if (dynamic_cast<NetworkConfigDlg*>(dialog)) {
            dialogs.push_back("network service");
        }
        return wxID_CANCEL;
    };
    for (int button : {1085, 1087, 1175, 1086}) {
        const unsigned ticks = dlg->refresh.Ticks();
        wxCommandEvent click(wxEVT_BUTTON, button);
        click.SetEventObject(dlg->FindWindow(button));
        dlg->GetEventHandler()->ProcessEvent(click);
        EXPECT_TRUE(PumpUntil([&] { return dlg->refresh.Ticks() > ticks; }, 500)) << button;
    }
    EXPECT_EQ(dialogs, (std::vector<std::string>{"camera information", "manual", "network service"}));
    EXPECT_EQ(cameraIdShown, 2); // the camera ID column of the selected row
    // The automatic configuration gives the adapter's network to the camera and says so.
    ASSERT_EQ(Calls("zk_SetAutoCfgIpRange"), 1);
    EXPECT_EQ(Calls("zk_SetPersistentIpCfg"), 1);
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_EQ(hook.messages.back(), "Automatic configuration completed successfully  ");
}

TEST_F(CommandsTest, AboutShowsTheProgramVersion) {
    Open();
    CAboutDlg about(dlg);
    EXPECT_EQ(about.GetVersionText(), wxString("Zeko Camera Manager version ") + ZEKO_MANAGER_FILE_VERSION);
    // The dialog's context menu holds the About item; choosing it runs the box modally.
    const int before = static_cast<int>(hook.messages.size());
    bool aboutRan = false;
    hook.answer = [&](wxDialog* dialog) {
        aboutRan = aboutRan || dynamic_cast<CAboutDlg*>(dialog) != nullptr;
        return wxID_OK;
    };
    wxCommandEvent choose(wxEVT_MENU, 16);
    dlg->GetEventHandler()->ProcessEvent(choose);
    EXPECT_TRUE(aboutRan);
    EXPECT_EQ(static_cast<int>(hook.messages.size()), before);
}

} // namespace
