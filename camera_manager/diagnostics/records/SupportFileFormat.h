#pragma once

// The support file's text form: a UTF-16 text scrambled unit by unit with a 128-entry key
// table and stored as one unsigned decimal number per CR LF line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Fills the caller's 256-byte buffer (128 entries) with the key table and returns it.
uint16_t* BuildSupportFileKey(uint16_t* table);
uint16_t GetSupportFileKeyEntry(const uint16_t* table, size_t index);
size_t GetSupportFileKeyLength(const uint16_t* table);

// Unit p becomes ((key[p mod 128] XOR unit) + 32) mod 65536; UnscrambleSupportText undoes it.
void ScrambleSupportText(std::u16string& units);
void UnscrambleSupportText(std::u16string& units);

// The stored lines: each unit as its unsigned decimal value followed by CR LF.
std::string StoreSupportUnits(std::u16string_view units);

// The units of a stored file as the reader takes them: the bytes are read in pieces of at most
// nine characters, each ending at a line feed (a CR before the LF is dropped, as a text-mode
// read does), and every piece gives one unit, its leading decimal number as atoi reads it
// (0 when there is none), kept to 16 bits. The end of the bytes adds no unit.
std::u16string ParseSupportUnits(std::string_view bytes);
