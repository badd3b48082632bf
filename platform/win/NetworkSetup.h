#pragma once

// What the GigE driver's setup leaves on a machine, for a camera manager that starts where no
// setup ran (the build tree): the network service bound to each of the host's adapters, and the
// adapters' keys in the machine registry that the service dialog and the adapter look-ups read.
// Nothing here touches the host's network.

#include <string>

namespace win {

// The network service's bind name in the configuration it writes.
extern const char16_t networkSetupServiceBindName[];

// When no readable network configuration is stored (and under its write lock; a stored one
// that cannot be read is first set aside, see UnreadableFiles.h): for each adapter
// of the adapter list (an adapter whose name holds a '\' or a control character is passed over)
// the keys of the machine registry it lacks -
//   ...\Control\Class\{4D36E972-E325-11CE-BFC1-08002bE10318}\NNNN  "NetCfgInstanceId", "DriverVersion"
//   ...\Enum\ROOT\NET\NNNN  "Driver" = "{4D36E972-E325-11CE-BFC1-08002bE10318}\NNNN"
//   ...\Services\Tcpip\Parameters\Interfaces\<adapter name>  "EnableDHCP" 0, "IPAddress",
//                                                            "SubnetMask"
// (an adapter whose class subkey exists keeps it and its number; a new one takes the lowest
// number free in both Class and Enum), then the configuration: the adapters and the service
// with the display name, enabled on each of them. True when it wrote the configuration; a
// stored configuration, a lock that stays taken or a failed write leave it as it is.
// With a readable configuration stored, each of its adapters that is still present and whose
// device this setup named ("ROOT\NET\NNNN") gets the keys above that it lacks (a machine
// registry that was set aside took them along), its class subkey under that number; an adapter
// whose number another key holds now is left alone. The configuration is not changed.
bool EnsureNetworkSetup(const std::u16string& serviceDisplayName);

} // namespace win
