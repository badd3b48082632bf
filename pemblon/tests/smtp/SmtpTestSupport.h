#pragma once

// Loopback servers for the mail client tests. Each test starts its own and stops it when the
// object goes away; only 127.0.0.1 is ever used.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace SmtpTest {

// A fresh folder under the temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::vector<std::string> readLines(const std::string& path);
// The text with the value of its "Date: " line replaced by "*", for exact comparisons.
std::string withoutDate(const std::string& text);

// aiosmtpd run with /usr/bin/python3 (servers/smtp_sink.py). What it accepts is laid out in
// message folders, read through the helpers below.
class RealServer {
public:
    RealServer();
    ~RealServer();
    RealServer(const RealServer&) = delete;
    RealServer& operator=(const RealServer&) = delete;
    bool started() const { return m_port != 0; }
    unsigned short port() const { return m_port; }
    // Waits (at most 10 s) for the n-th accepted mail and gives its folder, "" when none came.
    std::string message(int n = 0) const;

private:
    TempDir m_dir;
    pid_t m_pid = -1;
    unsigned short m_port = 0;
};

// A server thread that plays a script, for the replies a real server does not give. It accepts
// one connection and records every byte the client sends.
class ScriptedServer {
public:
    struct Step {
        enum Kind { Send, ReadLine, ReadData, Pause, Close, Flood, Trickle } kind;
        std::string text; // Send, Flood, Trickle: the bytes
        int ms = 0;       // Pause: how long; Flood: for how long at most; Trickle: between bytes
    };
    static Step send(const std::string& bytes) { return {Step::Send, bytes, 0}; }
    static Step readLine() { return {Step::ReadLine, "", 0}; }
    static Step readData() { return {Step::ReadData, "", 0}; } // up to CR LF "." CR LF
    static Step pause(int ms) { return {Step::Pause, "", ms}; }
    static Step close() { return {Step::Close, "", 0}; }
    // The bytes over and over, for at most ms or until the client closes.
    static Step flood(const std::string& bytes, int ms) { return {Step::Flood, bytes, ms}; }
    // The bytes one at a time, ms apart, until they are sent or the client closes.
    static Step trickle(const std::string& bytes, int ms) { return {Step::Trickle, bytes, ms}; }
    // Greeting 220, then HELO answered with 250.
    static std::vector<Step> greeting();

    explicit ScriptedServer(std::vector<Step> script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;
    unsigned short port() const { return m_port; }
    // Everything received so far. After finish() everything the client sent before it closed.
    std::string received() const;
    // Waits for the script to end and the client to close (at most 10 s).
    void finish();

private:
    void run();
    bool readUntil(int fd, const std::string& end);
    bool stopped() const;

    std::vector<Step> m_script;
    int m_listen = -1;
    unsigned short m_port = 0;
    bool m_stop = false;
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace SmtpTest
