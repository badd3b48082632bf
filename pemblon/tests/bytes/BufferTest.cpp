#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <wx/file.h>

#include "pemblon/core/Archive.h"
#include "pemblon/core/ArchiveListener.h"
#include "pemblon/core/Buffer.h"
#include "pemblon/core/Exception.h"
#include "pemblon/tests/bytes/TempDir.h"

using PBN::Exception;
using PBN::Files::Buffer;
using PBN::Strings::ostring;

namespace {

std::vector<unsigned char> stored(Buffer& b) {
    const unsigned long pos = b.tell();
    b.seek(0, true);
    unsigned long count = 0;
    const unsigned char* p = b.peek(&count);
    std::vector<unsigned char> out(p, p + count);
    b.seek(pos, true);
    return out;
}

} // namespace

TEST(Buffer, CapacityAndExactFit) {
    Buffer b(4);
    EXPECT_TRUE(b.append(0x11223344));
    EXPECT_FALSE(b.append(static_cast<char>(1)));
    EXPECT_TRUE(b.full(0));
    // Reads are bounded by the stored bytes, so the one stored int reads back.
    EXPECT_EQ(b.getInt(), 0x11223344);
    EXPECT_EQ(b.getInt(), 0);
    EXPECT_EQ(b.tell(), 4u);

    Buffer s(10);
    s.append(static_cast<short>(7));
    s.flush();
    EXPECT_EQ(s.bytesCount(), 0u);
    EXPECT_EQ(s.size(8ul), -2);
    EXPECT_EQ(s.size(8ul), 0);
    EXPECT_EQ(s.size(0ul), -8);
    EXPECT_EQ(s.size(), 0u);
    EXPECT_FALSE(s.append(static_cast<char>(1)));
    EXPECT_TRUE(s.append(nullptr, 0ul));
}

TEST(Buffer, ByteOrders) {
    Buffer b(16);
    b.littleEndian(false);
    b.append(0x12345678);
    b.append(static_cast<short>(0x0102));
    EXPECT_EQ(stored(b), (std::vector<unsigned char>{0x56, 0x78, 0x12, 0x34, 0x01, 0x02}));
    EXPECT_EQ(b.getInt(), 0x12345678);
    EXPECT_EQ(b.getShort(), 0x0102);

    Buffer l(16);
    l.littleEndian(true);
    l.append(0x12345678u);
    EXPECT_EQ(stored(l)[0], 0x78);

    // long keeps the 4-byte layout of files written where long is 32 bits.
    Buffer w(32);
    w.append(-5L);
    w.append(0xFFFFFFFFul);
    w.append(2.5f);
    w.append(-1.25);
    EXPECT_EQ(w.bytesCount(), 20u);
    EXPECT_EQ(w.getLong(), -5L);
    EXPECT_EQ(w.getULong(), 0xFFFFFFFFul);
    EXPECT_EQ(w.getFloat(), 2.5f);
    EXPECT_EQ(w.getDouble(), -1.25);
    EXPECT_EQ(w.getDouble(), 0.0);
}

TEST(Buffer, StringsAndPositions) {
    Buffer b(16);
    b.append(42);
    b.append(ostring("abc"), false);
    EXPECT_EQ(b.getInt(), 42);
    EXPECT_EQ(b.getString(3, false).str(), "abc");
    EXPECT_EQ(b.tell(), 7u);

    Buffer five(8);
    five.append(reinterpret_cast<const unsigned char*>("hello"), 5ul);
    five.seek(2, true);
    EXPECT_EQ(five.getString(-1, false).str(), "llo");
    // A length past the stored bytes is bounded by them.
    five.seek(3, true);
    EXPECT_EQ(five.getString(100, false).str(), "lo");
    EXPECT_EQ(five.tell(), 5u);
    EXPECT_EQ(five.getString(-1, false).size(), 0u);
    // Relative seeks wrap in 32 bits, so a "negative" offset moves back.
    EXPECT_EQ(five.seek(static_cast<unsigned long>(-2), false), 3u);
    EXPECT_EQ(five.seek(100, true), 5u);

    Buffer ten(16);
    ten.append(std::vector<unsigned char>(10).data(), 10ul);
    EXPECT_EQ(ten.seek(100, true), 10u);

    // After a flush the position is past the write end; nothing may be read from there.
    ten.seek(8, true);
    ten.flush();
    EXPECT_EQ(ten.getString(-1, false).size(), 0u);
    EXPECT_EQ(ten.getChar(), 0);
    unsigned long count = 99;
    ten.peek(&count);
    EXPECT_EQ(count, 0u);

    Buffer u(16);
    u.littleEndian(false); // text units are low byte first whatever the flag
    u.append(ostring(L"h\u00e9"), true);
    u.append(static_cast<unsigned char>('!'));
    EXPECT_EQ(stored(u)[0], 'h');
    const ostring wide = u.getString(5, true);
    EXPECT_TRUE(wide.isUnicode());
    EXPECT_EQ(wide.wstr(), std::wstring(L"h\u00e9!"));
    EXPECT_TRUE(u.getString(0, true).isUnicode());

    // The same coding as everywhere: what is no character becomes U+FFFD, written and read.
    Buffer v(16);
    v.append(ostring(std::wstring{wchar_t(0x110041), wchar_t(0xDC00)}), true);
    EXPECT_EQ(stored(v), (std::vector<unsigned char>{0xFD, 0xFF, 0xFD, 0xFF}));
    v.append(static_cast<unsigned char>(0x00));
    v.append(static_cast<unsigned char>(0xD8));
    EXPECT_EQ(v.getString(6, true).wstr(), std::wstring(L"\xFFFD\xFFFD\xFFFD"));
}

TEST(Buffer, Files) {
    TempDir dir;
    const ostring path(dir.file("f.bin").c_str());
    Buffer b(8);
    try {
        b.readFile(path);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
        EXPECT_EQ(e.getMessage().str(), "The file \"" + path.str() + "\" was not found.");
    }

    b.append(reinterpret_cast<const unsigned char*>("abc"), 3ul);
    b.appendToFile(path);
    EXPECT_EQ(TempDir::read(path.str()), "abc");
    b.appendToFile(path);
    EXPECT_EQ(TempDir::read(path.str()), "abcabc");
    EXPECT_FALSE(b.writeToFile(path, false));
    EXPECT_EQ(TempDir::read(path.str()), "abcabc");
    EXPECT_TRUE(b.writeToFile(path, true));
    EXPECT_EQ(TempDir::read(path.str()), "abc");
    EXPECT_THROW(b.writeToFile(ostring(dir.file("missing/x").c_str()), true), Exception);

    TempDir::write(path.str(), "one\r\ntwo\n\nthree");
    Buffer r;
    r.seek(0, true);
    r.readFile(path);
    EXPECT_EQ(r.size(), 15u);
    EXPECT_EQ(r.bytesCount(), 15u);
    std::vector<ostring> lines{ostring("old")};
    Buffer::getFilesStrings(path, lines);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].str(), "one");
    EXPECT_EQ(lines[2].str(), "");
    EXPECT_EQ(lines[3].str(), "three");

    // readFromFile fills the free room and reports the end of the file.
    wxFile file(path.wxstr());
    Buffer part(4);
    EXPECT_TRUE(part.readFromFile(file));
    EXPECT_EQ(part.bytesCount(), 4u);
    Buffer rest(32);
    EXPECT_FALSE(rest.readFromFile(file));
    EXPECT_EQ(rest.bytesCount(), 11u);
    // A file opened for writing only cannot be read: nothing is added, and the loop stops.
    wxFile writeOnly(path.wxstr(), wxFile::write_append);
    Buffer failed(8);
    EXPECT_FALSE(failed.readFromFile(writeOnly));
    EXPECT_EQ(failed.bytesCount(), 0u);
}

TEST(Buffer, Base64AndCrypt) {
    Buffer empty(4);
    EXPECT_EQ(empty.base64Encode(false), nullptr);
    EXPECT_EQ(empty.crypt("k"), nullptr);

    Buffer b(8);
    b.append(reinterpret_cast<const unsigned char*>("abcd"), 4ul);
    std::unique_ptr<char[]> text(b.base64Encode(true));
    EXPECT_STREQ(text.get(), "YWJjZA==\n");
    std::unique_ptr<unsigned char[]> same(b.crypt(""));
    EXPECT_EQ(std::memcmp(same.get(), "abcd", 4), 0);
    std::unique_ptr<unsigned char[]> x(b.crypt("ab"));
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(x[2], 'c' ^ 'a');

    Buffer d(2);
    d.seek(1, true);
    d.base64Decode("YWJjZA==", 8);
    EXPECT_EQ(d.size(), 4u);
    EXPECT_EQ(d.bytesCount(), 4u);
    EXPECT_EQ(d.tell(), 0u);
    EXPECT_EQ(d.getString(-1, false).str(), "abcd");
    d.base64Decode("!!", 2);
    EXPECT_EQ(d.size(), 0u);
}

TEST(Archive, EmptyInterface) {
    using PBN::Files::Archive;
    Archive a(ostring("x.zip"), Archive::Unknown);
    Archive b;
    b = a;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_EQ(a.getType(), 0u);
    EXPECT_TRUE(a.listEntries().empty());
    std::vector<ostring> entries{ostring("kept")};
    a.listEntries(entries);
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_EQ(a.findEntry("x"), nullptr);
    EXPECT_EQ(a.getEntryAt(0), nullptr);
}
