#include "platform/win/Adapters.h"

#include <arpa/inet.h>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/if_packet.h>
#include <linux/sockios.h>
#include <map>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace win {

namespace {

std::mutex sourceMutex;
std::function<std::vector<AdapterRecord>()> adapterSource;

void copyText(char* target, size_t size, const std::string& text) {
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(target, text.data(), n);
    target[n] = 0;
}

std::string dotted(const sockaddr* address) {
    if (!address || address->sa_family != AF_INET)
        return "0.0.0.0";
    char text[INET_ADDRSTRLEN] = "0.0.0.0";
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    return text;
}

// The driver's version the interface reports (a read-only ethtool query); empty when it has none.
std::string driverVersionOf(int socket, const std::string& name) {
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    ifreq request{};
    if (socket < 0 || name.size() >= sizeof request.ifr_name)
        return {};
    std::memcpy(request.ifr_name, name.c_str(), name.size() + 1);
    request.ifr_data = reinterpret_cast<char*>(&info);
    if (::ioctl(socket, SIOCETHTOOL, &request) != 0)
        return {};
    return std::string(info.version, ::strnlen(info.version, sizeof info.version));
}

} // namespace

std::vector<AdapterRecord> systemAdapters() {
    std::vector<AdapterRecord> adapters;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return adapters;
    std::map<std::string, size_t> byName;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_PACKET || (a->ifa_flags & IFF_LOOPBACK))
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
        if (link->sll_halen != 6)
            continue;
        AdapterRecord record;
        record.name = record.description = a->ifa_name;
        std::memcpy(record.mac, link->sll_addr, 6);
        record.ipAddress = record.ipMask = "0.0.0.0";
        byName[record.name] = adapters.size();
        adapters.push_back(record);
    }
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        const auto it = byName.find(a->ifa_name);
        if (it == byName.end() || adapters[it->second].ipAddress != "0.0.0.0")
            continue;
        adapters[it->second].ipAddress = dotted(a->ifa_addr);
        adapters[it->second].ipMask = dotted(a->ifa_netmask);
    }
    ::freeifaddrs(list);
    // A friendlier description where the system has one (the device's interface alias).
    const int query = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    for (AdapterRecord& record : adapters) {
        std::ifstream alias("/sys/class/net/" + record.name + "/ifalias");
        std::string text;
        if (alias && std::getline(alias, text) && !text.empty())
            record.description = text;
        record.driverVersion = driverVersionOf(query, record.name);
    }
    if (query >= 0)
        ::close(query);
    return adapters;
}

std::vector<AdapterRecord> currentAdapters() {
    std::lock_guard lock(sourceMutex);
    return adapterSource ? adapterSource() : systemAdapters();
}

std::optional<AdapterRecord> adapterNamed(const std::string& name) {
    for (const AdapterRecord& record : currentAdapters())
        if (record.name == name)
            return record;
    return std::nullopt;
}

void SetAdapterSource(std::function<std::vector<AdapterRecord>()> source) {
    std::lock_guard lock(sourceMutex);
    adapterSource = std::move(source);
}

} // namespace win

DWORD GetAdaptersInfo(IP_ADAPTER_INFO* buffer, DWORD* size) {
    if (!size)
        return ERROR_INVALID_PARAMETER;
    const std::vector<win::AdapterRecord> adapters = win::currentAdapters();
    if (adapters.empty())
        return ERROR_NO_DATA;
    const DWORD needed = DWORD(adapters.size() * sizeof(IP_ADAPTER_INFO));
    if (!buffer || *size < needed) {
        *size = needed;
        return ERROR_BUFFER_OVERFLOW;
    }
    std::memset(buffer, 0, needed);
    for (size_t i = 0; i < adapters.size(); ++i) {
        IP_ADAPTER_INFO& info = buffer[i];
        const win::AdapterRecord& record = adapters[i];
        info.Next = i + 1 < adapters.size() ? &buffer[i + 1] : nullptr;
        info.ComboIndex = info.Index = DWORD(i + 1);
        win::copyText(info.AdapterName, sizeof info.AdapterName, record.name);
        win::copyText(info.Description, sizeof info.Description, record.description);
        info.AddressLength = 6;
        std::memcpy(info.Address, record.mac, 6);
        info.Type = 6; // Ethernet
        info.DhcpEnabled = record.dhcpEnabled ? 1 : 0;
        win::copyText(info.IpAddressList.IpAddress, 16,
                      record.ipAddress.empty() ? "0.0.0.0" : record.ipAddress);
        win::copyText(info.IpAddressList.IpMask, 16, record.ipMask.empty() ? "0.0.0.0" : record.ipMask);
        info.CurrentIpAddress = &info.IpAddressList;
        win::copyText(info.GatewayList.IpAddress, 16, "0.0.0.0");
        win::copyText(info.DhcpServer.IpAddress, 16, "0.0.0.0");
    }
    return ERROR_SUCCESS;
}
