#pragma once

// Address arithmetic and checks of the GigE configuration commands (automatic configuration and
// the manual configuration dialog), and the texts they show. Addresses are in host byte order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct IpRange {
    uint32_t begin = 0;
    uint32_t end = 0;
    bool operator==(const IpRange&) const = default;
};

// The host addresses of an adapter's network: (address AND mask) + 1 up to one below the
// broadcast address. None when either text is no dotted address ("Transfer failed"), when the
// address or the mask is 0.0.0.0, or when the network has no host address (/31, /32): such a
// range would leave a camera without a usable address.
std::optional<IpRange> AdapterHostRange(std::u16string_view address, std::u16string_view mask);

// At most this many addresses are probed for one suggestion (the hosts of one /16 network).
constexpr uint32_t maxAddressProbes = 65534;
// How many addresses a suggestion probes from range.begin on.
uint32_t AddressProbeCount(const IpRange& range);

// What the dialog does with an adapter range typed by the user (mask: the adapter's mask).
enum class RangeCheck {
    Send,                       // a range inside the network
    Clear,                      // both 0: the adapter forgets its range
    EndBelowBegin,              // message 237
    HostPartZero,               // message 455, the begin goes back
    EndBroadcast,               // message 454, the end goes back
    HostPartZeroAndEndBroadcast // 455 and 454 in one message, both go back
};
RangeCheck CheckAutoCfgRange(uint32_t begin, uint32_t end, uint32_t mask);
// The refusal text of a check; empty for Send and Clear.
std::u16string RangeCheckMessage(RangeCheck check);
bool RestoresRangeBegin(RangeCheck check);
bool RestoresRangeEnd(RangeCheck check);

// The probe time-out sent to the adapter: at most 65536 ms. The entry is compared unsigned, so a
// negative entry also becomes 65536; nothing is refused.
uint32_t LimitProbeTimeout(int entered);
// The number an edit field holds: an optional sign and decimal digits (saturating at the int
// range); 0 for anything else.
int ReadIntegerText(std::u16string_view text);

// "text\nErrorcode: code" of a resource string.
std::u16string ErrorCodeMessage(unsigned textId, int code);
// The summary of failed modifications (a result of 0 is no failure); empty when both are 0.
std::u16string FailedModificationsMessage(int cameraResult, int adapterResult);

// The resource string of the camera's status: 623 with DHCP, 551 when the camera fields are
// both 0.0.0.0, else 552.
unsigned ManualConfigStatusId(std::u16string_view ip, std::u16string_view mask, int dhcp);
// Whether the mask field should take the default mask after the address field lost the focus.
bool WantsDefaultMask(std::u16string_view ip, std::u16string_view mask);
