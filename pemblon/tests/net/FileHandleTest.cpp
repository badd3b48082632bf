#include "pemblon/net/FileHandle.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include "pemblon/core/Exception.h"
#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"

using NetTest::narrow;
using PBN::Net::FileHandle;
using PBN::Strings::ostring;

namespace {

std::string url(const std::string& path, wxPathFormat format = wxPATH_NATIVE) {
    return narrow(FileHandle::pathToURL(ostring(path.c_str()), format));
}

} // namespace

TEST(FileHandleTest, WindowsPathsBecomeUrlsWithTheirVolume) {
    EXPECT_EQ(url("C:\\data\\in\\x.txt", wxPATH_DOS), "file://C:/data/in/x.txt");
    EXPECT_EQ(url("\\\\server\\share\\a.txt", wxPATH_DOS), "file:////server/share/a.txt");
    EXPECT_EQ(url("d\\f", wxPATH_DOS), "file://d/f");
    EXPECT_EQ(url("C:\\data\\", wxPATH_DOS), "file://C:/data/");
}

TEST(FileHandleTest, PosixPathsKeepTheirRootAndEscapeWhatLibcurlMisreads) {
    EXPECT_EQ(url("/tmp/ct/ab.txt"), "file:///tmp/ct/ab.txt");
    EXPECT_EQ(url("/tmp/ct/"), "file:///tmp/ct/");
    EXPECT_EQ(url("/tmp/a b#c?d%e.txt"), "file:///tmp/a%20b%23c%3Fd%25e.txt");
    EXPECT_EQ(url("rel/x.txt"), "file://" + std::filesystem::current_path().string() + "/rel/x.txt");
    EXPECT_EQ(url("file:///tmp/x.txt"), "file:///tmp/x.txt");
    EXPECT_EQ(url("http://127.0.0.1/x.txt"), "http://127.0.0.1/x.txt");
}

TEST(FileHandleTest, AnInvalidPathThrows) {
    try {
        FileHandle handle;
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(narrow(e.getMessage()), "The path \"\" is not valid.");
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
}

TEST(FileHandleTest, GetReadsIntoTheBodyOrAFile) {
    NetTest::TempDir dir;
    const std::string bytes = NetTest::patternBytes(70000);
    for (const std::string name : {"plain.bin", "a b#c?d%e.bin", "caf\xc3\xa9.bin"}) {
        NetTest::writeFile(dir.file(name), bytes);
        FileHandle handle(ostring(wxString::FromUTF8(dir.file(name))));
        ASSERT_TRUE(handle.get(ostring(dir.file("copy").c_str()))) << name << " " << handle.getCURLError();
        EXPECT_EQ(NetTest::readFile(dir.file("copy")), bytes) << name;
        EXPECT_EQ(handle.getResponseCode(), -1);
    }
    NetTest::writeFile(dir.file("text.txt"), "hello\n");
    FileHandle handle(ostring(dir.file("text.txt").c_str()));
    ASSERT_TRUE(handle.get(ostring("")));
    EXPECT_EQ(narrow(handle.getResponseBody()), "hello\n");
}

TEST(FileHandleTest, MissingSourceFailsAndUncreatableTargetThrowsUntold) {
    NetTest::TempDir dir;
    FileHandle missing(ostring(dir.file("none.txt").c_str()));
    EXPECT_FALSE(missing.get(ostring("")));
    EXPECT_EQ(static_cast<int>(missing.getCURLError()), 37);

    NetTest::writeFile(dir.file("in.txt"), "x");
    FileHandle handle(ostring(dir.file("in.txt").c_str()));
    NetTest::RecordingListener listener;
    handle.addListener(&listener);
    const std::string target = dir.file("no/such/dir/out.txt");
    try {
        handle.get(ostring(target.c_str()));
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(narrow(e.getMessage()), "Impossible to open (or create) file \"" + target + "\".");
    }
    EXPECT_TRUE(listener.calls.empty());
}

TEST(FileHandleTest, HttpUrlsAreFetchedWithGet) {
    auto server = NetTest::startScriptedHttp();
    FileHandle handle(ostring((server->url() + "/echo").c_str()));
    ASSERT_TRUE(handle.get(ostring("")));
    EXPECT_EQ(narrow(handle.getResponseBody()).rfind("GET /echo HTTP/1.1\r\n", 0), 0u);
}
