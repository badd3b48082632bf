#include "camera_manager/diagnostics/records/GeneralInformation.h"
#include "ManagerTestSupport.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "platform/win/Registry.h"
#include "platform/win/System.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

OsVersion os(uint32_t major, uint32_t minor, std::u16string sp = u"") {
    OsVersion v;
    v.major = major;
    v.minor = minor;
    v.servicePack = sp;
    return v;
}

TEST(Usb2SupportTest, FollowsTheVersionTable) {
    auto noKey = [] { return std::optional<uint32_t>(); };
    auto installed = [](uint32_t v) { return [v] { return std::optional<uint32_t>(v); }; };
    EXPECT_FALSE(IsUsb2SupportMissing(os(5, 1, u"Service Pack 2"), installed(0)));
    EXPECT_FALSE(IsUsb2SupportMissing(os(5, 1, u"Service Pack 1"), noKey));
    EXPECT_FALSE(IsUsb2SupportMissing(os(5, 1, u"Service Pack 1"), installed(1)));
    EXPECT_TRUE(IsUsb2SupportMissing(os(5, 1, u""), installed(0)));
    EXPECT_TRUE(IsUsb2SupportMissing(os(5, 1, u""), installed(2)));
    EXPECT_TRUE(IsUsb2SupportMissing(os(5, 0, u"Service Pack 3"), noKey));
    EXPECT_FALSE(IsUsb2SupportMissing(os(5, 0, u"Service Pack 4"), noKey));
    EXPECT_TRUE(IsUsb2SupportMissing(os(5, 2, u""), noKey));
    EXPECT_FALSE(IsUsb2SupportMissing(os(5, 2, u"Service Pack 1"), noKey));
    EXPECT_FALSE(IsUsb2SupportMissing(os(6, 0), noKey));
    EXPECT_FALSE(IsUsb2SupportMissing(os(6, 1), noKey));
    EXPECT_TRUE(IsUsb2SupportMissing(os(6, 2), noKey));
    EXPECT_TRUE(IsUsb2SupportMissing(std::nullopt, noKey));
    OsVersion notNt = os(6, 1);
    notNt.platform = 1;
    EXPECT_TRUE(IsUsb2SupportMissing(notNt, noKey));
    EXPECT_EQ(GetServicePackNumber(u"Service Pack 3"), 3);
    EXPECT_EQ(GetServicePackNumber(u"Service Pack x"), 0);
    EXPECT_EQ(GetServicePackNumber(u""), 0);
}

// The dialog and the support file describe the same system: the host's own, or the one a test
// puts in its place.
TEST(SystemVersionTest, DialogAndSupportFileReadOneSource) {
    auto agree = [](const char* what) -> OsVersion {
        SCOPED_TRACE(what);
        const std::optional<OsVersion> dialog = SystemOsVersion();
        const SupportSystemInfo file = CollectSystemInfo();
        if (!dialog) {
            ADD_FAILURE() << "no version";
            return {};
        }
        EXPECT_EQ(dialog->platform, file.platformId);
        EXPECT_EQ(dialog->major, file.majorVersion);
        EXPECT_EQ(dialog->minor, file.minorVersion);
        EXPECT_EQ(dialog->servicePack, file.csdVersion);
        return *dialog;
    };
    const OsVersion host = agree("host");
    EXPECT_EQ(host.major, 0u);
    EXPECT_EQ(win::toUtf8(host.servicePack).rfind("Linux ", 0), 0u);
    // No Windows version, but the host's kernel drives its USB 2.0 controllers itself.
    EXPECT_FALSE(IsUsb2SupportMissing(host, [] { return std::optional<uint32_t>(0); }));

    win::SetSystemDescriptionSource([] {
        win::SystemDescription d;
        d.majorVersion = 5;
        d.minorVersion = 1;
        d.servicePack = u"Service Pack 2";
        return d;
    });
    const OsVersion xp = agree("5.1 SP2");
    win::SetSystemDescriptionSource({});
    EXPECT_EQ(xp.major, 5u);
    EXPECT_EQ(xp.minor, 1u);
    EXPECT_EQ(GetServicePackNumber(xp.servicePack), 2);
}

TEST(GeneralInformationTextTest, NamesAreCutAsTheTreeShowsThem) {
    EXPECT_EQ(ControllerName(u"@usbport.inf,%desc%;Standard EHCI Controller"), u"Standard EHCI Controller");
    EXPECT_EQ(ControllerName(u"a;b;Plain"), u"Plain");
    EXPECT_EQ(ControllerName(u"Plain name"), u"Plain name");
    EXPECT_EQ(ControllerName(u"ends with;"), u"ends with;");
    EXPECT_EQ(AdapterDisplayName(u"Intel - Gigabit - Port 1"), u"Gigabit - Port 1");
    EXPECT_EQ(AdapterDisplayName(u"eth0"), u"eth0");
}

class GeneralInformationTest : public cmtest::ManagerTest {
protected:
    void addController(const std::u16string& path, const std::u16string& guid, const std::u16string& ids,
                       const std::u16string& desc) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                                  (u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + path).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        auto set = [&](const char16_t* name, DWORD type, const std::u16string& value) {
            RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * 2));
        };
        set(u"ClassGUID", REG_SZ, guid);
        set(u"CompatibleIDs", REG_MULTI_SZ, ids);
        set(u"DeviceDesc", REG_SZ, desc);
        RegCloseKey(key);
    }
};

TEST_F(GeneralInformationTest, ControllersAreGroupedByClassCode) {
    const std::u16string usbClass = u"{36fc9e60-c465-11cf-8056-444553540000}";
    addController(u"VEN_1\\A", usbClass, std::u16string(u"PCI\\VEN_1\0pci\\cc_0c0320\0", 25), u"x;EHCI One");
    addController(u"VEN_1\\B", usbClass, std::u16string(u"PCI\\CC_0C0300\0", 14), u"UHCI");
    addController(u"VEN_2\\A", usbClass, std::u16string(u"PCI\\CC_0C0330\0", 14), u"xHCI");
    addController(u"VEN_2\\B", u"{OTHER}", std::u16string(u"PCI\\CC_0C0320\0", 14), u"Not USB");
    addController(u"VEN_3\\A", usbClass, std::u16string(u"PCI\\CC_0C0399\0", 14), u"Unknown class");
    UsbControllerLists lists = FillUsbHostControllerLists();
    EXPECT_EQ(lists.usb20, std::vector<std::u16string>{u"EHCI One"});
    EXPECT_EQ(lists.usb10, std::vector<std::u16string>{u"UHCI"});
    EXPECT_TRUE(lists.usb11.empty());
    EXPECT_EQ(lists.usb30, std::vector<std::u16string>{u"xHCI"});
}

TEST_F(GeneralInformationTest, RowsShowLocationsAndVersionsOfAWindowsTree) {
    std::string windows = dir_ + "/windows";
    std::filesystem::create_directories(windows + "/system32");
    const std::string libraries = cmtest::libDir();
    ASSERT_FALSE(libraries.empty());
    std::filesystem::copy_file(libraries + "/libzeko_api_64.so", windows + "/system32/zeko_api_64.dll");
    std::filesystem::create_directories(dir_ + "/halcon/bin/x64-win64");
    std::filesystem::copy_file(windows + "/system32/zeko_api_64.dll",
                               dir_ + "/halcon/bin/x64-win64/hAcqZeko.dll");
    std::map<std::string, std::u16string> env{{"HALCONROOT", win::fromUtf8(dir_ + "/halcon")},
                                              {"GENICAM_ROOT_V1_1", u"/gc"}};
    auto lookup = [&](const char* name) -> std::optional<std::u16string> {
        auto it = env.find(name);
        return it == env.end() ? std::nullopt : std::optional(it->second);
    };
    const std::u16string w = win::fromUtf8(windows);
    std::vector<InfoRow> rows = BuildDriverRows(w, lookup);
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[0].file, u"zeko_usb_64.sys");
    EXPECT_EQ(rows[0].location, w + u"/system32/drivers");
    EXPECT_EQ(rows[0].version, u"Not found");
    EXPECT_EQ(rows[3].file, u"zeko_api_64.dll");
    EXPECT_EQ(rows[3].version, u"3.31.0.0");
    EXPECT_EQ(rows[4].location, w + u"/SysWOW64");
    EXPECT_EQ(rows[10].location, win::fromUtf8(dir_) + u"/halcon/bin/x64-win64");
    EXPECT_EQ(rows[10].version, u"3.31.0.0");
    EXPECT_EQ(rows[14].location, u"Not found");
    EXPECT_EQ(rows[17].location, u"/gc/bin/win32_i86/TLIs/TLZeko.cti");
    EXPECT_EQ(rows[17].version, u"Not found");

    // The Cognex library's own path gives the version; its folder is the location.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Cognex\\AIK\\AdapterZeko", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::u16string library = w + u"/system32/zeko_api_64.dll";
    RegSetValueExW(key, u"LibName", 0, REG_SZ, reinterpret_cast<const BYTE*>(library.c_str()),
                   static_cast<DWORD>((library.size() + 1) * 2));
    RegCloseKey(key);
    rows = BuildDriverRows(w, lookup);
    EXPECT_EQ(rows[16].location, w + u"/system32");
    EXPECT_EQ(rows[16].version, u"3.31.0.0");

    std::vector<InfoRow> d3d = BuildDirect3DRows(w);
    ASSERT_EQ(d3d.size(), 2u);
    EXPECT_EQ(d3d[1].location, w + u"/system32/d3dx9_41.dll");
    EXPECT_EQ(d3d[1].description, u"Direct3D9 Extensions Dll");
}

TEST(GeneralInformationEnvTest, EmptyAndOverlongVariablesCountAsUnset) {
    setenv("ZEKO_TEST_VAR", "", 1);
    EXPECT_FALSE(ProcessEnvironment("ZEKO_TEST_VAR"));
    setenv("ZEKO_TEST_VAR", std::string(260, 'a').c_str(), 1);
    EXPECT_FALSE(ProcessEnvironment("ZEKO_TEST_VAR"));
    setenv("ZEKO_TEST_VAR", std::string(259, 'a').c_str(), 1);
    EXPECT_TRUE(ProcessEnvironment("ZEKO_TEST_VAR"));
    unsetenv("ZEKO_TEST_VAR");
}

} // namespace
