#include "pemblon/net/SMTPAddr.h"

#include <sstream>

#include <gtest/gtest.h>

using PBN::Net::SMTPAddr;
using PBN::Strings::ostring;

TEST(SMTPAddr, ReadsDisplayNameAndAddressAndWritesThemBack) {
    SMTPAddr quotedName("\"John Doe\" <jd@x.org>");
    EXPECT_EQ(quotedName.getFriendly(), ostring("John Doe"));
    EXPECT_EQ(quotedName.getAddr(), ostring("jd@x.org"));
    EXPECT_EQ(quotedName.getFullAddr(), ostring("\"John Doe\" <jd@x.org>"));

    SMTPAddr plainName("  Jane\t<j@x.org> ");
    EXPECT_EQ(plainName.getFriendly(), ostring("Jane"));
    EXPECT_EQ(plainName.getAddr(), ostring("j@x.org"));
    EXPECT_EQ(plainName.getFullAddr(), ostring("Jane <j@x.org>"));

    SMTPAddr bare(" \r\nbare@x.org\t");
    EXPECT_EQ(bare.getAddr(), ostring("bare@x.org"));
    EXPECT_EQ(bare.getFullAddr(), ostring("bare@x.org"));
    EXPECT_TRUE(bare.isValid());

    std::ostringstream os;
    os << plainName;
    EXPECT_EQ(os.str(), "Jane <j@x.org>");
}

TEST(SMTPAddr, DisplayNameRulesOfSetAndConstructor) {
    SMTPAddr a("Jane <j@x.org>");
    a.set("other@x.org");
    EXPECT_EQ(a.getAddr(), ostring("other@x.org"));
    EXPECT_EQ(a.getFriendly(), ostring("Jane")) << "text without '<' keeps the earlier name";

    a.set("Jane <j@x.org>", "  \"Boss\"> ");
    EXPECT_EQ(a.getFriendly(), ostring("Boss"));

    SMTPAddr nameOnly("", "Nobody");
    EXPECT_EQ(nameOnly.getFriendly(), ostring(""));
    EXPECT_FALSE(nameOnly.isValid());

    SMTPAddr copy(a);
    EXPECT_EQ(copy.getFullAddr(), a.getFullAddr());
}

TEST(SMTPAddr, NamesWithHeaderSpecialsAreQuotedAndEscaped) {
    EXPECT_EQ(SMTPAddr("Doe,John <j@x.org>").getFullAddr(), ostring("\"Doe,John\" <j@x.org>"));
    EXPECT_EQ(SMTPAddr("x;y <j@x.org>").getFullAddr(), ostring("\"x;y\" <j@x.org>"));
    EXPECT_EQ(SMTPAddr("j@x.org", "Say \"hi\\").getFullAddr(), ostring("\"Say \\\"hi\\\\\" <j@x.org>"));
}

TEST(SMTPAddr, InterpretListSplitsAtCommasAndSemicolons) {
    const auto list = SMTPAddr::interpretList("a@x, b@y;;c@z");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].getAddr(), ostring("a@x"));
    EXPECT_EQ(list[1].getAddr(), ostring("b@y"));
    EXPECT_EQ(list[2].getAddr(), ostring("c@z"));

    const auto quoted = SMTPAddr::interpretList("\"Doe, John\" <j@x.org>");
    ASSERT_EQ(quoted.size(), 2u) << "a comma inside a quoted name splits the entry";
    EXPECT_EQ(quoted[0].getAddr(), ostring("\"Doe"));

    const auto blanks = SMTPAddr::interpretList("a@x,   ");
    ASSERT_EQ(blanks.size(), 2u);
    EXPECT_FALSE(blanks[1].isValid());
    EXPECT_TRUE(SMTPAddr::interpretList("").empty());
}
