#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <wx/dir.h>
#include <wx/init.h>
#include <wx/log.h>

#include "pemblon/core/wxDirEraser.h"
#include "pemblon/core/wxLogConsole.h"
#include "pemblon/core/wxMessageOutputStdout.h"
#include "pemblon/core/wxSearchableMemoryBuffer.h"
#include "pemblon/core/wxStreamMsgOutput.h"
#include "platform/win/Win32.h"

namespace fs = std::filesystem;
using PBN::wxLogConsole;
using PBN::wxSearchableMemoryBuffer;

namespace {

wxSearchableMemoryBuffer bufferOf(const std::string& bytes) {
    wxSearchableMemoryBuffer b(bytes.size());
    b.AppendData(bytes.data(), bytes.size());
    return b;
}

std::string bytesOf(const wxMemoryBuffer& b) {
    return std::string(static_cast<const char*>(b.GetData()), b.GetDataLen());
}

// Records wx assertions instead of aborting.
std::vector<std::string> assertions;
void recordAssert(const wxString&, int, const wxString&, const wxString& cond, const wxString&) {
    assertions.push_back(cond.ToStdString());
}

void touch(const fs::path& p) {
    std::ofstream(p) << "x";
}

// wx's base library, started once for the whole program.
class WxBase : public ::testing::Environment {
public:
    void SetUp() override { wxInitialize(); }
    void TearDown() override { wxUninitialize(); }
};
const auto* const wxBase = ::testing::AddGlobalTestEnvironment(new WxBase);

} // namespace

TEST(wxSearchableMemoryBuffer, Find) {
    const char data[] = {1, 2, 3, 7, 0, 5, 6, 7, 8, 7, 9, 10};
    auto b = bufferOf(std::string(data, sizeof data));
    const char pattern[] = {'\x07', '\x09'};
    EXPECT_EQ(b.Find(pattern, 2), 9u);
    EXPECT_EQ(b.Find(pattern, 0), 0u);
    const char tail[] = {'\x0a', '\x0b'}; // would end past the used bytes
    EXPECT_EQ(b.Find(tail, 2), size_t(-1));
    const char whole[] = "\x01\x02";
    EXPECT_EQ(b.Find(whole, 2), 0u);
    EXPECT_EQ(wxSearchableMemoryBuffer(16).Find(pattern, 1), size_t(-1));
}

TEST(wxSearchableMemoryBuffer, MidAndSharing) {
    auto b = bufferOf("abcde");
    EXPECT_EQ(bytesOf(b.Mid(2, wxString::npos)), "cde");
    EXPECT_EQ(bytesOf(b.Mid(1, 2)), "bc");
    EXPECT_EQ(bytesOf(b.Mid(5, 1)), "");
    EXPECT_EQ(bytesOf(b.Mid(9, wxString::npos)), "");

    wxAssertHandler_t old = wxSetAssertHandler(&recordAssert);
    assertions.clear();
    // A range past the end asserts and copies only what exists.
    EXPECT_EQ(bytesOf(b.Mid(3, 100)), "de");
    wxSetAssertHandler(old);
    ASSERT_EQ(assertions.size(), 1u);
    EXPECT_EQ(assertions[0], "first + count <= len");

    wxSearchableMemoryBuffer shared(0);
    shared = b;
    shared = shared;
    EXPECT_EQ(shared.GetData(), b.GetData());
    wxSearchableMemoryBuffer mid = b.Mid(0);
    EXPECT_NE(mid.GetData(), b.GetData());
}

TEST(wxLogConsole, ActivationAndSingleInstance) {
    wxLogConsole::destroy(); // nothing to destroy: no effect
    wxLogStderr* original = new wxLogStderr();
    delete wxLog::SetActiveTarget(original);

    wxLogConsole* console = wxLogConsole::get();
    EXPECT_EQ(wxLogConsole::get(), console);
    EXPECT_EQ(wxLog::GetActiveTarget(), original); // made, not activated
    wxLogConsole::activate(true);
    wxLogConsole::activate(true);
    EXPECT_EQ(wxLog::GetActiveTarget(), console);
    wxLogConsole::activate(false);
    EXPECT_EQ(wxLog::GetActiveTarget(), original);

    console->setPrefix("[pbn] ");
    std::vector<std::wstring> lines;
    SetDebugOutputSink([&](const std::wstring& s) { lines.push_back(s); });
    wxLogConsole::activate(true);
    wxLog::DisableTimestamp();
    wxLogMessage("hello %d", 5);
    wxLogMessage(wxString(L"\u20ac 3 and more"));
    wxLog::FlushActive();
    wxLogConsole::destroy();
    SetDebugOutputSink(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"[pbn] hello 5\n");
    EXPECT_EQ(lines[1], L"[pbn] \u20ac 3 and more\n");
    EXPECT_EQ(wxLog::GetActiveTarget(), original);

    wxLogConsole* fresh = wxLogConsole::get();
    EXPECT_EQ(fresh->getPrefix().str(), "");
    wxLogConsole::destroy();
    delete wxLog::SetActiveTarget(nullptr);
}

TEST(wxMessageOutput, PrintfWritesWithoutLineEnd) {
    std::ostringstream os;
    PBN::wxStreamMsgOutput out(&os);
    out.Printf(L"%d-%s", 12, L"ab");
    out.Output("!");
    EXPECT_EQ(os.str(), "12-ab!");
    // Text the C locale cannot encode is written as UTF-8, not dropped.
    std::ostringstream utf8;
    PBN::wxStreamMsgOutput(&utf8).Printf(L"%ls=%hs", L"\u20ac", "x");
    EXPECT_EQ(utf8.str(), "\xe2\x82\xac=x");
    PBN::wxStreamMsgOutput none;
    none.Printf(L"%d", 1); // no stream: nothing happens

    testing::internal::CaptureStdout();
    PBN::wxMessageOutputStdout std;
    std.Printf(L"%s=%d", L"x", 3);
    std.Output("y");
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "x=3y");
}

class wxDirEraserTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = fs::temp_directory_path() / ("pbn-eraser-" + std::to_string(::getpid()));
        fs::remove_all(base);
        fs::create_directories(base);
    }
    void TearDown() override { fs::remove_all(base); }
    fs::path base;
};

TEST_F(wxDirEraserTest, EmptiesMatchedDirectoriesWithoutFollowingLinks) {
    const fs::path tree = base / "tree", outside = base / "outside";
    fs::create_directories(tree / "a" / "tmp");
    fs::create_directories(tree / "b" / "tmp" / "sub");
    fs::create_directories(tree / "keep");
    fs::create_directories(outside / "tmp");
    touch(tree / "a" / "tmp" / "f1");
    touch(tree / "a" / "tmp" / ".hidden");
    touch(tree / "b" / "tmp" / "f2");
    touch(tree / "b" / "tmp" / "sub" / "f3");
    touch(tree / "keep" / "f4");
    touch(outside / "victim");
    touch(outside / "tmp" / "victim");
    // A link to a directory inside a matched directory, and a linked directory in the tree.
    fs::create_directory_symlink(outside, tree / "a" / "tmp" / "link");
    fs::create_directory_symlink(outside, tree / "linked");

    PBN::wxDirEraser eraser("*/tmp");
    wxDir dir(tree.string());
    dir.Traverse(eraser);

    EXPECT_FALSE(fs::exists(tree / "a" / "tmp"));
    EXPECT_TRUE(fs::is_directory(tree / "b" / "tmp" / "sub"));
    EXPECT_FALSE(fs::exists(tree / "b" / "tmp" / "f2"));
    EXPECT_FALSE(fs::exists(tree / "b" / "tmp" / "sub" / "f3"));
    EXPECT_TRUE(fs::exists(tree / "keep" / "f4"));
    EXPECT_TRUE(fs::exists(outside / "victim"));
    EXPECT_TRUE(fs::exists(outside / "tmp" / "victim"));
}
