#include "pemblon/net/SMTPText.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

using namespace PBN::Net;
using PBN::ByteArray;
using PBN::Strings::ostring;

namespace {

// A plain decoder of quoted-printable, written from the rules rather than from the encoder.
std::string qpDecode(const std::string& in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out += in[i];
        } else if (in.compare(i + 1, 2, "\r\n") == 0) {
            i += 2;
        } else {
            out += static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

size_t longestLine(const std::string& text) {
    size_t longest = 0, start = 0;
    while (true) {
        const size_t end = text.find("\r\n", start);
        longest = std::max(longest, (end == std::string::npos ? text.size() : end) - start);
        if (end == std::string::npos)
            return longest;
        start = end + 2;
    }
}

} // namespace

TEST(SMTPText, LinesEndInCrLfAndLeadingDotsAreDoubled) {
    EXPECT_EQ(SMTPText::crlfLines(ostring("a\nb\r\nc\rd")), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(SMTPText::dotStuffed(".first\r\nmid.dle\r\n.\r\n..two"), "..first\r\nmid.dle\r\n..\r\n...two");
    EXPECT_EQ(SMTPText::dotStuffed(""), "");
}

TEST(SMTPText, QuotedPrintableRoundTripsWithShortLines) {
    std::string text = "a=b caf\xE9 tail \r\n" + std::string(200, 'x') + "\r\nend\t";
    text += "\r\n" + std::string(80, '=');
    const std::string qp = SMTPText::quotedPrintable(text);
    EXPECT_EQ(qpDecode(qp), text);
    EXPECT_LE(longestLine(qp), 76u);
    EXPECT_NE(qp.find("a=3Db caf=E9 tail=20\r\n"), std::string::npos) << qp;
    EXPECT_NE(qp.find("end=09\r\n"), std::string::npos) << qp;
    EXPECT_EQ(SMTPText::quotedPrintable("plain\r\n"), "plain\r\n");
}

TEST(SMTPText, Base64InLinesOf76WithoutTrailingBreak) {
    EXPECT_EQ(SMTPText::base64Lines(ByteArray()), "");
    std::string raw;
    for (int i = 0; i < 1000; ++i)
        raw += static_cast<char>(i * 7);
    const ByteArray bytes(reinterpret_cast<const unsigned char*>(raw.data()),
                          static_cast<uint32_t>(raw.size()));
    const std::string lines = SMTPText::base64Lines(bytes);
    EXPECT_EQ(longestLine(lines), 76u);
    EXPECT_NE(lines.substr(lines.size() - 2), "\r\n");
    ByteArray back;
    back.base64Decode(lines.data(), static_cast<uint32_t>(lines.size()));
    EXPECT_TRUE(back == bytes);
    EXPECT_EQ(SMTPText::base64Lines(ByteArray(reinterpret_cast<const unsigned char*>("abc"), 3)), "YWJj");
}

TEST(SMTPText, LineBreaksAndQuotedParameters) {
    EXPECT_FALSE(SMTPText::hasLineBreak(ostring("a b")));
    EXPECT_TRUE(SMTPText::hasLineBreak(ostring("a\rb")));
    EXPECT_TRUE(SMTPText::hasLineBreak(ostring(L"a\nb")));
    EXPECT_EQ(SMTPText::quotedParameter(ostring("a\"b\\c")), ostring("a\\\"b\\\\c"));
}
