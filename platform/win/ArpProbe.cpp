#include "platform/win/ArpProbe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace win {

namespace {

constexpr uint16_t arpHardwareEthernet = 1;
constexpr uint16_t arpRequest = 1;
constexpr uint16_t arpReply = 2;

void putU16(uint8_t* at, uint16_t v) {
    at[0] = uint8_t(v >> 8);
    at[1] = uint8_t(v);
}

void putU32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(v >> (24 - 8 * i));
}

uint16_t getU16(const uint8_t* at) {
    return uint16_t(at[0] << 8 | at[1]);
}

uint32_t getU32(const uint8_t* at) {
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

std::mutex currentMutex;
std::shared_ptr<ArpProber> current;

} // namespace

std::vector<ArpInterface> ArpInterfaces() {
    std::vector<ArpInterface> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return result;
    // Hardware addresses come in AF_PACKET entries, IPv4 networks in AF_INET entries.
    std::vector<std::pair<std::string, std::array<uint8_t, 6>>> macs;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_PACKET || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        const auto* ll = reinterpret_cast<const sockaddr_ll*>(i->ifa_addr);
        if (ll->sll_halen != 6)
            continue;
        std::array<uint8_t, 6> mac{};
        std::memcpy(mac.data(), ll->sll_addr, 6);
        macs.emplace_back(i->ifa_name, mac);
    }
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask || !(i->ifa_flags & IFF_UP))
            continue;
        for (const auto& [name, mac] : macs) {
            if (name != i->ifa_name)
                continue;
            ArpInterface entry;
            entry.name = name;
            entry.index = static_cast<int>(if_nametoindex(name.c_str()));
            entry.mac = mac;
            entry.address = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
            entry.mask = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
            if (entry.index > 0)
                result.push_back(entry);
        }
    }
    freeifaddrs(list);
    return result;
}

std::optional<ArpInterface> InterfaceForAddress(const std::vector<ArpInterface>& interfaces,
                                                uint32_t address) {
    for (const ArpInterface& i : interfaces)
        if ((i.address & i.mask) == (address & i.mask))
            return i;
    return std::nullopt;
}

std::array<uint8_t, 28> BuildArpRequest(const std::array<uint8_t, 6>& senderMac, uint32_t senderIp,
                                        uint32_t target) {
    std::array<uint8_t, 28> p{};
    putU16(&p[0], arpHardwareEthernet);
    putU16(&p[2], ETHERTYPE_IP);
    p[4] = 6;
    p[5] = 4;
    putU16(&p[6], arpRequest);
    std::memcpy(&p[8], senderMac.data(), 6);
    putU32(&p[14], senderIp);
    // target hardware address (18..23) stays zero: that is what is asked for
    putU32(&p[24], target);
    return p;
}

bool IsArpReplyFrom(const uint8_t* packet, size_t size, uint32_t address) {
    return size >= 28 && getU16(packet) == arpHardwareEthernet && getU16(packet + 2) == ETHERTYPE_IP &&
           packet[4] == 6 && packet[5] == 4 && getU16(packet + 6) == arpReply &&
           getU32(packet + 14) == address;
}

RawSocketArpProber::~RawSocketArpProber() {
    if (socket_ >= 0)
        close(socket_);
}

std::string RawSocketArpProber::Reason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

ArpAnswer RawSocketArpProber::unavailable(std::string why) {
    reason_ = std::move(why);
    return ArpAnswer::Unavailable;
}

bool RawSocketArpProber::openOn(int interfaceIndex) {
    if (socket_ >= 0 && boundIndex_ == interfaceIndex)
        return true;
    if (socket_ >= 0)
        close(socket_), socket_ = -1;
    const int s = socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP));
    if (s < 0) {
        reason_ = errno == EPERM || errno == EACCES
                      ? "this program may not send ARP requests (it needs the CAP_NET_RAW capability)"
                      : std::string("no packet socket: ") + std::strerror(errno);
        return false;
    }
    sockaddr_ll local{};
    local.sll_family = AF_PACKET;
    local.sll_protocol = htons(ETH_P_ARP);
    local.sll_ifindex = interfaceIndex;
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        reason_ = std::string("the packet socket cannot be bound: ") + std::strerror(errno);
        close(s);
        return false;
    }
    socket_ = s;
    boundIndex_ = interfaceIndex;
    return true;
}

ArpAnswer RawSocketArpProber::Probe(uint32_t address) {
    std::lock_guard lock(mutex_);
    const std::vector<ArpInterface> interfaces = ArpInterfaces();
    for (const ArpInterface& i : interfaces)
        if (i.address == address)
            return ArpAnswer::Reply; // this host uses it
    const auto via = InterfaceForAddress(interfaces, address);
    if (!via) {
        char text[INET_ADDRSTRLEN] = {};
        const in_addr a{htonl(address)};
        inet_ntop(AF_INET, &a, text, sizeof text);
        return unavailable(std::string("no network adapter of this computer is in the network of ") + text);
    }
    if (!openOn(via->index))
        return ArpAnswer::Unavailable;

    const auto request = BuildArpRequest(via->mac, via->address, address);
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_protocol = htons(ETH_P_ARP);
    to.sll_ifindex = via->index;
    to.sll_halen = 6;
    std::memset(to.sll_addr, 0xFF, 6);
    if (sendto(socket_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
        return unavailable(std::string("the ARP request could not be sent: ") + std::strerror(errno));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            return ArpAnswer::NoReply;
        pollfd p{socket_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready == 0
                       ? ArpAnswer::NoReply
                       : unavailable(std::string("waiting for replies failed: ") + std::strerror(errno));
        uint8_t packet[128];
        const ssize_t got = recv(socket_, packet, sizeof packet, 0);
        if (got > 0 && IsArpReplyFrom(packet, static_cast<size_t>(got), address))
            return ArpAnswer::Reply;
    }
}

ArpAnswer FixedArpProber::Probe(uint32_t address) {
    probed.push_back(address);
    if (!available_)
        return ArpAnswer::Unavailable;
    return inUse_.count(address) ? ArpAnswer::Reply : ArpAnswer::NoReply;
}

std::shared_ptr<ArpProber> CurrentArpProber() {
    std::lock_guard lock(currentMutex);
    if (!current)
        current = std::make_shared<RawSocketArpProber>();
    return current;
}

void SetArpProber(std::shared_ptr<ArpProber> prober) {
    std::lock_guard lock(currentMutex);
    current = std::move(prober);
}

} // namespace win
