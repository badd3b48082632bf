#include "platform/win/tests/PtyBridge.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace wintest {

namespace {

void openEnd(int& master, int& slave, std::string& path) {
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&tio, B115200);
    if (openpty(&master, &slave, name, &tio, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // A side whose port nobody reads fills up; the bridge must then wait, not block in write.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    path = name;
}

// Moves what the master can give to the other master, waiting while the other side is full;
// false when a side is gone or the bridge is told to stop (bytes still on the way are dropped).
bool copy(int from, int to, int stop) {
    char buffer[4096];
    const ssize_t n = read(from, buffer, sizeof buffer);
    if (n <= 0)
        return n < 0 && (errno == EINTR || errno == EAGAIN);
    ssize_t done = 0;
    while (done < n) {
        const ssize_t w = write(to, buffer + done, static_cast<size_t>(n - done));
        if (w < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (w > 0) {
            done += w;
            continue;
        }
        pollfd p[2] = {{to, POLLOUT, 0}, {stop, POLLIN, 0}};
        poll(p, 2, 10);
        if (p[1].revents & POLLIN)
            return false;
    }
    return true;
}

} // namespace

PtyBridge::PtyBridge() {
    openEnd(masterA_, slaveA_, pathA_);
    openEnd(masterB_, slaveB_, pathB_);
    stop_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { run(); });
}

PtyBridge::~PtyBridge() {
    const uint64_t one = 1;
    (void)!write(stop_, &one, sizeof one);
    thread_.join();
    for (int fd : {masterA_, slaveA_, masterB_, slaveB_, stop_})
        close(fd);
}

void PtyBridge::run() {
    for (;;) {
        const short events = paused_ ? 0 : POLLIN;
        pollfd p[3] = {{stop_, POLLIN, 0}, {masterA_, events, 0}, {masterB_, events, 0}};
        if (poll(p, 3, paused_ ? 10 : 100) < 0 && errno != EINTR)
            return;
        if (p[0].revents & POLLIN)
            return;
        if (p[1].revents & POLLIN)
            copy(masterA_, masterB_, stop_);
        if (p[2].revents & POLLIN)
            copy(masterB_, masterA_, stop_);
    }
}

} // namespace wintest
