#include "pemblon/net/HTTPHandle.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <wx/mstream.h>
#include <wx/wfstream.h>

#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"
#include "platform/common/tests/SameBytes.h"

using NetTest::narrow;
using PBN::Net::HTTPHandle;
using PBN::Strings::ostring;
using zeko::test::sameBytes;

namespace {

ostring text(const std::string& s) {
    return ostring(s.c_str());
}

// Reaches the protected parts; sets a short time-out on the easy handle like a caller would.
class TestHTTPHandle : public HTTPHandle {
public:
    using HTTPHandle::HTTPHandle;
    long timeoutMs = 0;

    std::vector<std::string> customLines() const {
        std::vector<std::string> lines;
        curl_slist* list = appendCustomHeaders(nullptr);
        for (curl_slist* item = list; item; item = item->next)
            lines.emplace_back(item->data);
        curl_slist_free_all(list);
        return lines;
    }
    size_t pendingCustomHeaderLines() const { return m_customHeaders.GetCount(); }

protected:
    void setCurlHandleToDefaults() override {
        HTTPHandle::setCurlHandleToDefaults();
        if (timeoutMs > 0)
            curl_easy_setopt(m_curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    }
};

// A source whose length nobody knows.
class UnsizedStream : public wxInputStream {
protected:
    size_t OnSysRead(void*, size_t) override {
        m_lasterror = wxSTREAM_EOF;
        return 0;
    }
};

class HTTPHandleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = NetTest::startScriptedHttp().release(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { handle = std::make_unique<TestHTTPHandle>(text(server->url())); }
    std::string body() const { return narrow(handle->getResponseBody()); }

    static NetTest::ScriptedHttp* server;
    std::unique_ptr<TestHTTPHandle> handle;
};
NetTest::ScriptedHttp* HTTPHandleTest::server = nullptr;

} // namespace

TEST_F(HTTPHandleTest, EachMethodSendsItsRequestLine) {
    ASSERT_TRUE(handle->doOPTIONS(text("/echo/o")));
    EXPECT_EQ(body().rfind("OPTIONS /echo/o HTTP/1.1\r\n", 0), 0u);
    ASSERT_TRUE(handle->doHEAD(text("/echo/h")));
    EXPECT_EQ(body(), "");
    EXPECT_NE(narrow(handle->getResponseHeader()).find("HTTP/1.1 200"), std::string::npos);
    ASSERT_TRUE(handle->doDELETE(text("/echo/d")));
    EXPECT_EQ(body().rfind("DELETE /echo/d HTTP/1.1\r\n", 0), 0u);
    ASSERT_TRUE(handle->doTRACE(text("/echo/t")));
    EXPECT_EQ(body().rfind("TRACE /echo/t HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(body().find("\r\nContent-type: message/http\r\n"), std::string::npos);
    EXPECT_EQ(handle->pendingCustomHeaderLines(), 0u);
    wxMemoryOutputStream out;
    ASSERT_TRUE(handle->doGET(out, text("/echo/g")));
    std::string got(static_cast<size_t>(out.GetLength()), '\0');
    out.CopyTo(got.data(), got.size());
    EXPECT_EQ(got.rfind("GET /echo/g HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(got.find("message/http"), std::string::npos);
    EXPECT_NE(server->requests().find("=== HEAD /echo/h\r\n"), std::string::npos);
}

TEST_F(HTTPHandleTest, BodiesFromMemoryStreamAndForm) {
    const std::string payload = NetTest::patternBytes(5000);
    ASSERT_TRUE(handle->doPOST(payload.data(), static_cast<unsigned>(payload.size()), text("/echo")));
    EXPECT_NE(body().find("Content-Length: 5000\r\n"), std::string::npos);
    EXPECT_EQ(body().rfind("POST /echo HTTP/1.1\r\n", 0), 0u);

    wxMemoryInputStream in("stream body", 11);
    ASSERT_TRUE(handle->doPUT(in, text("/echo/put")));
    EXPECT_EQ(body().rfind("PUT /echo/put HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(body().substr(body().size() - 11), "stream body");

    const int before = server->requestCount();
    EXPECT_FALSE(handle->doPOST(text("/echo")));
    EXPECT_EQ(server->requestCount(), before);
    curl_forms first[] = {{CURLFORM_COPYCONTENTS, "one"}, {CURLFORM_END, nullptr}};
    curl_forms second[] = {{CURLFORM_COPYCONTENTS, "two"}, {CURLFORM_END, nullptr}};
    ASSERT_TRUE(handle->addForm(text("a"), first, true));
    ASSERT_TRUE(handle->addForm(text("b"), second, false));
    ASSERT_TRUE(handle->doPOST(text("/echo")));
    EXPECT_NE(body().find("multipart/form-data"), std::string::npos);
    EXPECT_NE(body().find("name=\"a\"\r\n\r\none\r\n"), std::string::npos);
    EXPECT_NE(body().find("name=\"b\"\r\n\r\ntwo\r\n"), std::string::npos);
    ASSERT_TRUE(handle->doPOST(text("/echo")));
    EXPECT_NE(body().find("name=\"a\""), std::string::npos);
    ASSERT_TRUE(handle->addForm(text("c"), second, true));
    ASSERT_TRUE(handle->doPOST(text("/echo")));
    EXPECT_EQ(body().find("name=\"a\""), std::string::npos);
    EXPECT_NE(body().find("name=\"c\""), std::string::npos);
}

TEST_F(HTTPHandleTest, StatusCodesDecideTheResult) {
    EXPECT_FALSE(handle->doGET(*std::make_unique<wxMemoryOutputStream>(), text("/status/404")));
    EXPECT_EQ(handle->getResponseCode(), 404);
    EXPECT_EQ(narrow(handle->getHttpStatus()),
              "The server has not found anything matching the requested address (URI) ( not found ).");
    EXPECT_TRUE(handle->doDELETE(text("/status/299")));
    EXPECT_FALSE(handle->doDELETE(text("/status/300")));
    EXPECT_TRUE(handle->doDELETE(text("/status/200")));

    EXPECT_FALSE(handle->doHEAD(text("/redirect")));
    EXPECT_EQ(narrow(handle->getHttpStatus()),
              "The requested resource resides temporarily under a different URI.\r\n/moved");
    EXPECT_FALSE(handle->doHEAD(text("/redirect-lower")));
    EXPECT_EQ(narrow(handle->getHttpStatus()),
              "The requested resource resides temporarily under a different URI.");

    EXPECT_EQ(narrow(HTTPHandle::getHttpStatus(307)), "Unknown HTTP error.");
    EXPECT_EQ(narrow(HTTPHandle::getHttpStatus(0)), "Unknown HTTP error.");
    EXPECT_EQ(narrow(HTTPHandle::getHttpStatus(417)),
              "The behavior expected fot the server is not supported.");

    HTTPHandle refused(text("http://127.0.0.1:" + std::to_string(NetTest::freePort())));
    EXPECT_FALSE(refused.doTRACE(text("/")));
    EXPECT_EQ(refused.getCURLError(), CURLE_COULDNT_CONNECT);
    EXPECT_FALSE(refused.doHEAD(text("/")));
    EXPECT_EQ(refused.getResponseCode(), -1);
    EXPECT_EQ(narrow(refused.getHttpStatus()), narrow(refused.getErrorString()));
    EXPECT_GT(refused.getHttpStatus().size(), 0u);
}

TEST_F(HTTPHandleTest, GetIntoMemoryEndsTheBlockWithZero) {
    char* data = reinterpret_cast<char*>(1);
    EXPECT_EQ(handle->doGET(data, text("/empty")), 0u);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], '\0');
    delete[] data;
    EXPECT_EQ(handle->doGET(data, text("/bytes/3000")), 3000u);
    EXPECT_EQ(std::string(data, 3000), NetTest::patternBytes(3000));
    EXPECT_EQ(data[3000], '\0');
    delete[] data;
    EXPECT_EQ(handle->doGET(data, text("/status/500")), 0u);
    EXPECT_EQ(data, nullptr);
}

TEST_F(HTTPHandleTest, StreamChecksComeBeforeAndAfterTheReset) {
    ASSERT_TRUE(handle->doDELETE(text("/status/201")));
    wxFFileOutputStream bad(wxS("/nonexistent/dir/file"), wxS("wb"));
    EXPECT_FALSE(handle->doGET(bad, text("/status/200")));
    EXPECT_EQ(handle->getResponseCode(), 201);
    UnsizedStream unsized;
    EXPECT_FALSE(handle->doPUT(unsized, text("/echo")));
    EXPECT_EQ(handle->getResponseCode(), -1);
    EXPECT_FALSE(handle->doPUT(text("/nonexistent/file"), text("/echo")));
}

TEST_F(HTTPHandleTest, CustomHeadersAreOnlyListedNotSentByRequests) {
    handle->addCustomHeader(text("X-A"), text("1"));
    handle->addCustomHeader(text("X-A"), text("2"));
    handle->addCustomHeader(text("x-a"), text("3"));
    EXPECT_EQ(handle->customLines(), (std::vector<std::string>{"X-A: 2", "x-a: 3"}));
    ASSERT_TRUE(handle->doGET(*std::make_unique<wxMemoryOutputStream>(), text("/echo")));
    EXPECT_EQ(server->requests().find("X-A: 2"), std::string::npos);
    handle->clearCustomHeaders();
    EXPECT_TRUE(handle->customLines().empty());
}

TEST_F(HTTPHandleTest, CookieJarIsWrittenOnlyWhenCookiesAreOn) {
    NetTest::TempDir dir;
    {
        HTTPHandle off(text(server->url()));
        off.setCookieFile(text(dir.file("off.txt")));
        ASSERT_TRUE(off.doHEAD(text("/cookie")));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("off.txt")));
    {
        HTTPHandle on(text(server->url()));
        on.useCookies(true);
        on.setCookieFile(text(dir.file("jar.txt")));
        ASSERT_TRUE(on.doHEAD(text("/cookie")));
    }
    EXPECT_NE(NetTest::readFile(dir.file("jar.txt")).find("flavour\toat"), std::string::npos);
}

TEST_F(HTTPHandleTest, StalledAndBrokenRepliesFail) {
    handle->timeoutMs = 500;
    wxMemoryOutputStream out;
    EXPECT_FALSE(handle->doGET(out, text("/stall")));
    EXPECT_EQ(handle->getCURLError(), CURLE_OPERATION_TIMEDOUT);
    wxMemoryOutputStream partial;
    EXPECT_FALSE(handle->doGET(partial, text("/close-mid")));
    EXPECT_EQ(handle->getCURLError(), CURLE_PARTIAL_FILE);
    EXPECT_EQ(partial.GetLength(), 10);
}

TEST(HTTPHandleWebDavTest, FilesRoundTripByteForByte) {
    auto server = NetTest::startLighttpd();
    NetTest::TempDir dir;
    HTTPHandle handle(text(server->url()));
    for (size_t size : {size_t(0), size_t(1), size_t(65537), size_t(64) << 20}) {
        const std::string name = "/f" + std::to_string(size) + ".bin";
        const std::string bytes = NetTest::patternBytes(size);
        NetTest::writeFile(dir.file("up.bin"), bytes);
        ASSERT_TRUE(handle.doPUT(text(dir.file("up.bin")), text(name)))
            << size << " " << handle.getResponseCode();
        EXPECT_TRUE(sameBytes(NetTest::readFile(server->root() + name), bytes)) << size;
        ASSERT_TRUE(handle.doGET(text(dir.file("down.bin")), text(name))) << size;
        EXPECT_TRUE(sameBytes(NetTest::readFile(dir.file("down.bin")), bytes)) << size;
        char* data = nullptr;
        EXPECT_EQ(handle.doGET(data, text(name)), size);
        EXPECT_TRUE(data && std::string(data, size) == bytes) << size;
        delete[] data;
    }
    // A file that cannot take the bytes fails the download, also when they are few enough to be
    // written only as the file is closed.
    EXPECT_FALSE(handle.doGET(text("/dev/full"), text("/f1.bin")));
    ASSERT_TRUE(handle.doDELETE(text("/f1.bin")));
    EXPECT_FALSE(std::filesystem::exists(server->root() + "/f1.bin"));
    EXPECT_FALSE(handle.doGET(text(dir.file("gone.bin")), text("/f1.bin")));
    EXPECT_EQ(handle.getResponseCode(), 404);
}

namespace {

// The process's peak of mapped memory, in kB.
long peakVirtualKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmPeak:", 0) == 0)
            return std::stol(line.substr(7));
    return -1;
}

} // namespace

TEST(HTTPHandleMemoryTest, AnAnnouncedLengthIsNotReservedBeyondABound) {
    auto server = NetTest::startScriptedHttp();
    PBN::Net::HTTPHandle handle(ostring(server->url().c_str()));
    const long before = peakVirtualKb();
    ASSERT_GT(before, 0);
    char* data = nullptr;
    EXPECT_EQ(handle.doGET(data, ostring("/huge-length")), 0u);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(handle.getCURLError(), CURLE_PARTIAL_FILE);
    // 3 GiB were announced, 10 bytes came.
    EXPECT_LT(peakVirtualKb() - before, 512L * 1024);

    // A body larger than what is reserved up front grows into one block, whole.
    const size_t size = (size_t(100) << 20) + 7;
    ASSERT_EQ(handle.doGET(data, ostring(("/bytes/" + std::to_string(size)).c_str())), size);
    EXPECT_TRUE(std::string(data, size) == NetTest::patternBytes(size));
    EXPECT_EQ(data[size], '\0');
    delete[] data;
}

// Paths and credentials reach lighttpd as UTF-8 whatever characters they hold, as curl sends
// them: a name CP1252 could hold finds the same UTF-8 file as one it could not.
TEST(HTTPHandleWebDavTest, PathsAndCredentialsGoAsUtf8) {
    auto server = NetTest::startLighttpd();
    NetTest::writeFile(server->root() + "/caf\xC3\xA9.txt", "latin");
    NetTest::writeFile(server->root() + "/caf\xC3\xA9\xE2\x98\x83.txt", "snowman");
    std::filesystem::create_directories(server->root() + "/private");
    NetTest::writeFile(server->root() + "/private/s.txt", "secret");
    HTTPHandle handle(text(server->url()));
    const auto get = [&](const ostring& path) {
        wxMemoryOutputStream out;
        const bool ok = handle.doGET(out, path);
        std::string bytes(out.GetSize(), '\0');
        out.CopyTo(bytes.data(), bytes.size());
        return std::to_string(handle.getResponseCode()) + (ok ? " " : " failed ") + bytes;
    };
    EXPECT_EQ(get(ostring(L"/caf\x00E9.txt")), "200 latin");
    EXPECT_EQ(get(ostring("/caf\xE9.txt")), "200 latin") << "narrow text is CP1252";
    EXPECT_EQ(get(ostring(L"/caf\x00E9\x2603.txt")), "200 snowman");

    EXPECT_EQ(get(ostring("/private/s.txt")).substr(0, 3), "401");
    for (const ostring& user : {ostring(L"\x0160imon"), ostring("\x8Aimon")}) {
        handle.setUsername(user);
        handle.setPassword(ostring(L"p\x00E4ss"));
        EXPECT_EQ(get(ostring("/private/s.txt")), "200 secret") << user.isUnicode();
    }
}

// No caller's text changes a request line or a header line: a URL, the credentials, the proxy
// settings and the texts of a form field that hold CR, LF or NUL are refused with a reason, and
// nothing reaches the server.
TEST_F(HTTPHandleTest, TextsThatWouldBreakARequestLineAreRefused) {
    const auto refused = [&](HTTPHandle& h, bool done, const std::string& what) {
        EXPECT_FALSE(done) << what;
        EXPECT_EQ(h.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT) << what;
        EXPECT_EQ(h.getResponseCode(), -1) << what;
        EXPECT_EQ(narrow(h.getErrorString()).rfind("Refused before sending: ", 0), 0u) << what;
    };
    const int before = server->requestCount();
    refused(*handle, handle->doGET(text("/echo"), ostring(std::wstring(L"/echo\0/other", 12))), "NUL path");
    wxMemoryOutputStream out;
    refused(*handle, handle->doGET(out, ostring(L"/echo HTTP/1.1\r\nX-Injected: yes\r\n\r\nGET /x")),
            "CR LF path");
    HTTPHandle login(text(server->url()), ostring(L"user\r\nX-Injected: yes"), text("pw"));
    refused(login, login.doHEAD(text("/echo")), "user name");
    HTTPHandle password(text(server->url()), text("user"), ostring(std::wstring(L"pw\0more", 7)));
    refused(password, password.doHEAD(text("/echo")), "password");
    HTTPHandle proxied(text(server->url()));
    proxied.useProxy(true);
    proxied.setProxyHost(text(server->url()));
    proxied.setProxyUsername(ostring(L"p\nX-Injected: yes"));
    refused(proxied, proxied.doHEAD(text("/echo")), "proxy user name");

    curl_forms typed[] = {{CURLFORM_COPYCONTENTS, "one"},
                          {CURLFORM_CONTENTTYPE, "text/plain\r\nX-Injected: yes"},
                          {CURLFORM_END, nullptr}};
    refused(*handle, handle->addForm(text("a"), typed, true), "content type");
    curl_slist* lines = curl_slist_append(nullptr, "X-Part: a\r\nX-Injected: yes");
    curl_forms headed[] = {{CURLFORM_COPYCONTENTS, "one"},
                           {CURLFORM_CONTENTHEADER, reinterpret_cast<const char*>(lines)},
                           {CURLFORM_END, nullptr}};
    refused(*handle, handle->addForm(text("a"), headed, true), "part header");
    curl_forms plain[] = {{CURLFORM_COPYCONTENTS, "one"}, {CURLFORM_END, nullptr}};
    refused(*handle, handle->addForm(ostring(std::wstring(L"a\0b", 3)), plain, true), "field name");
    EXPECT_FALSE(handle->doPOST(text("/echo"))) << "no field was added";
    curl_slist_free_all(lines);
    EXPECT_EQ(server->requestCount(), before);
}
