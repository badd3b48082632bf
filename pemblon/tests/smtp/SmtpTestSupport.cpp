#include "SmtpTestSupport.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace SmtpTest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pbn_smtp_XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!m_path.empty())
        fs::remove_all(m_path, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string withoutDate(const std::string& text) {
    const size_t date = text.find("Date: ");
    if (date == std::string::npos)
        return text;
    const size_t end = text.find("\r\n", date);
    return text.substr(0, date + 6) + "*" + text.substr(end);
}

namespace {

bool waitFor(const std::string& path, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

RealServer::RealServer() {
    const std::string script = std::string(PBN_SMTP_TEST_SERVERS) + "/smtp_sink.py";
    const std::string out = m_dir.file("");
    m_pid = fork();
    if (m_pid == 0) {
        execl("/usr/bin/python3", "python3", script.c_str(), out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (m_pid > 0 && waitFor(m_dir.file("port"), 15000))
        m_port = static_cast<unsigned short>(std::atoi(readFile(m_dir.file("port")).c_str()));
}

RealServer::~RealServer() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 250; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
}

std::string RealServer::message(int n) const {
    const std::string folder = m_dir.file("msg" + std::to_string(n));
    return waitFor(folder, 10000) ? folder : std::string();
}

std::vector<ScriptedServer::Step> ScriptedServer::greeting() {
    return {send("220 scripted.test ready\r\n"), readLine(), send("250 scripted.test\r\n")};
}

ScriptedServer::ScriptedServer(std::vector<Step> script) : m_script(std::move(script)) {
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && listen(m_listen, 1) == 0 &&
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0)
        ::close(m_listen);
}

std::string ScriptedServer::received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void ScriptedServer::finish() {
    if (m_thread.joinable())
        m_thread.join();
}

namespace {

constexpr int pollStep = 50;       // ms between looks at the stop flag
constexpr int giveUpAfter = 10000; // ms without progress before the server gives up

} // namespace

// Reads into m_received until its tail (since the call) holds `end`; false when the client
// closed, the server was stopped or nothing came for too long. An empty `end` reads until the
// client closes.
bool ScriptedServer::readUntil(int fd, const std::string& end) {
    const size_t from = received().size();
    int idle = 0;
    while (true) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!end.empty() && m_received.find(end, from) != std::string::npos)
                return true;
            if (m_stop)
                return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, pollStep) <= 0) {
            idle += pollStep;
            if (idle > giveUpAfter)
                return false;
            continue;
        }
        char buf[65536];
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        idle = 0;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(buf, static_cast<size_t>(n));
    }
}

bool ScriptedServer::stopped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stop;
}

void ScriptedServer::run() {
    int fd = -1;
    for (int waited = 0; fd < 0 && waited < giveUpAfter; waited += pollStep) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
        }
        pollfd p{m_listen, POLLIN, 0};
        if (poll(&p, 1, pollStep) > 0)
            fd = accept(m_listen, nullptr, nullptr);
    }
    if (fd < 0)
        return;
    bool open = true;
    for (const Step& step : m_script) {
        if (!open)
            break;
        switch (step.kind) {
        case Step::Send:
            open = ::send(fd, step.text.data(), step.text.size(), MSG_NOSIGNAL) ==
                   static_cast<ssize_t>(step.text.size());
            break;
        case Step::ReadLine:
            open = readUntil(fd, "\r\n");
            break;
        case Step::ReadData:
            open = readUntil(fd, "\r\n.\r\n");
            break;
        case Step::Pause:
            std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
            break;
        case Step::Close:
            open = false;
            break;
        case Step::Flood: {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.ms);
            while (open && !stopped() && std::chrono::steady_clock::now() < end) {
                pollfd p{fd, POLLOUT, 0};
                if (poll(&p, 1, pollStep) > 0)
                    open = ::send(fd, step.text.data(), step.text.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0 ||
                           errno == EAGAIN;
            }
            break;
        }
        case Step::Trickle:
            for (size_t i = 0; open && !stopped() && i < step.text.size(); ++i) {
                open = ::send(fd, step.text.data() + i, 1, MSG_NOSIGNAL) == 1;
                std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
            }
            break;
        }
    }
    if (open)
        readUntil(fd, std::string());
    ::close(fd);
}

} // namespace SmtpTest
