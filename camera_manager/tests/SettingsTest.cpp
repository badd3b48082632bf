#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/DeviceLookup.h"
#include "camera_manager/core/records/ManagerSettings.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using cmtest::ManagerTest;

HKEY createKey(HKEY root, const std::u16string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void setDword(const std::u16string& subkey, const char16_t* name, DWORD value) {
    HKEY key = createKey(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\" + subkey);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
}

bool getDword(const std::u16string& subkey, const char16_t* name, DWORD& value) {
    HKEY key = nullptr;
    const std::u16string path = u"Software\\Marvek\\Zeko\\Camera Manager\\" + subkey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 4;
    const bool ok =
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == 0;
    RegCloseKey(key);
    return ok;
}

void setText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& text) {
    HKEY key = createKey(root, path);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * 2));
    RegCloseKey(key);
}

class SettingsTest : public ManagerTest {};

TEST_F(SettingsTest, DefaultsAreWrittenAtCloseInTheirOrder) {
    const TreeNodeStates nodes = ReadTreeNodes();
    const CheckboxStates boxes = ReadCheckboxes();
    DialogPlacement placement = ReadDialogPlacement(DefaultPlacement(1000, 700, 400, false, 1280, 1024));
    EXPECT_EQ(placement.width, 573);
    EXPECT_EQ(placement.x, 640 - 286);
    EXPECT_EQ(placement.y, 512 - 350);
    SaveSettingsAtClose(nodes, boxes, placement);
    DWORD value = 9;
    for (int i = 0; i < treeNodeCount; ++i) {
        ASSERT_TRUE(getDword(u"TreeNodes", treeNodeNames[i], value)) << i;
        EXPECT_EQ(value, (i == 4 || i == 5) ? 0u : 1u) << i;
    }
    ASSERT_TRUE(getDword(u"Checkboxes", u"ExpertMode", value));
    EXPECT_EQ(value, 0u);
    ASSERT_TRUE(getDword(u"Checkboxes", u"TreeAutoRefresh", value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(getDword(u"Dialog", u"width", value));
    EXPECT_EQ(value, 573u);
    ASSERT_TRUE(getDword(u"Dialog", u"maximized", value));
    EXPECT_EQ(value, 0u);
    // The file holds the keys in their order of writing.
    std::ifstream in(dir_ + "/user.reg");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_LT(text.find("TreeNodeGeneralInfo"), text.find("TreeNodeDebugInfoReservedDriver"));
}

TEST_F(SettingsTest, TreeNodesExpandOnlyOnExactlyOne) {
    HKEY empty = createKey(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\TreeNodes");
    RegCloseKey(empty);
    const TreeNodeStates defaults = DefaultTreeNodes();
    TreeNodeStates nodes = ReadTreeNodes(); // an empty key reads as a missing one
    for (int i = 0; i < treeNodeCount; ++i)
        EXPECT_EQ(nodes.expanded[i], defaults.expanded[i]);
    setDword(u"TreeNodes", u"TreeNodeUsb", 2);
    setDword(u"TreeNodes", u"TreeNodeStatusFlags", 1);
    nodes = ReadTreeNodes();
    EXPECT_FALSE(nodes.expanded[1]);
    EXPECT_TRUE(nodes.expanded[4]);
}

TEST_F(SettingsTest, PlacementValuesOverrideOneByOneAndNegativePositionsSurvive) {
    setDword(u"Dialog", u"x", DWORD(-1500));
    setDword(u"Dialog", u"height", 480);
    setDword(u"Dialog", u"maximized", 1);
    DialogPlacement defaults{10, 20, 800, 600, false};
    const DialogPlacement p = ReadDialogPlacement(defaults);
    EXPECT_EQ(p.x, -1500);
    EXPECT_EQ(p.y, 20);
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 480);
    EXPECT_TRUE(p.maximized);
    WriteDialogPlacement(p);
    EXPECT_EQ(ReadDialogPlacement(DialogPlacement{}).x, -1500);
    // Shown inside the visible area and at least the minimum size; the stored values stay.
    const DialogPlacement shown =
        ClampPlacement(DialogPlacement{-1500, 20, 0, 480, false}, 400, 300, 0, 0, 1280, 1024);
    EXPECT_EQ(shown.x, 0);
    EXPECT_EQ(shown.width, 400);
    const DialogPlacement far =
        ClampPlacement(DialogPlacement{5000, 5000, 800, 600, false}, 400, 300, 0, 0, 1280, 1024);
    EXPECT_EQ(far.x, 480);
    EXPECT_EQ(far.y, 424);
    EXPECT_EQ(ReadDialogPlacement(DialogPlacement{}).x, -1500);
}

TEST_F(SettingsTest, SortAndRefreshTime) {
    EXPECT_EQ(ReadSortSettings().column, 5);
    EXPECT_TRUE(ReadSortSettings().ascending);
    WriteSortSettings(SortSettings{2, false});
    EXPECT_EQ(ReadSortSettings().column, 2);
    EXPECT_FALSE(ReadSortSettings().ascending);
    EXPECT_EQ(ReadRefreshTime(), 1500u);
    setDword(u"Tree", u"RefreshTime", 0);
    EXPECT_EQ(ReadRefreshTime(), 0u);
}

TEST_F(SettingsTest, FirmwareDefaultsComeFromTheDriverPackage) {
    const std::u16string uninstall = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                     u"{6D1E3B7A-2C45-4F80-9B1D-7A3E5C9F0B24}";
    const std::string install = dir_ + "/Zeko";
    std::filesystem::create_directories(install + "/GigE Firmware");
    std::ofstream(install + "/GigE Firmware/HE_2.fw") << "fw";
    std::ofstream(install + "/GigE Firmware/HE_1.fw") << "fw";
    setText(HKEY_LOCAL_MACHINE, uninstall, u"UninstallString", u"uninstall");
    setText(HKEY_LOCAL_MACHINE, uninstall, u"InstallLocation", FromUtf8(install));

    EXPECT_EQ(GetFirmwarePath(5), u""); // another type touches nothing
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Marvek\\Zeko\\Camera Manager\\Firmware", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(GetFirmwarePath(-128), FromUtf8(install) + u"/GigE Firmware/HE_1.fw");
    // No SE file: the pattern itself is stored.
    EXPECT_EQ(GetFirmwarePath(-127), FromUtf8(install) + u"/GigE Firmware/SE_*.fw");
    SetFirmwarePath(-127, u"/chosen/SE_9.fw");
    EXPECT_EQ(GetFirmwarePath(-127), u"/chosen/SE_9.fw");
}

TEST_F(SettingsTest, FirmwareDefaultsAreEmptyWithoutAnInstallLocation) {
    EXPECT_EQ(GetFirmwarePath(-128), u"");
    EXPECT_EQ(GetFirmwarePath(-127), u"");
}

TEST_F(SettingsTest, UsbInstancesMatchInEitherCase) {
    std::u16string parent, port;
    ASSERT_TRUE(MatchUsbInstance(u"USB\\Vid_5C2E&Pid_1001\\6&1a2b3c4&0&2", parent, port));
    EXPECT_EQ(parent, u"6&1a2b3c4&0");
    EXPECT_EQ(port, u"2");
    ASSERT_TRUE(MatchUsbInstance(u"USB\\VID_5C2E&PID_1001\\6&1A2B&0", parent, port));
    EXPECT_EQ(port, u"");
    EXPECT_FALSE(MatchUsbInstance(u"USB\\Vid_5C2E&Pid_10AB\\6&1a2b3c4&0&2", parent, port));
    EXPECT_FALSE(MatchUsbInstance(u"USB\\Vid_1234&Pid_1001\\6&1a2b3c4&0&2", parent, port));
    EXPECT_FALSE(MatchUsbInstance(u"xUSB\\Vid_5C2E&Pid_1001\\6&1a2b3c4&0&2", parent, port));
    ASSERT_TRUE(MatchInstanceName(u"5&3f2e1d&0&4", parent, port));
    EXPECT_EQ(parent, u"5&3f2e1d&0");
    EXPECT_EQ(port, u"4");
}

TEST_F(SettingsTest, DeviceInstancesAreFoundThroughTheRegistry) {
    const std::u16string driverEnum = u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\Enum";
    setText(HKEY_LOCAL_MACHINE, driverEnum, u"0", u"USB\\VID_5C2E&PID_1001\\6&1a2b3c4&0&2");
    setText(HKEY_LOCAL_MACHINE, driverEnum, u"1", u"USB\\Vid_5C2E&Pid_10AB\\6&1a2b3c4&0&2");
    WCHAR parent[32], port[4];
    ASSERT_TRUE(FindUsbDeviceInstance(0, parent, sizeof parent, port, sizeof port));
    EXPECT_EQ(std::u16string(parent), u"6&1a2b3c4&0");
    EXPECT_EQ(std::u16string(port), u"2");
    EXPECT_FALSE(FindUsbDeviceInstance(1, parent, sizeof parent, port, sizeof port));
    EXPECT_FALSE(FindUsbDeviceInstance(2, parent, sizeof parent, port, sizeof port));

    const std::u16string usb = u"SYSTEM\\CurrentControlSet\\Enum\\USB";
    setText(HKEY_LOCAL_MACHINE, usb + u"\\ROOT_HUB20\\4&aa&0", u"ParentIdPrefix", u"5&bb&0");
    setText(HKEY_LOCAL_MACHINE, usb + u"\\VID_1234&PID_5678\\5&cc&0&3", u"ParentIdPrefix", u"6&1a2b3c4&0");
    WCHAR path[200];
    ASSERT_TRUE(FindDeviceByParentIdPrefix(usb, u"6&1a2b3c4&0", parent, sizeof parent, port, sizeof port,
                                           path, sizeof path));
    EXPECT_EQ(std::u16string(parent), u"5&cc&0");
    EXPECT_EQ(std::u16string(port), u"3");
    EXPECT_EQ(std::u16string(path), usb + u"\\VID_1234&PID_5678\\5&cc&0&3");
    EXPECT_FALSE(FindDeviceByParentIdPrefix(usb, u"9&zz&0", parent, sizeof parent, port, sizeof port, path,
                                            sizeof path));
    WCHAR small[4];
    ASSERT_TRUE(ReadRegistryString(driverEnum, u"0", small, sizeof small));
    EXPECT_EQ(std::u16string(small), u"USB");
    EXPECT_FALSE(ReadRegistryString(driverEnum, u"7", small, sizeof small));
}

} // namespace
