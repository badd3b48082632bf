#include "platform/win/NetworkSetup.h"
#include "platform/win/AdapterTcpip.h"
#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/UnreadableFiles.h"
#include "platform/win/UsbDriverSetup.h"
#include "platform/win/WideText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::u16string classKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
const std::u16string enumKey = u"SYSTEM\\CurrentControlSet\\Enum\\";
const std::u16string interfaces = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::u16string serviceName = u"Gigabit Ethernet Zeko";

win::RegistryStore& machine() {
    return win::RegistryStore::instance(win::RegistryStore::Hive::LocalMachine);
}

std::u16string text(const std::u16string& key, const char16_t* name) {
    win::RegistryStore::Value value;
    if (!machine().getValue(key, name, value))
        return u"<missing>";
    return win::RegistryStore::textOf(value).value_or(u"<not text>");
}

uint32_t dword(const std::u16string& key, const char16_t* name) {
    win::RegistryStore::Value value;
    if (!machine().getValue(key, name, value) || value.type != 4 || value.data.size() != 4)
        return 0xFFFFFFFF;
    return value.data[0] | value.data[1] << 8 | value.data[2] << 16 | uint32_t(value.data[3]) << 24;
}

win::AdapterRecord adapter(const char* name, const char* description, uint8_t lastMacByte, const char* ip,
                           const char* mask, const char* driverVersion = "") {
    win::AdapterRecord record;
    record.name = name;
    record.description = description;
    const uint8_t mac[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, lastMacByte};
    std::copy(mac, mac + 6, record.mac);
    record.ipAddress = ip;
    record.ipMask = mask;
    record.driverVersion = driverVersion;
    return record;
}

class NetworkSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_netsetup_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
        win::RegistryStore::resetAll();
        adapters_ = {adapter("eth0", "Onboard LAN", 0x07, "192.168.10.1", "255.255.255.0", "6.1.0-18-amd64"),
                     adapter("enp3s0", "enp3s0", 0x0C, "0.0.0.0", "0.0.0.0")};
        win::SetAdapterSource([this] { return adapters_; });
    }
    void TearDown() override {
        win::SetAdapterSource({});
        std::filesystem::remove_all(dir_);
    }
    std::string fileText(const char* name) const {
        std::ifstream file(dir_ + "/" + name, std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }
    // The class subkey the Enum key of the device-instance identifier points to.
    static std::u16string classSubkeyOf(const std::u16string& device) {
        const std::u16string driver = text(enumKey + device, u"Driver");
        const size_t slash = driver.rfind(u'\\');
        EXPECT_EQ(driver.substr(0, slash), u"{4D36E972-E325-11CE-BFC1-08002bE10318}");
        return slash == std::u16string::npos ? driver : driver.substr(slash + 1);
    }
    std::string dir_;
    std::vector<win::AdapterRecord> adapters_;
};

TEST_F(NetworkSetupTest, FreshFolderGetsTheServiceBoundToEachAdapterAndKeysThatLeadToIt) {
    ASSERT_TRUE(win::EnsureNetworkSetup(serviceName));

    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    const win::NetServiceComponent* service = configuration.serviceByDisplayName(serviceName);
    ASSERT_NE(service, nullptr);
    ASSERT_EQ(service->paths.size(), 2u);
    ASSERT_EQ(configuration.adapters.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const std::u16string name = i == 0 ? u"eth0" : u"enp3s0";
        EXPECT_EQ(service->paths[i].lowerBindName, name);
        EXPECT_TRUE(service->paths[i].enabled);
        const win::NetAdapterComponent* component = configuration.adapter(name);
        ASSERT_NE(component, nullptr);
        // Enum key -> class subkey -> the adapter's name, and the index gives its MAC address.
        const std::u16string sub = classSubkeyOf(component->pnpDeviceId);
        EXPECT_EQ(text(classKey + sub, u"NetCfgInstanceId"), name);
        std::u16string mac;
        ASSERT_TRUE(win::QueryAdapterMacAddress(std::stoi(win::toUtf8(sub)), mac));
        EXPECT_EQ(mac, i == 0 ? u"00:1B:21:AB:00:07" : u"00:1B:21:AB:00:0C");
        EXPECT_EQ(dword(interfaces + name, u"EnableDHCP"), 0u);
    }
    EXPECT_EQ(configuration.adapter(u"eth0")->displayName, u"Onboard LAN");
    EXPECT_NE(configuration.adapter(u"eth0")->pnpDeviceId, configuration.adapter(u"enp3s0")->pnpDeviceId);

    // The current address, and 0.0.0.0 for the adapter without IPv4; a driver version only
    // where the system reported one.
    EXPECT_EQ(text(interfaces + u"eth0", u"IPAddress"), u"192.168.10.1");
    EXPECT_EQ(text(interfaces + u"eth0", u"SubnetMask"), u"255.255.255.0");
    EXPECT_EQ(text(interfaces + u"enp3s0", u"IPAddress"), u"0.0.0.0");
    EXPECT_EQ(text(interfaces + u"enp3s0", u"SubnetMask"), u"0.0.0.0");
    const std::u16string eth0Class = classSubkeyOf(configuration.adapter(u"eth0")->pnpDeviceId);
    const std::u16string enpClass = classSubkeyOf(configuration.adapter(u"enp3s0")->pnpDeviceId);
    EXPECT_EQ(text(classKey + eth0Class, u"DriverVersion"), u"6.1.0-18-amd64");
    EXPECT_EQ(text(classKey + enpClass, u"DriverVersion"), u"<missing>");

    // Once stored, later starts change nothing, even with other adapters.
    const std::string stored = fileText("zeko_netcfg.txt");
    const std::string registry = fileText("machine.reg");
    adapters_.push_back(adapter("eth1", "eth1", 0x20, "10.0.0.2", "255.0.0.0"));
    EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
    EXPECT_EQ(fileText("zeko_netcfg.txt"), stored);
    EXPECT_EQ(fileText("machine.reg"), registry);
}

TEST_F(NetworkSetupTest, StoredConfigurationAndRegistryAreNeverTouched) {
    // A configuration without the service stays as it is.
    const char* content = "service\tother\tOther service\n";
    std::ofstream(dir_ + "/zeko_netcfg.txt", std::ios::trunc) << content;
    EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
    EXPECT_EQ(fileText("zeko_netcfg.txt"), content);
    EXPECT_FALSE(machine().keyExists(classKey.substr(0, classKey.size() - 1)));
    EXPECT_FALSE(machine().keyExists(interfaces + u"eth0"));
    EXPECT_TRUE(win::TakeUnreadableFiles().empty());
}

TEST_F(NetworkSetupTest, AConfigurationThatCannotBeReadIsSetAsideNamedAndWrittenAnew) {
    using Kind = win::FileProblem::Kind;
    const std::pair<const char*, win::FileProblem> damaged[] = {
        {"not a configuration\n", {Kind::NotNetworkRecord, 1}},
        {"adapter\teth0\tOnboard LAN\tROOT\\NET\\0000\nservice\tzk_eth\tZek", {Kind::LastLineCut}},
        {"", {Kind::Empty}},
        {"binding\tzk_eth\tzk_eth->eth0\teth0\t1\nservice\tzk_eth\tZeko\n", {Kind::BindingBeforeService, 1}},
        {"adapter\teth0\tOnboard LAN\tROOT\\NET\\0000\n", {Kind::NoService}},
    };
    for (const auto& [content, problem] : damaged) {
        win::TakeUnreadableFiles();
        std::filesystem::remove(dir_ + "/zeko_netcfg.txt");
        std::ofstream(dir_ + "/zeko_netcfg.txt", std::ios::binary) << content;
        EXPECT_TRUE(win::EnsureNetworkSetup(serviceName)) << content;
        const std::vector<win::UnreadableFile> aside = win::TakeUnreadableFiles();
        ASSERT_EQ(aside.size(), 1u) << content;
        EXPECT_EQ(aside[0].path, dir_ + "/zeko_netcfg.txt");
        EXPECT_EQ(aside[0].problem, problem);
        std::ifstream kept(aside[0].keptAs, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), content);
        EXPECT_NE(win::ReadNetConfiguration().serviceByDisplayName(serviceName), nullptr);
        // The next start finds it readable and leaves it alone.
        EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
        EXPECT_TRUE(win::TakeUnreadableFiles().empty());
        std::filesystem::remove(aside[0].keptAs);
    }
}

// A machine registry that was set aside (or lost) took the adapters' keys along; the stored
// configuration still names the devices, so each start registers them again under those numbers.
TEST_F(NetworkSetupTest, TheAdaptersOfAStoredConfigurationGetTheirKeysBackUnderTheirNumbers) {
    ASSERT_TRUE(win::EnsureNetworkSetup(serviceName));
    const std::string configuration = fileText("zeko_netcfg.txt");
    const std::string registry = fileText("machine.reg");
    std::filesystem::remove(dir_ + "/machine.reg");
    win::RegistryStore::resetAll();
    EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
    EXPECT_EQ(fileText("machine.reg"), registry);
    EXPECT_EQ(fileText("zeko_netcfg.txt"), configuration);

    // A number that another device holds now is not given to the adapter; an adapter that is
    // gone has nothing to register.
    std::filesystem::remove(dir_ + "/machine.reg");
    win::RegistryStore::resetAll();
    machine().setValue(enumKey + u"ROOT\\NET\\0000", win::RegistryStore::textValue(u"Driver", u"elsewhere"));
    adapters_.push_back(adapter("eth1", "eth1", 0x20, "10.0.0.2", "255.0.0.0"));
    EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
    EXPECT_EQ(text(enumKey + u"ROOT\\NET\\0000", u"Driver"), u"elsewhere");
    EXPECT_FALSE(machine().keyExists(interfaces + u"eth0"));
    EXPECT_FALSE(machine().keyExists(interfaces + u"eth1"));
    EXPECT_EQ(classSubkeyOf(win::ReadNetConfiguration().adapter(u"enp3s0")->pnpDeviceId), u"0001");
    EXPECT_EQ(text(classKey + u"0001", u"NetCfgInstanceId"), u"enp3s0");
    EXPECT_EQ(text(interfaces + u"enp3s0", u"IPAddress"), u"0.0.0.0");
    EXPECT_EQ(fileText("zeko_netcfg.txt"), configuration);
}

TEST_F(NetworkSetupTest, ExistingKeysAreKeptAndNewClassSubkeysTakeFreeNumbers) {
    // eth0 has its class subkey (0000) and TCP/IP settings already; 0001 belongs to another
    // adapter and Enum\ROOT\NET\0002 to another device, so enp3s0 gets 0003.
    machine().setValue(classKey + u"0000", win::RegistryStore::textValue(u"NetCfgInstanceId", u"eth0"));
    machine().setValue(classKey + u"0000", win::RegistryStore::textValue(u"DriverVersion", u"1.2.3.4"));
    machine().setValue(classKey + u"0001", win::RegistryStore::textValue(u"NetCfgInstanceId", u"{OTHER}"));
    machine().setValue(enumKey + u"ROOT\\NET\\0002", win::RegistryStore::textValue(u"Driver", u"elsewhere"));
    machine().setValue(interfaces + u"eth0", win::RegistryStore::dwordValue(u"EnableDHCP", 1));

    ASSERT_TRUE(win::EnsureNetworkSetup(serviceName));
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    EXPECT_EQ(classSubkeyOf(configuration.adapter(u"eth0")->pnpDeviceId), u"0000");
    EXPECT_EQ(classSubkeyOf(configuration.adapter(u"enp3s0")->pnpDeviceId), u"0003");
    EXPECT_EQ(text(classKey + u"0000", u"DriverVersion"), u"1.2.3.4");
    EXPECT_EQ(text(classKey + u"0001", u"NetCfgInstanceId"), u"{OTHER}");
    EXPECT_EQ(text(enumKey + u"ROOT\\NET\\0002", u"Driver"), u"elsewhere");
    EXPECT_EQ(dword(interfaces + u"eth0", u"EnableDHCP"), 1u);
    EXPECT_EQ(text(interfaces + u"eth0", u"IPAddress"), u"<missing>");
}

TEST_F(NetworkSetupTest, UnusableAdapterNamesArePassedOverAndDescriptionsKeepToOneField) {
    adapters_ = {adapter("a\\b", "back-slash", 0x01, "0.0.0.0", "0.0.0.0"),
                 adapter("eth0", "Onboard\tLAN\nport", 0x07, "192.168.10.1", "255.255.255.0")};
    ASSERT_TRUE(win::EnsureNetworkSetup(serviceName));
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    ASSERT_EQ(configuration.adapters.size(), 1u);
    EXPECT_EQ(configuration.adapters[0].displayName, u"Onboard LAN port");
    EXPECT_EQ(configuration.serviceByDisplayName(serviceName)->paths.size(), 1u);
    EXPECT_FALSE(machine().keyExists(interfaces + u"a\\b"));
}

TEST_F(NetworkSetupTest, NoAdapterStillInstallsTheService) {
    adapters_.clear();
    ASSERT_TRUE(win::EnsureNetworkSetup(serviceName));
    const win::NetConfiguration configuration = win::ReadNetConfiguration();
    const win::NetServiceComponent* service = configuration.serviceByDisplayName(serviceName);
    ASSERT_NE(service, nullptr);
    EXPECT_TRUE(service->paths.empty());
}

TEST_F(NetworkSetupTest, HeldWriteLockWritesNothingUntilItIsFree) {
    {
        win::NetConfigWriteLock other;
        ASSERT_TRUE(other.Acquire(1000, u"someone"));
        // Waits for the lock (5 s) and then gives up.
        EXPECT_FALSE(win::EnsureNetworkSetup(serviceName));
        EXPECT_FALSE(win::NetConfigurationStored());
        EXPECT_FALSE(machine().keyExists(interfaces + u"eth0"));
    }
    EXPECT_TRUE(win::EnsureNetworkSetup(serviceName));
}

const std::u16string usbEnumKey = u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum";
const std::u16string firstCamera = u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&1";
const std::u16string firstHub = u"USB\\ROOT_HUB30\\4&2C5B1E7&0&0";

// The USB driver's setup, on the same kind of fresh folder.
using UsbDriverSetupTest = NetworkSetupTest;

// What an earlier run (or another program) left is brought in line with the cameras plugged in
// now: values that differ are written again, the instances of cameras that are gone removed.
TEST_F(UsbDriverSetupTest, ChangedValuesAreWrittenAgainAndStaleIndexValuesRemoved) {
    ASSERT_TRUE(win::RegisterUsbCameras({{0, 1}, {1, 2}, {2, 3}}));
    ASSERT_EQ(text(usbEnumKey, u"2"), u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&3");

    machine().setValue(usbEnumKey, win::RegistryStore::textValue(u"0", u"USB\\VID_5C2E&PID_0100\\elsewhere"));
    machine().setValue(usbEnumKey, win::RegistryStore::dwordValue(u"Count", 7));
    machine().setValue(usbEnumKey, win::RegistryStore::textValue(u"NextInstance", u"kept"));
    machine().setValue(enumKey + firstCamera,
                       win::RegistryStore::textValue(u"DeviceDesc", u"Zeko USB camera 9"));
    machine().setValue(enumKey + firstHub, win::RegistryStore::textValue(u"ParentIdPrefix", u"5&0&0"));
    // The same text stored as another type differs too.
    win::RegistryStore::Value service = win::RegistryStore::textValue(u"Service", u"Zeko");
    service.type = 2;
    machine().setValue(enumKey + firstCamera, service);

    // Camera 3 is gone.
    ASSERT_TRUE(win::RegisterUsbCameras({{0, 1}, {1, 2}}));
    win::RegistryStore::resetAll(); // read back from the file, not from memory
    EXPECT_EQ(text(usbEnumKey, u"0"), firstCamera);
    EXPECT_EQ(text(usbEnumKey, u"1"), u"USB\\VID_5C2E&PID_0100\\5&1A2B3C0&0&2");
    EXPECT_EQ(text(usbEnumKey, u"2"), u"<missing>");
    win::RegistryStore::Value count;
    ASSERT_TRUE(machine().getValue(usbEnumKey, u"Count", count));
    EXPECT_EQ(count.data, win::RegistryStore::dwordValue(u"Count", 2).data);
    EXPECT_EQ(text(usbEnumKey, u"NextInstance"), u"kept"); // not an index value
    EXPECT_EQ(text(enumKey + firstCamera, u"DeviceDesc"), u"Zeko USB camera 1");
    win::RegistryStore::Value stored;
    ASSERT_TRUE(machine().getValue(enumKey + firstCamera, u"Service", stored));
    EXPECT_EQ(stored.type, 1u);
    EXPECT_EQ(text(enumKey + firstHub, u"ParentIdPrefix"), u"5&1A2B3C0&0");
    EXPECT_EQ(text(enumKey + firstHub, u"DeviceDesc"), win::usbHubDescription);

    // No camera at all: every index value goes and the count says so.
    ASSERT_TRUE(win::RegisterUsbCameras({}));
    EXPECT_EQ(text(usbEnumKey, u"0"), u"<missing>");
    EXPECT_EQ(text(usbEnumKey, u"1"), u"<missing>");
    ASSERT_TRUE(machine().getValue(usbEnumKey, u"Count", count));
    EXPECT_EQ(count.data, win::RegistryStore::dwordValue(u"Count", 0).data);
}

} // namespace
