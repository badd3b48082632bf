#include "camera_manager/diagnostics/dialogs/SerialSession.h"

#include "camera_manager/diagnostics/records/SerialText.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr size_t ReadSize = 128;

} // namespace

SerialSession::SerialSession(SerialSessionListener& listener) : listener_(listener) {
    for (Port& port : ports_)
        port.stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

SerialSession::~SerialSession() {
    for (SerialTransfer& transfer : transfers_) {
        transfer.stop();
        transfer.join();
    }
    for (Port& port : ports_) {
        closePort(port);
        if (port.stopEvent >= 0)
            ::close(port.stopEvent);
    }
    // Posted callbacks that have not run are deleted with the event handler.
}

bool SerialSession::connect(int index, const std::string& name, const std::string& baud) {
    Port& port = ports_[index];
    if (port.connected || port.stopEvent < 0)
        return false;
    if (port.reader.joinable()) // a reader that ended by itself after the line was lost
        port.reader.join();
    if (!port.serial.open(name))
        return false;
    if (!port.serial.configure(serial::LineSettingsText(baud))) {
        port.serial.restoreSettings();
        port.serial.close();
        return false;
    }
    uint64_t drained;
    while (::read(port.stopEvent, &drained, sizeof drained) > 0) {
    }
    port.decoder.reset();
    port.serial.purge(); // here, not on the reader, so that nothing sent after connecting is lost
    port.connected = true;
    const unsigned generation = ++port.generation;
    port.reader = std::thread([this, index, generation] { readLoop(index, generation); });
    return true;
}

void SerialSession::closePort(Port& port) {
    const uint64_t one = 1;
    if (port.stopEvent >= 0)
        (void)!::write(port.stopEvent, &one, sizeof one);
    if (port.reader.joinable())
        port.reader.join();
    if (port.serial.isOpen())
        port.serial.restoreSettings();
}

bool SerialSession::disconnect(int index) {
    Port& port = ports_[index];
    closePort(port);
    if (!port.serial.close())
        return false;
    port.connected = false;
    return true;
}

bool SerialSession::send(int index, const std::vector<uint8_t>& bytes) {
    Port& port = ports_[index];
    return port.connected && (bytes.empty() || port.serial.write(bytes.data(), bytes.size()));
}

// On the reader's thread: touches only the port's descriptors and decoder, which the GUI
// thread leaves alone until it has joined the reader.
void SerialSession::readLoop(int index, unsigned generation) {
    Port& port = ports_[index];
    for (;;) {
        pollfd p[2] = {{port.stopEvent, POLLIN, 0}, {port.serial.fd(), POLLIN, 0}};
        if (poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (p[0].revents & POLLIN)
            return; // asked to stop
        if (!p[1].revents)
            continue;
        char buffer[ReadSize];
        const ssize_t n = port.serial.read(buffer, sizeof buffer, 0);
        if (n < 0)
            break; // hang-up, end of file or error: the line is gone
        const std::u16string text = port.decoder.decode(buffer, static_cast<size_t>(n));
        if (!text.empty())
            CallAfter([this, index, text] { listener_.onReceived(index, text); });
    }
    CallAfter([this, index, generation] { portLost(index, generation); });
}

void SerialSession::portLost(int index, unsigned generation) {
    Port& port = ports_[index];
    if (!port.connected || port.generation != generation)
        return; // disconnected meanwhile, maybe connected anew
    closePort(port);
    port.serial.close();
    port.connected = false;
    listener_.onPortLost(index);
}

bool SerialSession::startTransfer(int direction, SerialTransferJob job) {
    SerialTransfer::Callbacks callbacks;
    callbacks.progress = [this](int percent) {
        CallAfter([this, percent] { listener_.onTransferProgress(percent); });
    };
    callbacks.received = [this](uint64_t received) {
        CallAfter([this, received] { listener_.onTransferReceived(received); });
    };
    callbacks.finished = [this](const SerialTransferResult& result) {
        CallAfter([this, result] { listener_.onTransferFinished(result); });
    };
    return transfers_[direction].start(std::move(job), std::move(callbacks));
}
