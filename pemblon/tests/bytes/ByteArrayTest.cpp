#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "pemblon/core/ByteArray.h"
#include "pemblon/tests/bytes/TempDir.h"

using PBN::ByteArray;
using PBN::Strings::ostring;

namespace {

ByteArray bytes(std::initializer_list<unsigned char> list) {
    return ByteArray(std::data(list), static_cast<std::uint32_t>(list.size()));
}

std::string encode(const ByteArray& a, bool lines) {
    std::unique_ptr<char[]> text(a.base64Encode(lines));
    return text ? std::string(text.get()) : std::string("<null>");
}

ByteArray decode(const std::string& text) {
    ByteArray a;
    a.base64Decode(text.data(), static_cast<std::uint32_t>(text.size()));
    return a;
}

ByteArray counting(unsigned n) {
    ByteArray a;
    for (unsigned i = 0; i < n; ++i)
        a.append(static_cast<unsigned char>(i * 7 + 3), 1);
    return a;
}

} // namespace

TEST(ByteArray, TypedReadsSwapPairsAndStopAtTheEnd) {
    const ByteArray a = bytes({0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(a.getShort(0, true), 0x0201);
    EXPECT_EQ(a.getShort(0, false), 0x0102);
    EXPECT_EQ(a.getInt(0, true), 0x04030201);
    EXPECT_EQ(a.getInt(0, false), 0x03040102);
    EXPECT_EQ(a.getInt(1, true), 0);
    EXPECT_EQ(a.getShort(3, true), 0);
    // An offset near 2^32 must not wrap past the bound.
    EXPECT_EQ(a.getInt(0xFFFFFFFEu, true), 0);
    EXPECT_EQ(a.getDouble(0, true), 0.0);

    const ByteArray d = bytes({0, 1, 2, 3, 4, 5, 6, 7});
    const double viaPairs = d.getDouble(0, false);
    std::uint64_t bits;
    std::memcpy(&bits, &viaPairs, sizeof bits);
    EXPECT_EQ(bits, 0x0607040502030001ull);
    const float f = 1.5f;
    ByteArray fa(reinterpret_cast<const unsigned char*>(&f), 4);
    EXPECT_EQ(fa.getFloat(0, true), 1.5f);
}

TEST(ByteArray, GrowingAndCutting) {
    ByteArray a = bytes({1, 2, 3, 4, 5});
    ByteArray b = a;
    b.remove(2, -1);
    EXPECT_EQ(b, bytes({1, 2}));
    b = a;
    b.remove(2, 10);
    EXPECT_EQ(b, bytes({1, 2}));
    b = a;
    b.remove(1, 2);
    EXPECT_EQ(b, bytes({1, 4, 5}));
    b = a;
    b.remove(0, 5);
    EXPECT_EQ(b.size(), 0u);
    EXPECT_EQ(b.getBuffer(), nullptr);
    b = a;
    b.remove(5, 1);
    EXPECT_EQ(b, a);

    ByteArray c(nullptr, 10);
    EXPECT_EQ(c.size(), 0u);
    c.append(static_cast<unsigned char>(9), 3);
    c.resize(5);
    EXPECT_EQ(c, bytes({9, 9, 9, 0, 0}));
    c.append(c); // appending itself reads the old bytes
    EXPECT_EQ(c.size(), 10u);
    EXPECT_EQ(c[7], 9);
    EXPECT_EQ(c[10], 0);
    c.setAt(10, 1);
    EXPECT_EQ(c.size(), 10u);

    ByteArray out = bytes({7});
    a.extract(3, 10, out);
    EXPECT_EQ(out, bytes({4, 5}));
    a.extract(5, 1, out);
    EXPECT_EQ(out.size(), 0u);
    a = a;
    EXPECT_EQ(a.size(), 5u);
}

TEST(ByteArray, TextsInAndOut) {
    EXPECT_EQ(ByteArray(ostring("AB"), false), bytes({'A', 'B'}));
    // One byte per character is the character's low byte, also above 255.
    EXPECT_EQ(ByteArray(ostring(L"A\u20AC\u00e9"), false), bytes({'A', 0xAC, 0xE9}));
    ByteArray grown(ostring("x"), false);
    grown.append(ostring(L"\u0141"), false);
    EXPECT_EQ(grown, bytes({'x', 0x41}));
    EXPECT_EQ(ByteArray(ostring(L"A\u20AC"), true), bytes({'A', 0, 0xAC, 0x20}));
    // Beyond U+FFFF: a surrogate pair, as Windows stores it, joined again on the way back.
    const ByteArray pair(ostring(L"\U0001F600"), true);
    EXPECT_EQ(pair, bytes({0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_EQ(pair.getUnicode().wstr(), std::wstring(L"\U0001F600"));
    // What is no character, written or read, is U+FFFD: a value beyond U+10FFFF, lone surrogates.
    EXPECT_EQ(ByteArray(ostring(std::wstring{wchar_t(0x110041), L'A'}), true), bytes({0xFD, 0xFF, 'A', 0}));
    EXPECT_EQ(ByteArray(ostring(std::wstring{wchar_t(0xD800), L'A', wchar_t(0xDC00)}), true),
              bytes({0xFD, 0xFF, 'A', 0, 0xFD, 0xFF}));
    EXPECT_EQ(bytes({0x00, 0xD8, 'A', 0, 0x00, 0xDC}).getUnicode().wstr(), std::wstring(L"\xFFFD"
                                                                                        L"A\xFFFD"));

    ByteArray odd = bytes({'h', 0, 'i', 0, 'x'});
    EXPECT_EQ(odd.getUnicode().wstr(), std::wstring(L"hi"));
    EXPECT_TRUE(odd.getUnicode().isUnicode());

    // NULs survive getString, which the bytes constructors would cut.
    const ostring s = bytes({'a', 0, 'b'}).getString(ostring());
    EXPECT_EQ(s.size(), 3u);
    EXPECT_FALSE(s.isUnicode());
    EXPECT_EQ(s.str(), std::string("a\0b", 3));
    const ostring latin = bytes({0xC3, 0xA9, 0, 'x'}).getString(ostring("UTF-8"));
    EXPECT_EQ(latin.str(), std::string("\xE9\0x", 3));
    EXPECT_EQ(ByteArray(ostring(L"h\u00e9"), true).getString(ostring("UTF-16LE")).str(), "h\xE9");
}

TEST(ByteArray, ToStringForms) {
    const ByteArray one = bytes({10});
    EXPECT_EQ(one.toString(ByteArray::Binary, 0, -1, ",", "", 0).str(), "00001010b,");
    const ByteArray a = bytes({0, 8, 10, 255});
    EXPECT_EQ(a.toString(ByteArray::Hexadecimal, 0, -1, " ", "", 0).str(), "00 0x8 0xa 0xff ");
    EXPECT_EQ(a.toString(ByteArray::Octal, 0, -1, " ", "", 0).str(), "0000 0010 0012 0377 ");
    EXPECT_EQ(a.toString(ByteArray::Decimal, 1, 2, ",", "", 0).str(), "008,010,");
    EXPECT_EQ(a.toString(ByteArray::Decimal, 0, -1, ",", "\n", 3).str(), "000,008,010\n255,");
    EXPECT_EQ(a.toString(ByteArray::Decimal, 4, -1, ",", "", 0).str(), "");
}

TEST(ByteArray, Base64OneShot) {
    EXPECT_EQ(encode(ByteArray(ostring("abc"), false), false), "YWJj");
    EXPECT_EQ(encode(ByteArray(ostring("a"), false), false), "YQ==");
    EXPECT_EQ(encode(ByteArray(ostring("ab"), false), false), "YWI=");
    EXPECT_EQ(encode(ByteArray(), false), "<null>");
    EXPECT_EQ(encode(ByteArray(ostring("ab"), false), true), "YWI=\n");

    const std::string full = encode(counting(57), true);
    ASSERT_EQ(full.size(), 78u);
    EXPECT_EQ(full.substr(76), "\n\n");
    EXPECT_EQ(full.find('\n'), 76u);
    const std::string two = encode(counting(58), true);
    EXPECT_EQ(two.substr(76, 1), "\n");
    EXPECT_EQ(two.size(), 82u);
    EXPECT_EQ(two.substr(79), "==\n");

    EXPECT_EQ(decode("QQ=="), bytes({0x41}));
    EXPECT_EQ(decode("QQ").size(), 0u);
    EXPECT_EQ(decode("YW\nJj\r\n  YQ=="), ByteArray(ostring("abca"), false));
    for (unsigned n : {1u, 2u, 3u, 100u, 1000u}) {
        const ByteArray a = counting(n);
        EXPECT_EQ(decode(encode(a, true)), a) << n;
        EXPECT_EQ(decode(encode(a, false)), a) << n;
    }
}

TEST(ByteArray, Base64PiecewiseEqualsOneShot) {
    const ByteArray a = counting(100);
    for (bool lines : {false, true}) {
        char out[300];
        unsigned written = 0;
        int lineCount = 0, state = 0;
        unsigned offset = 0;
        for (unsigned piece : {1u, 2u, 97u}) {
            unsigned len = piece;
            written += ByteArray::base64EncodeStep(a.getBuffer() + offset, len, out + written, &lineCount,
                                                   &state, lines);
            EXPECT_LE(len, 2u);
            offset += piece;
        }
        written += ByteArray::base64EncodeClose(out + written, &lineCount, &state, lines);
        EXPECT_EQ(state, 0);
        EXPECT_EQ(std::string(out, written), encode(a, lines));

        // Decoding one character at a time carries the quad across calls.
        const std::string text = encode(a, lines);
        unsigned char bytesOut[100];
        unsigned got = 0;
        int quad = 0;
        unsigned bits = 0;
        for (char c : text) {
            unsigned one = 1;
            got += ByteArray::base64DecodeStep(&c, one, bytesOut + got, &quad, &bits);
        }
        EXPECT_EQ(ByteArray(bytesOut, got), a);
    }
    unsigned len = 0;
    int lc = 0, st = 0;
    EXPECT_EQ(ByteArray::base64EncodeStep(a.getBuffer(), len, nullptr, &lc, &st, false), 0u);
}

TEST(ByteArray, Crypt) {
    const ByteArray a(ostring("secret text"), false);
    std::unique_ptr<unsigned char[]> once(a.crypt("key"));
    ASSERT_TRUE(once);
    EXPECT_EQ(once[0], 's' ^ 'k');
    EXPECT_EQ(once[3], 'r' ^ 'k');
    std::unique_ptr<unsigned char[]> twice(ByteArray(once.get(), a.size()).crypt("key"));
    EXPECT_EQ(ByteArray(twice.get(), a.size()), a);
    std::unique_ptr<unsigned char[]> same(a.crypt(""));
    EXPECT_EQ(ByteArray(same.get(), a.size()), a);
    EXPECT_EQ(ByteArray().crypt("key"), nullptr);

    // The key position carries across pieces; one past the key restarts at 0.
    unsigned char data[5] = {0, 0, 0, 0, 0};
    const unsigned char key[2] = {1, 2};
    std::uint32_t pos = 0;
    ByteArray::cryptStep(data, 3, key, 2, &pos);
    EXPECT_EQ(pos, 1u);
    ByteArray::cryptStep(data + 3, 2, key, 2, &pos);
    EXPECT_EQ(ByteArray(data, 5), bytes({1, 2, 1, 2, 1}));
    pos = 7;
    ByteArray::cryptStep(data, 1, key, 2, &pos);
    EXPECT_EQ(data[0], 0);
}

TEST(ByteArray, Files) {
    TempDir dir;
    const ostring path(dir.file("data.bin").c_str());
    EXPECT_EQ(ByteArray::readFile(path).size(), 0u);
    const ByteArray a = bytes({1, 0, 2});
    EXPECT_TRUE(a.appendToFile(path)); // missing: written fresh
    EXPECT_TRUE(a.appendToFile(path));
    EXPECT_EQ(ByteArray::readFile(path).size(), 6u);
    EXPECT_TRUE(a.writeToFile(path));
    EXPECT_EQ(ByteArray::readFile(path), a);
    EXPECT_TRUE(ByteArray().writeToFile(path));
    EXPECT_EQ(TempDir::read(dir.file("data.bin")), "");
    EXPECT_FALSE(a.writeToFile(ostring(dir.file("no/such/dir").c_str())));
}
