// The fields of the records that the C entry points fill in: little-endian values at byte
// offsets, addresses and fixed-width texts.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace zeko::sim {

static_assert(std::endian::native == std::endian::little, "the records are little-endian");

template <class T> void put(void* record, size_t offset, T value) {
    std::memcpy(static_cast<uint8_t*>(record) + offset, &value, sizeof value);
}

template <class T> T get(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
    return value;
}

// A dotted address kept in host order: the first number goes to the lowest address.
void putIp(void* record, size_t offset, uint32_t hostOrder);

// The text cut to width - 1 bytes, the rest of the field zero.
void putText(void* record, size_t offset, size_t width, const std::string& text);

} // namespace zeko::sim
