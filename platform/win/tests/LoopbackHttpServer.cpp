#include "LoopbackHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int bindLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    listener_ = bindLoopback(port_);
    ::listen(listener_, 8);
    serve("");
    thread_ = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

void LoopbackHttpServer::serve(const std::string& body, int status) {
    std::string reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Error";
    serveRaw("HTTP/1.1 " + std::to_string(status) + " " + reason +
             "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
             "\r\nConnection: close\r\n\r\n" + body);
}

void LoopbackHttpServer::serveRaw(const std::string& response) {
    std::lock_guard lock(mutex_);
    response_ = response;
}

void LoopbackHttpServer::pace(std::chrono::milliseconds firstByte, size_t chunk,
                              std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    firstByte_ = firstByte;
    chunk_ = chunk;
    interval_ = interval;
}

bool LoopbackHttpServer::wait(int client, std::chrono::milliseconds time) const {
    const auto end = std::chrono::steady_clock::now() + time;
    while (!stopping_ && std::chrono::steady_clock::now() < end) {
        pollfd peer{client, POLLRDHUP, 0};
        if (::poll(&peer, 1, 5) > 0 && (peer.revents & (POLLRDHUP | POLLHUP | POLLERR)))
            return false;
    }
    return !stopping_;
}

std::string LoopbackHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::paths() const {
    std::lock_guard lock(mutex_);
    return paths_;
}

void LoopbackHttpServer::run() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd reading{client, POLLIN, 0};
            if (::poll(&reading, 1, 2000) <= 0)
                break;
            ssize_t got = ::read(client, buffer, sizeof buffer);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<size_t>(got));
        }
        std::string response;
        std::chrono::milliseconds firstByte, interval;
        size_t chunk = 0;
        {
            std::lock_guard lock(mutex_);
            size_t first = request.find(' ');
            size_t second = request.find(' ', first + 1);
            if (first != std::string::npos && second != std::string::npos)
                paths_.push_back(request.substr(first + 1, second - first - 1));
            response = response_;
            firstByte = firstByte_;
            chunk = chunk_;
            interval = interval_;
        }
        size_t sent = 0;
        bool going = wait(client, firstByte);
        while (going && sent < response.size()) {
            const size_t size = chunk > 0 ? std::min(chunk, response.size() - sent) : response.size() - sent;
            ssize_t put = ::send(client, response.data() + sent, size, MSG_NOSIGNAL);
            if (put <= 0)
                break;
            sent += static_cast<size_t>(put);
            if (chunk > 0 && sent < response.size())
                going = wait(client, interval);
        }
        ::shutdown(client, SHUT_WR);
        ::close(client);
    }
}

int closedLoopbackPort() {
    int port = 0;
    int fd = bindLoopback(port);
    ::close(fd);
    return port;
}
