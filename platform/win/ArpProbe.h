#pragma once

// Whether an IPv4 address is in use on a local network, asked with an ARP request as SendARP
// does. The real prober sends the request on a raw packet socket (which needs CAP_NET_RAW);
// tests put a prober with fixed answers in its place. Addresses are in host byte order.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace win {

enum class ArpAnswer {
    Reply,      // the address is in use
    NoReply,    // nobody answered within the time-out
    Unavailable // no request could be sent: the answer is unknown
};

class ArpProber {
public:
    virtual ~ArpProber() = default;
    virtual ArpAnswer Probe(uint32_t address) = 0;
    // Why the last probe was Unavailable.
    virtual std::string Reason() const = 0;
};

// A local interface that can carry ARP: its index, hardware address and IPv4 network.
struct ArpInterface {
    std::string name;
    int index = 0;
    std::array<uint8_t, 6> mac{};
    uint32_t address = 0;
    uint32_t mask = 0;
};

// The interfaces of this host with an IPv4 address and a 6-byte hardware address (loopback not).
std::vector<ArpInterface> ArpInterfaces();
// The interface whose network holds the address, if any.
std::optional<ArpInterface> InterfaceForAddress(const std::vector<ArpInterface>& interfaces,
                                                uint32_t address);

// The 28-byte ARP request (Ethernet, IPv4) asking who has `target`.
std::array<uint8_t, 28> BuildArpRequest(const std::array<uint8_t, 6>& senderMac, uint32_t senderIp,
                                        uint32_t target);
// Whether the packet (an ARP payload without the Ethernet header) is a reply from `address`.
bool IsArpReplyFrom(const uint8_t* packet, size_t size, uint32_t address);

// Sends the request on the interface of the address's network and waits up to timeoutMs for the
// reply. An address of this host itself counts as in use. Unavailable when no interface of the
// host is in that network or the process may not open a packet socket.
class RawSocketArpProber : public ArpProber {
public:
    explicit RawSocketArpProber(int timeoutMs = 250) : timeoutMs_(timeoutMs) {}
    ~RawSocketArpProber() override;
    ArpAnswer Probe(uint32_t address) override;
    std::string Reason() const override;

private:
    ArpAnswer unavailable(std::string why);
    bool openOn(int interfaceIndex);

    int timeoutMs_;
    int socket_ = -1;
    int boundIndex_ = 0;
    std::string reason_;
    mutable std::mutex mutex_;
};

// Answers from a fixed set of addresses in use; or, when not available, Unavailable for all.
class FixedArpProber : public ArpProber {
public:
    FixedArpProber(std::set<uint32_t> inUse = {}, bool available = true)
        : inUse_(std::move(inUse)), available_(available) {}
    ArpAnswer Probe(uint32_t address) override;
    std::string Reason() const override { return available_ ? "" : "no permission to send ARP requests"; }
    // The addresses probed, in order.
    std::vector<uint32_t> probed;

private:
    std::set<uint32_t> inUse_;
    bool available_;
};

// The prober of the process: the raw socket one unless SetArpProber gave another.
std::shared_ptr<ArpProber> CurrentArpProber();
// Replaces the prober of the process; null restores the raw socket one.
void SetArpProber(std::shared_ptr<ArpProber> prober);

} // namespace win
