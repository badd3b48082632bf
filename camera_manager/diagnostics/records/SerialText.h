#pragma once

// The serial terminal's decisions that need no window: port names and numbers, the baud list,
// the bytes a send line puts on the wire, and the file transfer's block size and percentage.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace serial {

// The baud rates offered for both ports, and the one selected at start (115200).
extern const char* const BaudRates[11];
constexpr int DefaultBaudIndex = 10;
constexpr size_t SendTextLimit = 100;  // characters of a send line
constexpr size_t SendBytesLimit = 126; // bytes of a send line before its line end

// The camera's COM number: its signed offset plus 100.
int CameraComPort(int16_t offset);
// "\\.\COM<n>"
std::string ComPortName(int number);
// "baud=<rate> parity=N data=8 stop=1"
std::string LineSettingsText(const std::string& baud);

// The bytes a send line puts on the wire: its UTF-8 text (whatever the locale) cut at 126 bytes
// before the first character that does not fit whole, then the line end of the given index
// (0 none, 1 CR, 2 LF, 3 CR LF).
std::vector<uint8_t> SendBytes(const std::string& utf8, int lineEnd);

// Block size of a transfer for the baud index of COM1: 128 bytes up to 38400, else 1024.
size_t TransferBlockSize(int baudIndex);
// Whole percent of a transfer (0 to 100); an empty or shrunken size counts as done.
int TransferPercent(uint64_t sent, uint64_t size);

} // namespace serial
