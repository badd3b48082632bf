#pragma once

// An adapter's TCP/IP settings by the adapter's index, and its MAC address. Nothing here
// touches the host's network: the settings are the values below
// HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters\Interfaces\<instance id> that the
// camera manager reads back.
//
// An adapter's index is the number of its key below the network class key
// (HKLM\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002bE10318}\0007 is
// index 7), whose "NetCfgInstanceId" names the adapter; the adapter with that name in the
// adapter list (platform/win/Adapters.h) gives the MAC address.

#include <string>

namespace win {

// Results of the address changes.
constexpr int TCPIP_SUCCESS = 0;
constexpr int TCPIP_INVALID_MASK = 66;
constexpr int TCPIP_INVALID_ADDRESS = 70;
constexpr int TCPIP_ADDRESS_CONFLICT = 81; // set, but another adapter has the same address
constexpr int TCPIP_NO_ADAPTER = -1;       // no adapter has that index

// Static address: "EnableDHCP" 0, "IPAddress" and "SubnetMask". The texts must be dotted IPv4
// addresses; the mask must also be contiguous and not 0.0.0.0.
int EnableStaticAddress(int adapterIndex, const std::u16string& ip, const std::u16string& mask);
// DHCP: "EnableDHCP" 1. There is no DHCP server here: without a lease ("DhcpIPAddress" missing or
// "0.0.0.0") the adapter has no leased address and an automatic 169.254.x.y/16 address made
// from its MAC address ("IPAutoconfigurationAddress", "IPAutoconfigurationMask").
int EnableDhcp(int adapterIndex);
// "XX:XX:XX:XX:XX:XX" of the adapter with the index; false when none has it.
bool QueryAdapterMacAddress(int adapterIndex, std::u16string& mac);

// Tests: the next count changes answer code without changing anything (count 0 ends it).
void FailAdapterAddressChanges(int code, int count);

} // namespace win
