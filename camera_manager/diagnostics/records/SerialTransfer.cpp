#include "camera_manager/diagnostics/records/SerialTransfer.h"

#include "camera_manager/diagnostics/records/SerialText.h"
#include "platform/common/FileReplacement.h"
#include "platform/win/SerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// An incomplete transfer: the destination stays as it was and what arrived is kept beside it
// under a name of its own (never over another file); "" when nothing arrived or it cannot be kept.
std::string keepPartial(FileReplacement& destination, const std::string& path, uint64_t received) {
    if (received > 0)
        for (int n = 0; n < 100; ++n) {
            const std::string name = path + (n == 0 ? "" : "." + std::to_string(n)) + ".partial";
            if (destination.keepAs(name))
                return name;
            if (destination.failedErrno() != EEXIST)
                break;
        }
    destination.discard();
    return {};
}

bool openPort(win::SerialPort& port, const std::string& name, const std::string& baud) {
    if (!port.open(name))
        return false;
    if (!port.configure(serial::LineSettingsText(baud))) {
        port.restoreSettings();
        port.close();
        return false;
    }
    return true;
}

void closePort(win::SerialPort& port) {
    if (port.isOpen()) {
        port.restoreSettings();
        port.close();
    }
}

} // namespace

SerialTransfer::~SerialTransfer() {
    stop();
    join();
}

bool SerialTransfer::start(SerialTransferJob job, Callbacks callbacks) {
    if (running_)
        return false;
    join();
    running_ = true;
    thread_ = std::thread([this, job = std::move(job), callbacks = std::move(callbacks)] {
        const SerialTransferResult result = run(job, callbacks, running_);
        if (callbacks.finished)
            callbacks.finished(result);
        running_ = false;
    });
    return true;
}

void SerialTransfer::join() {
    if (thread_.joinable())
        thread_.join();
}

SerialTransferResult SerialTransfer::run(const SerialTransferJob& job, const Callbacks& callbacks,
                                         const std::atomic<bool>& running) {
    SerialTransferResult result;
    if (job.source.empty() || job.destination.empty() || job.blockSize == 0)
        return result;
    File source(std::fopen(job.source.c_str(), "rb"));
    struct stat info {};
    if (source && fstat(fileno(source.get()), &info) == 0)
        result.size = static_cast<uint64_t>(info.st_size);

    win::SerialPort sender, receiver;
    const bool portsOpen =
        openPort(sender, job.sendPort, job.sendBaud) && openPort(receiver, job.receivePort, job.receiveBaud);
    if (portsOpen && source) {
        sender.purge();
        receiver.purge();
        FileReplacement destination;
        if (destination.open(job.destination)) {
            std::vector<char> block(job.blockSize), incoming(job.blockSize);
            int lastPercent = 0;
            bool failed = false;
            size_t length;
            while (!failed && running &&
                   (length = std::fread(block.data(), 1, block.size(), source.get())) > 0) {
                result.sent += length;
                const int percent = serial::TransferPercent(result.sent, result.size);
                if (percent != lastPercent && callbacks.progress)
                    callbacks.progress(percent);
                lastPercent = percent;
                if (!sender.write(block.data(), length, &running))
                    break;
                size_t got = 0;
                auto lastByte = std::chrono::steady_clock::now();
                while (got < length && running) {
                    const ssize_t n = receiver.read(incoming.data(), length - got, 100);
                    if (n < 0 || (n > 0 && !destination.write(incoming.data(), static_cast<size_t>(n)))) {
                        failed = true;
                        break;
                    }
                    if (n > 0) {
                        got += static_cast<size_t>(n);
                        lastByte = std::chrono::steady_clock::now();
                    } else if (std::chrono::steady_clock::now() - lastByte >
                               std::chrono::milliseconds(job.stallTimeoutMs)) {
                        failed = true; // bytes were lost on the way
                        break;
                    }
                }
                result.received += got;
                if (callbacks.received)
                    callbacks.received(result.received);
            }
            if (!failed && result.sent == result.size && result.received == result.size &&
                std::feof(source.get()))
                result.saved = destination.commit();
            else
                result.partialPath = keepPartial(destination, job.destination, result.received);
        }
        if (job.drainAtEnd) {
            char rest[8];
            while (receiver.read(rest, sizeof rest, 0) > 0) {
            }
        }
    }
    closePort(receiver);
    closePort(sender);
    return result;
}
