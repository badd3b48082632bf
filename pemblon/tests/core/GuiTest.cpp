#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <wx/app.h>
#include <wx/imagbmp.h>
#include <wx/image.h>
#include <wx/imaggif.h>
#include <wx/log.h>
#include <wx/mimetype.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/core/wxLogConsole.h"
#include "pemblon/tests/support/AnsweredDialogs.h"

namespace fs = std::filesystem;
using PBN::Exception;
using PBN::HelperFuncs;
using PBN::Strings::ostring;

namespace {

// A running wx application for the whole program; the library is started once, as a
// program does.
class WxApp : public ::testing::Environment {
public:
    void SetUp() override {
        wxApp::SetInstance(new wxApp());
        int argc = 1;
        static wxChar name[] = wxT("pemblon_core_gui_tests");
        static wxChar* argv[] = {name, nullptr};
        ASSERT_TRUE(wxEntryStart(argc, argv));
        wxTheApp->CallOnInit();
        HelperFuncs::initLib();
    }
    void TearDown() override {
        HelperFuncs::releaseLib();
        wxEntryCleanup();
    }
};
const auto* const wxAppEnv = ::testing::AddGlobalTestEnvironment(new WxApp);

class Reformatting : public Exception {
public:
    using Exception::Exception;
    ostring formatMessage() const override { return ostring(L"reformatted"); }
};

fs::path scratch() {
    fs::path p = fs::temp_directory_path() / ("pbn-gui-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
}

} // namespace

TEST(ExceptionDisplay, ShowsTextCaptionAndIcon) {
    AnsweredDialogs answer(true);
    Exception("abc", Exception::WARNING).display(nullptr, true);
    EXPECT_EQ(answer.count, 1);
    EXPECT_EQ(answer.messages.back(), "abc");
    EXPECT_EQ(answer.captions.back(), "Exception");
    EXPECT_EQ(answer.styles.back() & 0xFFFF, 260);

    Exception("abc").display(nullptr, false);
    EXPECT_EQ(answer.messages.back(), "Error: abc");
    EXPECT_EQ(answer.styles.back() & 0xFFFF, 516);

    Exception("abc", Exception::DEBUG2).display();
    EXPECT_EQ(answer.styles.back() & 0xFFFF, 2052);
    Exception("abc", Exception::INFO).display();
    EXPECT_EQ(answer.styles.back() & 0xFFFF, 2052);

    Reformatting("raw").display(nullptr, false);
    EXPECT_EQ(answer.messages.back(), "reformatted");
    Reformatting("raw").display(nullptr, true);
    EXPECT_EQ(answer.messages.back(), "raw");
    EXPECT_EQ(answer.count, 6);
}

TEST(HelperFuncsGui, StartedLibraryLoadsImagesAndIcons) {
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_GIF), nullptr);

    const fs::path dir = scratch();
    wxImage image(16, 8);
    image.SetRGB(wxRect(0, 0, 16, 8), 10, 200, 30);
    ASSERT_TRUE(image.SaveFile((dir / "pic.png").string(), wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(image.SaveFile((dir / "pic.XPM").string(), wxBITMAP_TYPE_XPM));
    // The smallest GIF: one pixel, two colours.
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01,
                                 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    std::ofstream(dir / "pic.GIF", std::ios::binary).write(reinterpret_cast<const char*>(gif), sizeof gif);

    wxBitmap bitmap = HelperFuncs::loadBitmap((dir / "pic.png").c_str());
    ASSERT_TRUE(bitmap.IsOk());
    EXPECT_EQ(bitmap.GetWidth(), 16);
    EXPECT_EQ(bitmap.GetHeight(), 8);

    // The type follows the extension, whatever its case.
    EXPECT_TRUE(HelperFuncs::loadIcon((dir / "pic.GIF").c_str()).IsOk());
    EXPECT_TRUE(HelperFuncs::loadIcon((dir / "pic.XPM").c_str()).IsOk());
    {
        wxLogNull quiet;
        EXPECT_FALSE(HelperFuncs::loadBitmap((dir / "missing.png").c_str()).IsOk());
        EXPECT_FALSE(HelperFuncs::loadIcon((dir / "missing.gif").c_str()).IsOk());
    }
    fs::remove_all(dir);
}

// The viewer registers wx's handlers itself before the library starts, for its splash picture;
// the library's start then registers none a second time (wx reports each one it is given twice).
TEST(HelperFuncsGui, StartAfterTheProgramsOwnHandlersAddsNoSecondOne) {
    struct Messages : wxLog {
        std::string text;
        void DoLogTextAtLevel(wxLogLevel, const wxString& msg) override { text += msg.utf8_string() + "\n"; }
    };
    wxInitAllImageHandlers();
    const size_t registered = wxImage::GetHandlers().GetCount();
    auto* messages = new Messages;
    wxLog* previous = wxLog::SetActiveTarget(messages);
    const wxLogLevel level = wxLog::GetLogLevel();
    wxLog::SetLogLevel(wxLOG_Max);
    HelperFuncs::initLib();
    wxLog::FlushActive();
    wxLog::SetLogLevel(level);
    wxLog::SetActiveTarget(previous);
    EXPECT_EQ(messages->text.find("duplicate"), std::string::npos) << messages->text;
    delete messages;
    EXPECT_EQ(wxImage::GetHandlers().GetCount(), registered);
}

namespace {

// Stands in for wx's handler of one image type and counts the files handed to it.
class RecordingHandler : public wxImageHandler {
public:
    RecordingHandler(const wxString& name, wxBitmapType type) {
        SetName(name);
        SetType(type);
    }
    int calls = 0;
    bool LoadFile(wxImage* image, wxInputStream&, bool, int) override {
        ++calls;
        return image->Create(2, 2);
    }

protected:
    bool DoCanRead(wxInputStream&) override { return true; }
};

} // namespace

TEST(HelperFuncsGui, IconTypeFollowsTheExtension) {
    // GTK first tries its own loader, which reads what the bytes are; bytes it cannot read reach
    // the wx handler of the type the extension chose.
    const fs::path dir = scratch();
    for (const char* name : {"a.GIF", "b.Ico", "c.png", "d"})
        std::ofstream(dir / name) << "not an image at all";
    wxImageHandler* gif = wxImage::FindHandler(wxBITMAP_TYPE_GIF);
    wxImageHandler* ico = wxImage::FindHandler(wxBITMAP_TYPE_ICO);
    ASSERT_TRUE(gif && ico);
    const wxString gifName = gif->GetName(), icoName = ico->GetName();
    wxImage::RemoveHandler(gifName);
    wxImage::RemoveHandler(icoName);
    auto* gifRecorder = new RecordingHandler("recorded GIF", wxBITMAP_TYPE_GIF);
    auto* icoRecorder = new RecordingHandler("recorded ICO", wxBITMAP_TYPE_ICO);
    wxImage::InsertHandler(gifRecorder);
    wxImage::InsertHandler(icoRecorder);
    {
        wxLogNull quiet;
        HelperFuncs::loadIcon((dir / "a.GIF").c_str());
        EXPECT_EQ(gifRecorder->calls, 1);
        EXPECT_EQ(icoRecorder->calls, 0);
        HelperFuncs::loadIcon((dir / "b.Ico").c_str());
        HelperFuncs::loadIcon((dir / "c.png").c_str());
        HelperFuncs::loadIcon((dir / "d").c_str());
        EXPECT_EQ(gifRecorder->calls, 1);
        EXPECT_EQ(icoRecorder->calls, 3);
    }
    wxImage::RemoveHandler("recorded GIF");
    wxImage::RemoveHandler("recorded ICO");
    wxImage::AddHandler(new wxGIFHandler);
    wxImage::AddHandler(new wxICOHandler);
    fs::remove_all(dir);
}

TEST(HelperFuncsGui, ProgressDialogWidth) {
    wxProgressDialog dialog("title", "message", 100, nullptr, wxPD_APP_MODAL);
    const int height = dialog.GetSize().GetHeight();
    HelperFuncs::setProgressDialogSize(&dialog);
    EXPECT_EQ(dialog.GetSize().GetWidth(), 400);
    EXPECT_EQ(dialog.GetSize().GetHeight(), height);
    HelperFuncs::setProgressDialogSize(nullptr);
}

TEST(HelperFuncsGui, OpenUrlPassesTheWholeTextAsOneArgument) {
    const fs::path dir = scratch();
    const fs::path script = dir / "open.sh", record = dir / "args.txt";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" << record.string()
                          << ".tmp\"\nmv \"" << record.string() << ".tmp\" \"" << record.string() << "\"\n";
    fs::permissions(script, fs::perms::owner_all);
    wxFileTypeInfo html("text/html");
    html.SetOpenCommand(script.string() + " %s");
    html.AddExtension("html");
    // Only our association may answer: the machine's are loaded, then dropped.
    delete wxTheMimeTypesManager->GetFileTypeFromExtension("txt");
    wxTheMimeTypesManager->ClearData();
    wxTheMimeTypesManager->AddFallback(html);

    auto opened = [&](const ostring& url) -> std::string {
        fs::remove(record);
        if (!HelperFuncs::openURL(url))
            return "<not started>";
        for (int i = 0; i < 500 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(record);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // An empty path uses the html type, and the URL itself is opened.
    EXPECT_EQ(opened("http://example.invalid"), "1\nhttp://example.invalid\n");
    EXPECT_EQ(opened("http://example.invalid/a b/it's \"x\".html"),
              "1\nhttp://example.invalid/a b/it's \"x\".html\n");
    // No type for the extension, none for text: nothing is started.
    EXPECT_EQ(opened("/nowhere/file.pbn-unknown-type"), "<not started>");
    fs::remove_all(dir);
}

TEST(HelperFuncsGui, ReleaseDeletesTheLogConsole) {
    PBN::wxLogConsole::get()->setPrefix("x");
    HelperFuncs::releaseLib();
    EXPECT_EQ(PBN::wxLogConsole::get()->getPrefix().str(), "");
    HelperFuncs::initLib(ostring("unused"));
}
