#pragma once

// A serial port opened by its Windows name ("\\.\COM5", "COM5"), over termios. The port is
// opened exclusively and non-blocking; reads wait with poll, so no call blocks for ever.
// Line settings are raw (as a Windows device control block is): no echo, no canonical lines,
// no CR/LF translation, no software or hardware flow control. The settings found at open are
// kept and put back by restoreSettings.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <termios.h>

namespace win {

// The COM number of a port name ("\\.\COM12", "COM12", any case), or 0 when it names none.
unsigned ComPortNumber(std::string_view name);

// Where COMn lives: the path the device lookup gives for n, else the path the COM port device
// store records for n (win::portDevicePath), else /dev/ttyS(n-1); "" for a name that is no COM
// port.
std::string ComPortDevicePath(std::string_view name);

// A lookup that ComPortDevicePath asks before the device store (tests and benchmarks point COM
// numbers at pty pairs with it): the path for a COM number, or "" to ask the store. Null: none.
using ComPortLookup = std::function<std::string(unsigned number)>;
void SetComPortLookup(ComPortLookup lookup);

// The line settings of a text such as "baud=115200 parity=N data=8 stop=1".
struct LineSettings {
    unsigned baud = 0;
    char parity = 'N'; // N, E, O
    unsigned dataBits = 8;
    unsigned stopBits = 1;
};
// False (and settings untouched) for a text with an unknown key or a value out of range.
bool ParseLineSettings(std::string_view text, LineSettings& settings);

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the port for reading and writing, exclusively, and saves its settings.
    bool open(std::string_view name);
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Applies raw line settings from a settings text.
    bool configure(std::string_view settingsText);
    bool configure(const LineSettings& settings);
    // Puts back the settings found at open.
    bool restoreSettings();
    // Discards what was received and not read and what was written and not sent.
    bool purge();

    // What has arrived, at most size bytes, waiting up to timeoutMs for the first byte
    // (0: no wait). 0 when nothing came; -1 on an error, a hang-up or end of file.
    ssize_t read(void* buffer, size_t size, int timeoutMs);
    // Writes all bytes, waiting while the line is busy; false on an error, after 5 s without
    // progress, or when *keepGoing turns false while it waits.
    bool write(const void* data, size_t size, const std::atomic<bool>* keepGoing = nullptr);

    // Closes the port (exclusive use released). The settings are not restored here.
    bool close();

private:
    int fd_ = -1;
    termios saved_{};
    bool haveSaved_ = false;
};

} // namespace win
