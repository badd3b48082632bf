#pragma once

// Dotted IPv4 address texts: exactly four decimal numbers from 0 to 255. Addresses are held in
// host byte order, so that network arithmetic ((a & m) + 1 and the like) reads naturally.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The address of a dotted text; none for anything else ("Transfer failed", "1.2.3",
// "1.2.3.256", " 1.2.3.4", "01.2.3.4"). "255.255.255.255" is an address like any other.
std::optional<uint32_t> ParseIpv4(std::string_view text);
std::optional<uint32_t> ParseIpv4(std::u16string_view text);
std::string FormatIpv4(uint32_t hostOrder);
