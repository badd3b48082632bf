#include "pemblon/net/SMTPMessage.h"

#include <string>

#include <gtest/gtest.h>

#include "SmtpTestSupport.h"

using PBN::Net::SMTPAddr;
using PBN::Net::SMTPMessage;
using PBN::Strings::ostring;

namespace {

// Reaches the header block the session writes.
class HeaderProbe : public SMTPMessage {
public:
    using SMTPMessage::SMTPMessage;
    std::string header(const ostring& mailer) const { return getHeader(mailer).str(); }
};

} // namespace

TEST(SMTPMessage, HeaderBlockNamesSenderRecipientsAndCcsButNoBcc) {
    HeaderProbe m("Sender <s@x.org>", "a@x.org; \"Bee Bop\" <b@x.org>", "Hello", "text");
    m.addCC("c@x.org,d@x.org");
    m.addBCC("hidden@x.org");
    const std::string h = m.header("Mailer 1");
    EXPECT_EQ(SmtpTest::withoutDate(h), "From: Sender <s@x.org>\r\n"
                                        "To: a@x.org,\"Bee Bop\" <b@x.org>\r\n"
                                        "Cc: c@x.org,d@x.org\r\n"
                                        "Subject: Hello\r\n"
                                        "Date: *\r\n"
                                        "X-Mailer: Mailer 1\r\n"
                                        "Reply-To: Sender <s@x.org>\r\n");
    // "Wed, 09 Dec 2026 13:44:02 +0000": English names, whatever the locale.
    const size_t date = h.find("Date: ") + 6;
    const std::string value = h.substr(date, h.find("\r\n", date) - date);
    EXPECT_NE(std::string("Sun,Mon,Tue,Wed,Thu,Fri,Sat,").find(value.substr(0, 4)), std::string::npos)
        << value;
    EXPECT_NE(std::string("JanFebMarAprMayJunJulAugSepOctNovDec").find(value.substr(8, 3)), std::string::npos)
        << value;
    EXPECT_EQ(h.find("hidden"), std::string::npos);
}

TEST(SMTPMessage, OptionalHeaderLinesFollowTheirValues) {
    HeaderProbe m("s@x.org");
    m.setReplyTo("");
    const std::string h = m.header("");
    EXPECT_NE(h.find("To: \r\n"), std::string::npos) << "the To line is written even when empty";
    EXPECT_EQ(h.find("Cc: "), std::string::npos);
    EXPECT_EQ(h.find("X-Mailer: "), std::string::npos);
    EXPECT_EQ(h.find("Reply-To: "), std::string::npos);

    m.setReplyTo(SMTPAddr("Desk <desk@x.org>"));
    EXPECT_NE(m.header("").find("Reply-To: Desk <desk@x.org>\r\n"), std::string::npos);
}

TEST(SMTPMessage, RecipientListsAddRemoveAndClearInOrder) {
    SMTPMessage m("s@x.org", "a@x.org,b@x.org");
    EXPECT_EQ(m.getReplyTo().getAddr(), ostring("s@x.org"));
    m.addRecipient(SMTPAddr("c@x.org"));
    ASSERT_EQ(m.getRecipientsCount(), 3u);
    m.removeRecipientAt(0);
    EXPECT_EQ(m.getRecipientAt(0).getAddr(), ostring("b@x.org"));
    EXPECT_EQ(m.getRecipientAt(1).getAddr(), ostring("c@x.org"));
    m.clearRecipients();
    EXPECT_EQ(m.getRecipientsCount(), 0u);

    m.addCC("c1@x.org;c2@x.org");
    m.removeCCAt(1);
    EXPECT_EQ(m.getCCCount(), 1u);
    EXPECT_EQ(m.getCCAt(0).getAddr(), ostring("c1@x.org"));
    m.clearCCs();
    m.addBCC(SMTPAddr("b1@x.org"));
    m.addBCC("b2@x.org");
    m.removeBCCAt(0);
    EXPECT_EQ(m.getBCCAt(0).getAddr(), ostring("b2@x.org"));
    m.clearBCCs();
    EXPECT_EQ(m.getCCCount() + m.getBCCCount(), 0u);

    SMTPMessage copy(m);
    copy.setSubject("S");
    EXPECT_EQ(m.getSubject(), ostring(""));
    EXPECT_EQ(copy.getFrom().getAddr(), ostring("s@x.org"));

    const SMTPMessage empty = SMTPMessage::mailto("mailto:a@x.org?subject=x");
    EXPECT_FALSE(empty.getFrom().isValid());
    EXPECT_EQ(empty.getRecipientsCount(), 0u);
}

TEST(SMTPMessage, AttachmentsKeepPathsAndNames) {
    SMTPMessage m;
    m.addAttachment("", "ignored");
    EXPECT_EQ(m.getAttachmentsCount(), 0u);
    m.addAttachment("/tmp/dir/report.final.pdf");
    m.addAttachment("/tmp/b.bin", "Bee");
    m.addAttachment("/tmp/c.bin");
    ASSERT_EQ(m.getAttachmentsCount(), 3u);
    EXPECT_EQ(m.getAttachmentNameAt(0), ostring("report.final.pdf"));
    EXPECT_EQ(m.getAttachmentNameAt(1), ostring("Bee"));
    m.removeAttachmentAt(1);
    EXPECT_EQ(m.getAttachmentNameAt(1), ostring("c.bin"));
    EXPECT_EQ(m.getAttachmentPathAt(1), ostring("/tmp/c.bin"));
    m.clearAttachments();
    EXPECT_EQ(m.getAttachmentsCount(), 0u);
}

TEST(SMTPMessage, ValidNeedsSenderToRecipientAndExistingAttachments) {
    SmtpTest::TempDir dir;
    SmtpTest::writeFile(dir.file("there.txt"), "x");

    EXPECT_FALSE(SMTPMessage("", "a@x.org").isValid());
    EXPECT_FALSE(SMTPMessage("s@x.org", "").isValid());
    SMTPMessage ccOnly("s@x.org");
    ccOnly.addCC("c@x.org");
    ccOnly.addBCC("b@x.org");
    EXPECT_FALSE(ccOnly.isValid()) << "CC and BCC recipients alone do not make a message valid";

    SMTPMessage m("s@x.org", "a@x.org");
    EXPECT_TRUE(m.isValid());
    m.addAttachment(dir.file("there.txt").c_str());
    EXPECT_TRUE(m.isValid());
    m.addAttachment(dir.file("missing.txt").c_str());
    EXPECT_FALSE(m.isValid());
}

TEST(SMTPMessage, NoCharacterCutsTheHeaderBlock) {
    HeaderProbe m(L"\x0160imon <f@x.org>", "t@x.org", L"euro \x20AC", "body");
    m.addCC(SMTPAddr(L"c@x.org", L"\x6771\x4EAC \x1F600"));
    const std::string h = m.header(ostring(L"Mailer \x2603"));
    EXPECT_EQ(h.find('\0'), std::string::npos);
    for (const char c : h)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << h;
    EXPECT_EQ(SmtpTest::withoutDate(h), "From: =?UTF-8?B?xaBpbW9u?= <f@x.org>\r\n"
                                        "To: t@x.org\r\n"
                                        "Cc: =?UTF-8?B?5p2x5LqsIPCfmIA=?= <c@x.org>\r\n"
                                        "Subject: =?UTF-8?B?ZXVybyDigqw=?=\r\n"
                                        "Date: *\r\n"
                                        "X-Mailer: =?UTF-8?B?TWFpbGVyIOKYgw==?=\r\n"
                                        "Reply-To: =?UTF-8?B?xaBpbW9u?= <f@x.org>\r\n");
    // Latin-1 text is encoded too: raw 8-bit header bytes are not readable mail.
    EXPECT_NE(
        HeaderProbe("s@x.org", "t@x.org", "Caf\xE9").header("").find("Subject: =?UTF-8?B?Q2Fmw6k=?=\r\n"),
        std::string::npos);
}
