#pragma once

// A loop-back file transfer between two serial ports: the source file goes out of the sending
// port block by block, and what the receiving port delivers is written to the destination file.
// Runs on a thread of its own; stop() ends it at its next check (reads wait 100 ms at most).
// The destination is written under a temporary name and renamed at the end, so a destination
// that names the source never destroys it. A transfer that is stopped or fails leaves the
// destination as it was; what arrived is kept as "<destination>.partial".

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

struct SerialTransferJob {
    std::string source, destination;   // file paths (UTF-8)
    std::string sendPort, receivePort; // "\\.\COMn"
    std::string sendBaud, receiveBaud; // baud texts
    size_t blockSize = 1024;
    bool drainAtEnd = false; // read the receiving port empty at the end
    // A block whose bytes stop arriving for this long ends the transfer.
    int stallTimeoutMs = 2000;
};

struct SerialTransferResult {
    uint64_t size = 0; // of the source when the transfer started
    uint64_t sent = 0, received = 0;
    bool saved = false;      // the destination file was written and put in place
    std::string partialPath; // where an incomplete transfer's data was kept ("" when not)
    bool complete() const { return saved && received == size; }
};

class SerialTransfer {
public:
    // Called on the transfer's thread.
    struct Callbacks {
        std::function<void(int percent)> progress;       // when the percentage changes
        std::function<void(uint64_t received)> received; // after each block
        std::function<void(const SerialTransferResult&)> finished;
    };

    SerialTransfer() = default;
    ~SerialTransfer(); // stops and joins
    SerialTransfer(const SerialTransfer&) = delete;
    SerialTransfer& operator=(const SerialTransfer&) = delete;

    // Starts the transfer on its thread; false when one is still running.
    bool start(SerialTransferJob job, Callbacks callbacks);
    void stop() { running_ = false; }
    // Waits for the thread to end.
    void join();
    bool running() const { return running_; }

    // The transfer itself, on the calling thread, while *running is true.
    static SerialTransferResult run(const SerialTransferJob& job, const Callbacks& callbacks,
                                    const std::atomic<bool>& running);

private:
    std::atomic<bool> running_{false};
    std::thread thread_;
};
