// library constants.
#include "pemblon/core/Defines.h"

#include <gtest/gtest.h>

#include <cstring>

using PBN::Defines;
using PBN::Strings::ostring;

TEST(Defines, ValuesAreNarrowTexts) {
    EXPECT_EQ(Defines::name(), ostring("Pemblon"));
    EXPECT_EQ(Defines::version(), ostring("1.0alpha1"));
    EXPECT_EQ(Defines::systemEncoding(), ostring("CP1252"));
    EXPECT_EQ(Defines::appEncoding(), ostring("CHAR"));
    EXPECT_EQ(Defines::dftXmlEncoding(), ostring("ISO-8859-1"));
    EXPECT_EQ(Defines::libxmlEncoding(), ostring("UTF-8"));
    EXPECT_EQ(Defines::xmlSchemaURI(), ostring("http://www.w3.org/2001/XMLSchema-instance"));
    EXPECT_EQ(Defines::xmlns(), ostring("xmlns"));
    EXPECT_EQ(Defines::xsi(), ostring("xsi"));
    EXPECT_EQ(Defines::schemaLocation(), ostring("schemaLocation"));
    EXPECT_EQ(Defines::dftConfFilename(), ostring("Conf.xml"));
    EXPECT_EQ(Defines::smtpDftMailer(), ostring("Anonymous mailer"));
    EXPECT_EQ(Defines::defaultVersionSeparator(), ostring("."));
    EXPECT_EQ(Defines::defaultConfigRootName(), ostring("config"));
    EXPECT_EQ(Defines::configVersionAttr(), ostring("version"));
    EXPECT_EQ(Defines::configVersion(), ostring("1.0"));
    EXPECT_FALSE(Defines::name().isUnicode());
    EXPECT_FALSE(Defines::appEncoding().isUnicode());
}

TEST(Defines, DescriptionIsFrenchInTheApplicationCharset) {
    const ostring d = Defines::desription();
    EXPECT_FALSE(d.isUnicode());
    EXPECT_NE(d.str().find('\xE8'), std::string::npos); // è as one CP1252 byte
    EXPECT_NE(d.str().find('\xE9'), std::string::npos); // é
    EXPECT_NE(d.get("UTF-8").find("Biblioth\xC3\xA8que"), std::string::npos);
}

TEST(Defines, MessageTerminatorIsCrLfNul) {
    const char* t = Defines::smtpMsgTerminator();
    ASSERT_EQ(std::strlen(t), 2u);
    EXPECT_EQ(t[0], '\r');
    EXPECT_EQ(t[1], '\n');
    EXPECT_EQ(t[2], '\0');
}

TEST(Defines, BoundaryIsFreshWide64Characters) {
    const ostring a = Defines::smtpDftBoundary();
    const ostring b = Defines::smtpDftBoundary();
    EXPECT_TRUE(a.isUnicode());
    EXPECT_NE(a, b);
    for (const ostring& s : {a, b}) {
        ASSERT_EQ(s.size(), 64u);
        EXPECT_TRUE(s.match("0x[0-9A-F]{8},0x[0-9A-F]{4},0x[0-9A-F]{4}(,0x[0-9A-F]{2}){8}")) << s.str();
    }
    // A version-4 UUID: byte 6's high nibble is 4, byte 8's top bits are 10. The third field is
    // bytes 6 and 7 read little-endian, so byte 6 is its last two digits.
    const std::string t = a.str();
    const unsigned byte6 = std::stoul(t.substr(22, 2), nullptr, 16);
    const unsigned byte8 = std::stoul(t.substr(27, 2), nullptr, 16);
    EXPECT_EQ(byte6 >> 4, 4u);
    EXPECT_EQ(byte8 >> 6, 2u);
}

TEST(Defines, NameIsTheTranslationDomain) {
    // formatMessage looks its prefixes up under Defines::name().
    EXPECT_EQ(Defines::name().wxstr(), wxString("Pemblon"));
}
