#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/ByteStream.h"
#include "pemblon/tests/bytes/TempDir.h"

using PBN::ByteArray;
using PBN::ByteStream;
using PBN::Strings::ostring;

namespace {

std::string text(const ByteArray& a) {
    return a.size() ? std::string(reinterpret_cast<const char*>(a.getBuffer()), a.size()) : std::string();
}

} // namespace

TEST(ByteStream, CreatesItsFileAndReadsThroughTheWindow) {
    TempDir dir;
    const std::string path = dir.file("stream.tmp");
    ByteStream created(ostring(path.c_str()), 4);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(created.getTotalSize(), 0u);

    TempDir::write(path, std::string("abcdefghij\0k", 12));
    ByteStream s(ostring(path.c_str()), 4);
    EXPECT_EQ(s.getTotalSize(), 12u);
    ByteArray out;
    EXPECT_EQ(s.read(out, 3), 3u); // fills the first window
    EXPECT_EQ(text(out), "abc");
    // Straddles the window's end: one byte left there, then the refill.
    EXPECT_EQ(s.read(out, 3), 3u);
    EXPECT_EQ(text(out), "def");
    EXPECT_EQ(s.getBeginPtr(), 4u);
    EXPECT_EQ(s.getReadPtr(), 2u);
    EXPECT_EQ(s.getPos(), 6u);
    EXPECT_EQ(s.extract(out, 0, -1), 4u);
    EXPECT_EQ(text(out), "efgh");
    EXPECT_EQ(s.extract(out, 3, 10), 1u);

    // Within the window only the read position moves.
    EXPECT_EQ(s.seekFromBegin(5), 5u);
    EXPECT_EQ(s.getBeginPtr(), 4u);
    EXPECT_EQ(s.seekFromEnd(-2), 10u);
    EXPECT_EQ(s.getBeginPtr(), 10u);
    EXPECT_EQ(s.read(out, 10), 2u);
    EXPECT_EQ(text(out), std::string("\0k", 2));
    EXPECT_EQ(s.read(out, 1), 0u);
    EXPECT_EQ(s.seek(0), 12u);
    EXPECT_EQ(s.seekFromEnd(0), 12u);
    EXPECT_EQ(s.seek(-100), 0u);
    EXPECT_EQ(s.seekFromBegin(1000), 12u);
    EXPECT_EQ(s.seek(-3), 9u);

    // Content written to the file later is seen.
    TempDir::write(path, std::string(20, 'z'));
    EXPECT_EQ(s.seekFromEnd(-1), 19u);
    EXPECT_EQ(s.getTotalSize(), 20u);

    ByteStream copy(s);
    EXPECT_EQ(copy.getPos(), 19u);
    copy = copy;
    s.write(out);
    s.write(nullptr, 0);
    EXPECT_EQ(s.getTotalSize(), 20u);

    s.deleteTmpFile();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(s.read(out, 1), 0u);
    EXPECT_EQ(s.extract(out, 0, -1), 0u);
    EXPECT_EQ(s.seekFromBegin(1), 0u);
    EXPECT_EQ(s.seek(1), 0u);
    EXPECT_EQ(s.seekFromEnd(-1), 0u);
    EXPECT_EQ(s.getTotalSize(), 20u);
    EXPECT_EQ(s.getTmpFilePath().str(), path);
}

TEST(ByteStream, TwoThreadsOnTwoStreams) {
    TempDir dir;
    TempDir::write(dir.file("a"), std::string(5000, 'a'));
    TempDir::write(dir.file("b"), std::string(5000, 'b'));
    ByteStream a(ostring(dir.file("a").c_str()), 64);
    ByteStream b(ostring(dir.file("b").c_str()), 64);
    auto drain = [](ByteStream* s, unsigned* total) {
        ByteArray out;
        for (unsigned n; (n = s->read(out, 50)) != 0;) {
            *total += n;
            ByteStream copy(*s);
            copy.seek(-1);
        }
    };
    unsigned ta = 0, tb = 0;
    std::thread t1(drain, &a, &ta), t2(drain, &b, &tb);
    t1.join();
    t2.join();
    EXPECT_EQ(ta, 5000u);
    EXPECT_EQ(tb, 5000u);
}
