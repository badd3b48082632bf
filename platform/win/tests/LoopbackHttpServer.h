#pragma once

// A small HTTP server on 127.0.0.1 for tests: answers every request with the response the test
// sets (raw bytes, so a test can send a wrong length or cut a body short) and stops with the
// object. Each request's path is recorded.

#include <atomic>
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

    std::string url(const std::string& path = "/ZekoUpdates.txt") const;
    std::vector<std::string> paths() const;

private:
    void run();

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::string response_;
    std::vector<std::string> paths_;
    std::thread thread_;
};

// A loopback port that nothing listens on.
int closedLoopbackPort();
