#include "platform/win/SerialPort.h"

#include "platform/win/PortDevices.h"
#include "platform/win/SerialCustomBaud.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace win {

namespace {

std::mutex lookupMutex;
ComPortLookup comPortLookup;

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

bool parseUnsigned(std::string_view text, unsigned& value) {
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

speed_t standardSpeed(unsigned baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

} // namespace

unsigned ComPortNumber(std::string_view name) {
    if (name.substr(0, 4) == "\\\\.\\")
        name.remove_prefix(4);
    if (name.size() < 4 || !equalNoCase(name.substr(0, 3), "COM"))
        return 0;
    unsigned number = 0;
    if (!parseUnsigned(name.substr(3), number) || name[3] == '0')
        return 0;
    return number;
}

void SetComPortLookup(ComPortLookup lookup) {
    std::lock_guard lock(lookupMutex);
    comPortLookup = std::move(lookup);
}

std::string ComPortDevicePath(std::string_view name) {
    const unsigned number = ComPortNumber(name);
    if (number == 0)
        return {};
    {
        std::lock_guard lock(lookupMutex);
        if (comPortLookup) {
            std::string path = comPortLookup(number);
            if (!path.empty())
                return path;
        }
    }
    if (std::string path = portDevicePath(number); !path.empty())
        return path;
    return "/dev/ttyS" + std::to_string(number - 1);
}

bool ParseLineSettings(std::string_view text, LineSettings& settings) {
    LineSettings parsed = settings;
    while (!text.empty()) {
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        const size_t end = std::min(text.find(' '), text.size());
        const std::string_view item = text.substr(0, end);
        text.remove_prefix(end);
        const size_t eq = item.find('=');
        if (eq == std::string_view::npos)
            return false;
        const std::string_view key = item.substr(0, eq), value = item.substr(eq + 1);
        unsigned number = 0;
        if (equalNoCase(key, "baud")) {
            if (!parseUnsigned(value, number) || number == 0)
                return false;
            parsed.baud = number;
        } else if (equalNoCase(key, "parity")) {
            if (value.size() != 1)
                return false;
            const char p = static_cast<char>(value[0] & ~0x20);
            if (p != 'N' && p != 'E' && p != 'O')
                return false;
            parsed.parity = p;
        } else if (equalNoCase(key, "data")) {
            if (!parseUnsigned(value, number) || number < 5 || number > 8)
                return false;
            parsed.dataBits = number;
        } else if (equalNoCase(key, "stop")) {
            if (!parseUnsigned(value, number) || number < 1 || number > 2)
                return false;
            parsed.stopBits = number;
        } else {
            return false;
        }
    }
    if (parsed.baud == 0)
        return false;
    settings = parsed;
    return true;
}

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(std::string_view name) {
    if (fd_ >= 0)
        return false;
    const std::string path = ComPortDevicePath(name);
    if (path.empty())
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Exclusive use: a second open of the device fails until this one closes.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &saved_) != 0) {
        ::close(fd);
        return false;
    }
    haveSaved_ = true;
    fd_ = fd;
    return true;
}

bool SerialPort::configure(std::string_view settingsText) {
    LineSettings settings;
    return ParseLineSettings(settingsText, settings) && configure(settings);
}

bool SerialPort::configure(const LineSettings& settings) {
    if (fd_ < 0)
        return false;
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[settings.dataBits - 5];
    if (settings.parity == 'E')
        tio.c_cflag |= PARENB;
    else if (settings.parity == 'O')
        tio.c_cflag |= PARENB | PARODD;
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(settings.baud);
    if (speed != B0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    if (tcsetattr(fd_, TCSANOW, &tio) != 0)
        return false;
    return speed != B0 || SetCustomBaud(fd_, settings.baud);
}

bool SerialPort::restoreSettings() {
    return fd_ >= 0 && haveSaved_ && tcsetattr(fd_, TCSANOW, &saved_) == 0;
}

bool SerialPort::purge() {
    return fd_ >= 0 && tcflush(fd_, TCIOFLUSH) == 0;
}

ssize_t SerialPort::read(void* buffer, size_t size, int timeoutMs) {
    if (fd_ < 0)
        return -1;
    if (size == 0)
        return 0;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do
        ready = poll(&p, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return -1;
    if (ready == 0)
        return 0;
    if (!(p.revents & POLLIN))
        return -1; // hang-up or error with nothing left to read
    ssize_t n;
    do
        n = ::read(fd_, buffer, size);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    // Readable yet nothing read is end of file: a hung-up line (a pty whose other side
    // closed) reads 0 for ever, and taking that for "nothing yet" would spin.
    return n == 0 ? -1 : n;
}

bool SerialPort::write(const void* data, size_t size, const std::atomic<bool>* keepGoing) {
    if (fd_ < 0)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    // A line that takes nothing for this long is dead (a pty whose other side is not read).
    constexpr auto stallLimit = std::chrono::seconds(5);
    auto lastProgress = std::chrono::steady_clock::now();
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n > 0) {
            bytes += n;
            size -= static_cast<size_t>(n);
            lastProgress = std::chrono::steady_clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        if (std::chrono::steady_clock::now() - lastProgress > stallLimit || (keepGoing && !*keepGoing))
            return false;
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, 100) < 0 && errno != EINTR)
            return false;
    }
    return true;
}

bool SerialPort::close() {
    if (fd_ < 0)
        return true;
    ioctl(fd_, TIOCNXCL);
    const int fd = fd_;
    fd_ = -1;
    haveSaved_ = false;
    return ::close(fd) == 0;
}

} // namespace win
