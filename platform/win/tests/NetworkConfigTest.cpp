#include "platform/win/AdapterTcpip.h"
#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/RegistryStore.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::u16string classKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";
const std::u16string interfaces = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

win::RegistryStore& machine() {
    return win::RegistryStore::instance(win::RegistryStore::Hive::LocalMachine);
}

void setText(const std::u16string& key, const char16_t* name, const std::u16string& text) {
    win::RegistryStore::Value value{name, 1, {}};
    for (char16_t c : text + u'\0')
        value.data.push_back(uint8_t(c)), value.data.push_back(uint8_t(c >> 8));
    ASSERT_TRUE(machine().setValue(key, value));
}

std::u16string text(const std::u16string& key, const char16_t* name) {
    win::RegistryStore::Value value;
    if (!machine().getValue(key, name, value))
        return u"<missing>";
    std::u16string t;
    for (size_t i = 0; i + 1 < value.data.size() && (value.data[i] | value.data[i + 1]); i += 2)
        t += char16_t(value.data[i] | value.data[i + 1] << 8);
    return t;
}

uint32_t dword(const std::u16string& key, const char16_t* name) {
    win::RegistryStore::Value value;
    if (!machine().getValue(key, name, value) || value.data.size() != 4)
        return 0xFFFFFFFF;
    return value.data[0] | value.data[1] << 8 | value.data[2] << 16 | uint32_t(value.data[3]) << 24;
}

win::NetConfiguration sample() {
    win::NetConfiguration c;
    c.adapters = {{u"{A1}", u"Intel(R) Gigabit CT", u"PCI\\VEN_8086&DEV_10D3\\4&1&0"},
                  {u"{B2}", u"Realtek PCIe GbE", u"PCI\\VEN_10EC&DEV_8168\\4&2&0"}};
    c.services = {{u"zk_eth",
                   u"Gigabit Ethernet Zeko",
                   {{u"zk_eth->{A1}", u"{A1}", true}, {u"zk_eth->{B2}", u"{B2}", false}}},
                  {u"other", u"Other service", {{u"other->{A1}", u"{A1}", true}}}};
    return c;
}

class NetworkConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_netcfg_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
        win::RegistryStore::resetAll();
    }
    void TearDown() override {
        win::SetAdapterSource({});
        win::FailAdapterAddressChanges(0, 0);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    void store(const win::NetConfiguration& configuration) {
        win::NetConfigWriteLock lock;
        ASSERT_TRUE(lock.Acquire(1000, u"test"));
        ASSERT_TRUE(win::WriteNetConfiguration(lock, configuration));
    }
    std::string dir_;
};

TEST_F(NetworkConfigTest, ConfigurationSurvivesReopeningAndBindingChangesPersist) {
    store(sample());
    win::NetConfiguration read = win::ReadNetConfiguration();
    ASSERT_EQ(read.adapters.size(), 2u);
    EXPECT_EQ(read.adapters[0].pnpDeviceId, u"PCI\\VEN_8086&DEV_10D3\\4&1&0");
    const win::NetServiceComponent* service = read.serviceByDisplayName(u"Gigabit Ethernet Zeko");
    ASSERT_NE(service, nullptr);
    ASSERT_EQ(service->paths.size(), 2u);
    EXPECT_TRUE(service->paths[0].enabled);
    EXPECT_FALSE(service->paths[1].enabled);
    EXPECT_EQ(read.adapter(u"{b2}")->displayName, u"Realtek PCIe GbE"); // bind names without case

    win::NetConfigWriteLock lock;
    ASSERT_TRUE(lock.Acquire(1000, u""));
    EXPECT_TRUE(win::SetBindingPathEnabled(lock, u"zk_eth->{B2}", true));
    EXPECT_TRUE(win::SetBindingPathEnabled(lock, u"zk_eth->{A1}", false));
    EXPECT_FALSE(win::SetBindingPathEnabled(lock, u"zk_eth->{C3}", true));
    lock.Release();
    read = win::ReadNetConfiguration();
    EXPECT_FALSE(read.path(u"zk_eth->{A1}")->enabled);
    EXPECT_TRUE(read.path(u"zk_eth->{B2}")->enabled);
    EXPECT_TRUE(read.path(u"other->{A1}")->enabled); // another service's binding to the adapter stays
}

TEST_F(NetworkConfigTest, ChangesNeedTheWriteLockAndUnstorableTextsChangeNothing) {
    store(sample());
    win::NetConfigWriteLock notHeld;
    EXPECT_FALSE(win::SetBindingPathEnabled(notHeld, u"zk_eth->{A1}", false));
    EXPECT_FALSE(win::WriteNetConfiguration(notHeld, win::NetConfiguration()));
    win::NetConfiguration bad = sample();
    bad.adapters[0].displayName = u"Tab\there";
    win::NetConfigWriteLock lock;
    ASSERT_TRUE(lock.Acquire(1000, u""));
    EXPECT_FALSE(win::WriteNetConfiguration(lock, bad));
    EXPECT_EQ(win::ReadNetConfiguration().adapters[0].displayName, u"Intel(R) Gigabit CT");
    EXPECT_TRUE(win::ReadNetConfiguration().path(u"zk_eth->{A1}")->enabled);
}

TEST_F(NetworkConfigTest, DamagedLinesArePassedOver) {
    const win::NetConfiguration c =
        win::ParseNetConfiguration("adapter\t{A1}\tOne\tPCI\\X\r\n"
                                   "garbage line\n"
                                   "binding\tnobody\tt0\t{A1}\t1\n" // before any service of that name
                                   "service\ts\tGigabit Ethernet Zeko\n"
                                   "binding\ts\tt1\t{A1}\t2\n" // not 0 or 1
                                   "binding\ts\tt2\t{A1}\t0\n"
                                   "adapter\ttoo\tfew\n");
    ASSERT_EQ(c.adapters.size(), 1u);
    EXPECT_EQ(c.adapters[0].pnpDeviceId, u"PCI\\X");
    ASSERT_EQ(c.services.size(), 1u);
    ASSERT_EQ(c.services[0].paths.size(), 1u);
    EXPECT_EQ(c.services[0].paths[0].token, u"t2");
    EXPECT_FALSE(c.services[0].paths[0].enabled);
}

TEST_F(NetworkConfigTest, LockHeldByAnotherHolderIsRefusedWithItsName) {
    win::NetConfigWriteLock holder;
    ASSERT_TRUE(holder.Acquire(1000, u"Netzwerk-Assistent"));
    EXPECT_FALSE(holder.IsWriteLocked(nullptr)); // not locked against its own holder

    win::NetConfigWriteLock other;
    std::u16string name;
    EXPECT_TRUE(other.IsWriteLocked(&name));
    EXPECT_EQ(name, u"Netzwerk-Assistent");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(other.Acquire(200, u"second"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_FALSE(win::SetBindingPathEnabled(other, u"x", true));

    holder.Release();
    EXPECT_FALSE(other.IsWriteLocked(&name));
    EXPECT_TRUE(other.Acquire(200, u"second"));
}

TEST_F(NetworkConfigTest, LockHeldByAnotherProcessIsSeenAndFreedWhenItEnds) {
    store(sample());
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        win::NetConfigWriteLock lock;
        const char ready = lock.Acquire(1000, u"Network Setup") ? 'y' : 'n';
        if (write(toParent[1], &ready, 1) != 1)
            _exit(2);
        char go;
        if (read(toChild[0], &go, 1) != 1)
            _exit(3);
        _exit(0); // ends without releasing: the system frees the lock
    }
    char ready = 0;
    ASSERT_EQ(read(toParent[0], &ready, 1), 1);
    ASSERT_EQ(ready, 'y');
    win::NetConfigWriteLock lock;
    std::u16string name;
    EXPECT_TRUE(lock.IsWriteLocked(&name));
    EXPECT_EQ(name, u"Network Setup");
    EXPECT_FALSE(lock.Acquire(100, u""));
    const char go = 'g';
    ASSERT_EQ(write(toChild[1], &go, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(lock.IsWriteLocked(&name));
    EXPECT_TRUE(lock.Acquire(100, u""));
    EXPECT_TRUE(win::SetBindingPathEnabled(lock, u"zk_eth->{A1}", false));
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
        close(fd);
}

class AdapterTcpipTest : public NetworkConfigTest {
protected:
    void SetUp() override {
        NetworkConfigTest::SetUp();
        setText(classKey + u"\\0007", u"NetCfgInstanceId", u"{A1}");
        setText(classKey + u"\\0012", u"NetCfgInstanceId", u"{B2}");
        win::SetAdapterSource([] {
            win::AdapterRecord a;
            a.name = "{A1}";
            const BYTE mac[6] = {0x00, 0x1b, 0x21, 0xab, 0x00, 0x07};
            std::copy(mac, mac + 6, a.mac);
            return std::vector<win::AdapterRecord>{a};
        });
    }
};

TEST_F(AdapterTcpipTest, StaticAddressIsWrittenWhereTheAdapterIsReadFrom) {
    EXPECT_EQ(win::EnableStaticAddress(7, u"192.168.10.1", u"255.255.255.0"), win::TCPIP_SUCCESS);
    EXPECT_EQ(text(interfaces + u"{A1}", u"IPAddress"), u"192.168.10.1");
    EXPECT_EQ(text(interfaces + u"{A1}", u"SubnetMask"), u"255.255.255.0");
    EXPECT_EQ(dword(interfaces + u"{A1}", u"EnableDHCP"), 0u);
    // The same address on a second adapter is set and reported as a conflict.
    EXPECT_EQ(win::EnableStaticAddress(12, u"192.168.10.1", u"255.255.0.0"), win::TCPIP_ADDRESS_CONFLICT);
    EXPECT_EQ(text(interfaces + u"{B2}", u"IPAddress"), u"192.168.10.1");
}

TEST_F(AdapterTcpipTest, BadAddressesAndUnknownAdaptersChangeNothing) {
    EXPECT_EQ(win::EnableStaticAddress(7, u"192.168.10", u"255.255.255.0"), win::TCPIP_INVALID_ADDRESS);
    EXPECT_EQ(win::EnableStaticAddress(7, u"0.0.0.0", u"255.255.255.0"), win::TCPIP_INVALID_ADDRESS);
    EXPECT_EQ(win::EnableStaticAddress(7, u"10.0.0.1; reboot", u"255.0.0.0"), win::TCPIP_INVALID_ADDRESS);
    EXPECT_EQ(win::EnableStaticAddress(7, u"10.0.0.1", u"255.0.255.0"), win::TCPIP_INVALID_MASK);
    EXPECT_EQ(win::EnableStaticAddress(7, u"10.0.0.1", u"0.0.0.0"), win::TCPIP_INVALID_MASK);
    EXPECT_EQ(win::EnableStaticAddress(3, u"10.0.0.1", u"255.0.0.0"), win::TCPIP_NO_ADAPTER);
    EXPECT_EQ(win::EnableStaticAddress(-1, u"10.0.0.1", u"255.0.0.0"), win::TCPIP_NO_ADAPTER);
    EXPECT_EQ(win::EnableDhcp(3), win::TCPIP_NO_ADAPTER);
    win::FailAdapterAddressChanges(1, 1);
    EXPECT_EQ(win::EnableStaticAddress(7, u"10.0.0.1", u"255.0.0.0"), 1);
    EXPECT_FALSE(machine().keyExists(interfaces + u"{A1}"));
    EXPECT_EQ(win::EnableStaticAddress(7, u"10.0.0.1", u"255.0.0.0"), win::TCPIP_SUCCESS);
}

TEST_F(AdapterTcpipTest, DhcpWithoutLeaseGivesAnAutomaticAddress) {
    ASSERT_EQ(win::EnableStaticAddress(7, u"10.0.0.1", u"255.0.0.0"), win::TCPIP_SUCCESS);
    ASSERT_EQ(win::EnableDhcp(7), win::TCPIP_SUCCESS);
    const std::u16string key = interfaces + u"{A1}";
    EXPECT_EQ(dword(key, u"EnableDHCP"), 1u);
    EXPECT_EQ(text(key, u"DhcpIPAddress"), u"0.0.0.0");
    EXPECT_EQ(text(key, u"IPAutoconfigurationAddress"), u"169.254.1.7");
    EXPECT_EQ(text(key, u"IPAutoconfigurationMask"), u"255.255.0.0");
    // A lease already held is kept.
    setText(key, u"DhcpIPAddress", u"172.16.0.9");
    ASSERT_EQ(win::EnableDhcp(7), win::TCPIP_SUCCESS);
    EXPECT_EQ(text(key, u"DhcpIPAddress"), u"172.16.0.9");
}

TEST_F(AdapterTcpipTest, MacAddressByIndex) {
    std::u16string mac;
    ASSERT_TRUE(win::QueryAdapterMacAddress(7, mac));
    EXPECT_EQ(mac, u"00:1B:21:AB:00:07");
    mac = u"kept";
    EXPECT_FALSE(win::QueryAdapterMacAddress(12, mac)); // in the registry, not in the adapter list
    EXPECT_FALSE(win::QueryAdapterMacAddress(5, mac));
    EXPECT_EQ(mac, u"kept");
}

} // namespace
