#include "pemblon/net/HTTPMultipartFormStream.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/debug.h>

#include "pemblon/net/HTTPHandle.h"
#include "pemblon/net/MultipartParser.h"
#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"

using NetTest::narrow;
using PBN::Net::HTTPMultipartFormStream;
using PBN::Strings::ostring;

namespace fs = std::filesystem;

namespace {

class Splitter : public HTTPMultipartFormStream {
public:
    using HTTPMultipartFormStream::escapeFileName;
    using HTTPMultipartFormStream::HTTPMultipartFormStream;
};

ostring text(const std::string& s) {
    return ostring(s.c_str());
}

// Every part as "id|type|body|head", in order.
std::string snapshot(const HTTPMultipartFormStream& stream) {
    std::string result;
    for (unsigned i = 0; i < stream.getPartsCount(); ++i) {
        const std::string body = narrow(stream.getPartPath(i));
        const std::string head = body.substr(0, body.size() - 5) + ".head";
        result += narrow(stream.getPartContentId(i)) + "|" + narrow(stream.getPartContentType(i)) + "|" +
                  NetTest::readFile(body) + "|" + NetTest::readFile(head) + "\n";
    }
    return result;
}

// Writes body in pieces whose sizes come from next(); returns the snapshot.
template <typename Next> std::string split(const std::string& body, Next next) {
    NetTest::TempDir dir;
    Splitter stream(text(dir.file("parts")));
    for (size_t at = 0; at < body.size();) {
        const size_t n = std::min(body.size() - at, next());
        stream.Write(body.data() + at, n);
        EXPECT_EQ(stream.LastWrite(), n);
        at += n;
    }
    return snapshot(stream);
}

const std::string kOne = "--b\r\nContent-ID: <p1>\r\nContent-Type: text/xml\r\n\r\nHELLO\r\n--b--\r\n";

// Preamble with a false start, a part whose body holds delimiter look-alikes, a refused part,
// transport padding after a delimiter, a part without headers and an epilogue.
const std::string kMany =
    "pre--amble\r\n-x\r\n--sep\r\n"
    "Content-Type: application/octet-stream\r\nContent-ID: <a/1@x>\r\n\r\n"
    "one\r\n-\r\n--se\r\n--sepX" +
    std::string("\0\r\n", 3) +
    "end\r\n--sep\r\n"
    "content-id: <lower>\r\nContent-Type: text/plain\r\n\r\nrefused body\r\n--sep\r\n"
    "Content-ID: bare\r\nContent-ID:  <second>\t\r\nContent-Type:  text/plain \r\n\r\ntwo\r\n--sep  \r\n"
    "Content-ID: <lost>\r\nContent-Type: text/plain\r\n\r\nafter padding\r\n--sep\r\n"
    "\r\nno headers\r\n--sep\r\nContent-ID: <third>\r\nContent-Type: x/y\r\n\r\n\r\n--sep--\r\n"
    "--sep\r\nContent-ID: <epilogue>\r\nContent-Type: x/y\r\n\r\nnot a part\r\n";

} // namespace

TEST(MultipartFormStreamTest, FileNamesAreEscapedInOrder) {
    EXPECT_EQ(narrow(Splitter::escapeFileName(text("a_b.c"))), "a_5Fb_2Ec");
    EXPECT_EQ(narrow(Splitter::escapeFileName(text("x:y/z"))), "x_3Ay_2Fz");
    EXPECT_EQ(narrow(Splitter::escapeFileName(text("_2E"))), "_5F2E");
    EXPECT_EQ(narrow(Splitter::escapeFileName(text("\\*?\"<>|@ k"))), "_5C_2A_3F_22_3C_3E_7C_40 k");
    const HTTPMultipartFormStream plain(text("/tmp/parts"));
    const HTTPMultipartFormStream slash(text("/tmp/parts/"));
    EXPECT_EQ(narrow(plain.getPartPath(text("a/b"))), "/tmp/parts/a_2Fb.part");
    EXPECT_EQ(narrow(slash.getPartPath(text("a/b"))), "/tmp/parts/a_2Fb.part");
}

TEST(MultipartFormStreamTest, OneShotBodyGivesOnePartAndItsFiles) {
    NetTest::TempDir dir;
    const std::string parts = dir.file("new/parts");
    fs::create_directories(dir.file("new"));
    std::string bodyPath;
    {
        Splitter stream(text(parts));
        stream.Write(kOne.data(), kOne.size());
        ASSERT_EQ(stream.getPartsCount(), 1u);
        EXPECT_TRUE(stream.IsOk());
        EXPECT_FALSE(stream.IsSeekable());
        EXPECT_EQ(snapshot(stream), "p1|text/xml|HELLO|Content-ID: <p1>\r\nContent-Type: text/xml\r\n\n");
        bodyPath = narrow(stream.getPartPath(0u));
        EXPECT_EQ(bodyPath, parts + "/p1.part");
    }
    EXPECT_FALSE(fs::exists(bodyPath));
    EXPECT_FALSE(fs::exists(parts + "/p1.head"));
}

TEST(MultipartFormStreamTest, OnlyWellFormedHeadersMakeParts) {
    const std::string whole = split(kMany, [] { return kMany.size(); });
    // "--sepX" only begins like a delimiter and stays in the body; "--sep  " is a delimiter with
    // the blanks MIME allows before its line end.
    EXPECT_EQ(whole,
              "a/1@x|application/octet-stream|one\r\n-\r\n--se\r\n--sepX" + std::string("\0\r\n", 3) +
                  "end|Content-Type: "
                  "application/octet-stream\r\nContent-ID: <a/1@x>\r\n\n"
                  "second|text/plain|two|Content-ID: bare\r\nContent-ID:  <second>\t\r\nContent-Type:  "
                  "text/plain \r\n\n"
                  "lost|text/plain|after padding|Content-ID: <lost>\r\nContent-Type: text/plain\r\n\n"
                  "third|x/y||Content-ID: <third>\r\nContent-Type: x/y\r\n\n");
}

// Blanks after a delimiter (the opening one too) are transport padding, as Python's email package
// reads them; a part whose header lines end in bare LFs has no header block before the next
// delimiter, and is refused with its reason instead of taking the next part's body.
const std::string kPadded =
    "--bnd \t\r\nContent-ID: <a>\r\nContent-Type: text/plain\r\n\r\none\r\n--bnd  \r\n"
    "Content-ID: <b>\nContent-Type: text/plain\n\nbare LF body\r\n--bnd\t\r\n"
    "Content-ID: <c>\r\nContent-Type: text/plain\r\n\r\nthree\r\n--bnd \r\n"
    "no: id\r\n\r\nfour\r\n--bnd--  \r\n";

// Bodies beside the parts and refusals they give, the parts as Python's email reads them.
struct SplitRow {
    std::string body;
    std::string parts;
    std::vector<std::string> refusals;
};

const std::string kH1 = "Content-ID: <p1>\r\nContent-Type: text/plain\r\n";
const std::string kH2 = "Content-ID: <p2>\r\nContent-Type: text/plain\r\n";
const std::string kLongId(300, 'x');

const std::vector<SplitRow> kRows = {
    {kPadded,
     "a|text/plain|one|Content-ID: <a>\r\nContent-Type: text/plain\r\n\n"
     "c|text/plain|three|Content-ID: <c>\r\nContent-Type: text/plain\r\n\n",
     {"part 2 of the body: the part's header block does not end, with an empty line ended by CR LF, before "
      "the next delimiter",
      "part 4 of the body: its header names no Content-ID in angle brackets or no Content-Type"}},
    // A part may end with its header block, without a body.
    {"--bnd\r\n" + kH1 + "\r\n--bnd\r\n" + kH2 + "\r\ntwo\r\n--bnd--",
     "p1|text/plain||" + kH1 + "\np2|text/plain|two|" + kH2 + "\n",
     {}},
    {"--bnd\r\n" + kH1 + "\r\n\r\n--bnd--", "p1|text/plain||" + kH1 + "\n", {}},
    // Lines ended by LF alone throughout.
    {"--bnd\nContent-ID: <p1>\nContent-Type: text/plain\n\none\n--bnd\nContent-ID: <p2>\n"
     "Content-Type: text/plain\n\ntwo\n--bnd--\n",
     "p1|text/plain|one|Content-ID: <p1>\nContent-Type: text/plain\n\n"
     "p2|text/plain|two|Content-ID: <p2>\nContent-Type: text/plain\n\n",
     {}},
    // A line that only begins like a delimiter is body text, also the body's first.
    {"--bnd\r\n" + kH1 + "\r\none\r\n--bnd  x\r\nmore\r\n--bnd--",
     "p1|text/plain|one\r\n--bnd  x\r\nmore|" + kH1 + "\n",
     {}},
    {"--bnd\r\n" + kH1 + "\r\n--bndx\r\n--bnd--", "p1|text/plain|--bndx|" + kH1 + "\n", {}},
    // The body ends inside a header block.
    {"--bnd\r\n" + kH1 + "\r\none\r\n--bnd\r\nContent-ID: <p2>\r\nContent-Ty",
     "p1|text/plain|one|" + kH1 + "\n",
     {"part 2 of the body: the body ends inside the part's header block"}},
    {"no boundary\r\nat all\r\n", "", {"part 1 of the body: the body holds no boundary line"}},
    // A Content-ID too long for a file name keeps a shortened one, the part after it its own.
    {"--bnd\r\nContent-ID: <" + kLongId + ">\r\nContent-Type: text/plain\r\n\r\nlong\r\n--bnd\r\n" + kH2 +
         "\r\ntwo\r\n--bnd--",
     kLongId + "|text/plain|long|Content-ID: <" + kLongId + ">\r\nContent-Type: text/plain\r\n\n" +
         "p2|text/plain|two|" + kH2 + "\n",
     {}},
};

TEST(MultipartFormStreamTest, PaddedDelimitersAndHeaderBlocksThatDoNotEnd) {
    NetTest::TempDir dir;
    for (size_t i = 0; i < kRows.size(); ++i) {
        Splitter stream(text(dir.file("parts" + std::to_string(i))));
        stream.Write(kRows[i].body.data(), kRows[i].body.size());
        EXPECT_TRUE(stream.Close()) << i;
        EXPECT_TRUE(stream.IsOk()) << i;
        EXPECT_EQ(snapshot(stream), kRows[i].parts) << i;
        std::vector<std::string> refusals;
        for (unsigned r = 0; r < stream.getRefusedCount(); ++r)
            refusals.push_back(narrow(stream.getRefusal(r)));
        EXPECT_EQ(refusals, kRows[i].refusals) << i;
        for (unsigned p = 0; p < stream.getPartsCount(); ++p)
            EXPECT_LE(fs::path(narrow(stream.getPartPath(p))).filename().string().size(), 255u) << i;
    }

    // A header block that never ends is refused once it passes its bound, and what follows up to
    // the next delimiter is skipped.
    const std::string endless = "--b\r\nContent-ID: <x>\nContent-Type: t/t\n" +
                                std::string(PBN::Net::MultipartParser::kMaxHeaderBlock, 'h') +
                                "\r\n--b\r\nContent-ID: <y>\r\nContent-Type: t/t\r\n\r\nY\r\n--b--";
    Splitter bounded(text(dir.file("bounded")));
    for (size_t at = 0; at < endless.size(); at += 1000)
        bounded.Write(endless.data() + at, std::min<size_t>(1000, endless.size() - at));
    ASSERT_EQ(bounded.getPartsCount(), 1u);
    EXPECT_EQ(narrow(bounded.getPartContentId(0)), "y");
    EXPECT_EQ(NetTest::readFile(narrow(bounded.getPartPath(0u))), "Y");
    ASSERT_EQ(bounded.getRefusedCount(), 1u);
    EXPECT_EQ(narrow(bounded.getRefusal(0)), "part 1 of the body: the part's header block is too long");
}

TEST(MultipartFormStreamTest, AnyChunkingGivesTheSameParts) {
    for (const std::string& body : {kOne, kMany, kPadded, kRows[1].body, kRows[3].body, kRows[4].body}) {
        const std::string whole = split(body, [&] { return body.size(); });
        EXPECT_EQ(split(body, [] { return size_t(1); }), whole);
        for (size_t first = 1; first < body.size(); ++first) {
            bool firstPiece = true;
            EXPECT_EQ(split(body,
                            [&] {
                                const size_t n = firstPiece ? first : body.size();
                                firstPiece = false;
                                return n;
                            }),
                      whole)
                << first;
        }
        std::mt19937 random(7);
        for (int round = 0; round < 50; ++round)
            EXPECT_EQ(split(body, [&] { return size_t(1 + random() % 9); }), whole) << round;
    }
}

TEST(MultipartFormStreamTest, UnfinishedPartIsClosedAndRemoved) {
    NetTest::TempDir dir;
    std::string bodyPath;
    {
        Splitter stream(text(dir.path()));
        const std::string cut = kOne.substr(0, kOne.size() - 9);
        stream.Write(cut.data(), cut.size());
        ASSERT_EQ(stream.getPartsCount(), 1u);
        bodyPath = narrow(stream.getPartPath(0u));
        EXPECT_TRUE(fs::exists(bodyPath));
        stream.Sync();
    }
    EXPECT_FALSE(fs::exists(bodyPath));
}

TEST(MultipartFormStreamTest, SplitsAChunkedDownload) {
    auto server = NetTest::startScriptedHttp();
    PBN::Net::HTTPHandle handle(text(server->url()));
    std::string expected;
    for (int piece : {1, 7, 4096}) {
        NetTest::TempDir dir;
        Splitter stream(text(dir.path()));
        ASSERT_TRUE(handle.doGET(stream, text("/multipart/" + std::to_string(piece))));
        ASSERT_EQ(stream.getPartsCount(), 2u) << piece;
        EXPECT_EQ(narrow(stream.getPartContentId(1)), "att/1");
        EXPECT_EQ(fs::file_size(narrow(stream.getPartPath(1))), 1024u);
        EXPECT_EQ(NetTest::readFile(narrow(stream.getPartPath(text("root@x")))), "<a>root</a>");
        const std::string now = snapshot(stream);
        if (expected.empty())
            expected = now;
        EXPECT_EQ(now, expected) << piece;
    }
}

namespace {

// Counts wx assertions instead of showing them.
int g_asserts = 0;
void countAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) {
    ++g_asserts;
}

} // namespace

TEST(MultipartFormStreamTest, APartWhoseFileCannotBeMadeIsNoPartAndFailsTheStream) {
    NetTest::TempDir dir;
    const wxAssertHandler_t previous = wxSetAssertHandler(countAssert);
    g_asserts = 0;
    // The folder would be inside a file.
    NetTest::writeFile(dir.file("file"), "x");
    {
        Splitter stream(text(dir.file("file/parts")));
        stream.Write(kOne.data(), kOne.size());
        EXPECT_EQ(stream.getPartsCount(), 0u);
        EXPECT_FALSE(stream.IsOk());
        EXPECT_EQ(stream.LastWrite(), 0u);
    }
    EXPECT_EQ(g_asserts, 0);

    // A Content-ID too long for a file name is no reason to fail.
    auto server = NetTest::startScriptedHttp();
    PBN::Net::HTTPHandle handle(text(server->url()));
    Splitter downloaded(text(dir.file("parts")));
    EXPECT_TRUE(handle.doGET(downloaded, text("/multipart-long-id")));
    EXPECT_EQ(downloaded.getPartsCount(), 1u);
    EXPECT_EQ(g_asserts, 0);
    wxSetAssertHandler(previous);
}

TEST(MultipartFormStreamTest, PartsWithTheSameContentIdKeepFilesOfTheirOwn) {
    NetTest::TempDir dir;
    const std::string body = "--b\r\nContent-ID: <p>\r\nContent-Type: text/plain\r\n\r\nfirst\r\n"
                             "--b\r\nContent-ID: <p>\r\nContent-Type: text/plain\r\n\r\nsecond\r\n"
                             "--b\r\nContent-ID: <p_2>\r\nContent-Type: text/plain\r\n\r\nthird\r\n--b--\r\n";
    std::vector<std::string> paths;
    {
        Splitter stream(text(dir.path()));
        stream.Write(body.data(), body.size());
        ASSERT_EQ(stream.getPartsCount(), 3u);
        EXPECT_TRUE(stream.IsOk());
        for (unsigned i = 0; i < 3; ++i)
            paths.push_back(narrow(stream.getPartPath(i)));
        EXPECT_EQ(paths[0], dir.file("p.part"));
        EXPECT_EQ(paths[1], dir.file("p_2.part"));
        EXPECT_EQ(paths[2], dir.file("p_5F2.part"));
        EXPECT_EQ(NetTest::readFile(paths[0]), "first");
        EXPECT_EQ(NetTest::readFile(paths[1]), "second");
        EXPECT_EQ(NetTest::readFile(paths[2]), "third");
        EXPECT_EQ(narrow(stream.getPartPath(text("p"))), paths[0]);
        EXPECT_NE(NetTest::readFile(dir.file("p_2.head")).find("Content-ID: <p>"), std::string::npos);
    }
    for (const std::string& path : paths)
        EXPECT_FALSE(fs::exists(path));
}
