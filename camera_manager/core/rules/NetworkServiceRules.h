#pragma once

// What the ETH network service dialog decides without a window: the status line, the address
// warnings, the MAC address forms, where an adapter's addresses are read from, whether a camera
// uses the adapter, and what the jumbo packet box shows.

#include "camera_manager/res/StringIds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CameraList;

namespace NetworkServiceRules {

// The display name of the network service the dialog manages (string 356).
constexpr unsigned ServiceNameId = ids::ServiceName;

// Tree images: the service, an enabled and a disabled binding.
constexpr int ImageBindingEnabled = 9;
constexpr int ImageBindingDisabled = 10;
constexpr int ImageService = 11;

// The status line and its code ("0" bound to at least one adapter, "1" to none).
struct ServiceStatus {
    std::u16string text;
    std::u16string code;
};
ServiceStatus BindingStatus(int enabledBindings);

// The IP warning shows when the text holds no "n.n.n.n" or its first number is "0"; the mask
// warning also when its second number is "0". "-1" (unreadable) warns too.
bool IpWarning(const std::u16string& ip);
bool MaskWarning(const std::u16string& mask);

// The six bytes of a text starting "XX:XX:XX:XX:XX:XX" (hexadecimal, either case); none when
// the text does not start so.
std::optional<std::array<uint8_t, 6>> ParseColonMac(const std::u16string& text);
// The MAC text as the dialog shows it: every ':' becomes " - ".
std::u16string MacDisplayText(const std::u16string& colonMac);

// Where the adapter's addresses come from: with DHCP the lease ("DhcpIPAddress",
// "DhcpSubnetMask"), or the automatic address ("IPAutoconfigurationAddress",
// "IPAutoconfigurationMask") when either lease text is "0.0.0.0"; without DHCP "IPAddress" and
// "SubnetMask". `read` gives a value's text, none when it cannot be read; such a text is "-1".
struct AdapterAddresses {
    bool dhcp = false;
    std::u16string ip = u"-1";
    std::u16string mask = u"-1";
};
using ValueReader = std::function<std::optional<std::u16string>(const char16_t* name)>;
AdapterAddresses SelectAddresses(bool dhcp, const ValueReader& read);

// What the registry says of the adapter with the device-instance identifier: its index (the
// number after the last '\' of the Enum key's "Driver"), its instance identifier and its
// addresses. False when the Enum key has no "Driver".
struct AdapterRegistryInfo {
    int index = -1;
    std::u16string instanceId;
    AdapterAddresses addresses;
};
bool ReadAdapterRegistry(const std::u16string& pnpDeviceId, AdapterRegistryInfo& info);

// Whether a camera that is in use (device status flags without 0x100) is linked to the adapter.
bool IsAdapterInUseByCamera(const uint8_t mac[6], const CameraList& ethCameras);

// After the addresses were read again: whether they appeared since the last look (were "-1" or
// "0.0.0.0" and now read anything else), so that the selection is shown again.
bool AddressesAppeared(const std::u16string& lastIp, const std::u16string& lastMask, const std::u16string& ip,
                       const std::u16string& mask);

// The jumbo box after the adapter record was read: checked when the maximum packet size is
// above 1450, cleared otherwise (so that it never shows another adapter's state).
constexpr uint32_t NormalMaxPacket = 1450;
constexpr uint32_t JumboMaxPacket = 1998;
constexpr uint64_t JumboAdapterPacketSize = 2048;
inline bool JumboChecked(uint32_t maxPacket) {
    return maxPacket > NormalMaxPacket;
}

// Copies a binding token into a field of `units` units (terminator included), cut to fit.
void CopyBindingToken(char16_t* field, size_t units, const std::u16string& token);

} // namespace NetworkServiceRules
