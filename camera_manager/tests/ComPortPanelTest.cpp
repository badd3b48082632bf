#include "camera_manager/diagnostics/records/ComPortPanel.h"
#include "ManagerTestSupport.h"
#include "camera_manager/core/records/StoreMessages.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <pty.h>
#include <unistd.h>

namespace {

struct RecordingUi : ComPortUi {
    std::vector<std::pair<std::u16string, Icon>> messages;
    void ShowMessage(const std::u16string& text, Icon icon) override { messages.emplace_back(text, icon); }
    std::u16string last() const { return messages.empty() ? u"" : messages.back().first; }
};

std::u16string text(unsigned id) {
    return LoadResourceString(id);
}

std::vector<uint32_t> devicePorts() {
    std::vector<uint32_t> ports;
    for (const win::PortDevice& device : win::listPortDevices())
        ports.push_back(device.port);
    return ports;
}

bool portFree(uint32_t port) {
    HCOMDB db = nullptr;
    ComDBOpen(&db);
    bool free = ComDBClaimPort(db, port, FALSE, nullptr) == ERROR_SUCCESS;
    if (free)
        ComDBReleasePort(db, port);
    ComDBClose(db);
    return free;
}

void claim(uint32_t port) {
    HCOMDB db = nullptr;
    ComDBOpen(&db);
    ASSERT_EQ(ComDBClaimPort(db, port, FALSE, nullptr), ERROR_SUCCESS);
    ComDBClose(db);
}

TEST(ComPortValuesTest, BroadcastPortIsANumberFrom1To256Else255) {
    EXPECT_EQ(ParseBroadcastComport(std::nullopt), 255u);
    EXPECT_EQ(ParseBroadcastComport(u"12"), 12u);
    EXPECT_EQ(ParseBroadcastComport(u" 7 "), 7u);
    EXPECT_EQ(ParseBroadcastComport(u"256"), 256u);
    EXPECT_EQ(ParseBroadcastComport(u"257"), 255u);
    EXPECT_EQ(ParseBroadcastComport(u"99999999999"), 255u);
    EXPECT_EQ(ParseBroadcastComport(u"0"), 255u);
    EXPECT_EQ(ParseBroadcastComport(u"COM3"), 255u);
    EXPECT_EQ(ParseBroadcastComport(u""), 255u);
}

TEST(ComPortValuesTest, MacPatternAndRecordBytes) {
    auto mac = ParseMacAddress(u"00-30-5a-0B-cd-EF trailing");
    ASSERT_TRUE(mac);
    EXPECT_EQ(*mac, (std::array<uint8_t, 6>{0x00, 0x30, 0x5a, 0x0b, 0xcd, 0xef}));
    EXPECT_FALSE(ParseMacAddress(u"Transfer failed"));
    EXPECT_FALSE(ParseMacAddress(u"00:30:5a:0b:cd:ef"));
    auto record = BuildComportRecord(-99);
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(record[1] | record[2] | record[3], 0);
    EXPECT_EQ(record[4], 0x9d);
    EXPECT_EQ(record[5], 0xff);
    for (size_t i = 6; i < record.size(); ++i)
        EXPECT_EQ(record[i], 0) << i;
}

class ComPortPanelTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        useCameras("[camera]\ndevice_id = 1000\nserial = S1000\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
                   "starter_fw = 0x1000021\n");
        camera_.mac = u"02-00-00-00-00-01";
        camera_.starterFirmware = 0x1000021;
        zksim_JournalClear();
    }
    ComPortPanel open() {
        ComPortPanel panel(camera_, ui_);
        panel.FillComPortCombo();
        panel.UpdateComPortState();
        return panel;
    }
    void setBroadcast(const char16_t* value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                                  u"SYSTEM\\CurrentControlSet\\Services\\zeko\\Parameters", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        std::u16string text(value);
        RegSetValueExW(key, u"BroadcastComport", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * 2));
        RegCloseKey(key);
    }
    ComPortCamera camera_;
    RecordingUi ui_;
};

TEST_F(ComPortPanelTest, FirstInstallAddsTheBroadcastPortThenTheChosenOne) {
    ComPortPanel panel = open();
    EXPECT_EQ(panel.comState(), 3);
    EXPECT_EQ(panel.broadcastPort(), 255u);
    ASSERT_EQ(panel.controls().comboItems.size(), 256u);
    EXPECT_EQ(panel.controls().comboItems[254], u"COM255 (Broadcast)");
    EXPECT_EQ(panel.controls().comboSelection, 99);
    EXPECT_EQ(panel.controls().status, text(ids::ComPortDefault));
    EXPECT_TRUE(panel.controls().installEnabled);
    EXPECT_FALSE(panel.controls().deleteEnabled);

    panel.OnComPortSelChange(4);
    EXPECT_EQ(panel.controls().installText, text(ids::InstallComPort) + u" (COM5)");
    panel.OnInstallComPort();
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0].first,
              u"The broadcast COM port (COM255) was successfully installed on the computer system");
    EXPECT_EQ(ui_.messages[1].first, text(ids::ComPortInstalled));
    EXPECT_EQ(devicePorts(), (std::vector<uint32_t>{255, 5}));
    for (uint32_t port = 1; port <= 4; ++port)
        EXPECT_TRUE(portFree(port)) << port;
    EXPECT_TRUE(FindVirtualComPortDevice(-95));
    EXPECT_EQ(panel.controls().comboItems[4], u"COM5 (used)");
    EXPECT_EQ(panel.selectedPort(), 5u);
    EXPECT_TRUE(panel.controls().deleteEnabled);
    EXPECT_FALSE(panel.controls().installEnabled);

    // The broadcast port cannot be chosen.
    panel.OnComPortSelChange(254);
    EXPECT_EQ(panel.controls().comboSelection, 4);
    EXPECT_EQ(panel.selectedPort(), 5u);

    // Deleting the last regular port removes the broadcast device with it.
    ui_.messages.clear();
    panel.OnDeleteComPort();
    EXPECT_EQ(ui_.last(), text(ids::ComPortDeletedOnComputer));
    EXPECT_TRUE(devicePorts().empty());
    EXPECT_TRUE(portFree(5));
    EXPECT_TRUE(portFree(255));
}

TEST_F(ComPortPanelTest, StatesFollowTheCameraOffsetAndTheDevices) {
    camera_.offset = 5;
    ComPortPanel missing = open();
    EXPECT_EQ(missing.comState(), 2);
    EXPECT_EQ(missing.controls().status, text(ids::ComPortMissingOnComputer));
    EXPECT_TRUE(missing.controls().installEnabled);
    EXPECT_TRUE(missing.controls().deleteEnabled);
    EXPECT_FALSE(missing.controls().saveEnabled);
    EXPECT_EQ(missing.controls().deleteText, text(ids::DeleteComPortInCamera) + u" (COM105)");

    for (int16_t offset : {int16_t(-100), int16_t(157)}) {
        camera_.offset = offset;
        ComPortPanel invalid = open();
        EXPECT_EQ(invalid.comState(), 2);
        EXPECT_EQ(invalid.controls().status, text(ids::InvalidComPortInCamera));
        EXPECT_FALSE(invalid.controls().installEnabled);
        EXPECT_TRUE(invalid.controls().deleteEnabled);
    }

    camera_.offset = 0;
    ComPortPanel panel = open();
    panel.OnInstallComPort(); // COM100 (and the broadcast port)
    EXPECT_EQ(panel.comState(), 1);
    EXPECT_TRUE(panel.connected());
    EXPECT_EQ(panel.controls().status, text(ids::ComPortConnected));
    EXPECT_TRUE(panel.controls().sendReceiveEnabled);
    EXPECT_FALSE(panel.controls().comboEnabled);
    EXPECT_EQ(panel.controls().deleteText, text(ids::DeleteComPort) + u" (COM100)");

    // The device records the path that stands for the port (here one end of a pty pair).
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ASSERT_TRUE(win::setPortDevicePath(FindVirtualComPortDevice(0)->instance, name));
    EXPECT_EQ(win::portDevicePath(100), name);
    close(master);
    close(slave);
}

TEST_F(ComPortPanelTest, SaveNeedsANewStarterFirmwareAndSendsTheRecord) {
    camera_.starterFirmware = 0x1000020;
    ComPortPanel old = open();
    old.OnComPortSelChange(119);
    old.OnSaveComPort();
    EXPECT_EQ(ui_.last(), text(ids::OldStarterFirmware));
    EXPECT_EQ(zksim_JournalCount("zk_SetComportConfig"), 0);

    camera_.starterFirmware = 0x1000021;
    ComPortPanel panel = open();
    panel.OnComPortSelChange(119);
    panel.OnSaveComPort();
    EXPECT_EQ(ui_.last(), text(ids::ComPortSavedInCamera));
    EXPECT_EQ(camera_.offset, 20);
    ASSERT_EQ(zksim_JournalCount("zk_SetComportConfig"), 1);
    ZkSimCall call{};
    for (int i = zksim_JournalSize() - 1; i >= 0; --i)
        if (zksim_JournalEntry(i, &call) == 0 && std::string(call.function) == "zk_SetComportConfig")
            break;
    EXPECT_EQ(call.ints[0], 0);  // current offset
    EXPECT_EQ(call.ints[1], 20); // new offset
    EXPECT_EQ(call.ints[2], 80);
    EXPECT_EQ(call.ints[3], 0);
    EXPECT_EQ(panel.comState(), 2);

    // Deleting in the camera (state 2) resets the offset with one message.
    ui_.messages.clear();
    panel.OnDeleteComPort();
    EXPECT_EQ(ui_.last(), text(ids::ComPortDeletedInCamera));
    EXPECT_EQ(camera_.offset, 0);
    EXPECT_EQ(panel.comState(), 3);
}

TEST_F(ComPortPanelTest, NoCameraCallWithoutAValidMacAddress) {
    camera_.mac = u"Transfer failed";
    ComPortPanel panel = open();
    panel.OnSaveComPort();
    EXPECT_EQ(ui_.last(), text(ids::ComPortNotSavedInCamera));
    EXPECT_EQ(zksim_JournalCount("zk_SetComportConfig"), 0);
    EXPECT_EQ(camera_.offset, 0);
}

TEST_F(ComPortPanelTest, DeleteAllKeepsOtherDevicesReservations) {
    claim(7); // another program's port
    ComPortPanel panel = open();
    panel.OnComPortSelChange(9);
    panel.OnInstallComPort();
    EXPECT_EQ(devicePorts(), (std::vector<uint32_t>{255, 10}));
    panel.OnDeleteAllVirtualComPorts();
    EXPECT_TRUE(devicePorts().empty());
    EXPECT_TRUE(portFree(10));
    EXPECT_TRUE(portFree(255));
    EXPECT_FALSE(portFree(7));
}

TEST_F(ComPortPanelTest, InstallsNothingWhenTheWantedNumberIsTaken) {
    setBroadcast(u"12");
    claim(12);            // the broadcast number belongs to someone else
    camera_.offset = -97; // COM3, held by another program
    claim(3);
    ComPortPanel panel = open();
    EXPECT_EQ(panel.comState(), 2);
    panel.OnInstallComPort();
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0].first,
              u"The broadcast COM port (COM12) could not be installed on the computer system!");
    EXPECT_EQ(ui_.messages[1].first, text(ids::ComPortNotInstalled));
    EXPECT_TRUE(devicePorts().empty());
}

TEST_F(ComPortPanelTest, OutOfRangeBroadcastValueIsNotUsed) {
    setBroadcast(u"300");
    ComPortPanel panel = open();
    EXPECT_EQ(panel.broadcastPort(), 255u);
    setBroadcast(u"abc");
    EXPECT_EQ(ReadBroadcastComport(), 255u);
}

TEST_F(ComPortPanelTest, WithoutAPortDatabaseNothingCanBeDone) {
    setenv("ZEKO_REGISTRY_DIR", "/proc/zeko-no-such-folder", 1);
    ComPortPanel panel = open();
    setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
    EXPECT_TRUE(panel.controls().comboItems.empty());
    EXPECT_EQ(panel.comState(), 3);
    EXPECT_FALSE(panel.controls().installEnabled);
    EXPECT_FALSE(panel.controls().saveEnabled);
    EXPECT_FALSE(panel.controls().deleteEnabled);
}

TEST_F(ComPortPanelTest, FailedInstallationReportsAndLeavesNoDevice) {
    ComPortPanel panel = open();
    win::failPortInstallations(2);
    panel.OnInstallComPort();
    win::failPortInstallations(0);
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0].second, ComPortUi::Icon::Error);
    EXPECT_EQ(ui_.messages[1].first, text(ids::ComPortNotInstalled));
    EXPECT_TRUE(devicePorts().empty());
    EXPECT_TRUE(portFree(1));
}

} // namespace

namespace {

// Where the store can be read but not written, the panel shows what it holds, and a change says
// once why it was not saved (run as an unprivileged user, to whom the folder is read-only).
TEST_F(ComPortPanelTest, AStoreThatCannotBeWrittenIsShownAsItIsAndSaysWhy) {
    {
        ComPortPanel panel = open();
        panel.OnComPortSelChange(99);
        panel.OnInstallComPort();
        ASSERT_EQ(devicePorts(), (std::vector<uint32_t>{255, 100}));
    }
    std::system(("chmod -R a+rX '" + dir_ + "'").c_str());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20); // a watchdog: a blocked store ends the child
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        ui_.messages.clear();
        ComPortPanel panel = open();
        if (panel.controls().comboItems.size() != 256 ||
            panel.controls().comboItems[99] != u"COM100 (used)" ||
            panel.controls().comboItems[4] != u"COM5" || !ui_.messages.empty())
            _exit(1);
        panel.OnComPortSelChange(4);
        if (!panel.controls().installEnabled)
            _exit(2);
        panel.OnInstallComPort();
        if (ui_.messages.size() != 1 ||
            ui_.messages[0].first != PortStoreFailureMessage({dir_ + "/zeko_ports.txt",
                                                              win::PortStoreFailure::Cause::Error, EACCES}))
            _exit(3);
        camera_.offset = 0;
        panel.OnComPortSelChange(99);
        ui_.messages.clear();
        panel.OnDeleteComPort();
        _exit(ui_.messages.size() == 1 &&
                      ui_.messages[0].first.find(u"cannot be written") != std::u16string::npos
                  ? 0
                  : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(devicePorts(), (std::vector<uint32_t>{255, 100}));

    // On a full disk the change says so: the store's folder moved to a small file system of its
    // own (in a mount namespace of the child's), filled up.
    const pid_t full = fork();
    ASSERT_GE(full, 0);
    if (full == 0) {
        alarm(20);
        const std::string saved = dir_ + ".saved";
        std::error_code error;
        std::filesystem::copy(dir_, saved, std::filesystem::copy_options::recursive, error);
        if (error || unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=1m") != 0)
            _exit(77);
        std::filesystem::copy(saved, dir_, std::filesystem::copy_options::recursive, error);
        std::filesystem::remove_all(saved);
        FILE* filler = std::fopen((dir_ + "/filler").c_str(), "w");
        const std::string block(4096, 'x');
        while (filler && std::fwrite(block.data(), 1, block.size(), filler) == block.size())
            ;
        if (error || !filler)
            _exit(5);
        std::fclose(filler);
        ui_.messages.clear();
        ComPortPanel panel = open();
        panel.OnComPortSelChange(4);
        panel.OnInstallComPort();
        _exit(ui_.messages.size() == 1 &&
                      ui_.messages[0].first.find(text(ids::DiskIsFull)) != std::u16string::npos
                  ? 0
                  : 6);
    }
    ASSERT_EQ(waitpid(full, &status, 0), full);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no file system of its own may be mounted here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(devicePorts(), (std::vector<uint32_t>{255, 100}));
}

// A folder in the store's place is named once when the panel opens, and a change names it as the
// reason it was not saved; no port reads as used.
TEST_F(ComPortPanelTest, AFolderInTheStoresPlaceIsNamedAndNoPortReadsAsUsed) {
    ASSERT_EQ(mkdir((dir_ + "/zeko_ports.txt").c_str(), 0700), 0);
    win::TakeUnreadableFiles();
    ComPortPanel panel = open();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].first.find(text(ids::PathIsAFolder)), std::u16string::npos);
    EXPECT_NE(ui_.messages[0].first.find(win::fromUtf8(dir_ + "/zeko_ports.txt")), std::u16string::npos);
    EXPECT_EQ(panel.controls().comboItems.at(99), u"COM100");
    EXPECT_TRUE(panel.controls().installEnabled);
    ui_.messages.clear();
    panel.OnInstallComPort();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].first,
              PortStoreFailureMessage({dir_ + "/zeko_ports.txt", win::PortStoreFailure::Cause::Folder, 0}));
    struct stat status {};
    ASSERT_EQ(lstat((dir_ + "/zeko_ports.txt").c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
}

} // namespace
