#include "camera_manager/diagnostics/records/SupportFileFormat.h"

#include <cstring>

namespace {

constexpr size_t keyLength = 128;

// Entry i is base[i] shifted left by (i * 5 + 3) mod 11 bits, kept to 16 bits.
constexpr uint16_t keyBase[keyLength] = {
    0x3A71, 0x1C4F, 0x5E92, 0x07B3, 0x6D28, 0x4F1E, 0x2B85, 0x71C6, 0x1397, 0x5A4D, 0x0E6B, 0x68F2, 0x3D19,
    0x47A4, 0x2C3E, 0x7B58, 0x16E1, 0x5307, 0x09CB, 0x6E74, 0x38AF, 0x4D02, 0x21D6, 0x7F3B, 0x1A68, 0x5CC1,
    0x0395, 0x64EA, 0x3F1C, 0x4879, 0x2E53, 0x75A0, 0x11BD, 0x5B26, 0x0C8F, 0x6A44, 0x3619, 0x4EE5, 0x2732,
    0x7D8B, 0x1F54, 0x59C7, 0x05A2, 0x6B3F, 0x3C76, 0x42D9, 0x2A0C, 0x7765, 0x14B8, 0x5611, 0x0A4E, 0x67D3,
    0x3B27, 0x499A, 0x2F6D, 0x7C10, 0x1D83, 0x5E3C, 0x02F9, 0x6156, 0x39CD, 0x4B72, 0x2545, 0x72AE, 0x1867,
    0x5498, 0x0FD4, 0x6C01, 0x3E8A, 0x4537, 0x2D6E, 0x7A93, 0x1235, 0x5F4C, 0x08E7, 0x6698, 0x3A2B, 0x47D6,
    0x2219, 0x7E64, 0x1BA5, 0x5173, 0x0D1E, 0x69CF, 0x3758, 0x4C87, 0x24F2, 0x7349, 0x1964, 0x5DB3, 0x0635,
    0x62EC, 0x3C0F, 0x4A61, 0x2B9C, 0x7817, 0x10D8, 0x5725, 0x0B96, 0x6F43, 0x3548, 0x43BF, 0x2E6A, 0x7F05,
    0x1C72, 0x5089, 0x04D1, 0x6B1C, 0x39A6, 0x4E3B, 0x2074, 0x71CF, 0x1739, 0x5B82, 0x0E17, 0x6574, 0x3FA9,
    0x4906, 0x2663, 0x7CB8, 0x132D, 0x58F4, 0x0768, 0x6DB1, 0x3B4E, 0x4495, 0x29E3, 0x7650};

std::u16string::value_type scramble(uint16_t unit, uint16_t key) {
    return char16_t(uint16_t(uint16_t(key ^ unit) + 32));
}

std::u16string::value_type unscramble(uint16_t stored, uint16_t key) {
    return char16_t(uint16_t(stored - 32) ^ key);
}

template <class Rule> void applyKey(std::u16string& units, Rule rule) {
    uint16_t table[keyLength];
    BuildSupportFileKey(table);
    const size_t length = GetSupportFileKeyLength(table);
    const size_t whole = units.size() / length * length;
    for (size_t b = 0; b < whole; b += length)
        for (size_t j = 0; j < length; ++j)
            units[b + j] = rule(units[b + j], GetSupportFileKeyEntry(table, j));
    for (size_t k = 0; whole + k < units.size(); ++k)
        units[whole + k] = rule(units[whole + k], GetSupportFileKeyEntry(table, k));
}

// atoi: blanks, an optional sign, digits; the value saturates instead of overflowing.
int readNumber(std::string_view piece) {
    size_t i = 0;
    while (i < piece.size() && (piece[i] == ' ' || (piece[i] >= '\t' && piece[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-'))
        negative = piece[i++] == '-';
    long long value = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i)
        value = value * 10 + (piece[i] - '0'); // a piece holds at most nine characters
    return int(negative ? -value : value);
}

} // namespace

uint16_t* BuildSupportFileKey(uint16_t* table) {
    uint16_t entries[keyLength];
    for (size_t i = 0; i < keyLength; ++i)
        entries[i] = uint16_t(keyBase[i] << ((i * 5 + 3) % 11));
    std::memcpy(table, entries, sizeof entries);
    return table;
}

uint16_t GetSupportFileKeyEntry(const uint16_t* table, size_t index) {
    return table[index % keyLength];
}

size_t GetSupportFileKeyLength(const uint16_t*) {
    return keyLength;
}

void ScrambleSupportText(std::u16string& units) {
    applyKey(units, scramble);
}

void UnscrambleSupportText(std::u16string& units) {
    applyKey(units, unscramble);
}

std::string StoreSupportUnits(std::u16string_view units) {
    std::string out;
    out.reserve(units.size() * 7);
    char line[8];
    for (char16_t unit : units) {
        char* end = line + sizeof line;
        char* p = end;
        *--p = '\n';
        *--p = '\r';
        unsigned value = uint16_t(unit);
        do {
            *--p = char('0' + value % 10);
            value /= 10;
        } while (value);
        out.append(p, end);
    }
    return out;
}

std::u16string ParseSupportUnits(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 6 + 1);
    std::string piece;
    size_t i = 0;
    while (i < bytes.size()) {
        piece.clear();
        while (i < bytes.size() && piece.size() < 9) {
            char c = bytes[i];
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
                continue;
            }
            piece.push_back(c);
            ++i;
            if (c == '\n')
                break;
        }
        units.push_back(char16_t(uint16_t(readNumber(piece))));
    }
    return units;
}
