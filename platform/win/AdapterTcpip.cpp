#include "platform/win/AdapterTcpip.h"

#include "platform/win/Adapters.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/WideText.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace win {

namespace {

const char16_t classKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";
const char16_t interfacesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

std::mutex failMutex;
int failCode = 0;
int failCount = 0;

RegistryStore& machine() {
    return RegistryStore::instance(RegistryStore::Hive::LocalMachine);
}

std::optional<std::u16string> readText(const std::u16string& key, const char16_t* name) {
    std::optional<std::u16string> text;
    machine().readValue(key, name,
                        [&](const RegistryStore::Value& value) { text = RegistryStore::textOf(value); });
    return text;
}

bool writeText(const std::u16string& key, const char16_t* name, const std::u16string& text) {
    return machine().setValue(key, RegistryStore::textValue(name, text));
}

bool writeDword(const std::u16string& key, const char16_t* name, uint32_t number) {
    return machine().setValue(key, RegistryStore::dwordValue(name, number));
}

// The instance identifier of the adapter with the index: the "NetCfgInstanceId" of the network
// class subkey whose name is that number.
std::optional<std::u16string> instanceIdOf(int adapterIndex) {
    if (adapterIndex < 0)
        return std::nullopt;
    for (const std::u16string& sub : machine().subkeys(classKey)) {
        const std::string digits = toUtf8(sub);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
            digits.size() > 9)
            continue;
        if (std::atoi(digits.c_str()) == adapterIndex)
            return readText(std::u16string(classKey) + u"\\" + sub, u"NetCfgInstanceId");
    }
    return std::nullopt;
}

std::optional<uint32_t> dotted(const std::u16string& text) {
    const std::string narrow = toUtf8(text);
    in_addr address{};
    if (narrow.size() > 15 || ::inet_pton(AF_INET, narrow.c_str(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

bool contiguousMask(uint32_t mask) {
    return mask != 0 && ((~mask + 1) & ~mask) == 0;
}

bool takeInjectedFailure(int& code) {
    std::lock_guard lock(failMutex);
    if (failCount <= 0)
        return false;
    --failCount;
    code = failCode;
    return true;
}

} // namespace

int EnableStaticAddress(int adapterIndex, const std::u16string& ip, const std::u16string& mask) {
    int injected = 0;
    if (takeInjectedFailure(injected))
        return injected;
    const std::optional<std::u16string> id = instanceIdOf(adapterIndex);
    if (!id || id->empty())
        return TCPIP_NO_ADAPTER;
    const std::optional<uint32_t> address = dotted(ip);
    if (!address || *address == 0)
        return TCPIP_INVALID_ADDRESS;
    const std::optional<uint32_t> netmask = dotted(mask);
    if (!netmask || !contiguousMask(*netmask))
        return TCPIP_INVALID_MASK;
    bool conflict = false;
    for (const std::u16string& other : machine().subkeys(interfacesKey)) {
        if (equalNoCase(other, *id))
            continue;
        const std::u16string key = std::u16string(interfacesKey) + u"\\" + other;
        const std::optional<std::u16string> otherIp = readText(key, u"IPAddress");
        if (otherIp && dotted(*otherIp) == address)
            conflict = true;
    }
    const std::u16string key = std::u16string(interfacesKey) + u"\\" + *id;
    if (!writeText(key, u"IPAddress", ip) || !writeText(key, u"SubnetMask", mask) ||
        !writeDword(key, u"EnableDHCP", 0))
        return TCPIP_NO_ADAPTER;
    return conflict ? TCPIP_ADDRESS_CONFLICT : TCPIP_SUCCESS;
}

int EnableDhcp(int adapterIndex) {
    int injected = 0;
    if (takeInjectedFailure(injected))
        return injected;
    const std::optional<std::u16string> id = instanceIdOf(adapterIndex);
    if (!id || id->empty())
        return TCPIP_NO_ADAPTER;
    const std::u16string key = std::u16string(interfacesKey) + u"\\" + *id;
    const std::optional<std::u16string> lease = readText(key, u"DhcpIPAddress");
    bool ok = writeDword(key, u"EnableDHCP", 1);
    if (!lease || *lease == u"0.0.0.0") {
        uint8_t mac[6] = {};
        if (const std::optional<AdapterRecord> adapter = adapterNamed(toUtf8(*id)))
            std::copy(adapter->mac, adapter->mac + 6, mac);
        // 169.254.1.0 to 169.254.254.255: the first and the last 256 addresses are reserved.
        const int third = 1 + mac[4] % 254;
        char automatic[16];
        std::snprintf(automatic, sizeof automatic, "169.254.%d.%d", third, int(mac[5]));
        ok = ok && writeText(key, u"DhcpIPAddress", u"0.0.0.0") &&
             writeText(key, u"DhcpSubnetMask", u"0.0.0.0") &&
             writeText(key, u"IPAutoconfigurationAddress", fromUtf8(automatic)) &&
             writeText(key, u"IPAutoconfigurationMask", u"255.255.0.0");
    }
    return ok ? TCPIP_SUCCESS : TCPIP_NO_ADAPTER;
}

bool QueryAdapterMacAddress(int adapterIndex, std::u16string& mac) {
    const std::optional<std::u16string> id = instanceIdOf(adapterIndex);
    if (!id || id->empty())
        return false;
    const std::optional<AdapterRecord> adapter = adapterNamed(toUtf8(*id));
    if (!adapter)
        return false;
    char text[18];
    const BYTE* m = adapter->mac;
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    mac = fromUtf8(text);
    return true;
}

void FailAdapterAddressChanges(int code, int count) {
    std::lock_guard lock(failMutex);
    failCode = code;
    failCount = count;
}

} // namespace win
