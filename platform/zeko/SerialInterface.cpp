#include "platform/zeko/SerialInterface.h"

#include "platform/zeko/StateStore.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace zeko::sim {

namespace {

void makeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return; // a line that is no terminal (a FIFO) needs no settings
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &tio);
}

// Writes everything, waiting a little while the other side is slow; a side that takes nothing
// for a second loses the rest, as a line without flow control would.
void writeAll(int fd, const char* data, size_t size) {
    int idle = 0;
    while (size > 0 && idle < 10) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            idle = 0;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 100) == 0)
                ++idle;
        }
    }
}

} // namespace

std::string SerialInterface::linkPathFor(uint32_t comNumber) {
    return StateStore::registryFolder() + "/zeko_COM" + std::to_string(comNumber);
}

SerialInterface::SerialInterface(uint32_t comNumber, const std::string& line)
    : link_(linkPathFor(comNumber)), lineName_(line) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    std::array<char, 128> name{};
    if (ptsname_r(master_, name.data(), name.size()) != 0)
        return;
    device_ = name.data();
    // The driver keeps the port's device open itself, so that a program closing the port does
    // not hang up the pseudo-terminal under the next one.
    keepOpen_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (keepOpen_ < 0)
        return;
    makeRaw(keepOpen_);
    if (!line.empty()) {
        line_ = ::open(line.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (line_ >= 0)
            makeRaw(line_);
        else
            std::fprintf(stderr, "zeko simulator: the serial line %s cannot be opened\n", line.c_str());
    }
    // The link is replaced in one step, so an older one left by a crashed program is taken over.
    const std::string temporary = link_ + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(device_.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), link_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return;
    }
    stop_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop_ >= 0)
        thread_ = std::thread([this] { run(); });
}

SerialInterface::~SerialInterface() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        (void)!::write(stop_, &one, sizeof one);
        thread_.join();
    }
    // Only our own link goes: another program may serve the port by now.
    std::array<char, 128> target{};
    const ssize_t length = ::readlink(link_.c_str(), target.data(), target.size() - 1);
    if (length > 0 && std::string(target.data(), static_cast<size_t>(length)) == device_)
        ::unlink(link_.c_str());
    for (int fd : {stop_, line_, keepOpen_, master_})
        if (fd >= 0)
            ::close(fd);
}

void SerialInterface::run() {
    std::array<char, 4096> buffer;
    for (;;) {
        pollfd p[3] = {{stop_, POLLIN, 0}, {master_, POLLIN, 0}, {line_, POLLIN, 0}};
        if (poll(p, line_ >= 0 ? 3 : 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[0].revents)
            return;
        if (p[1].revents) {
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n > 0 && line_ >= 0)
                writeAll(line_, buffer.data(), static_cast<size_t>(n));
        }
        if (line_ >= 0 && p[2].revents) {
            const ssize_t n = ::read(line_, buffer.data(), buffer.size());
            if (n > 0) {
                writeAll(master_, buffer.data(), static_cast<size_t>(n));
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // The line hung up (its cable was pulled): the connector stays empty.
                std::fprintf(stderr, "zeko simulator: the serial line %s hung up\n", lineName_.c_str());
                ::close(line_);
                line_ = -1;
            }
        }
    }
}

} // namespace zeko::sim
