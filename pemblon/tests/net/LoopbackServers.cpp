#include "pemblon/tests/net/LoopbackServers.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace NetTest {

namespace fs = std::filesystem;

namespace {

const std::string kServers = PBN_NET_TEST_SERVERS;
const std::string kPython = "/usr/bin/python3";

bool accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

int countOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

} // namespace

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pbn_net_XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

ServerProcess::~ServerProcess() {
    stop();
}

bool ServerProcess::start(const std::vector<std::string>& argv, int port) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        // The server dies with the test program and never holds the test's output open.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(args[0], args.data());
        _exit(127);
    }
    if (m_pid < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (accepts(port))
            return true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    return false;
}

void ServerProcess::stop() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
}

std::string ScriptedHttp::url() const {
    return (tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port);
}

std::string ScriptedHttp::requests() const {
    return readFile(dir.file("requests.log"));
}

int ScriptedHttp::requestCount() const {
    return countOf(requests(), "=== ");
}

std::unique_ptr<ScriptedHttp> startScriptedHttp(bool tls) {
    auto server = std::make_unique<ScriptedHttp>();
    server->tls = tls;
    writeFile(server->dir.file("requests.log"), "");
    std::vector<std::string> argv = {kPython, kServers + "/scripted_http.py", "--log",
                                     server->dir.file("requests.log")};
    if (tls) {
        argv.insert(argv.end(),
                    {"--tls-cert", kServers + "/selfsigned.crt", "--tls-key", kServers + "/selfsigned.key"});
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        server->port = freePort();
        std::vector<std::string> withPort = argv;
        withPort.insert(withPort.end(), {"--port", std::to_string(server->port)});
        if (server->process.start(withPort, server->port))
            return server;
    }
    throw std::runtime_error("the scripted HTTP server did not start");
}

std::string Lighttpd::url() const {
    return "http://127.0.0.1:" + std::to_string(port);
}

std::unique_ptr<Lighttpd> startLighttpd() {
    auto server = std::make_unique<Lighttpd>();
    fs::create_directories(server->root());
    fs::create_directories(server->dir.file("uploads"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        server->port = freePort();
        std::ostringstream conf;
        conf << "server.document-root = \"" << server->root() << "\"\n"
             << "server.bind = \"127.0.0.1\"\n"
             << "server.port = " << server->port << "\n"
             << "server.modules = (\"mod_auth\", \"mod_authn_file\", \"mod_webdav\")\n"
             << "auth.backend = \"plain\"\n"
             << "auth.backend.plain.userfile = \"" << server->dir.file("users") << "\"\n"
             << "auth.require = (\"/private/\" => (\"method\" => \"basic\", \"realm\" => \"tests\", "
                "\"require\" => \"valid-user\"))\n"
             << "server.errorlog = \"" << server->dir.file("error.log") << "\"\n"
             << "server.upload-dirs = (\"" << server->dir.file("uploads") << "\")\n"
             << "server.max-request-size = 0\n"
             << "mimetype.assign = (\"\" => \"application/octet-stream\")\n"
             << "webdav.activate = \"enable\"\n"
             << "webdav.is-readonly = \"disable\"\n";
        writeFile(server->dir.file("lighttpd.conf"), conf.str());
        writeFile(server->dir.file("users"), kPrivateUser + ":" + kPrivatePassword + "\n");
        if (server->process.start({"/usr/sbin/lighttpd", "-D", "-f", server->dir.file("lighttpd.conf")},
                                  server->port))
            return server;
    }
    throw std::runtime_error("lighttpd did not start");
}

std::string FtpServer::url() const {
    return "ftp://127.0.0.1:" + std::to_string(port) + "/";
}

std::string FtpServer::commands() const {
    return readFile(dir.file("commands.log"));
}

std::unique_ptr<FtpServer> startFtp(const std::string& user, const std::string& password) {
    auto server = std::make_unique<FtpServer>();
    fs::create_directories(server->root());
    writeFile(server->dir.file("commands.log"), "");
    for (int attempt = 0; attempt < 3; ++attempt) {
        server->port = freePort();
        if (server->process.start({kPython, kServers + "/ftp_server.py", "--port",
                                   std::to_string(server->port), "--root", server->root(), "--log",
                                   server->dir.file("commands.log"), "--user", user, "--password", password},
                                  server->port))
            return server;
    }
    throw std::runtime_error("the FTP server did not start");
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string patternBytes(size_t n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

} // namespace NetTest
