#pragma once

// The host's network adapters as the camera manager describes them.

#include <string>

// The adapter whose MAC text ("%02X-%02X-%02X-%02X-%02X-%02X") equals mac: its designation
// (the description cut before its last " - ") and its driver's version and date. The outputs
// stay as given when no adapter matches or the list cannot be read; when several match, the
// last one wins. True when one matched.
bool GetHostAdapterByMac(const std::u16string& mac, std::u16string& designation,
                         std::u16string& driverVersion, std::u16string& driverDate);
// The driver version and date of the adapter's network-class registry key (the subkey whose
// "NetCfgInstanceId" equals the adapter name; the last one wins); each is set only when the
// key holds it. True when a key matched.
bool GetNetAdapterDriverInfo(const std::u16string& adapterName, std::u16string& driverVersion,
                             std::u16string& driverDate);
// The description cut before its last " - ".
std::u16string AdapterDesignation(const std::u16string& description);
