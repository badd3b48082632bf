#include "pemblon/net/NetHandle.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include "pemblon/net/FTPHandle.h"
#include "pemblon/net/HTTPHandle.h"
#include "pemblon/net/NetEvent.h"
#include "pemblon/tests/net/CurlOptionLog.h"
#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"

using NetTest::narrow;
using NetTest::RecordingListener;
using PBN::Net::NetEvent;
using PBN::Net::NetHandle;
using PBN::Strings::ostring;

namespace {

// The least a subclass does: a GET of base URL + path into the body buffer or a stream.
class ProbeHandle : public NetHandle {
public:
    using NetHandle::NetHandle;

    bool get(const std::string& path, wxOutputStream* out = nullptr) {
        if (!m_curl)
            return false;
        setCurlHandleToDefaults();
        return transfer(path, out);
    }
    // Applies the defaults now; the transfer follows with transfer().
    void defaults() { setCurlHandleToDefaults(); }
    bool transfer(const std::string& path, wxOutputStream* out = nullptr) {
        m_requestURL = getBaseURL() + ostring(path.c_str());
        setTextOption(CURLOPT_URL, m_requestURL.str());
        if (out) {
            setOption(CURLOPT_WRITEFUNCTION, &PBN::Net::streamWriteCallback);
            setOption(CURLOPT_WRITEDATA, static_cast<void*>(out));
        } else {
            setOption(CURLOPT_WRITEFUNCTION, &PBN::Net::bufferWriteCallback);
            setOption(CURLOPT_WRITEDATA, static_cast<void*>(&m_bodyBuffer));
        }
        const bool ok = perform();
        if (ok)
            readResponseCode();
        return ok;
    }
    CURL* easy() const { return m_curl; }
};

// Accepts connections on 127.0.0.1 and never says a word: a server that hangs.
class SilentServer {
public:
    SilentServer() {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            listen(m_listen, 8) == 0 && getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd p{m_listen, POLLIN, 0};
                if (poll(&p, 1, 50) == 1) {
                    const int c = accept(m_listen, nullptr, nullptr);
                    if (c >= 0)
                        m_accepted.push_back(c);
                }
            }
        });
    }
    ~SilentServer() {
        m_stop = true;
        m_thread.join();
        for (int c : m_accepted)
            ::close(c);
        ::close(m_listen);
    }
    int port() const { return m_port; }

private:
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::vector<int> m_accepted;
    std::thread m_thread;
};

// Handles whose limits a test can wait for: one second instead of 30 and 60.
template <typename Base> class ShortLimits : public Base {
public:
    using Base::Base;

protected:
    void setCurlHandleToDefaults() override {
        Base::setCurlHandleToDefaults();
        this->setOption(CURLOPT_CONNECTTIMEOUT, 1L);
        this->setOption(CURLOPT_LOW_SPEED_TIME, 1L);
    }
};

// A stream that refuses every write by throwing.
class ThrowingStream : public wxOutputStream {
protected:
    size_t OnSysWrite(const void*, size_t) override { throw std::runtime_error("disk gone"); }
};

class NetHandleServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = NetTest::startScriptedHttp().release(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static ostring base() { return ostring(server->url().c_str()); }
    static NetTest::ScriptedHttp* server;
};
NetTest::ScriptedHttp* NetHandleServer::server = nullptr;

std::string authorizationOf(const std::string& echo) {
    const size_t at = echo.find("Authorization: Basic ");
    if (at == std::string::npos)
        return "";
    const size_t end = echo.find("\r\n", at);
    return echo.substr(at + 21, end - at - 21);
}

} // namespace

TEST(NetEventTest, PercentagesAreMinusOneWhileTheTotalIsUnknown) {
    const NetEvent none;
    EXPECT_EQ(none.getDownloaded(), 0.0);
    EXPECT_EQ(none.getUploadTotal(), 0.0);
    EXPECT_EQ(none.getDownloadedPercent(), -1.0);
    EXPECT_EQ(none.getUploadedPercent(), -1.0);
    EXPECT_EQ(NetEvent(5.0, 0.0, 7.0, 0.0).getDownloadedPercent(), -1.0);
    EXPECT_EQ(NetEvent(5.0, 0.0, 7.0, 0.0).getUploadedPercent(), -1.0);
    EXPECT_DOUBLE_EQ(NetEvent(25.0, 200.0, 3.0, 4.0).getDownloadedPercent(), 12.5);
    EXPECT_DOUBLE_EQ(NetEvent(25.0, 200.0, 3.0, 4.0).getUploadedPercent(), 75.0);
    EXPECT_DOUBLE_EQ(NetEvent(10.0, -20.0).getDownloadedPercent(), -50.0);
    EXPECT_TRUE(std::isnan(NetEvent(1.0, std::numeric_limits<double>::quiet_NaN()).getDownloadedPercent()));
}

TEST(NetEventTest, ACopyIsANewEventWithTheSameAmounts) {
    NetEvent original(1.0, 2.0, 3.0, 4.0);
    original.cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const NetEvent copy(original);
    EXPECT_EQ(copy.getDownloaded(), 1.0);
    EXPECT_EQ(copy.getDownloadTotal(), 2.0);
    EXPECT_EQ(copy.getUploaded(), 3.0);
    EXPECT_EQ(copy.getUploadTotal(), 4.0);
    EXPECT_FALSE(copy.canceled());
    EXPECT_GT(copy.getTimestamp(), original.getTimestamp());

    NetEvent target;
    const wxDateTime stamp = target.getTimestamp();
    target = original;
    EXPECT_EQ(target.getUploadTotal(), 4.0);
    EXPECT_FALSE(target.canceled());
    EXPECT_EQ(target.getTimestamp(), stamp);
    target = target;
    EXPECT_EQ(target.getDownloaded(), 1.0);
}

TEST(NetHandleTest, ListenersAreKeptOnceInOrderAndRemovedByFirstMatch) {
    NetHandle handle;
    RecordingListener a, b;
    handle.addListener(&a);
    handle.addListener(&b);
    handle.addListener(&a);
    ASSERT_EQ(handle.getListenersCount(), 2u);
    EXPECT_EQ(handle.getListenerAt(0), &a);
    EXPECT_EQ(handle.getListenerAt(1), &b);
    RecordingListener stranger;
    handle.removeListener(&stranger);
    handle.removeListener(&a);
    ASSERT_EQ(handle.getListenersCount(), 1u);
    EXPECT_EQ(handle.getListenerAt(0), &b);
}

TEST(NetHandleTest, ErrorTextsAreKeyedByNumber) {
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(CURLE_OK)), "");
    for (int code : {4, 10, 12, 16, 20, 24, 29, 32, 40, 44, 46, 50, 57, 84})
        EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(code))), "") << code;
    int withText = 0;
    for (int code = 1; code <= 83; ++code)
        withText += NetHandle::getCURLErrorString(static_cast<CURLcode>(code)).size() > 0;
    EXPECT_EQ(withText, 70);
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(14))),
              "CURLE_FTP_WEIRD_227_FORMAT: After having sent a PASV command to the server,\nit a replied a "
              "bad 277 line.");
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(51))),
              "CURLE_PEER_FAILED_VERIFICATION: The remote server's SSL certificate\nor SSH md5 fingerprint "
              "was deemed not OK.");
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(60))).rfind("CURLE_SSL_CACERT: ", 0),
              0u);
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(74))),
              "CURLE_TFTP_NOSUCHUSER: The TFTP serveur is not properly functioning.");
    EXPECT_EQ(narrow(NetHandle::getCURLErrorString(static_cast<CURLcode>(1))),
              "CURLE_UNSUPPORTED_PROTOCOL: The URL passed to libcurl used a protocol \nthat this libcurl "
              "does not support.");
}

TEST(NetHandleTest, UrlEncodingAndDatesGoThroughLibcurl) {
    EXPECT_EQ(narrow(NetHandle::getURLEncodedString(ostring("a b/c&d"))), "a%20b%2Fc%26d");
    EXPECT_EQ(narrow(NetHandle::getStringFromURLEncoded(ostring("a%20b%2Fc"))), "a b/c");
    EXPECT_EQ(narrow(NetHandle::getURLEncodedString(ostring(""))), "");
    const wxDateTime date = NetHandle::getDateFromString(ostring("Sun, 06 Nov 1994 08:49:37 GMT"));
    ASSERT_TRUE(date.IsValid());
    EXPECT_EQ(date.GetTicks(), 784111777);
    EXPECT_FALSE(NetHandle::getDateFromString(ostring("garbage")).IsValid());
    EXPECT_FALSE(NetHandle::getDateFromString(ostring("+1 day")).IsValid());
}

TEST(NetHandleTest, WithoutCurlHandleNothingIsSent) {
    ProbeHandle handle(ostring("http://127.0.0.1:1"));
    EXPECT_TRUE(handle.cleanupHandle());
    EXPECT_FALSE(handle.get("/"));
    EXPECT_TRUE(handle.resetHandle());
    EXPECT_TRUE(handle.initHandle());
    EXPECT_FALSE(handle.initHandle());
    EXPECT_TRUE(handle.reInitHandle());
}

TEST(NetHandleTest, RefusedConnectionFailsAndListenersStillGetEnd) {
    ProbeHandle handle(ostring(("http://127.0.0.1:" + std::to_string(NetTest::freePort())).c_str()));
    RecordingListener listener;
    handle.addListener(&listener);
    EXPECT_FALSE(handle.get("/"));
    EXPECT_EQ(handle.getCURLError(), CURLE_COULDNT_CONNECT);
    EXPECT_EQ(handle.getResponseCode(), -1);
    EXPECT_GT(handle.getErrorString().size(), 0u);
    ASSERT_FALSE(listener.calls.empty());
    EXPECT_EQ(listener.calls.front(), "begin");
    EXPECT_EQ(listener.calls.back(), "end");
}

TEST_F(NetHandleServer, CredentialsAreSentAsBasicAuthenticationWhenEitherIsSet) {
    ProbeHandle handle(base());
    ASSERT_TRUE(handle.get("/echo"));
    EXPECT_EQ(authorizationOf(narrow(handle.getResponseBody())), "");
    handle.setUsername(ostring("user"));
    ASSERT_TRUE(handle.get("/echo"));
    EXPECT_EQ(authorizationOf(narrow(handle.getResponseBody())), "dXNlcjo="); // "user:"
    handle.setUsername(ostring(""));
    handle.setPassword(ostring("pass"));
    ASSERT_TRUE(handle.get("/echo"));
    EXPECT_EQ(authorizationOf(narrow(handle.getResponseBody())), "OnBhc3M="); // ":pass"
}

TEST_F(NetHandleServer, CredentialsAndUrlEncodingUseUtf8WhateverTheCharacters) {
    ProbeHandle handle(base());
    const auto sentUser = [&](const ostring& user) {
        handle.setUsername(user);
        return handle.get("/echo") ? authorizationOf(narrow(handle.getResponseBody())) : "failed";
    };
    EXPECT_EQ(sentUser(ostring(L"snow\x2603")), "c25vd+KYgzo="); // "snow☃:"
    // Whether CP1252 could hold the name or not, and narrow (CP1252) or wide.
    EXPECT_EQ(sentUser(ostring(L"\x0160imon")), "xaBpbW9uOg==");           // "Šimon:"
    EXPECT_EQ(sentUser(ostring("\x8Aimon")), "xaBpbW9uOg==");              // "Šimon:"
    EXPECT_EQ(sentUser(ostring(L"\x0160imon\x2603")), "xaBpbW9u4piDOg=="); // "Šimon☃:"
    EXPECT_EQ(sentUser(ostring(L"caf\x00E9")), "Y2Fmw6k6");                // "café:"
    EXPECT_EQ(narrow(NetHandle::getURLEncodedString(ostring(L"a \x2603"))), "a%20%E2%98%83");
    EXPECT_EQ(NetHandle::getURLEncodedString(ostring(L"caf\x00E9")), ostring("caf%C3%A9"));
    EXPECT_EQ(NetHandle::getURLEncodedString(ostring("caf\xE9")), ostring("caf%C3%A9"));
    EXPECT_EQ(NetHandle::getStringFromURLEncoded(ostring("caf%C3%A9%E2%98%83")), ostring(L"caf\x00E9\x2603"));
    EXPECT_EQ(NetHandle::getStringFromURLEncoded(ostring("caf%E9")), ostring(L"caf\x00E9"));
}

TEST_F(NetHandleServer, PortSettingOverridesTheUrlsPort) {
    ProbeHandle handle(ostring("http://127.0.0.1"));
    handle.setPort(server->port);
    EXPECT_TRUE(handle.get("/status/200"));
    EXPECT_EQ(handle.getResponseCode(), 200);
    EXPECT_NE(narrow(handle.getResponseHeader()).find("HTTP/1.1 200"), std::string::npos);
}

TEST_F(NetHandleServer, ProgressReachesOnlyListenersRegisteredWhenDefaultsWereApplied) {
    ProbeHandle handle(base());
    RecordingListener early, late;
    handle.addListener(&early);
    handle.defaults();
    handle.addListener(&late);
    ASSERT_TRUE(handle.transfer("/bytes/300000"));
    EXPECT_GT(early.count("progress"), 0);
    EXPECT_EQ(early.lastDownloaded, 300000.0);
    // Both see one event object per report.
    EXPECT_EQ(late.count("progress"), early.count("progress"));
    ASSERT_FALSE(late.events.empty());
    ASSERT_FALSE(early.events.empty());
    EXPECT_EQ(late.events.back(), early.events.back());

    RecordingListener afterDefaults;
    ProbeHandle quiet(base());
    quiet.defaults();
    quiet.addListener(&afterDefaults);
    ASSERT_TRUE(quiet.transfer("/bytes/1000"));
    EXPECT_EQ(afterDefaults.calls, (std::vector<std::string>{"begin", "end"}));
}

TEST_F(NetHandleServer, AListenerRemovingItselfMakesNoOtherMissTheNotification) {
    ProbeHandle handle(base());
    RecordingListener leaving, next;
    leaving.removeFromOnBegin = &handle;
    handle.addListener(&leaving);
    handle.addListener(&next);
    ASSERT_TRUE(handle.get("/empty"));
    EXPECT_EQ(next.count("begin"), 1);
    EXPECT_EQ(next.count("end"), 1);
    EXPECT_EQ(leaving.count("end"), 0);
}

TEST_F(NetHandleServer, ExceptionsFromCallbacksLeavePerformAfterTheEnd) {
    ProbeHandle handle(base());
    RecordingListener failing;
    failing.throwOnProgress = true;
    handle.addListener(&failing);
    EXPECT_THROW(handle.get("/bytes/100000"), std::runtime_error);
    EXPECT_EQ(handle.getCURLError(), CURLE_ABORTED_BY_CALLBACK);
    ASSERT_FALSE(failing.calls.empty());
    EXPECT_EQ(failing.calls.back(), "end");

    ProbeHandle writer(base());
    ThrowingStream broken;
    EXPECT_THROW(writer.get("/bytes/1000", &broken), std::runtime_error);
    EXPECT_EQ(writer.getCURLError(), CURLE_WRITE_ERROR);
    // The next transfer runs normally.
    EXPECT_TRUE(writer.get("/status/200"));
}

TEST_F(NetHandleServer, BodyAndHeaderReadAsLatin1WhenNotUtf8) {
    ProbeHandle handle(base());
    ASSERT_TRUE(handle.get("/latin1"));
    EXPECT_EQ(handle.getResponseBody().wstr(), L"Caf\u00e9 ok");
    EXPECT_NE(handle.getResponseHeader().wstr().find(L"X-Name: Caf\u00e9"), std::wstring::npos);
    wxMemoryOutputStream out;
    ASSERT_TRUE(handle.get("/latin1", &out));
    EXPECT_EQ(out.GetLength(), 7);
    EXPECT_EQ(narrow(handle.getResponseBody()), "");
}

TEST_F(NetHandleServer, VerboseLogGrowsAndIsAppendedOnEachRead) {
    ProbeHandle handle(base());
    ostring log;
    EXPECT_FALSE(handle.getVerboseString(log));
    handle.setVerbose(true);
    ASSERT_TRUE(handle.get("/status/200"));
    ASSERT_TRUE(handle.getVerboseString(log));
    const std::string once = narrow(log);
    EXPECT_NE(once.find("Header out: GET /status/200 HTTP/1.1"), std::string::npos);
    EXPECT_NE(once.find("Header in: HTTP/1.1 200"), std::string::npos);
    ASSERT_TRUE(handle.getVerboseString(log));
    EXPECT_EQ(narrow(log), once + once);
    wxMemoryOutputStream out;
    EXPECT_TRUE(handle.getVerboseStream(out));
    EXPECT_EQ(static_cast<size_t>(out.GetLength()), once.size());
}

TEST(NetHandleTlsTest, HttpsVerifiesThePeerCertificate) {
    auto server = NetTest::startScriptedHttp(true);
    ProbeHandle handle(ostring(server->url().c_str()));
    EXPECT_FALSE(handle.get("/status/200"));
    EXPECT_EQ(static_cast<int>(handle.getCURLError()), 60);
}

TEST(NetHandleDefaultsTest, EveryTransferIsBoundedByAConnectTimeOutAndALowSpeedLimit) {
    ProbeHandle handle;
    NetTest::CurlOptionLog log(handle.easy());
    handle.defaults();
    EXPECT_EQ(log.last(CURLOPT_CONNECTTIMEOUT), 30L);
    EXPECT_EQ(log.last(CURLOPT_LOW_SPEED_LIMIT), 1L);
    EXPECT_EQ(log.last(CURLOPT_LOW_SPEED_TIME), 60L);
}

TEST(NetHandleDefaultsTest, PortZeroIsPassedAndMinusOneIsNot) {
    ProbeHandle handle;
    NetTest::CurlOptionLog log(handle.easy());
    handle.defaults();
    EXPECT_FALSE(log.last(CURLOPT_PORT).has_value());
    handle.setPort(0);
    handle.defaults();
    EXPECT_EQ(log.last(CURLOPT_PORT), 0L);
    handle.setProxyPort(0);
    handle.useProxy(true);
    handle.defaults();
    EXPECT_EQ(log.last(CURLOPT_PROXYPORT), 0L);
}

TEST(NetHandleDefaultsTest, AServerThatSaysNothingEndsTheTransferWithATimeOut) {
    SilentServer silent;
    ASSERT_NE(silent.port(), 0);
    const ostring base(("127.0.0.1:" + std::to_string(silent.port())).c_str());
    const auto started = std::chrono::steady_clock::now();
    ShortLimits<PBN::Net::HTTPHandle> http(ostring("http://") + base);
    wxMemoryOutputStream body;
    EXPECT_FALSE(http.doGET(body, ostring("/")));
    EXPECT_EQ(http.getCURLError(), CURLE_OPERATION_TIMEDOUT);
    ShortLimits<PBN::Net::FTPHandle> ftp(ostring("ftp://") + base + ostring("/"));
    char* data = nullptr;
    EXPECT_EQ(ftp.doGET(data, ostring("file.bin")), 0u);
    EXPECT_EQ(ftp.getCURLError(), CURLE_OPERATION_TIMEDOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
}

TEST_F(NetHandleServer, AStalledBodyEndsWithATimeOut) {
    ShortLimits<PBN::Net::HTTPHandle> handle(base());
    wxMemoryOutputStream body;
    EXPECT_FALSE(handle.doGET(body, ostring("/stall")));
    EXPECT_EQ(handle.getCURLError(), CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(body.GetLength(), 10);
}
