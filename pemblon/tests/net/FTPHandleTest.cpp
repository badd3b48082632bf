#include "pemblon/net/FTPHandle.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"
#include "platform/common/tests/SameBytes.h"

using NetTest::narrow;
using PBN::Net::FTPHandle;
using PBN::Strings::ostring;
using zeko::test::sameBytes;

namespace fs = std::filesystem;

namespace {

ostring text(const std::string& s) {
    return ostring(s.c_str());
}

// Sends its command lists with every transfer, so that a download can end on a chosen reply.
class QuotingHandle : public FTPHandle {
public:
    using FTPHandle::FTPHandle;

protected:
    void setCurlHandleToDefaults() override {
        FTPHandle::setCurlHandleToDefaults();
        setCurlHandleQuoteOpts();
    }
};

class FTPHandleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = NetTest::startFtp().release(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        handle = std::make_unique<FTPHandle>(text(server->url()), text("tester"), text("secret"));
        NetTest::writeFile(server->dir.file("commands.log"), "");
    }
    static std::string root(const std::string& name) { return server->root() + "/" + name; }
    static std::string commands() { return server->commands(); }

    static NetTest::FtpServer* server;
    std::unique_ptr<FTPHandle> handle;
};
NetTest::FtpServer* FTPHandleTest::server = nullptr;

} // namespace

TEST_F(FTPHandleTest, TextModeIsTheDefaultAndBinaryRoundTripsExactly) {
    EXPECT_TRUE(handle->isAscii());
    ASSERT_TRUE(handle->doPUT("a\nb\n", 4, text("text.txt")));
    EXPECT_NE(commands().find("TYPE A\n"), std::string::npos);
    EXPECT_EQ(commands().find("TYPE I\n"), std::string::npos);

    handle->setToBinary();
    NetTest::TempDir dir;
    for (size_t size : {size_t(0), size_t(1), size_t(65537), size_t(16) << 20}) {
        const std::string name = "bin" + std::to_string(size);
        const std::string bytes = NetTest::patternBytes(size);
        NetTest::writeFile(dir.file("up"), bytes);
        ASSERT_TRUE(handle->doPUT(text(dir.file("up")), text(name))) << size << " " << handle->getCURLError();
        EXPECT_TRUE(sameBytes(NetTest::readFile(root(name)), bytes)) << size;
        ASSERT_TRUE(handle->doGET(text(dir.file("down")), text(name))) << size;
        EXPECT_TRUE(sameBytes(NetTest::readFile(dir.file("down")), bytes)) << size;
        char* data = nullptr;
        EXPECT_EQ(handle->doGET(data, text(name)), size);
        EXPECT_TRUE(data && std::string(data, size) == bytes);
        delete[] data;
    }
    EXPECT_NE(commands().find("TYPE I\n"), std::string::npos);
}

TEST_F(FTPHandleTest, UploadsCreateMissingDirectoriesOnlyWhenAsked) {
    ASSERT_TRUE(handle->doPUT("x", 1, text("deep/er/x.txt")));
    EXPECT_TRUE(fs::exists(root("deep/er/x.txt")));
    handle->createMissingDirs(false);
    EXPECT_FALSE(handle->doPUT("x", 1, text("none/x.txt")));
    EXPECT_EQ(handle->getResponseCode(), -1);
    EXPECT_FALSE(fs::exists(root("none")));

    handle->appendOnUpload(true);
    ASSERT_TRUE(handle->doPUT("y", 1, text("deep/er/x.txt")));
    EXPECT_EQ(NetTest::readFile(root("deep/er/x.txt")), "xy");
}

TEST_F(FTPHandleTest, DirectoriesListingsAndInformation) {
    ASSERT_TRUE(handle->doMKDIR(text("m/n")));
    EXPECT_TRUE(fs::is_directory(root("m/n")));
    ASSERT_TRUE(handle->doMKDIR(text("m/o/")));
    EXPECT_TRUE(fs::is_directory(root("m/o")));
    NetTest::writeFile(root("m/file.txt"), "twelve bytes");
    ASSERT_TRUE(handle->doNLST(text("m/")));
    const std::string names = narrow(handle->getResponseBody());
    // Text mode: libcurl turns the server's CR LF into LF.
    EXPECT_NE(names.find("file.txt\n"), std::string::npos);
    EXPECT_NE(names.find("n\n"), std::string::npos);
    ASSERT_TRUE(handle->doLIST(text("m/")));
    EXPECT_NE(narrow(handle->getResponseBody()).find(" file.txt\n"), std::string::npos);
    handle->setToBinary();
    ASSERT_TRUE(handle->doINFO(text("m/file.txt"))) << handle->getResponseCode();
    EXPECT_NE(narrow(handle->getResponseBody()).find("Content-Length: 12\r\n"), std::string::npos);
    EXPECT_FALSE(handle->doINFO(text("m/missing.txt")));
}

TEST_F(FTPHandleTest, DeleteRemoveAndRenameActInsideTheDirectory) {
    fs::create_directories(root("d/sub"));
    fs::create_directories(root("d/sub2"));
    NetTest::writeFile(root("d/a.txt"), "a");
    NetTest::writeFile(root("d/my file.txt"), "b");
    NetTest::writeFile(root("d/old.txt"), "c");

    ASSERT_TRUE(handle->appendPostQuote(text("NOOP"), true));
    ASSERT_TRUE(handle->doDELETE(text("d/a.txt"))) << handle->getCURLError();
    EXPECT_FALSE(fs::exists(root("d/a.txt")));
    EXPECT_NE(commands().find("DELE a.txt\n"), std::string::npos);
    EXPECT_EQ(commands().find("NOOP"), std::string::npos);

    ASSERT_TRUE(handle->doDELETE(text("d/my%20file.txt")));
    EXPECT_FALSE(fs::exists(root("d/my file.txt")));
    EXPECT_FALSE(handle->doDELETE(text("d/a.txt")));
    EXPECT_EQ(static_cast<int>(handle->getCURLError()), 21);

    ASSERT_TRUE(handle->doRMDIR(text("d/sub")));
    EXPECT_FALSE(fs::exists(root("d/sub")));
    ASSERT_TRUE(handle->doDELETE(text("d/sub2/")));
    EXPECT_FALSE(fs::exists(root("d/sub2")));
    EXPECT_NE(commands().find("RMD sub\n"), std::string::npos);
    EXPECT_NE(commands().find("RMD sub2\n"), std::string::npos);

    ASSERT_TRUE(handle->doRENAME(text("new.txt"), text("d/old.txt")));
    EXPECT_EQ(NetTest::readFile(root("d/new.txt")), "c");
    EXPECT_NE(commands().find("RNFR old.txt\nRNTO new.txt\n"), std::string::npos);
    EXPECT_FALSE(handle->doRENAME(text("n"), text("d/")));
}

TEST_F(FTPHandleTest, CommandListsTravelOnlyWithDirectoryCommands) {
    EXPECT_FALSE(handle->setQuoteList({}));
    ASSERT_TRUE(handle->setQuoteList({text("NOOP")}));
    NetTest::writeFile(root("q.txt"), "q");
    wxMemoryOutputStream out;
    ASSERT_TRUE(handle->doGET(out, text("q.txt")));
    EXPECT_EQ(commands().find("NOOP"), std::string::npos);
    ASSERT_TRUE(handle->appendPreQuote(text("STAT"), false));
    ASSERT_TRUE(handle->doDELETE(text("q.txt")));
    EXPECT_NE(commands().find("NOOP\n"), std::string::npos);
    EXPECT_NE(commands().find("STAT\n"), std::string::npos);
    // All three lists are gone after the delete.
    NetTest::writeFile(server->dir.file("commands.log"), "");
    NetTest::writeFile(root("r.txt"), "r");
    ASSERT_TRUE(handle->doDELETE(text("r.txt")));
    EXPECT_EQ(commands().find("NOOP"), std::string::npos);
}

TEST(FTPHandleRefusedTest, RefusedConnectionFails) {
    FTPHandle handle(text("ftp://127.0.0.1:" + std::to_string(NetTest::freePort()) + "/"));
    wxMemoryOutputStream out;
    EXPECT_FALSE(handle.doGET(out, text("x")));
    EXPECT_EQ(handle.getCURLError(), CURLE_COULDNT_CONNECT);
}

TEST_F(FTPHandleTest, A299ReplyFailsADownloadButNotAnUpload) {
    NetTest::writeFile(root("reply.txt"), "payload");
    QuotingHandle quoting(text(server->url()), text("tester"), text("secret"));
    quoting.setToBinary();
    wxMemoryOutputStream out;
    for (const auto& [code, downloaded] : {std::pair{298, true}, std::pair{299, false}}) {
        SCOPED_TRACE(code);
        quoting.setPostQuoteList({text("REPLY" + std::to_string(code))});
        EXPECT_EQ(quoting.doGET(out, text("reply.txt")), downloaded);
        EXPECT_EQ(quoting.getResponseCode(), code);
        EXPECT_EQ(quoting.getCURLError(), CURLE_OK);
    }
    quoting.setPostQuoteList({text("REPLY299")});
    EXPECT_TRUE(quoting.doPUT("up", 2, text("reply-up.txt")));
    EXPECT_EQ(quoting.getResponseCode(), 299);
}

// Paths, entry names in commands and the login reach pyftpdlib as UTF-8, whatever characters
// they hold and whether the text is narrow (CP1252) or wide.
TEST(FTPHandleUtf8Test, PathsNamesAndLoginGoAsUtf8) {
    auto server = NetTest::startFtp(NetTest::kPrivateUser, NetTest::kPrivatePassword);
    const std::string cafe = "caf\xC3\xA9.txt";
    NetTest::writeFile(server->root() + "/" + cafe, "latin");
    NetTest::writeFile(server->root() + "/caf\xC3\xA9\xE2\x98\x83.txt", "snowman");
    for (const ostring& user : {ostring(L"\x0160imon"), ostring("\x8Aimon")}) {
        FTPHandle handle(text(server->url()), user, ostring(L"p\x00E4ss"));
        handle.setToBinary();
        const auto get = [&](const ostring& path) {
            wxMemoryOutputStream out;
            if (!handle.doGET(out, path))
                return "failed " + std::to_string(handle.getCURLError());
            std::string bytes(out.GetSize(), '\0');
            out.CopyTo(bytes.data(), bytes.size());
            return bytes;
        };
        SCOPED_TRACE(user.isUnicode());
        EXPECT_EQ(get(ostring(L"caf\x00E9.txt")), "latin");
        EXPECT_EQ(get(ostring("caf\xE9.txt")), "latin");
        EXPECT_EQ(get(ostring(L"caf\x00E9\x2603.txt")), "snowman");
    }
    FTPHandle handle(text(server->url()), ostring(L"\x0160imon"), ostring(L"p\x00E4ss"));
    ASSERT_TRUE(handle.doRENAME(ostring(L"\x2603.txt"), ostring(L"caf\x00E9.txt")));
    EXPECT_EQ(NetTest::readFile(server->root() + "/\xE2\x98\x83.txt"), "latin");
    ASSERT_TRUE(handle.doDELETE(ostring("caf%C3%A9%E2%98%83.txt")));
    EXPECT_FALSE(fs::exists(server->root() + "/caf\xC3\xA9\xE2\x98\x83.txt"));
}

// A name that would end its command and start another (plain or percent-encoded, CR, LF or
// NUL) is refused with a reason, and no command of the call reaches the server.
TEST_F(FTPHandleTest, NamesThatWouldCarryAnotherCommandAreRefused) {
    fs::create_directories(root("inj/sub"));
    NetTest::writeFile(root("inj/victim.txt"), "v");
    NetTest::writeFile(root("inj/keep.txt"), "k");
    const auto refused = [&](bool done, const std::string& what) {
        EXPECT_FALSE(done) << what;
        EXPECT_EQ(handle->getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT) << what;
        EXPECT_EQ(narrow(handle->getErrorString()).rfind("Refused before sending: ", 0), 0u) << what;
    };
    NetTest::writeFile(server->dir.file("commands.log"), "");
    refused(handle->doDELETE(text("inj/nothere%0D%0ADELE%20victim.txt")), "encoded CR LF");
    refused(handle->doDELETE(text("inj/nothere%0ADELE%20victim.txt")), "encoded LF");
    refused(handle->doDELETE(text("inj/keep.txt%00")), "encoded NUL");
    refused(handle->doDELETE(ostring(L"inj/nothere\r\nDELE victim.txt")), "plain CR LF");
    refused(handle->doRMDIR(text("inj/nothere%0D%0ADELE%20victim.txt")), "directory");
    refused(handle->doDELETE(text("inj/sub%0D%0ADELE%20victim.txt/")), "directory by its slash");
    refused(handle->doRENAME(ostring(L"zz.txt\r\nDELE victim.txt"), text("inj/keep.txt")), "new name");
    refused(handle->doRENAME(text("zz.txt"), text("inj/keep.txt%0D%0ADELE%20victim.txt")), "old name");
    EXPECT_TRUE(fs::exists(root("inj/victim.txt")));
    EXPECT_TRUE(fs::exists(root("inj/keep.txt")));
    EXPECT_TRUE(fs::exists(root("inj/sub")));
    EXPECT_EQ(commands(), "");

    // Caller's own commands are refused the same way.
    refused(handle->appendPostQuote(ostring(L"NOOP\r\nDELE victim.txt"), true), "appended command");
    refused(handle->setPreQuoteList({text("NOOP"), ostring(L"NOOP\nDELE victim.txt")}), "listed command");
    ASSERT_TRUE(handle->doDELETE(text("inj/keep.txt")));
    EXPECT_EQ(commands().find("victim"), std::string::npos);
    EXPECT_TRUE(fs::exists(root("inj/victim.txt")));
    EXPECT_FALSE(fs::exists(root("inj/keep.txt")));

    // The login goes into USER and PASS.
    FTPHandle login(text(server->url()), ostring(L"tester\r\nDELE inj/victim.txt"), text("secret"));
    wxMemoryOutputStream out;
    EXPECT_FALSE(login.doGET(out, text("inj/victim.txt")));
    EXPECT_EQ(login.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
    EXPECT_TRUE(fs::exists(root("inj/victim.txt")));
}

// A PORT parameter or credentials written into the URL that would end their command are refused
// before anything is sent, each refusal saying what held what.
TEST_F(FTPHandleTest, PortParameterAndUrlCredentialsAreRefusedWithTheirReason) {
    NetTest::writeFile(root("port.txt"), "p");
    wxMemoryOutputStream out;
    const auto reason = [&](FTPHandle& h, bool done) {
        EXPECT_FALSE(done);
        EXPECT_EQ(h.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
        EXPECT_EQ(h.getResponseCode(), -1);
        return narrow(h.getErrorString());
    };
    handle->usePortOption(true);
    handle->setPortParam(ostring(std::wstring(L"127.0.0.1\0junk", 14)));
    EXPECT_EQ(reason(*handle, handle->doGET(out, text("port.txt"))),
              "Refused before sending: the PORT parameter holds a NUL, which would cut its line short");
    handle->setPortParam(ostring(L"127.0.0.1\r\nDELE port.txt"));
    EXPECT_EQ(reason(*handle, handle->doGET(out, text("port.txt"))),
              "Refused before sending: the PORT parameter holds a line break (CR), which would start a line "
              "of its own");
    handle->usePortOption(false);

    const std::string url = server->url();
    const std::string scheme = "ftp://";
    FTPHandle encoded(text(scheme + "tester%0D%0ADELE%20port.txt:secret@" + url.substr(scheme.size())));
    EXPECT_EQ(reason(encoded, encoded.doGET(out, text("port.txt"))),
              "Refused before sending: the user name or password in the URL holds a line break (CR), which "
              "would start a line of its own");
    FTPHandle path(text(url));
    EXPECT_EQ(
        reason(path, path.doGET(out, text("port.txt%0ADELE%20port.txt"))),
        "Refused before sending: the path in the URL holds a line break (LF), which would start a line of "
        "its own");
    EXPECT_EQ(commands(), "");
    EXPECT_TRUE(fs::exists(root("port.txt")));
}
