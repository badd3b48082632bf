#pragma once

// Real servers for the network client tests, started on 127.0.0.1 by the test that needs them
// and stopped when the object goes away (SIGTERM, then SIGKILL after a bounded wait).

#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

namespace NetTest {

// A fresh folder under the temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A port nobody listens on right now.
int freePort();

class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    // Starts argv and waits (at most 15 s) until 127.0.0.1:port accepts connections.
    bool start(const std::vector<std::string>& argv, int port);
    void stop();
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

// The scripted HTTP server (see servers/scripted_http.py for its routes).
struct ScriptedHttp {
    TempDir dir;
    ServerProcess process;
    int port = 0;
    bool tls = false;
    std::string url() const;      // "http://127.0.0.1:<port>" (https with tls)
    std::string requests() const; // everything the server received so far
    int requestCount() const;
};
std::unique_ptr<ScriptedHttp> startScriptedHttp(bool tls = false);

// lighttpd with WebDAV on a folder of its own: real GET, PUT and DELETE. "/private/" asks for
// Basic authentication as kPrivateUser with kPrivatePassword (UTF-8 bytes).
inline const std::string kPrivateUser = "\xC5\xA0imon";
inline const std::string kPrivatePassword = "p\xC3\xA4ss";
struct Lighttpd {
    TempDir dir;
    ServerProcess process;
    int port = 0;
    std::string root() const { return dir.file("www"); }
    std::string url() const;
};
std::unique_ptr<Lighttpd> startLighttpd();

// pyftpdlib with one user (UTF-8 bytes), by default "tester" with password "secret", on a
// folder of its own.
struct FtpServer {
    TempDir dir;
    ServerProcess process;
    int port = 0;
    std::string root() const { return dir.file("ftp"); }
    std::string url() const;      // "ftp://127.0.0.1:<port>/"
    std::string commands() const; // every command received, one per line
};
std::unique_ptr<FtpServer> startFtp(const std::string& user = "tester",
                                    const std::string& password = "secret");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// n bytes of a fixed, position-dependent pattern.
std::string patternBytes(size_t n);

} // namespace NetTest
