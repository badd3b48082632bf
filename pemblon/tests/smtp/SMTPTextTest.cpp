#include "pemblon/net/SMTPText.h"

#include <algorithm>
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
    return SMTPText::longestLine(text);
}

// The text of encoded words, each checked for its length and for holding whole characters.
std::string decodeWords(const std::string& words) {
    std::string out;
    size_t start = 0;
    while (start < words.size()) {
        size_t end = words.find_first_of(" \t\r\n", start);
        if (end == std::string::npos)
            end = words.size();
        const std::string word = words.substr(start, end - start);
        start = words.find_first_not_of(" \t\r\n", end);
        if (start == std::string::npos)
            start = words.size();
        EXPECT_LE(word.size(), 75u) << word;
        EXPECT_EQ(word.substr(0, 10), "=?UTF-8?B?") << word;
        EXPECT_EQ(word.substr(word.size() - 2), "?=") << word;
        const std::string b64 = word.substr(10, word.size() - 12);
        ByteArray bytes;
        bytes.base64Decode(b64.data(), static_cast<uint32_t>(b64.size()));
        const std::string piece(reinterpret_cast<const char*>(bytes.getBuffer()), bytes.size());
        std::string error;
        ostring::convert(piece, "UTF-8", "UTF-32LE", &error);
        EXPECT_EQ(error, "") << "a word holds part of a character";
        out += piece;
    }
    return out;
}

// A header line's value with its folding removed.
std::string unfolded(const std::string& line, const std::string& name) {
    std::string value = line.substr(name.size() + 2, line.size() - name.size() - 4);
    for (size_t at; (at = value.find("\r\n")) != std::string::npos;)
        value.erase(at, 2);
    return value;
}

} // namespace

TEST(SMTPText, LinesEndInCrLfAndLeadingDotsAreDoubled) {
    std::string charset;
    EXPECT_EQ(SMTPText::bodyLines(ostring("a\nb\r\nc\rd"), charset), "a\r\nb\r\nc\r\nd");
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

TEST(SMTPText, TheBodyGoesInLatin1WhenItCanElseInUtf8) {
    std::string charset;
    EXPECT_EQ(SMTPText::bodyLines(ostring("Caf\xE9\n"), charset), "Caf\xE9\r\n");
    EXPECT_EQ(charset, "ISO-8859-1");
    EXPECT_EQ(SMTPText::bodyLines(ostring(L"Caf\x00E9"), charset), "Caf\xE9");
    EXPECT_EQ(charset, "ISO-8859-1");
    // The narrow euro sign (CP1252 0x80) is no Latin-1 character.
    EXPECT_EQ(SMTPText::bodyLines(ostring("5\x80"), charset), "5\xE2\x82\xAC");
    EXPECT_EQ(charset, "UTF-8");
    EXPECT_EQ(SMTPText::bodyLines(ostring(L"\x0160imon\n\x6771\x1F600"), charset),
              "\xC5\xA0imon\r\n\xE6\x9D\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(charset, "UTF-8");
}

TEST(SMTPText, HeaderTextThatAsciiCannotHoldBecomesEncodedWords) {
    EXPECT_FALSE(SMTPText::needsEncoding(ostring("Plain subject, (ok) \t tab")));
    EXPECT_TRUE(SMTPText::needsEncoding(ostring("Caf\xE9")));
    EXPECT_TRUE(SMTPText::needsEncoding(ostring(L"euro \x20AC")));
    EXPECT_TRUE(SMTPText::needsEncoding(ostring("looks =?like?= a word")));
    EXPECT_TRUE(SMTPText::needsEncoding(ostring(std::string(80, 'x').c_str())));
    EXPECT_EQ(SMTPText::headerText(ostring("Hello")), "Hello");
    EXPECT_EQ(SMTPText::encodedWords(ostring(L"euro \x20AC")), "=?UTF-8?B?ZXVybyDigqw=?=");
    EXPECT_EQ(SMTPText::encodedWords(ostring("")), "");

    std::wstring long_;
    for (int i = 0; i < 40; ++i)
        long_ += L"\x0160\x6771\x1F600 ";
    const ostring text(long_);
    const std::string words = SMTPText::encodedWords(text);
    EXPECT_EQ(decodeWords(words), text.get("UTF-8"));
    const std::string line = SMTPText::headerLine("Subject", words);
    EXPECT_LE(longestLine(line.substr(0, line.size() - 2)), 78u);
    EXPECT_EQ(unfolded(line, "Subject"), words);
}

TEST(SMTPText, HeaderLinesFoldAtBlanksAndListsAfterCommas) {
    const std::string value = "one two  three " + std::string(70, 'x') + " end ";
    const std::string line = SMTPText::headerLine("Subject", value);
    EXPECT_EQ(unfolded(line, "Subject"), value);
    EXPECT_LE(longestLine(line), 78u);
    EXPECT_EQ(line.find("\r\n \r\n"), std::string::npos) << "no line of blanks only";
    EXPECT_EQ(SMTPText::headerLine("Subject", ""), "Subject: \r\n");
    EXPECT_EQ(SMTPText::headerList("To", {"a@x.org", "\"Bee Bop\" <b@x.org>"}),
              "To: a@x.org,\"Bee Bop\" <b@x.org>\r\n");

    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i)
        many.push_back("user" + std::to_string(i) + "@example.org");
    const std::string list = SMTPText::headerList("To", many);
    EXPECT_LE(longestLine(list), 78u);
    std::string joined;
    for (const std::string& m : many)
        joined += (joined.empty() ? "" : ",") + m;
    std::string back = unfolded(list, "To");
    for (size_t at; (at = back.find(", ")) != std::string::npos;)
        back.erase(at + 1, 1);
    EXPECT_EQ(back, joined);
}

// Recipients of every length from 1 to 60 characters, 10^4 of them: the comma after an item counts
// when the line is folded before it, so no line passes 78 characters wherever the commas fall.
TEST(SMTPText, ListLinesStayWithin78WithTheirCommas) {
    std::vector<std::string> many;
    for (int i = 0; i < 10000; ++i)
        many.push_back(std::string(static_cast<size_t>(i % 60), 'u') + "@x");
    const std::string list = SMTPText::headerList("To", many);
    std::string joined;
    for (const std::string& m : many)
        joined += (joined.empty() ? "" : ",") + m;
    std::string back = unfolded(list, "To");
    for (size_t at; (at = back.find(", ")) != std::string::npos;)
        back.erase(at + 1, 1);
    EXPECT_EQ(back, joined);
    size_t start = 0, longest = 0;
    for (size_t end; (end = list.find("\r\n", start)) != std::string::npos; start = end + 2)
        longest = std::max(longest, end - start);
    EXPECT_LE(longest, 78u);
}

TEST(SMTPText, ExtendedParametersArePercentEncodedAndContinued) {
    EXPECT_EQ(SMTPText::extendedParameter("filename", ostring(L"\x00E9\x2603 a.txt")),
              ";\r\n filename*=UTF-8''%C3%A9%E2%98%83%20a.txt");
    std::wstring name;
    for (int i = 0; i < 30; ++i)
        name += L"\x2603";
    const std::string continued = SMTPText::extendedParameter("filename", ostring(name + L".txt"));
    EXPECT_EQ(continued.substr(0, 29), ";\r\n filename*0*=UTF-8''%E2%98");
    EXPECT_NE(continued.find(";\r\n filename*1*=%"), std::string::npos) << continued;
    EXPECT_LE(longestLine(continued), 78u);
    EXPECT_EQ(continued.find("UTF-8''", 30), std::string::npos);
}
