#include "pemblon/net/SMTPSession.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <string>
#include <sys/random.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "SmtpTestSupport.h"
#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Defines.h"

using PBN::Net::SMTPAddr;
using PBN::Net::SMTPMessage;
using PBN::Net::SMTPSession;
using PBN::Strings::ostring;
using SmtpTest::readFile;
using SmtpTest::readLines;
using SmtpTest::RealServer;

namespace {

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string out(n, '\0');
    for (char& c : out)
        c = static_cast<char>(gen() & 0xFF);
    return out;
}

// The parsed header lines the server wrote, one "Name: value" each.
std::string headers(const std::string& folder) {
    return readFile(folder + "/headers");
}

} // namespace

TEST(SMTPDelivery, PlainMailReachesEveryRecipientWithItsHeadersAndText) {
    RealServer server;
    ASSERT_TRUE(server.started());
    SMTPSession s("Pemblon tests", 5000);
    ASSERT_TRUE(s.connect("localhost", server.port()));

    SMTPMessage m("Sender Name <sender@x.org>", "a@x.org, \"Bee Bop\" <b@x.org>", "Caf\xE9 report",
                  "First line\n.\n.hidden\nCaf\xE9 = 3\n..two\nlast");
    m.addCC(SMTPAddr("Doe,John <c@x.org>"));
    m.addBCC("secret@x.org");
    ASSERT_TRUE(s.send(m));
    // A text that ends in a line end keeps it as its last line's end, with no empty line after.
    ASSERT_TRUE(s.send(SMTPMessage("sender@x.org", "a@x.org", "Ends", "one\r\ntwo\r\n")));
    ASSERT_TRUE(s.disconnect());
    EXPECT_EQ(readFile(server.message(1) + "/body"), "one\r\ntwo\r\n");

    const std::string msg = server.message();
    ASSERT_FALSE(msg.empty());
    EXPECT_EQ(readLines(msg + "/envelope"),
              (std::vector<std::string>{"sender@x.org", "a@x.org", "b@x.org", "c@x.org", "secret@x.org"}));
    const std::string h = headers(msg);
    EXPECT_NE(h.find("From: \"Sender Name\" <sender@x.org>\n"), std::string::npos) << h;
    EXPECT_NE(h.find("To: a@x.org,\"Bee Bop\" <b@x.org>\n"), std::string::npos) << h;
    EXPECT_NE(h.find("Cc: \"Doe,John\" <c@x.org>\n"), std::string::npos) << h;
    // Latin-1 header text goes as encoded words, which a reader shows as the text sent.
    EXPECT_NE(readFile(msg + "/raw.eml").find("Subject: =?UTF-8?B?Q2Fmw6kgcmVwb3J0?=\r\n"),
              std::string::npos);
    EXPECT_EQ(readFile(msg + "/readback/subject"), "Caf\xC3\xA9 report");
    EXPECT_NE(h.find("X-Mailer: Pemblon tests\n"), std::string::npos) << h;
    EXPECT_NE(h.find("Reply-To: \"Sender Name\" <sender@x.org>\n"), std::string::npos) << h;
    EXPECT_NE(h.find("Date: "), std::string::npos) << h;
    EXPECT_EQ(h.find("secret"), std::string::npos) << "no header names a BCC";
    EXPECT_EQ(readFile(msg + "/bodytype"), "text/plain\n");
    // The line end before the final "." ends the text's last line.
    EXPECT_EQ(readFile(msg + "/body"), "First line\r\n.\r\n.hidden\r\nCaf\xE9 = 3\r\n..two\r\nlast\r\n");
    EXPECT_EQ(readFile(msg + "/defects"), "");
}

TEST(SMTPDelivery, AttachmentsFromEmptyToFiveMegabytesArriveIntact) {
    SmtpTest::TempDir dir;
    const std::vector<std::pair<std::string, size_t>> files = {{"empty.bin", 0},
                                                               {"one.bin", 1},
                                                               {"two.bin", 2},
                                                               {"line.bin", 57},
                                                               {"page.bin", 1000},
                                                               {"photo.jpg", 300000},
                                                               {"big.dat", 5 * 1024 * 1024}};
    std::vector<std::string> contents;
    for (size_t i = 0; i < files.size(); ++i) {
        contents.push_back(randomBytes(files[i].second, static_cast<unsigned>(i + 1)));
        SmtpTest::writeFile(dir.file(files[i].first), contents.back());
    }

    RealServer server;
    ASSERT_TRUE(server.started());
    // The server is Python, and reads 7 MB of base64 before it answers the message's end: on a
    // machine loaded by the other tests that can take longer than a person would wait.
    SMTPSession s("", 60000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    const std::string text = "Pictures attached.\n.\nA=B, tab\tend \n" + std::string(300, 'w') + "\nCaf\xE9";
    SMTPMessage m("s@x.org", "a@x.org", "Files", text.c_str());
    for (size_t i = 0; i < files.size(); ++i)
        m.addAttachment(dir.file(files[i].first).c_str(), i == 1 ? ostring("The one byte") : ostring());
    ASSERT_TRUE(s.send(m, true));

    // A second mail on the same session, single-part.
    ASSERT_TRUE(s.send(SMTPMessage("s@x.org", "b@x.org", "Again", "<b>bold</b>"), true));
    ASSERT_TRUE(s.disconnect());

    const std::string msg = server.message(0);
    ASSERT_FALSE(msg.empty());
    EXPECT_EQ(readFile(msg + "/defects"), "");
    EXPECT_EQ(readFile(msg + "/bodytype"), "text/html\n");
    EXPECT_EQ(readFile(msg + "/body"),
              "Pictures attached.\r\n.\r\nA=B, tab\tend \r\n" + std::string(300, 'w') + "\r\nCaf\xE9");
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        const std::string bin = msg + "/att" + std::to_string(i) + ".bin";
        const std::string got = readFile(bin);
        EXPECT_EQ(got.size(), contents[i].size());
        EXPECT_TRUE(got == contents[i]);
        const auto meta = readLines(msg + "/att" + std::to_string(i) + ".meta");
        ASSERT_EQ(meta.size(), 3u);
        EXPECT_EQ(meta[0], "application/octet-stream");
        EXPECT_EQ(meta[1], files[i].first);
        EXPECT_EQ(meta[2], i == 1 ? "The one byte" : files[i].first);
    }

    const std::string second = server.message(1);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(readLines(second + "/envelope"), (std::vector<std::string>{"s@x.org", "b@x.org"}));
    EXPECT_EQ(readFile(second + "/bodytype"), "text/html\n");
    EXPECT_EQ(readFile(second + "/body"), "<b>bold</b>\r\n");
}

namespace {

// A text in UTF-8, as the reading side writes it, with line ends as LF.
std::string utf8(const ostring& text) {
    std::string out = text.get("UTF-8");
    for (size_t at; (at = out.find('\r')) != std::string::npos;)
        out.erase(at, 1);
    return out;
}

// The decoded bytes of every "=?UTF-8?B?...?=" word of a header block.
std::vector<std::string> encodedWordTexts(const std::string& head) {
    std::vector<std::string> words;
    for (size_t at = 0; (at = head.find("=?UTF-8?B?", at)) != std::string::npos;) {
        at += 10;
        const size_t end = head.find("?=", at);
        if (end == std::string::npos)
            break;
        PBN::ByteArray bytes;
        bytes.base64Decode(head.data() + at, static_cast<std::uint32_t>(end - at));
        words.emplace_back(reinterpret_cast<const char*>(bytes.getBuffer()), bytes.size());
        at = end + 2;
    }
    return words;
}

std::string readBack(const std::string& folder, const std::string& item) {
    std::string text = readFile(folder + "/readback/" + item);
    for (size_t at; (at = text.find('\r')) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

} // namespace

// Every header text and the body come back from a real mail reader (Python's email package, its
// default policy) as they were given: Latin-1, the euro sign, Czech, Japanese and emoji, narrow
// and wide, in single-part and multipart mails.
TEST(SMTPDelivery, TextInAnyScriptReadsBackAsSent) {
    const std::vector<ostring> texts = {
        ostring("Caf\xE9 Zo\xEB \xE0 la cr\xE8me"),
        ostring(L"Caf\x00E9 Zo\x00EB"),
        ostring(L"Price 5 \x20AC, not 6 \x20AC"),
        ostring("Narrow \x80 euro"),
        ostring(L"\x0160imon \x010Cern\x00FD"),
        ostring(L"\x6771\x4EAC\x306E\x5199\x771F \x65E5\x672C\x8A9E\x306E\x4EF6\x540D"),
        ostring(L"Party \x1F389 time \x1F600\x1F44D and a snowman \x2603"),
        ostring(std::wstring(30, L'\x00E9') + L" " + std::wstring(40, L'\x4E00') + L" " +
                std::wstring(20, L'\x1F600')),
    };
    SmtpTest::TempDir dir;
    RealServer server;
    ASSERT_TRUE(server.started());
    SMTPSession s("", 10000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    int sent = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const ostring& t = texts[i];
        const ostring body = t + ostring("\nsecond line: ") + t + ostring("\n.\nend");
        // The attachment's own file carries the text in its name (at most 255 bytes on disk).
        const ostring fileName = ostring(L"\x00E9\x2603 ") + t.substr(0, 40) + ostring(".txt");
        const std::string path = dir.file(std::to_string(i) + "-" + fileName.get("UTF-8"));
        SmtpTest::writeFile(path, "attached " + std::to_string(i));
        for (const bool multipart : {false, true}) {
            SCOPED_TRACE(utf8(t) + (multipart ? " (multipart)" : " (single part)"));
            SMTPMessage m("from@x.org", "", t, body);
            m.setFrom(SMTPAddr("from@x.org", t));
            m.setReplyTo(SMTPAddr("reply@x.org", t));
            m.addRecipient(SMTPAddr("to@x.org", t));
            m.addRecipient(SMTPAddr("plain@x.org", "Plain Name"));
            m.addCC(SMTPAddr("cc@x.org", t));
            if (multipart)
                m.addAttachment(ostring(wxString::FromUTF8(path.c_str())), t);
            ASSERT_TRUE(s.send(m));
            const std::string msg = server.message(sent++);
            ASSERT_FALSE(msg.empty());
            EXPECT_EQ(readBack(msg, "defects"), "");
            EXPECT_EQ(readBack(msg, "subject"), utf8(t));
            EXPECT_EQ(readBack(msg, "from"), utf8(t));
            EXPECT_EQ(readBack(msg, "reply-to"), utf8(t));
            EXPECT_EQ(readBack(msg, "to"), utf8(t) + "\nPlain Name");
            EXPECT_EQ(readBack(msg, "cc"), utf8(t));
            // The line end before the final "." belongs to the text of a single-part mail.
            EXPECT_EQ(readBack(msg, "body"), utf8(body) + (multipart ? "" : "\n"));
            if (multipart) {
                EXPECT_EQ(readBack(msg, "att0.name"), std::to_string(i) + "-" + utf8(fileName));
                EXPECT_EQ(readBack(msg, "att0.description"), utf8(t));
                EXPECT_EQ(readBack(msg, "att0.bin"), "attached " + std::to_string(i));
            }
            // Nothing the reader does not see: every byte of the header block is ASCII.
            const std::string raw = readFile(msg + "/raw.eml");
            const std::string head = raw.substr(0, raw.find("\r\n\r\n"));
            EXPECT_TRUE(std::all_of(head.begin(), head.end(), [](char c) { return c > 0 && c < 0x7F; }));
            // Each encoded word holds whole characters (RFC 2047, section 5): readers that join
            // the words hide a word cut inside a character.
            for (const std::string& word : encodedWordTexts(head))
                EXPECT_FALSE(wxString::FromUTF8(word.data(), word.size()).empty()) << word.size();
        }
    }
    ASSERT_TRUE(s.disconnect());
}

TEST(SMTPDelivery, ALongTextLineArrivesWhole) {
    RealServer server;
    ASSERT_TRUE(server.started());
    SMTPSession s("", 10000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    const std::string line = "start " + std::string(3000, 'x') + " Caf\xE9 end";
    ASSERT_TRUE(s.send(SMTPMessage("s@x.org", "a@x.org", "Long", ("first\n" + line + "\nlast").c_str())));
    ASSERT_TRUE(s.disconnect());
    const std::string msg = server.message();
    ASSERT_FALSE(msg.empty());
    EXPECT_EQ(readBack(msg, "body"), utf8(ostring(("first\n" + line + "\nlast").c_str())) + "\n");
    EXPECT_EQ(readBack(msg, "charset"), "iso-8859-1");
}

// A NUL in the text or the subject is a character like any other: every character after it
// arrives, narrow (CP1252) and wide.
TEST(SMTPDelivery, TextHoldingANulArrivesWhole) {
    RealServer server;
    ASSERT_TRUE(server.started());
    SMTPSession s("", 10000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    ostring narrow("a");
    narrow += '\0';
    narrow += "b\x80";
    using namespace std::string_literals;
    const std::vector<std::pair<ostring, std::string>> texts = {
        {ostring(L"a\0b\x20AC"s), "a\0b\xE2\x82\xAC"s},
        {ostring(L"a\0b\x0160\x1F600"s), "a\0b\xC5\xA0\xF0\x9F\x98\x80"s},
        {ostring(L"a\0b\x00E9"s), "a\0b\xC3\xA9"s},
        {narrow, "a\0b\xE2\x82\xAC"s},
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [text, expected] = texts[i];
        ASSERT_TRUE(s.send(SMTPMessage("s@x.org", "a@x.org", text, text)));
        const std::string msg = server.message(static_cast<int>(i));
        ASSERT_FALSE(msg.empty());
        EXPECT_EQ(readBack(msg, "subject"), expected);
        EXPECT_EQ(readBack(msg, "body"), expected + "\n");
    }
    ASSERT_TRUE(s.disconnect());
}

namespace {

// While set, every draw of the program's entropy gives zeros, so that the boundary a message will
// draw is known before it is sent.
std::atomic<bool> fixedEntropy{false};

} // namespace

// Takes the C library's place for the whole program (libpemblon's draws included).
extern "C" ssize_t getrandom(void* buffer, size_t length, unsigned int flags) {
    if (fixedEntropy.load()) {
        std::memset(buffer, 0, length);
        return static_cast<ssize_t>(length);
    }
    return syscall(SYS_getrandom, buffer, length, flags);
}

namespace {

// The boundary a mail's header names.
std::string boundaryOf(const std::string& raw) {
    const std::string key = "boundary=\"";
    const size_t at = raw.find(key);
    return at == std::string::npos
               ? std::string()
               : raw.substr(at + key.size(), raw.find('"', at + key.size()) - at - key.size());
}

// A text that repeats a boundary to open parts of its own: an HTML part and an attachment.
std::string smuggling(const std::string& boundary) {
    return "line\r\n--" + boundary + "\r\nContent-Type: text/html\r\n\r\n<b>smuggled</b>\r\n--" + boundary +
           "\r\nContent-Type: application/octet-stream; name=\"invoice.exe\"\r\nContent-Transfer-Encoding: "
           "base64\r\nContent-Disposition: attachment; filename=\"invoice.exe\"\r\n\r\nTVo=\r\n";
}

} // namespace

// A text that repeats a boundary opens no part: each message draws a boundary that occurs in none
// of its parts, so a boundary seen in one message is worth nothing in the next; a boundary of the
// caller's is kept where it is safe and refused, with nothing sent, where the text holds it.
TEST(SMTPDelivery, TextHoldingTheBoundaryOpensNoPart) {
    SmtpTest::TempDir dir;
    SmtpTest::writeFile(dir.file("real.pdf"), "real attachment");
    RealServer server;
    ASSERT_TRUE(server.started());
    SMTPSession s("", 10000);
    ASSERT_TRUE(s.connect("127.0.0.1", server.port()));
    const auto message = [&](const std::string& text) {
        SMTPMessage m("s@x.org", "a@x.org", "Invoice", text.c_str());
        m.addAttachment(dir.file("real.pdf").c_str());
        return m;
    };
    const auto expectOnePart = [&](const std::string& msg, const std::string& text) {
        EXPECT_EQ(readBack(msg, "parts"), "text/plain\napplication/octet-stream\n");
        EXPECT_EQ(readBack(msg, "att0.name"), "real.pdf");
        EXPECT_EQ(readBack(msg, "att0.bin"), "real attachment");
        EXPECT_EQ(readBack(msg, "body"), utf8(ostring(text.c_str())));
        EXPECT_EQ(readBack(msg, "defects"), "");
    };

    ASSERT_TRUE(s.send(message(smuggling(s.getBoundary().str()))));
    const std::string first = server.message(0);
    ASSERT_FALSE(first.empty());
    expectOnePart(first, smuggling(s.getBoundary().str()));
    const std::string seen = boundaryOf(readFile(first + "/raw.eml"));
    ASSERT_FALSE(seen.empty());

    ASSERT_TRUE(s.send(message(smuggling(seen))));
    const std::string second = server.message(1);
    ASSERT_FALSE(second.empty());
    expectOnePart(second, smuggling(seen));
    EXPECT_NE(boundaryOf(readFile(second + "/raw.eml")), seen);

    SMTPSession own("", 10000, "frontier");
    ASSERT_TRUE(own.connect("127.0.0.1", server.port()));
    ASSERT_TRUE(own.send(message("frontier\r\n-- frontier\r\n--frontie\r\nend")));
    const std::string third = server.message(2);
    ASSERT_FALSE(third.empty());
    EXPECT_EQ(boundaryOf(readFile(third + "/raw.eml")), "frontier");
    expectOnePart(third, "frontier\r\n-- frontier\r\n--frontie\r\nend");
    EXPECT_FALSE(own.send(message(smuggling("frontier"))));
    EXPECT_EQ(own.getLastResponse().str(),
              "Mail refused: a line of the text begins with the session's boundary, "
              "which would open a part of the text's own");
    EXPECT_EQ(own.getLastResponseCode(), -1);
    // The refused message never reached the server: the next one is its fourth.
    ASSERT_TRUE(own.send(message("after")));
    const std::string fourth = server.message(3);
    ASSERT_FALSE(fourth.empty());
    expectOnePart(fourth, "after");
    ASSERT_TRUE(own.disconnect());

    // A drawn boundary the text holds is drawn again; where every draw gives the one the text
    // holds, the mail is refused rather than opened by its text.
    fixedEntropy = true;
    const std::string drawn = PBN::Defines::smtpDftBoundary().str();
    EXPECT_FALSE(s.send(message(smuggling(drawn))));
    fixedEntropy = false;
    EXPECT_EQ(s.getLastResponse().str(),
              "Mail refused: no boundary could be drawn that the text does not hold");
    ASSERT_TRUE(s.send(message("after")));
    const std::string fifth = server.message(4);
    ASSERT_FALSE(fifth.empty());
    expectOnePart(fifth, "after");
    ASSERT_TRUE(s.disconnect());
}
