#include "camera_manager/diagnostics/records/SerialText.h"

#include <algorithm>
#include <cstddef>

namespace serial {

const char* const BaudRates[11] = {"1200",  "2400",  "4800",  "9600",  "14400", "19200",
                                   "28800", "38400", "56000", "57600", "115200"};

int CameraComPort(int16_t offset) {
    return static_cast<int>(offset) + 100;
}

std::string ComPortName(int number) {
    return "\\\\.\\COM" + std::to_string(number);
}

std::string LineSettingsText(const std::string& baud) {
    return "baud=" + baud + " parity=N data=8 stop=1";
}

std::vector<uint8_t> SendBytes(const std::string& utf8, int lineEnd) {
    size_t length = std::min(utf8.size(), SendBytesLimit);
    // Back to the start of a character: a continuation byte (10xxxxxx) belongs to the one before.
    if (length < utf8.size())
        while (length > 0 && (static_cast<uint8_t>(utf8[length]) & 0xC0) == 0x80)
            --length;
    std::vector<uint8_t> bytes(utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(length));
    if (lineEnd == 1 || lineEnd == 3)
        bytes.push_back('\r');
    if (lineEnd == 2 || lineEnd == 3)
        bytes.push_back('\n');
    return bytes;
}

size_t TransferBlockSize(int baudIndex) {
    return baudIndex < 8 ? 128 : 1024;
}

int TransferPercent(uint64_t sent, uint64_t size) {
    if (size == 0 || sent >= size)
        return 100;
    return static_cast<int>(static_cast<unsigned __int128>(sent) * 100 / size);
}

} // namespace serial
