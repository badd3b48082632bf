#include "pemblon/net/SMTPSession.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "SmtpTestSupport.h"
#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Exception.h"
#include "pemblon/net/SMTPException.h"

using PBN::Exception;
using PBN::Net::SMTPException;
using PBN::Net::SMTPMessage;
using PBN::Net::SMTPSession;
using PBN::Strings::ostring;
using SmtpTest::ScriptedServer;
using Steps = std::vector<ScriptedServer::Step>;

namespace {

// "SMTPException: <text>", "Exception: <text>" or what else happened.
template <class F> std::string outcome(F f) {
    try {
        f();
    } catch (const SMTPException& e) {
        return "SMTPException: " + e.getMessage().str();
    } catch (const Exception& e) {
        return std::string(e.getSeverity() == Exception::SEVERE ? "" : "(not SEVERE) ") +
               "Exception: " + e.getMessage().str();
    } catch (...) {
        return "another exception";
    }
    return "nothing thrown";
}

Steps operator+(Steps a, const Steps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Steps ok250 = {ScriptedServer::readLine(), ScriptedServer::send("250 ok\r\n")};
const Steps quit221 = {ScriptedServer::readLine(), ScriptedServer::send("221 bye\r\n")};
// MAIL FROM and one RCPT TO accepted, DATA answered 354, the data read.
const Steps toData =
    ok250 + ok250 +
    Steps{ScriptedServer::readLine(), ScriptedServer::send("354 go on\r\n"), ScriptedServer::readData()};

SMTPMessage simpleMessage() {
    return SMTPMessage("s@x.org", "a@x.org", "Subject", "Hello");
}

// The DATA section: everything after "DATA\r\n" up to and including the final dot line.
std::string dataSection(const std::string& wire) {
    const size_t start = wire.find("DATA\r\n");
    const size_t end = wire.find("\r\n.\r\n");
    if (start == std::string::npos || end == std::string::npos)
        return std::string();
    return wire.substr(start + 6, end + 5 - start - 6);
}

} // namespace

TEST(SMTPSession, DefaultsAndCopiesNeverCarryTheConnection) {
    SMTPSession s;
    EXPECT_EQ(s.getMailer(), ostring("Anonymous mailer"));
    EXPECT_EQ(s.getTimeout(), 2000u);
    EXPECT_EQ(s.getBoundary().size(), 64u);
    EXPECT_EQ(s.getLastResponse(), ostring(""));
    EXPECT_EQ(s.getLastResponseCode(), -1);
    s.setBoundary("");
    EXPECT_EQ(s.getBoundary().size(), 64u);
    EXPECT_NE(SMTPSession().getBoundary(), s.getBoundary());

    ScriptedServer server(ScriptedServer::greeting() + quit221);
    SMTPSession a("Mailer", 1500, "BOUNDARY");
    ASSERT_TRUE(a.connect("127.0.0.1", server.port()));
    SMTPSession copy(a);
    EXPECT_EQ(copy.getMailer(), ostring("Mailer"));
    EXPECT_EQ(copy.getTimeout(), 1500u);
    EXPECT_EQ(copy.getBoundary(), ostring("BOUNDARY"));
    EXPECT_EQ(copy.getHost().IPAddress(), wxString("127.0.0.1"));
    EXPECT_EQ(copy.getHost().Service(), server.port());
    EXPECT_FALSE(copy.disconnect()) << "a copy is not connected";
    EXPECT_TRUE(a.disconnect());
    server.finish();
    EXPECT_EQ(server.received(), "HELO localhost\r\nQUIT\r\n");
}

TEST(SMTPSession, ConversationSendsEveryRecipientInOrderAndTheSinglePartLayout) {
    ScriptedServer server(ScriptedServer::greeting() + ok250 + ok250 + ok250 + ok250 + ok250 +
                          Steps{ScriptedServer::readLine(), ScriptedServer::send("354 go on\r\n"),
                                ScriptedServer::readData(), ScriptedServer::send("250 queued\r\n")} +
                          quit221);
    SMTPSession s("Tester", 2000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    SMTPMessage m("Sender <s@x.org>", "a@x.org,b@x.org", "Hi", "line 1\nline 2");
    m.addCC("c@x.org");
    m.addBCC("Hidden <h@x.org>");
    ASSERT_TRUE(s.send(m, false));
    ASSERT_TRUE(s.disconnect());
    server.finish();
    const std::string wire = server.received();
    EXPECT_EQ(wire.substr(0, wire.find("DATA\r\n") + 6), "HELO localhost\r\n"
                                                         "MAIL FROM:<s@x.org>\r\n"
                                                         "RCPT TO:<a@x.org>\r\n"
                                                         "RCPT TO:<b@x.org>\r\n"
                                                         "RCPT TO:<c@x.org>\r\n"
                                                         "RCPT TO:<h@x.org>\r\n"
                                                         "DATA\r\n");
    EXPECT_EQ(SmtpTest::withoutDate(dataSection(wire)), "From: Sender <s@x.org>\r\n"
                                                        "To: a@x.org,b@x.org\r\n"
                                                        "Cc: c@x.org\r\n"
                                                        "Subject: Hi\r\n"
                                                        "Date: *\r\n"
                                                        "X-Mailer: Tester\r\n"
                                                        "Reply-To: Sender <s@x.org>\r\n"
                                                        "MIME-Version: 1.0\r\n"
                                                        "Content-Type: text/plain; charset=\"ISO-8859-1\"\r\n"
                                                        "\r\n"
                                                        "line 1\r\nline 2\r\n.\r\n");
    EXPECT_EQ(wire.substr(wire.size() - 6), "QUIT\r\n");
}

TEST(SMTPSession, MultipartLayoutWithHtmlTextAndAttachments) {
    SmtpTest::TempDir dir;
    SmtpTest::writeFile(dir.file("a \"q\".bin"), "abc");
    SmtpTest::writeFile(dir.file("empty.dat"), "");
    ScriptedServer server(ScriptedServer::greeting() + toData +
                          Steps{ScriptedServer::send("250 queued\r\n")} + quit221);
    SMTPSession s("", 2000, "BND");
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    SMTPMessage m("s@x.org", "a@x.org", "Pics", "<p>a=b</p>\n.\n");
    m.addAttachment(dir.file("a \"q\".bin").c_str(), "First");
    m.addAttachment(dir.file("empty.dat").c_str());
    ASSERT_TRUE(s.send(m, true));
    ASSERT_TRUE(s.disconnect());
    server.finish();
    const std::string data = dataSection(server.received());
    const std::string mime = data.substr(data.find("MIME-Version"));
    EXPECT_EQ(mime, "MIME-Version: 1.0\r\n"
                    "Content-Type: multipart/mixed; boundary=\"BND\"\r\n"
                    "\r\n"
                    "This is a multi-part message in MIME format.\r\n"
                    "\r\n"
                    "--BND\r\n"
                    "Content-Type: text/html; charset=\"ISO-8859-1\"\r\n"
                    "Content-Transfer-Encoding: quoted-printable\r\n"
                    "\r\n"
                    "<p>a=3Db</p>\r\n"
                    "..\r\n"
                    "\r\n--BND\r\n"
                    "Content-Type: application/octet-stream; name=\"a \\\"q\\\".bin\"\r\n"
                    "Content-Transfer-Encoding: base64\r\n"
                    "Content-Description: First\r\n"
                    "Content-Disposition: attachment; filename=\"a \\\"q\\\".bin\"\r\n"
                    "\r\n"
                    "YWJj"
                    "\r\n--BND\r\n"
                    "Content-Type: application/octet-stream; name=\"empty.dat\"\r\n"
                    "Content-Transfer-Encoding: base64\r\n"
                    "Content-Description: empty.dat\r\n"
                    "Content-Disposition: attachment; filename=\"empty.dat\"\r\n"
                    "\r\n"
                    "\r\n--BND--"
                    "\r\n.\r\n");
}

TEST(SMTPSession, RejectedGreetingQuitsAndThrowsWithTheGreetingKept) {
    ScriptedServer server({ScriptedServer::send("554 no service here\r\n"), ScriptedServer::readLine(),
                           ScriptedServer::send("221 bye\r\n")});
    SMTPSession s;
    EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
              "SMTPException: Unexpected SMTP login command");
    EXPECT_EQ(s.getLastResponse(), ostring("554 no service here"));
    EXPECT_EQ(s.getLastResponseCode(), 221);
    EXPECT_FALSE(s.disconnect());
    server.finish();
    EXPECT_EQ(server.received(), "QUIT\r\n");
}

TEST(SMTPSession, EachUnexpectedReplyGivesItsException) {
    struct Case {
        const char* name;
        Steps afterGreeting;
        std::string expected;
    };
    const Case cases[] = {
        {"MAIL FROM",
         {ScriptedServer::readLine(), ScriptedServer::send("550 no\r\n")},
         "SMTPException: Unexpected MAIL FROM response received"},
        {"RCPT 251", ok250 + Steps{ScriptedServer::readLine(), ScriptedServer::send("251 forwarded\r\n")},
         "SMTPException: Unexpected RCPT TO response received"},
        {"DATA", ok250 + ok250 + Steps{ScriptedServer::readLine(), ScriptedServer::send("451 later\r\n")},
         "SMTPException: Unexpected MAIL FROM response received"},
        {"end of data", toData + Steps{ScriptedServer::send("554 refused\r\n")},
         "Exception: An unexpected end of message response was received"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::greeting() + c.afterGreeting + quit221);
        SMTPSession s;
        ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_EQ(outcome([&] { s.send(simpleMessage()); }), c.expected);
        EXPECT_NE(s.getLastResponseCode(), 250);
        EXPECT_TRUE(s.disconnect()) << "the session stays connected after a refused step";
    }
}

TEST(SMTPSession, RefusedHeloAndQuitReplies) {
    {
        ScriptedServer server({ScriptedServer::send("220 hi\r\n"), ScriptedServer::readLine(),
                               ScriptedServer::send("502 what\r\n"), ScriptedServer::readLine(),
                               ScriptedServer::send("221 bye\r\n")});
        SMTPSession s;
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "SMTPException: Unexpected SMTP login command");
        EXPECT_EQ(s.getLastResponse(), ostring("502 what"));
    }
    {
        ScriptedServer server(ScriptedServer::greeting() +
                              Steps{ScriptedServer::readLine(), ScriptedServer::send("500 nope\r\n")});
        SMTPSession s;
        ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_EQ(outcome([&] { s.disconnect(); }), "Exception: Unexpected SMTP quit command");
        EXPECT_FALSE(s.disconnect()) << "the session is no longer connected";
    }
}

TEST(SMTPSession, RepliesSplitAcrossReadsAreReadWhole) {
    // A multi-line greeting in two pieces, then a HELO reply in three.
    ScriptedServer server(Steps{ScriptedServer::send("220-first line\r\n"), ScriptedServer::pause(150),
                                ScriptedServer::send("220-second\r\n220 last\r\n"),
                                ScriptedServer::readLine(), ScriptedServer::send("2"),
                                ScriptedServer::pause(150), ScriptedServer::send("50 o"),
                                ScriptedServer::pause(150), ScriptedServer::send("k\r\n"),
                                // A long multi-line reply to MAIL FROM.
                                ScriptedServer::readLine(),
                                ScriptedServer::send("550-" + std::string(300, 'x') + "\r\n550 " +
                                                     std::string(500, 'y') + "\r\n")} +
                          quit221);
    SMTPSession s("", 1500);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    EXPECT_EQ(s.getLastResponseCode(), 250);
    EXPECT_EQ(outcome([&] { s.send(simpleMessage()); }),
              "SMTPException: Unexpected MAIL FROM response received");
    EXPECT_EQ(s.getLastResponse().str(), "550-" + std::string(300, 'x') + "\r\n550 " + std::string(500, 'y'));
    EXPECT_TRUE(s.disconnect());
}

TEST(SMTPSession, SlowAndBrokenRepliesFail) {
    {
        ScriptedServer server({ScriptedServer::pause(1500), ScriptedServer::send("220 late\r\n")});
        SMTPSession s("", 300);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "Exception: Timeout occurred while waiting for read.");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1200));
        s.setTimeout(0);
    } // the destructor's QUIT times out too; nothing escapes it
    {
        ScriptedServer server({ScriptedServer::send("220-half a reply\r\n"), ScriptedServer::close()});
        SMTPSession s;
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "Exception: Error while receiving data.");
    }
    {
        ScriptedServer server(ScriptedServer::greeting() +
                              Steps{ScriptedServer::readLine(), ScriptedServer::close()});
        SMTPSession s;
        ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_EQ(outcome([&] { s.send(simpleMessage()); }), "Exception: Error while receiving data.");
        server.finish();
        // Writing to the closed connection fails or throws, but never kills the program.
        EXPECT_NE(outcome([&] { s.send(simpleMessage()); }), "another exception");
    }
}

// Each refusal leaves its reason where a server's refusal would be, and a code that is no
// success, never the 250 of the command before.
TEST(SMTPSession, NothingIsSentWithoutConnectionOrValidMessageAndTheReasonIsKept) {
    SMTPSession idle;
    EXPECT_FALSE(idle.send(simpleMessage()));
    EXPECT_EQ(idle.getLastResponse(), ostring("Mail refused: the session is not connected"));
    EXPECT_FALSE(idle.disconnect());
    EXPECT_FALSE(idle.connect("no-such-host.invalid", 25)) << "a failed look-up never falls back to 0.0.0.0";

    ScriptedServer server(ScriptedServer::greeting() + quit221);
    SMTPSession s;
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    ASSERT_EQ(s.getLastResponseCode(), 250);
    const auto refused = [&](const SMTPMessage& m) {
        const bool sent = s.send(m);
        const std::string reason = s.getLastResponse().str();
        EXPECT_EQ(s.getLastResponseCode(), -1) << reason;
        return sent ? std::string("sent") : reason;
    };
    EXPECT_EQ(refused(SMTPMessage("", "a@x.org")), "Mail refused: the message has no sender");
    EXPECT_EQ(refused(SMTPMessage("s@x.org", "")), "Mail refused: the message has no To recipient");
    SMTPMessage missing = simpleMessage();
    missing.addAttachment("/nonexistent/file.bin");
    EXPECT_EQ(refused(missing), "Mail refused: an attachment cannot be read: /nonexistent/file.bin");
    // Line breaks in header texts or addresses would add lines to the mail or commands.
    SMTPMessage subject = simpleMessage();
    subject.setSubject("Hi\r\n.\r\nRSET");
    EXPECT_EQ(refused(subject),
              "Mail refused: the subject holds a line break (CR), which would start a line of its own");
    SMTPMessage rcpt = simpleMessage();
    rcpt.addBCC(PBN::Net::SMTPAddr("x@y.org>\r\nRCPT TO:<evil@z.org"));
    EXPECT_EQ(refused(rcpt), "Mail refused: a Bcc recipient's display name holds a line break (CR), which "
                             "would start a line of its own");
    SMTPMessage name = simpleMessage();
    name.setFrom(PBN::Net::SMTPAddr("s@x.org", "Evil\nBcc: e@z.org"));
    EXPECT_EQ(refused(name), "Mail refused: the sender's display name holds a line break (LF), which would "
                             "start a line of its own");
    EXPECT_TRUE(s.disconnect());
    server.finish();
    EXPECT_EQ(server.received(), "HELO localhost\r\nQUIT\r\n");
}

TEST(SMTPSession, ConnectionRefusedGivesFalse) {
    unsigned short port;
    {
        ScriptedServer server({});
        port = server.port();
    }
    SMTPSession s;
    EXPECT_FALSE(s.connect("127.0.0.1", port));
}

TEST(SMTPSession, LargeAttachmentIsWrittenWhollyToASlowReader) {
    SmtpTest::TempDir dir;
    std::string bytes(5 * 1024 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    SmtpTest::writeFile(dir.file("big.bin"), bytes);
    // The server reads nothing for a while after DATA, so the socket's buffers fill up.
    ScriptedServer server(ScriptedServer::greeting() + ok250 + ok250 +
                          Steps{ScriptedServer::readLine(), ScriptedServer::send("354 go on\r\n"),
                                ScriptedServer::pause(700), ScriptedServer::readData(),
                                ScriptedServer::send("250 queued\r\n")} +
                          quit221);
    SMTPSession s("", 3000, "BND");
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    SMTPMessage m = simpleMessage();
    m.addAttachment(dir.file("big.bin").c_str());
    ASSERT_TRUE(s.send(m));
    ASSERT_TRUE(s.disconnect());
    server.finish();
    const std::string data = dataSection(server.received());
    const size_t start = data.find("\r\n\r\n", data.find("name=\"big.bin\"")) + 4;
    const std::string base64 = data.substr(start, data.find("\r\n--BND--") - start);
    PBN::ByteArray decoded;
    decoded.base64Decode(base64.data(), static_cast<uint32_t>(base64.size()));
    ASSERT_EQ(decoded.size(), bytes.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(decoded.getBuffer()), decoded.size()), bytes);
}

TEST(SMTPSession, ConnectingAgainQuitsTheFirstServer) {
    ScriptedServer first(ScriptedServer::greeting() + quit221);
    ScriptedServer second(ScriptedServer::greeting() + quit221);
    SMTPSession s;
    ASSERT_TRUE(s.connect("127.0.0.1", first.port()));
    ASSERT_TRUE(s.connect("localhost", second.port()));
    first.finish();
    EXPECT_EQ(first.received(), "HELO localhost\r\nQUIT\r\n");
    EXPECT_EQ(s.getHost().Service(), second.port());
    EXPECT_TRUE(s.disconnect());
    second.finish();
    EXPECT_EQ(second.received(), "HELO localhost\r\nQUIT\r\n");
}

TEST(SMTPSession, AnAddressThatIsNotAsciiIsRefusedBeforeAnythingIsSent) {
    for (const auto& addresses : {std::pair{ostring(L"\x0160imon@x.org"), ostring("a@x.org")},
                                  std::pair{ostring("s@x.org"), ostring("caf\xE9@x.org")}}) {
        const ostring& from = addresses.first;
        const ostring& to = addresses.second;
        ScriptedServer server(ScriptedServer::greeting() + quit221);
        SMTPSession s("", 1500);
        ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_EQ(outcome([&] { s.send(SMTPMessage(from, to, "Subject", "Hello")); }),
                  "SMTPException: A mail address holds a character that is not ASCII");
        EXPECT_TRUE(s.disconnect());
        server.finish();
        EXPECT_EQ(server.received().find("MAIL FROM"), std::string::npos) << server.received();
    }
}

TEST(SMTPSession, ALineTooLongForServersGoesQuotedPrintable) {
    const std::string longLine(2000, 'w');
    ScriptedServer server(ScriptedServer::greeting() + toData +
                          Steps{ScriptedServer::send("250 queued\r\n")} + quit221);
    SMTPSession s("", 1500);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    ASSERT_TRUE(s.send(SMTPMessage("s@x.org", "a@x.org", "Long", ("short\n" + longLine).c_str())));
    ASSERT_TRUE(s.disconnect());
    server.finish();
    const std::string data = dataSection(server.received());
    EXPECT_NE(data.find("Content-Type: text/plain; charset=\"ISO-8859-1\"\r\n"
                        "Content-Transfer-Encoding: quoted-printable\r\n\r\nshort\r\nwww"),
              std::string::npos)
        << data.substr(0, 600);
    size_t start = 0, longest = 0;
    for (size_t end; (end = data.find("\r\n", start)) != std::string::npos; start = end + 2)
        longest = std::max(longest, end - start);
    EXPECT_LE(longest, 76u);
}

// A peer that keeps talking cannot hold the caller past the time-out, nor make it read without
// end: a reply line is at most 512 octets, a reply at most 100 lines, a whole reply at most the
// time-out long.
TEST(SMTPSession, ReplyLengthAndDurationAreBounded) {
    using Clock = std::chrono::steady_clock;
    const auto within = [](Clock::time_point start, int ms) {
        return Clock::now() - start < std::chrono::milliseconds(ms);
    };
    for (const auto& [first, flood] : {std::pair<std::string, std::string>{"220 ", std::string(4096, 'x')},
                                       std::pair<std::string, std::string>{"220-", "more\r\n220-"}}) {
        SCOPED_TRACE(flood.substr(0, 8));
        ScriptedServer server({ScriptedServer::send(first), ScriptedServer::flood(flood, 6000)});
        SMTPSession s("", 3000);
        const auto start = Clock::now();
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "SMTPException: The SMTP server's reply is too long");
        EXPECT_TRUE(within(start, 2000));
        EXPECT_EQ(s.getLastResponseCode(), 220);
        EXPECT_LE(s.getLastResponse().size(), 510u);
        // The conversation is over: nothing more is read or sent.
        EXPECT_FALSE(s.disconnect());
    }
    {
        // Each byte comes well within the time-out, the whole greeting long after it.
        ScriptedServer server({ScriptedServer::trickle("220 " + std::string(200, 'x') + "\r\n", 10)});
        SMTPSession s("", 500);
        const auto start = Clock::now();
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "Exception: Timeout occurred while waiting for read.");
        EXPECT_TRUE(within(start, 1500));
        s.setTimeout(0);
    }
    {
        // The longest line allowed, and 100 lines, are still a reply.
        Steps script = {ScriptedServer::send("220 " + std::string(506, 'x') + "\r\n"),
                        ScriptedServer::readLine()};
        std::string helo;
        for (int i = 0; i < 99; ++i)
            helo += "250-line " + std::to_string(i) + "\r\n";
        script.push_back(ScriptedServer::send(helo + "250 last\r\n"));
        ScriptedServer server(script + quit221);
        SMTPSession s("", 3000);
        EXPECT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_TRUE(s.disconnect());
    }
}

TEST(SMTPSession, TheLongestReplyLineIsTakenWhenItsLineEndIsSplit) {
    ScriptedServer server(Steps{ScriptedServer::send("220 " + std::string(506, 'x') + "\r"),
                                ScriptedServer::pause(150), ScriptedServer::send("\n")} +
                          ok250 + quit221);
    SMTPSession s("", 3000);
    EXPECT_EQ(outcome([&] { EXPECT_TRUE(s.connect("127.0.0.1", server.port())); }), "nothing thrown");
    EXPECT_TRUE(s.disconnect());
}

TEST(SMTPSession, RepliesReadAsUtf8WhereTheyAreUtf8) {
    for (const auto& [sent, read] :
         {std::pair<std::string, std::wstring>{"550 Benutzer M\xC3\xBCller \xE2\x98\x83",
                                               L"550 Benutzer M\x00FCller \x2603"},
          std::pair<std::string, std::wstring>{"550 M\xFCller", L"550 M\x00FCller"}}) {
        ScriptedServer server(ScriptedServer::greeting() +
                              Steps{ScriptedServer::readLine(), ScriptedServer::send(sent + "\r\n")} +
                              quit221);
        SMTPSession s("", 1500);
        ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
        EXPECT_EQ(outcome([&] { s.send(simpleMessage()); }),
                  "SMTPException: Unexpected MAIL FROM response received");
        EXPECT_EQ(s.getLastResponse().wstr(), read);
        EXPECT_TRUE(s.disconnect());
    }
}

TEST(SMTPSession, AnAddressThatIsNotAsciiLeavesItsOwnReason) {
    ScriptedServer server(ScriptedServer::greeting() + quit221);
    SMTPSession s("", 1500);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    EXPECT_FALSE(s.send(SMTPMessage("", "a@x.org")));
    EXPECT_NE(outcome([&] { s.send(SMTPMessage("s@x.org", ostring(L"caf\x00E9@x.org"), "S", "T")); }),
              "nothing thrown");
    EXPECT_EQ(s.getLastResponse().str(), "Mail refused: a mail address holds a character that is not ASCII");
    EXPECT_EQ(s.getLastResponseCode(), -1);
    EXPECT_TRUE(s.disconnect());
}

// A server that never greets never opened a session: closing it waits for no QUIT exchange.
TEST(SMTPSession, ASessionWhoseGreetingTimedOutClosesAtOnce) {
    using Clock = std::chrono::steady_clock;
    ScriptedServer server({ScriptedServer::pause(4000)});
    const auto start = Clock::now();
    {
        SMTPSession s("", 1000);
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "Exception: Timeout occurred while waiting for read.");
        EXPECT_FALSE(s.disconnect());
    }
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1800));
}

// Every text that becomes a header line or a command is refused for a line break (and, where it
// goes out as it is, for a NUL), each with its reason (what holds what) and nothing sent.
TEST(SMTPSession, EveryHeaderAndCommandTextIsRefusedForALineBreak) {
    SmtpTest::TempDir dir;
    SmtpTest::writeFile(dir.file("a.txt"), "a");
    SmtpTest::writeFile(dir.file("b\nBcc: e@z.org"), "b");
    using PBN::Net::SMTPAddr;
    const auto refused = [&](SMTPSession& s, const SMTPMessage& m) {
        ScriptedServer server(ScriptedServer::greeting() + quit221);
        if (!s.connect("127.0.0.1", server.port()))
            return std::string("not connected");
        const bool sent = s.send(m);
        const std::string reason = s.getLastResponse().str();
        EXPECT_EQ(s.getLastResponseCode(), -1) << reason;
        EXPECT_TRUE(s.disconnect());
        server.finish();
        EXPECT_EQ(server.received(), "HELO localhost\r\nQUIT\r\n") << reason;
        return sent ? std::string("sent") : reason;
    };
    SMTPSession plain("", 1500);
    SMTPMessage replyTo = simpleMessage();
    replyTo.setReplyTo(SMTPAddr("r@x.org\r\nBcc: e@z.org"));
    EXPECT_EQ(
        refused(plain, replyTo),
        "Mail refused: the reply-to address holds a line break (CR), which would start a line of its own");
    replyTo.setReplyTo(SMTPAddr("r@x.org", "R\nBcc: e@z.org"));
    EXPECT_EQ(refused(plain, replyTo), "Mail refused: the reply-to address's display name holds a line break "
                                       "(LF), which would start a line of its own");
    SMTPMessage nul = simpleMessage();
    nul.addRecipient(SMTPAddr(ostring(std::wstring(L"b@x.org\0x", 9))));
    EXPECT_EQ(refused(plain, nul), "Mail refused: a recipient holds a NUL, which would cut its line short");
    SMTPMessage named = simpleMessage();
    named.addAttachment(ostring(dir.file("a.txt").c_str()), ostring("a\r\nBcc: e@z.org"));
    EXPECT_EQ(
        refused(plain, named),
        "Mail refused: an attachment's name holds a line break (CR), which would start a line of its own");
    SMTPMessage file = simpleMessage();
    file.addAttachment(ostring(dir.file("b\nBcc: e@z.org").c_str()));
    EXPECT_EQ(refused(plain, file), "Mail refused: an attachment's name holds a line break (LF), which would "
                                    "start a line of its own");
    SMTPSession mailer("M\r\nBcc: e@z.org", 1500);
    EXPECT_EQ(
        refused(mailer, simpleMessage()),
        "Mail refused: the session's mailer holds a line break (CR), which would start a line of its own");
    SMTPSession boundary("", 1500, "b\r\n--b");
    EXPECT_EQ(
        refused(boundary, simpleMessage()),
        "Mail refused: the session's boundary holds a line break (CR), which would start a line of its own");
    SMTPSession nulBoundary("", 1500, ostring(std::wstring(L"b\0c", 3)));
    EXPECT_EQ(refused(nulBoundary, simpleMessage()),
              "Mail refused: the session's boundary holds a NUL, which would cut its line short");
    // A boundary RFC 2046 does not allow would change the header's structure without a line break.
    SMTPMessage attached = simpleMessage();
    attached.addAttachment(ostring(dir.file("a.txt").c_str()));
    SMTPSession quoted("", 1500, "a\"; x=\"y");
    EXPECT_EQ(refused(quoted, attached), "Mail refused: the session's boundary cannot serve: it holds a "
                                         "character a MIME boundary cannot hold");
}

// One octet or one line past the bounds is refused; the bounds themselves are taken (above).
TEST(SMTPSession, OneLineOrOneOctetTooManyIsRefused) {
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "250-line " + std::to_string(i) + "\r\n";
    for (const std::string& helo : {lines + "250 last\r\n", "250 " + std::string(507, 'y') + "\r\n"}) {
        SCOPED_TRACE(helo.size());
        ScriptedServer server(Steps{ScriptedServer::send("220 ok\r\n"), ScriptedServer::readLine(),
                                    ScriptedServer::send(helo)});
        SMTPSession s("", 3000);
        EXPECT_EQ(outcome([&] { s.connect("127.0.0.1", server.port()); }),
                  "SMTPException: The SMTP server's reply is too long");
        EXPECT_EQ(s.getLastResponseCode(), 250);
        EXPECT_FALSE(s.disconnect());
    }
}
