#pragma once

// The host's network adapters as GetAdaptersInfo lists them: every interface with a 6-byte
// hardware address except loopback, from getifaddrs and /sys/class/net. Tests replace the
// source with a fixed list.

#include "platform/win/WinApi.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

constexpr size_t MAX_ADAPTER_NAME_LENGTH = 256;
constexpr size_t MAX_ADAPTER_DESCRIPTION_LENGTH = 128;
constexpr size_t MAX_ADAPTER_ADDRESS_LENGTH = 8;
constexpr LONG ERROR_NO_DATA = 232;

struct IP_ADDR_STRING {
    IP_ADDR_STRING* Next;
    char IpAddress[16];
    char IpMask[16];
    DWORD Context;
};

struct IP_ADAPTER_INFO {
    IP_ADAPTER_INFO* Next;
    DWORD ComboIndex;
    char AdapterName[MAX_ADAPTER_NAME_LENGTH + 4];
    char Description[MAX_ADAPTER_DESCRIPTION_LENGTH + 4];
    UINT AddressLength;
    BYTE Address[MAX_ADAPTER_ADDRESS_LENGTH];
    DWORD Index;
    UINT Type;
    UINT DhcpEnabled;
    IP_ADDR_STRING* CurrentIpAddress;
    IP_ADDR_STRING IpAddressList;
    IP_ADDR_STRING GatewayList;
    IP_ADDR_STRING DhcpServer;
    BOOL HaveWins;
    IP_ADDR_STRING PrimaryWinsServer;
    IP_ADDR_STRING SecondaryWinsServer;
    int64_t LeaseObtained;
    int64_t LeaseExpires;
};

// Fills the buffer with the adapters as a linked list. *size too small: ERROR_BUFFER_OVERFLOW
// and *size the size needed. No adapter: ERROR_NO_DATA.
DWORD GetAdaptersInfo(IP_ADAPTER_INFO* buffer, DWORD* size);

namespace win {

struct AdapterRecord {
    std::string name;        // the instance identifier (here the interface name)
    std::string description; // the interface name where the system offers nothing better
    BYTE mac[6] = {};
    std::string ipAddress; // dotted, "0.0.0.0" when it has none
    std::string ipMask;
    bool dhcpEnabled = false;
    std::string driverVersion; // the driver's version as the system reports it; empty when unknown
};

// The adapters of this host.
std::vector<AdapterRecord> systemAdapters();
// The adapters GetAdaptersInfo lists: the host's, or the list of the source tests put in place.
std::vector<AdapterRecord> currentAdapters();
// The adapter GetAdaptersInfo lists under the name; none when there is no such adapter.
std::optional<AdapterRecord> adapterNamed(const std::string& name);
// Replaces the source of GetAdaptersInfo; an empty function restores the host's adapters.
void SetAdapterSource(std::function<std::vector<AdapterRecord>()> source);

} // namespace win
