#include "camera_manager/core/controls/CustomCombo.h"
#include "camera_manager/core/dialogs/CZekoManagerApp.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/records/HostAdapters.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/core/rules/NetworkServiceRules.h"
#include "camera_manager/diagnostics/dialogs/AdditionalFunctions.h"
#include "camera_manager/diagnostics/dialogs/DlgSerial.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/common/tests/DisplayChild.h"
#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryStore.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
// Last: Xlib's macros (None, Bool) break the headers above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

using zeko::test::DisplayChild;

namespace {

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new CZekoManagerApp(); }));

// German by the system's language, as the language setting may be in a damaged store; the test
// library of German is not the program's version, so the one loaded here stays in use.
class GermanBySystem {
public:
    GermanBySystem() {
        std::u16string path;
        if (ResourceLibraryPath(u"de", path))
            library_ = LoadLibraryW(path.c_str());
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            if (const char* value = std::getenv(name))
                saved_[name] = value;
            unsetenv(name);
        }
        setenv("LANG", "de_DE.UTF-8", 1);
        use();
    }
    ~GermanBySystem() {
        AfxSetResourceHandle(nullptr);
        if (library_)
            FreeLibrary(library_);
        unsetenv("LANG");
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
    }
    bool loaded() const { return library_ != nullptr; }
    void use() const { AfxSetResourceHandle(library_); }

private:
    HINSTANCE library_ = nullptr;
    std::map<std::string, std::string> saved_;
};

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
        win::SetAdapterSource({});
        hook_.Unregister();
        ManagerTest::TearDown();
    }
    bool runStartup() { return static_cast<CZekoManagerApp*>(wxTheApp)->InitInstance(); }
    // The host has one adapter, eth0, with the address in a /24 network.
    static void useAdapter(const std::string& description, const std::array<uint8_t, 6>& mac,
                           const std::string& ip, const std::string& driverVersion) {
        win::AdapterRecord adapter;
        adapter.name = "eth0";
        adapter.description = description;
        std::copy(mac.begin(), mac.end(), adapter.mac);
        adapter.ipAddress = ip;
        adapter.ipMask = "255.255.255.0";
        adapter.driverVersion = driverVersion;
        win::SetAdapterSource([adapter] { return std::vector<win::AdapterRecord>{adapter}; });
    }
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

TEST_F(StartupGuiTest, AClosedMainDialogEndsTheProgramWithStatusZero) {
    auto* app = static_cast<CZekoManagerApp*>(wxTheApp);
    // wxEntry ends with status 255 when OnInit fails, else with what OnRun returns.
    ASSERT_TRUE(app->OnInit());
    EXPECT_EQ(mainDialogs_, 1);
    EXPECT_EQ(app->OnRun(), 0);
}

TEST_F(StartupGuiTest, AMissingInterfaceLibraryEndsTheProgramWithStatusOne) {
    useWindowsFolder("");
    auto* app = static_cast<CZekoManagerApp*>(wxTheApp);
    ASSERT_TRUE(app->OnInit());
    EXPECT_EQ(mainDialogs_, 0);
    EXPECT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(app->OnRun(), 1);
}

TEST_F(StartupGuiTest, AStoreThatCannotBeReadIsNamedOnceAndTheProgramStartsWithDefaults) {
    win::RegistryStore::resetAll();
    std::ofstream(dir_ + "/user.reg", std::ios::binary) << "garbage\n";
    std::ofstream(dir_ + "/zeko_netcfg.txt", std::ios::binary) << "adapter\teth0";
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(mainDialogs_, 1);
    ASSERT_EQ(hook_.messages.size(), 2u);
    const wxString user = wxString::FromUTF8(dir_ + "/user.reg");
    const wxString netcfg = wxString::FromUTF8(dir_ + "/zeko_netcfg.txt");
    EXPECT_TRUE(hook_.messages[0].Contains(user + wxT(" could not be read"))) << hook_.messages[0];
    EXPECT_TRUE(hook_.messages[0].Contains(user + wxT(".unreadable-"))) << hook_.messages[0];
    EXPECT_TRUE(
        hook_.messages[1].Contains(netcfg + wxT(" could not be read: line 1 is no adapter, service or "
                                                "binding record")))
        << hook_.messages[1];
    // The settings of this run were saved to a new store; the next start has nothing to say.
    EXPECT_TRUE(hasDword(u"Checkboxes", u"TreeAutoRefresh", 1));
    hook_.messages.clear();
    win::RegistryStore::resetAll();
    EXPECT_FALSE(runStartup());
    EXPECT_TRUE(hook_.messages.empty());
}

// In the chosen language, reason included, whether the store was read before the language was
// known (user.reg holds the language) or after; an empty store is as damaged as any other.
TEST_F(StartupGuiTest, DamagedAndEmptyStoresAreNamedWithTheirReasonInTheChosenLanguage) {
    GermanBySystem german;
    ASSERT_TRUE(german.loaded());
    win::RegistryStore::resetAll();
    std::ofstream(dir_ + "/user.reg", std::ios::binary).flush();
    std::ofstream(dir_ + "/machine.reg", std::ios::binary) << std::string("ZEKO\0\x01", 6);
    std::ofstream(dir_ + "/zeko_netcfg.txt", std::ios::binary) << "service\tzk_eth\tZeko\nadapter\teth0\n";
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(mainDialogs_, 1);
    const std::pair<const char*, const char*> expected[] = {
        {"/user.reg", "sie ist leer"},
        {"/machine.reg", "sie enth\xC3\xA4lt Bin\xC3\xA4rdaten"},
        {"/zeko_netcfg.txt", "Zeile 2 ist kein Adapter-, Dienst- oder Bindungseintrag"},
    };
    ASSERT_EQ(hook_.messages.size(), std::size(expected));
    for (const auto& [file, reason] : expected) {
        const wxString name = wxString::FromUTF8(dir_ + file);
        const wxString text =
            name + wxT(" konnte nicht gelesen werden: ") + wxString::FromUTF8(reason) + wxT(".");
        EXPECT_TRUE(std::any_of(hook_.messages.begin(), hook_.messages.end(), [&](const wxString& message) {
            return message.Contains(text);
        })) << text;
    }
    size_t kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        if (entry.path().filename().string().find(".unreadable-") != std::string::npos)
            ++kept;
    EXPECT_EQ(kept, 3u);
}

// Every kind of damage has its own German reason, a line number where it names one.
TEST_F(StartupGuiTest, EachKindOfDamageIsWordedInGermanWithItsLine) {
    GermanBySystem german;
    ASSERT_TRUE(german.loaded());
    struct Case {
        const char* user;   // user.reg
        const char* netcfg; // zeko_netcfg.txt
        const char* userReason;
        const char* netcfgReason;
    };
    const Case cases[] = {
        {"garbage\n", "service\tzk_eth\tZeko",
         "sie beginnt nicht mit \xE2\x80\x9EZEKO REGISTRY 1\xE2\x80\x9C",
         "ihre letzte Zeile ist abgeschnitten"},
        {"ZEKO REGISTRY 1\n[Software]\nnot a value\n", "adapter\ta\tb\tc\nbinding\tzk_eth\ta\tb\t1\n",
         "Zeile 3 ist weder ein Schl\xC3\xBCssel noch ein Wert",
         "Zeile 2 bindet einen Dienst, der nicht vor ihr genannt ist"},
        {"ZEKO REGISTRY 1\n[Software]", "adapter\ta\tb\tc\n", "ihre letzte Zeile ist abgeschnitten",
         "sie nennt keinen Dienst"},
    };
    for (const Case& c : cases) {
        german.use();
        win::RegistryStore::resetAll();
        hook_.messages.clear();
        std::ofstream(dir_ + "/user.reg", std::ios::binary) << c.user;
        std::ofstream(dir_ + "/zeko_netcfg.txt", std::ios::binary) << c.netcfg;
        EXPECT_FALSE(runStartup());
        for (const auto& [file, reason] :
             {std::pair{"/user.reg", c.userReason}, std::pair{"/zeko_netcfg.txt", c.netcfgReason}}) {
            const wxString text = wxString::FromUTF8(dir_ + file) + wxT(" konnte nicht gelesen werden: ") +
                                  wxString::FromUTF8(reason) + wxT(".");
            EXPECT_TRUE(std::any_of(hook_.messages.begin(), hook_.messages.end(),
                                    [&](const wxString& message) { return message.Contains(text); }))
                << text;
        }
    }
}

// Settings files never read nor written by this program are not its to move: a folder where
// one should be is named once, with its reason, in the chosen language, and left where it is.
TEST_F(StartupGuiTest, AFolderWhereAStoreShouldBeIsNamedOnceAndLeftAlone) {
    GermanBySystem german; // no language can be stored
    ASSERT_TRUE(german.loaded());
    win::RegistryStore::resetAll();
    for (const char* file : {"/user.reg", "/machine.reg", "/zeko_netcfg.txt"})
        ASSERT_TRUE(std::filesystem::create_directory(dir_ + file));
    EXPECT_FALSE(runStartup());
    hook_.messages.erase(
        std::remove_if(hook_.messages.begin(), hook_.messages.end(),
                       [](const wxString& m) { return !m.Contains(wxT("Einstellungsdatei")); }),
        hook_.messages.end());
    EXPECT_EQ(hook_.messages.size(), 3u);
    for (const char* file : {"/user.reg", "/machine.reg", "/zeko_netcfg.txt"}) {
        const wxString text = wxString::FromUTF8(dir_ + file) +
                              wxT(" kann nicht verwendet werden: an ihrer Stelle steht ein Ordner.");
        EXPECT_EQ(std::count_if(hook_.messages.begin(), hook_.messages.end(),
                                [&](const wxString& message) { return message.Contains(text); }),
                  1)
            << text;
        EXPECT_TRUE(std::filesystem::is_directory(dir_ + file)) << file;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".unreadable-"), std::string::npos) << entry.path();
    // Said once: a second start of the same process has nothing more to say about them.
    hook_.messages.clear();
    win::RegistryStore::resetAll();
    EXPECT_FALSE(runStartup());
    EXPECT_TRUE(std::none_of(hook_.messages.begin(), hook_.messages.end(),
                             [](const wxString& m) { return m.Contains(wxT("Einstellungsdatei")); }));
}

// A named pipe in place of any store would block an ordinary open for good, and a link that
// leads to itself cannot be followed; the start answers at once and names each as no file (not
// as a folder), in the chosen language, leaves it there, and still shows the language in use.
// The alarm ends a start that blocks.
TEST_F(StartupGuiTest, APipeWhereAStoreShouldBeIsNamedAndNeverWaitedOn) {
    std::optional<GermanBySystem> german(std::in_place);
    ASSERT_TRUE(german->loaded());
    win::RegistryStore::resetAll();
    const char* stores[] = {"/user.reg", "/machine.reg", "/zeko_netcfg.txt", "/zeko_ports.txt",
                            "/zeko_sim_state.ini"};
    for (const char* file : stores)
        if (file == std::string("/machine.reg"))
            ASSERT_EQ(symlink((dir_ + file).c_str(), (dir_ + file).c_str()), 0) << file;
        else
            ASSERT_EQ(mkfifo((dir_ + file).c_str(), 0600), 0) << file;
    alarm(60);
    EXPECT_FALSE(runStartup());
    alarm(0);
    for (const char* file : stores) {
        const wxString text =
            wxString::FromUTF8(dir_ + file) +
            wxT(" kann nicht verwendet werden: an ihrer Stelle steht etwas, das keine Datei ist.");
        EXPECT_EQ(std::count_if(hook_.messages.begin(), hook_.messages.end(),
                                [&](const wxString& message) { return message.Contains(text); }),
                  1)
            << text;
        EXPECT_EQ(std::filesystem::symlink_status(dir_ + file).type(),
                  file == std::string("/machine.reg") ? std::filesystem::file_type::symlink
                                                      : std::filesystem::file_type::fifo)
            << file;
    }
    // An English system: the combo box shows English, the language in use.
    german.reset();
    int languageShown = -1;
    hook_.answer = [&](wxDialog* dialog) {
        if (auto* main = dynamic_cast<CZekoManagerDlg*>(dialog))
            languageShown = main->languageIndex;
        return wxID_OK;
    };
    win::RegistryStore::resetAll();
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(languageShown, 0);
}

// Setting a damaged machine registry aside took the adapters' keys along: the next start
// registers them again, and the service dialog finds the adapter's address as before.
TEST_F(StartupGuiTest, ASetAsideMachineRegistryGetsTheConfiguredAdaptersRegisteredAgain) {
    useAdapter("Onboard LAN", {0x02, 0xFC, 0x00, 0x00, 0x00, 0x01}, "192.0.2.2", "");
    EXPECT_FALSE(runStartup());
    const std::string configuration = [&] {
        std::ifstream file(dir_ + "/zeko_netcfg.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }();
    auto expectRegistered = [&](const char* when) {
        const win::NetConfiguration stored = win::ReadNetConfiguration();
        const win::NetAdapterComponent* eth0 = stored.adapter(u"eth0");
        ASSERT_NE(eth0, nullptr) << when;
        NetworkServiceRules::AdapterRegistryInfo info;
        ASSERT_TRUE(NetworkServiceRules::ReadAdapterRegistry(eth0->pnpDeviceId, info)) << when;
        EXPECT_EQ(info.instanceId, u"eth0") << when;
        EXPECT_FALSE(info.addresses.dhcp) << when;
        EXPECT_EQ(info.addresses.ip, u"192.0.2.2") << when;
        EXPECT_EQ(info.addresses.mask, u"255.255.255.0") << when;
        std::u16string designation, version, date;
        EXPECT_TRUE(GetHostAdapterByMac(u"02-FC-00-00-00-01", designation, version, date)) << when;
    };
    expectRegistered("first start");

    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    std::ofstream(dir_ + "/machine.reg", std::ios::binary | std::ios::trunc) << noise;
    for (const char* when : {"start after the damage", "later start"}) {
        hook_.messages.clear();
        win::RegistryStore::resetAll();
        EXPECT_FALSE(runStartup());
        EXPECT_EQ(hook_.messages.size(), std::string(when) == "later start" ? 0u : 1u) << when;
        expectRegistered(when);
    }
    // The configuration itself was intact and stays as it was.
    std::ifstream file(dir_ + "/zeko_netcfg.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), configuration);
}

TEST_F(StartupGuiTest, FirstStartInstallsTheNetworkServiceThatTheDialogAndTheAdapterLookUpsFind) {
    useAdapter("Onboard LAN - port 1", {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x07}, "192.168.10.1", "6.1.0");
    EXPECT_FALSE(runStartup());
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    const win::NetServiceComponent* service =
        configuration.serviceByDisplayName(LoadResourceString(NetworkServiceRules::ServiceNameId));
    ASSERT_NE(service, nullptr);
    ASSERT_EQ(service->paths.size(), 1u);
    ASSERT_NE(configuration.adapter(service->paths[0].lowerBindName), nullptr);

    NetworkServiceRules::AdapterRegistryInfo info;
    ASSERT_TRUE(NetworkServiceRules::ReadAdapterRegistry(
        configuration.adapter(service->paths[0].lowerBindName)->pnpDeviceId, info));
    EXPECT_EQ(info.instanceId, u"eth0");
    EXPECT_FALSE(info.addresses.dhcp);
    EXPECT_EQ(info.addresses.ip, u"192.168.10.1");
    EXPECT_EQ(info.addresses.mask, u"255.255.255.0");

    std::u16string designation, version, date = u"unknown";
    ASSERT_TRUE(GetHostAdapterByMac(u"00-1B-21-AB-00-07", designation, version, date));
    EXPECT_EQ(designation, u"Onboard LAN");
    EXPECT_EQ(version, u"6.1.0");
    EXPECT_EQ(date, u"unknown");
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

// The manager ended from the desktop, in a process of its own on a display of its own (run by
// the test below), its registry folder ZEKO_CHILD_FOLDER: the main dialog runs as the program
// runs it, Additional functions of a camera above it installs COM100 and opens the serial
// terminal on it, and a message box stands above the terminal. Then ZEKO_CHILD_ACTION=destroy
// destroys the main dialog from another X client; otherwise the display server is killed.
TEST_F(StartupGuiTest, DISABLED_UntilTheDesktopEndsIt) {
    DisplayChild::leavesBehind(dir_);
    const std::string folder = std::getenv("ZEKO_CHILD_FOLDER"), action = std::getenv("ZEKO_CHILD_ACTION");
    setenv("ZEKO_REGISTRY_DIR", folder.c_str(), 1);
    setenv("ZEKO_SIM_STATE_DIR", folder.c_str(), 1);
    win::RegistryStore::resetAll();
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "starter_fw = 0x1000021\n");
    CameraList gige;
    ASSERT_TRUE(FillCameraList(gige, FillGigE));
    ASSERT_EQ(gige.GetCount(), 1);
    wxTimer steps;
    bool realBox = false;
    hook_.answer = [&](wxDialog* dialog) -> int {
        auto press = [dialog](int id) {
            wxCommandEvent event(wxEVT_BUTTON, id);
            event.SetEventObject(dialog->FindWindow(id));
            dialog->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
        };
        if (auto* main = dynamic_cast<CZekoManagerDlg*>(dialog)) {
            main->CallAfter([&, main] {
                AdditionalFunctions functions(main, gige.At(0), FALSE);
                functions.DoModal();
            });
        } else if (dynamic_cast<wxMessageDialogBase*>(dialog)) {
            return realBox ? wxID_NONE : wxID_OK;
        } else if (auto* terminal = dynamic_cast<DlgSerial*>(dialog)) {
            terminal->CallAfter([&, terminal] {
                realBox = true;
                steps.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                    DisplayChild::note("link " +
                                       std::to_string(std::filesystem::is_symlink(folder + "/zeko_COM100")));
                    DisplayChild::note("shown");
                    if (action == "destroy") {
                        Display* other = XOpenDisplay(nullptr);
                        XDestroyWindow(other, gdk_x11_window_get_xid(gtk_widget_get_window(
                                                  wxTheApp->GetTopWindow()->GetHandle())));
                        XCloseDisplay(other);
                    }
                });
                steps.StartOnce(700);
                wxMessageBox("A message above the terminal", "test", wxOK, terminal);
            });
        } else {
            dialog->CallAfter([press] {
                press(1175); // Install COM100
                press(1270); // Send / Receive
            });
        }
        return wxID_NONE;
    };
    static_cast<CZekoManagerApp*>(wxTheApp)->OnInit(); // as the program starts: the desktop's close installed
    DisplayChild::note("ended");
}

// A logout or a display server that ends, or another X client destroying the main dialog, leave
// no window to close: with Additional functions, the serial terminal and a message box open, the
// manager saves its settings, closes the camera (its COM100 link goes) and ends with status 0 at
// once, under a window manager and without. Its nested loops never ended under openbox.
TEST_F(StartupGuiTest, TheSettingsAndThePortLinkAreKeptWhenTheDesktopEndsTheManager) {
    for (const bool destroy : {false, true})
        for (const bool managed : {false, true}) {
            SCOPED_TRACE(std::string(destroy ? "destroyed" : "display killed") +
                         (managed ? ", openbox" : ", no window manager"));
            const std::string folder =
                dir_ + (destroy ? "/destroyed" : "/killed") + (managed ? "-managed" : "");
            std::filesystem::create_directories(folder);
            DisplayChild::Options options;
            options.test = "StartupGuiTest.DISABLED_UntilTheDesktopEndsIt";
            options.managed = managed;
            options.killDisplay = !destroy;
            options.env = {"ZEKO_CHILD_FOLDER=" + folder,
                           std::string("ZEKO_CHILD_ACTION=") + (destroy ? "destroy" : "kill")};
            const DisplayChild end = DisplayChild::run(options);
            if (!end.display)
                GTEST_SKIP() << "Xvfb or openbox did not start";
            ASSERT_TRUE(end.shown) << end.happened << end.stderrText;
            EXPECT_EQ(end.ending(), "exit 0") << end.happened << end.stderrText;
            EXPECT_EQ(end.happened, "link 1\nshown\n") << end.stderrText;
            EXPECT_FALSE(std::filesystem::is_symlink(folder + "/zeko_COM100")) << "the port's link was left";
            setenv("ZEKO_REGISTRY_DIR", folder.c_str(), 1);
            win::RegistryStore::resetAll();
            EXPECT_TRUE(hasDword(u"Checkboxes", u"TreeAutoRefresh", 1)) << "the settings were not saved";
            setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
            win::RegistryStore::resetAll();
        }
}

} // namespace
