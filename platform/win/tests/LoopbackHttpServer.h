#pragma once

// A small HTTP server on 127.0.0.1 for tests: answers every request with the response the test
// sets (raw bytes, so a test can send a wrong length or cut a body short) and stops with the
// object. Each request's path is recorded.

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();

    // A complete "200 OK" response with the body and its correct length.
    void serve(const std::string& body, int status = 200);
    // Sends exactly these bytes and closes the connection.
    void serveRaw(const std::string& response);
    // Slow servers: waits firstByte before answering, then (with chunk > 0) sends chunk bytes
    // at a time, every interval. A client that hangs up or the server's end stops the answer.
    void pace(std::chrono::milliseconds firstByte, size_t chunk = 0,
              std::chrono::milliseconds interval = std::chrono::milliseconds(0));

    std::string url(const std::string& path = "/ZekoUpdates.txt") const;
    std::vector<std::string> paths() const;

private:
    void run();
    // Waits in short steps; false when the server is stopping or the client hung up.
    bool wait(int client, std::chrono::milliseconds time) const;

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::string response_;
    std::chrono::milliseconds firstByte_{0}, interval_{0};
    size_t chunk_ = 0;
    std::vector<std::string> paths_;
    std::thread thread_;
};

// A loopback port that nothing listens on.
int closedLoopbackPort();
