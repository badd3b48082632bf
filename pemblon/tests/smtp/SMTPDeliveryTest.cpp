#include "pemblon/net/SMTPSession.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "SmtpTestSupport.h"

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
    ASSERT_TRUE(s.disconnect());

    const std::string msg = server.message();
    ASSERT_FALSE(msg.empty());
    EXPECT_EQ(readLines(msg + "/envelope"),
              (std::vector<std::string>{"sender@x.org", "a@x.org", "b@x.org", "c@x.org", "secret@x.org"}));
    const std::string h = headers(msg);
    EXPECT_NE(h.find("From: \"Sender Name\" <sender@x.org>\n"), std::string::npos) << h;
    EXPECT_NE(h.find("To: a@x.org,\"Bee Bop\" <b@x.org>\n"), std::string::npos) << h;
    EXPECT_NE(h.find("Cc: \"Doe,John\" <c@x.org>\n"), std::string::npos) << h;
    // The parser shows 8-bit header bytes as replacement characters: look at the bytes received.
    EXPECT_NE(readFile(msg + "/raw.eml").find("Subject: Caf\xE9 report\r\n"), std::string::npos);
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
    SMTPSession s("", 10000);
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
