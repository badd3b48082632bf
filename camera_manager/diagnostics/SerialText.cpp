#include "camera_manager/diagnostics/SerialText.h"

#include <climits>
#include <cstring>
#include <cwchar>

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

std::vector<uint8_t> SendBytes(const std::wstring& text, int lineEnd) {
    std::vector<uint8_t> bytes;
    bytes.reserve(SendBytesLimit + 2);
    std::mbstate_t state{};
    char mb[MB_LEN_MAX];
    for (wchar_t c : text) {
        const size_t n = std::wcrtomb(mb, c, &state);
        if (n == static_cast<size_t>(-1) || bytes.size() + n > SendBytesLimit)
            break;
        bytes.insert(bytes.end(), mb, mb + n);
    }
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
