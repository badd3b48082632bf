#include "camera_manager/core/rules/Ipv4Text.h"

#include <arpa/inet.h>

std::optional<uint32_t> ParseIpv4(std::string_view text) {
    // inet_pton takes only the four-number dotted form, unlike inet_addr, whose failure value
    // is also the broadcast address.
    if (text.size() > 15)
        return std::nullopt;
    const std::string zeroEnded(text);
    in_addr address{};
    if (inet_pton(AF_INET, zeroEnded.c_str(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

std::optional<uint32_t> ParseIpv4(std::u16string_view text) {
    std::string narrow;
    for (char16_t c : text) {
        if (c > 0x7F)
            return std::nullopt;
        narrow += static_cast<char>(c);
    }
    return ParseIpv4(std::string_view(narrow));
}

std::string FormatIpv4(uint32_t hostOrder) {
    return std::to_string(hostOrder >> 24) + '.' + std::to_string((hostOrder >> 16) & 0xFF) + '.' +
           std::to_string((hostOrder >> 8) & 0xFF) + '.' + std::to_string(hostOrder & 0xFF);
}
