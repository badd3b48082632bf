#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pemblon/strings/ostring.h"

using PBN::Strings::ostring;

TEST(StringEncodings, Base64OfCharacterBytes) {
    ostring narrow("abc");
    narrow.base64Encode();
    EXPECT_FALSE(narrow.isUnicode());
    EXPECT_EQ(narrow.str(), "YWJj");

    // Wide text goes in one byte per character; above 255 the byte is 0.
    ostring wide(L"a\u20AC");
    wide.base64Encode();
    EXPECT_FALSE(wide.isUnicode());
    EXPECT_EQ(wide.str(), "YQA=");

    ostring empty(L"");
    empty.base64Encode();
    EXPECT_TRUE(empty.isUnicode());
    EXPECT_EQ(empty.size(), 0u);

    // 2k decoded bytes give k wide characters.
    ostring units("aABiAA=="); // 'h' 0 'b' 0
    units.base64Decode();
    EXPECT_TRUE(units.isUnicode());
    EXPECT_EQ(units.wstr(), std::wstring(L"h\x62"));

    // An odd count: the lone last byte is a character of its own, nothing read beyond it.
    ostring odd("YWJj");
    odd.base64Decode();
    EXPECT_EQ(odd.wstr(), std::wstring(L"\x6261\x63"));

    // By design not a round trip: encoding writes one byte per character, decoding reads two.
    ostring text("hi");
    text.base64Encode().base64Decode();
    EXPECT_NE(text.wstr(), std::wstring(L"hi"));
    EXPECT_EQ(text.size(), 1u);
}

TEST(StringEncodings, KeyTransformation) {
    const ostring text("secret");
    EXPECT_EQ(text.crypt(ostring()), nullptr);
    EXPECT_EQ(ostring().crypt("k"), nullptr);
    std::unique_ptr<unsigned char[]> x(text.crypt("ab"));
    ASSERT_TRUE(x);
    EXPECT_EQ(x[0], 's' ^ 'a');
    EXPECT_EQ(x[1], 'e' ^ 'b');
    EXPECT_EQ(x[2], 'c' ^ 'a');

    ostring same("abc");
    same.encrypt(ostring());
    EXPECT_EQ(same.str(), "abc");
    same.decrypt(ostring());
    EXPECT_EQ(same.str(), "abc");

    ostring e("AB");
    e.encrypt("\x01");
    EXPECT_FALSE(e.isUnicode());
    EXPECT_EQ(e.str(), "QEM="); // 0x40 0x43

    // decrypt reads UTF-16LE: a peer's "hi" in UTF-16, XORed and encoded, comes back as "hi".
    const unsigned char utf16[4] = {'h' ^ 'k', 0 ^ 'k', 'i' ^ 'k', 0 ^ 'k'};
    ostring cipher("A2sCaw==");
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(utf16), 4), "\x03k\x02k");
    cipher.decrypt("k");
    EXPECT_TRUE(cipher.isUnicode());
    EXPECT_EQ(cipher.wstr(), std::wstring(L"hi"));
}
