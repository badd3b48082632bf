#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfFile.h"
#include "pemblon/files/ConfFileConf.h"
#include "pemblon/files/FileWatcher.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"

#include "pemblon/tests/files/FilesTestSupport.h"

#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/timer.h>

using namespace PBN::Files;
using FilesTest::contains;
using FilesTest::readFile;
using FilesTest::TempDir;
using FilesTest::writeFile;
using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLNode;

namespace {

XMLNode element(XMLDoc& doc, const char* text, const char* state = nullptr) {
    XMLNode node = doc.getRoot().addChild("wnd", -1);
    node.setText(text, true);
    if (state)
        node.addAttribute("state", state);
    return node;
}

// Remembers the widths it is asked for, wxLIST_AUTOSIZE included.
class RecordingList : public wxListCtrl {
public:
    RecordingList(wxWindow* parent, int columns)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT) {
        for (int i = 0; i < columns; ++i)
            AppendColumn(wxString::Format("c%d", i));
    }
    bool SetColumnWidth(int col, int width) override {
        asked.push_back(width);
        return wxListCtrl::SetColumnWidth(col, width);
    }
    std::vector<int> asked;
};

class Columns : public ::testing::Test {
protected:
    void SetUp() override { frame = new wxFrame(nullptr, wxID_ANY, "columns"); }
    void TearDown() override { frame->Destroy(); }
    wxFrame* frame = nullptr;
};

} // namespace

TEST(WindowGeometry, ReadingPositionSizeAndState) {
    XMLDoc doc;
    wxPoint pos(-1, -1);
    wxSize size(-1, -1);
    EXPECT_EQ(ConfFile::getWndSize(element(doc, ""), pos, size), ConfFile::UNDEFINED);
    EXPECT_EQ(pos, wxPoint(-1, -1));
    EXPECT_EQ(size, wxSize(-1, -1));

    EXPECT_EQ(ConfFile::getWndSize(element(doc, "10 20 640", "maximized"), pos, size), ConfFile::MAXIMIZED);
    EXPECT_EQ(pos, wxPoint(10, 20));
    EXPECT_EQ(size, wxSize(-1, -1));

    EXPECT_EQ(ConfFile::getWndSize(element(doc, "10 x\t20\n30 40", "Iconized"), pos, size),
              ConfFile::ICONIZED);
    EXPECT_EQ(pos, wxPoint(10, 20));
    EXPECT_EQ(size, wxSize(30, 40));

    // A number too large for an int keeps its place but is not used.
    pos = wxPoint(1, 1);
    size = wxSize(2, 2);
    EXPECT_EQ(ConfFile::getWndSize(element(doc, "5 99999999999 7 8", "odd"), pos, size), ConfFile::UNDEFINED);
    EXPECT_EQ(pos, wxPoint(1, 1));
    EXPECT_EQ(size, wxSize(7, 8));
}

TEST(WindowGeometry, WritingKeepsTheOtherHalfAndMarksTheWindowNormal) {
    XMLDoc doc;
    XMLNode node = element(doc, "");
    ConfFile::setWndPos(node, wxPoint(5, 6));
    EXPECT_EQ(node.getText(), ostring("5 6 800 600"));
    EXPECT_EQ(node.getAttribute("state", "").getValue(), ostring("MINIMIZED"));

    XMLNode other = element(doc, "", "MAXIMIZED");
    ConfFile::setWndSize(other, wxSize(300, 200));
    EXPECT_EQ(other.getText(), ostring("0 0 300 200"));
    EXPECT_EQ(other.getAttributesCount(), 1u);
    EXPECT_EQ(other.getAttribute("state", "").getValue(), ostring("MINIMIZED"));
    ConfFile::setWndPos(other, wxPoint(-7, 8));
    EXPECT_EQ(other.getText(), ostring("-7 8 300 200"));

    ConfFile::setWndState(other, ConfFile::MAXIMIZED);
    EXPECT_EQ(other.getText(), ostring("-7 8 300 200"));
    wxPoint pos;
    wxSize size;
    EXPECT_EQ(ConfFile::getWndSize(other, pos, size), ConfFile::MAXIMIZED);
    ConfFile::setWndState(other, ConfFile::ICONIZED);
    EXPECT_EQ(ConfFile::getWndSize(other, pos, size), ConfFile::ICONIZED);
    ConfFile::setWndState(other, ConfFile::UNDEFINED);
    EXPECT_EQ(other.getAttribute("state", "").getValue(), ostring("MINIMIZED"));
    EXPECT_EQ(ConfFile::getWndSize(other, pos, size), ConfFile::MINIMIZED);
}

TEST_F(Columns, SavedWidthsComeBackAndDefaultsFillTheRest) {
    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("root");
    RecordingList three(frame, 3);
    three.SetColumnWidth(0, 100);
    three.SetColumnWidth(1, 50);
    three.SetColumnWidth(2, 80);
    ConfFile::saveColumnsWidth(&three, root, "cols");
    EXPECT_EQ(root.getChild("cols", "").getText(), ostring("100 50 80"));
    ConfFile::saveColumnsWidth(&three, root, "COLS"); // the same element
    EXPECT_EQ(root.getChildrenCount(), 1u);

    RecordingList four(frame, 4);
    four.asked.clear();
    ConfFile::restoreColumnsWidth(&four, {10, 20, 30, 40}, root, "cols");
    EXPECT_EQ(four.asked, (std::vector<int>{100, 50, 80, 40}));
    four.asked.clear();
    ConfFile::restoreColumnsWidth(&four, root, "cols");
    EXPECT_EQ(four.asked, (std::vector<int>{100, 50, 80, wxLIST_AUTOSIZE}));
    four.asked.clear();
    ConfFile::restoreColumnsWidth(&four, {1, 2}, root, "missing");
    EXPECT_EQ(four.asked, (std::vector<int>{1, 2, wxLIST_AUTOSIZE, wxLIST_AUTOSIZE}));

    root.getChild("cols", "").setText("abc 60 99999999999 70 80", true);
    four.asked.clear();
    ConfFile::restoreColumnsWidth(&four, {10, 20, 30}, root, "cols");
    EXPECT_EQ(four.asked, (std::vector<int>{10, 60, 30, 70}));

    RecordingList none(frame, 0);
    XMLNode own = root.addChild("own", -1);
    ConfFile::saveColumnsWidth(&none, own, "");
    EXPECT_EQ(own.getText(), ostring(""));
    ConfFile::saveColumnsWidth(nullptr, own, "x");
    ConfFile::restoreColumnsWidth(nullptr, own, "x");
    EXPECT_EQ(own.getChildrenCount(), 0u);
}

TEST_F(Columns, ConfFileFormsUseTheRootAndAlwaysSave) {
    TempDir dir;
    const std::string path = dir.file("c.xml");
    ConfFileConf conf("root", false);
    conf.setPath(path.c_str());
    conf.addItem("panel", "");
    ConfFile* file = conf.getConfFile(true);
    RecordingList list(frame, 2);
    list.SetColumnWidth(0, 70);
    list.SetColumnWidth(1, 90);
    ConfFile::saveColumnsWidth(&list, file, "cols");
    EXPECT_TRUE(contains(readFile(path), "<cols>70 90</cols>")) << readFile(path);
    XMLNode panel = file->getItemNative("panel");
    ConfFile::saveColumnsWidth(&list, file, "cols", panel);
    EXPECT_EQ(panel.getChild("cols", "").getText(), ostring("70 90"));
    EXPECT_TRUE(contains(readFile(path), "<panel>") || contains(readFile(path), "<panel><cols>"));

    list.asked.clear();
    ConfFile::restoreColumnsWidth(&list, file, "cols");
    EXPECT_EQ(list.asked, (std::vector<int>{70, 90}));
    list.asked.clear();
    ConfFile::restoreColumnsWidth(&list, {5}, file, "nothing", panel);
    EXPECT_EQ(list.asked, (std::vector<int>{5, wxLIST_AUTOSIZE}));
    ConfFile::saveColumnsWidth(&list, nullptr, "cols");
    EXPECT_THROW(ConfFile::saveColumnsWidth(&list, file, "bad name"), PBN::Exception);
}

namespace {

class LoopStopper : public FileWatcherListener {
public:
    explicit LoopStopper(wxEventLoopBase& loop) : m_loop(loop) {}
    void onFileChangedEvent(FileChangedEvent& event) override {
        watchers.push_back(event.data()->watcher);
        types.push_back(event.data()->type);
        m_loop.Exit();
    }
    std::vector<FileWatcher*> watchers;
    std::vector<FileWatcher::ChangeType> types;

private:
    wxEventLoopBase& m_loop;
};

class Deadline : public wxTimer {
public:
    explicit Deadline(wxEventLoopBase& loop) : m_loop(loop) {}
    void Notify() override {
        expired = true;
        m_loop.Exit();
    }
    bool expired = false;

private:
    wxEventLoopBase& m_loop;
};

} // namespace

TEST(FileWatcherTimer, PollsOnTheEventLoopAndCopiesPollForThemselves) {
    TempDir dir;
    const std::string path = dir.file("w.txt");
    writeFile(path, "a");
    FileWatcher original(path.c_str());
    FileWatcher copy(original);

    wxGUIEventLoop loop;
    LoopStopper stopper(loop);
    copy.addListener(&stopper);
    copy.startWatching(20);
    Deadline deadline(loop);
    deadline.StartOnce(5000);
    struct timespec times[2] = {{1400000000, 0}, {1400000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    loop.Run();
    EXPECT_FALSE(deadline.expired);
    ASSERT_EQ(stopper.watchers.size(), 1u);
    EXPECT_EQ(stopper.watchers[0], &copy);
    EXPECT_EQ(stopper.types[0], FileWatcher::MODIFIED);

    std::remove(path.c_str());
    deadline.StartOnce(5000);
    loop.Run();
    ASSERT_EQ(stopper.types.size(), 2u);
    EXPECT_EQ(stopper.types[1], FileWatcher::MISSING);
    copy.stopWatching();
    deadline.Stop();
}
