#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/files/LogStream.h"
#include "pemblon/files/Logger.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"

#include <gtest/gtest.h>

using PBN::Exception;
using PBN::Files::Logger;
using PBN::Files::LogImg;
using PBN::Files::LogManip;
using PBN::Files::LogStream;
using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLMixedNode;
using PBN::XML::XMLNode;

namespace {

ostring os(const std::string& s) {
    return ostring(s.c_str());
}

// The root's children as "m:<text of the message>" and "t:<blank text>".
std::vector<std::string> layout(const std::string& path) {
    XMLDoc doc(os(path), true, false);
    std::vector<std::string> out;
    XMLMixedNode root = doc.getRoot().castToMixedNode();
    for (unsigned int i = 0; i < root.getElementsCount(); ++i) {
        if (root.getElementTypeAt(i) == XMLDoc::ELEM_ELEMENT)
            out.push_back("m:" + root.getNodeAt(i).getText().str());
        else
            out.push_back("t:" + root.getTextAt(i).str());
    }
    return out;
}

std::vector<std::string> messages(const std::string& path) {
    std::vector<std::string> out;
    for (const std::string& s : layout(path))
        if (s.rfind("m:", 0) == 0)
            out.push_back(s.substr(2));
    return out;
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

} // namespace

TEST(Logger, FileLayout) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("app.xml");
    Logger log(os(path), 0, Logger::BYTES, 0);
    log.info("first");
    const std::string text = i18ntest::readFile(path);
    EXPECT_NE(text.find("<?xml-stylesheet type=\"text/xsl\" href=\"log.xslt\"?>"), std::string::npos) << text;
    EXPECT_EQ(layout(path), (std::vector<std::string>{"t:\n  ", "m:first", "t:\n"}));
    log.warning("second");
    log.severe("third");
    EXPECT_EQ(layout(path), (std::vector<std::string>{"t:\n  ", "m:first", "t:\n  ", "m:second", "t:\n  ",
                                                      "m:third", "t:\n"}));
    XMLDoc doc(os(path), true, false);
    XMLNode msg = doc.getRoot().getChildAt(1);
    EXPECT_EQ(doc.getRoot().getName(), ostring("log"));
    EXPECT_EQ(msg.getAttributeAt(0).getName(), ostring("time"));
    EXPECT_EQ(msg.getAttributeAt(1).getName(), ostring("level"));
    EXPECT_EQ(msg.getAttribute("level").getValue(), ostring("WARNING"));
    EXPECT_TRUE(XMLDoc::stringToDate(msg.getAttribute("time").getValue()).IsValid());
    EXPECT_EQ(doc.getElementTypeAt(0), XMLDoc::ELEM_PROCINST);
}

TEST(Logger, ThresholdAndEmptyName) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("t.xml");
    Logger log(os(path), 0, Logger::BYTES, 0);
    log.setLogLevel(Exception::WARNING);
    log.info("dropped");
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(log.info().isNull());
    log.warning("w");
    log.severe("s");
    log.logException(Exception("raw text", Exception::SEVERE));
    EXPECT_EQ(messages(path), (std::vector<std::string>{"w", "s", "raw text"}));

    Logger none("", 0, Logger::BYTES, 0);
    EXPECT_TRUE(none.severe().isNull());
    none.severe("nothing");
}

TEST(Logger, RotationWithThreeGenerations) {
    i18ntest::TempDir dir;
    Logger log(os(dir.file("app%g.xml")), 0, Logger::BYTES, 3); // every existing file is full
    for (int i = 1; i <= 4; ++i)
        log.info(ostring("m") + ostring(std::to_string(i).c_str()));
    // The fourth message found all three full: they were deleted and it starts generation 0.
    EXPECT_EQ(messages(dir.file("app0.xml")), std::vector<std::string>{"m4"});
    EXPECT_FALSE(exists(dir.file("app1.xml")));
    EXPECT_FALSE(exists(dir.file("app2.xml")));
    EXPECT_FALSE(exists(dir.file("app3.xml")));
    log.info("m5");
    EXPECT_EQ(messages(dir.file("app1.xml")), std::vector<std::string>{"m5"});
}

TEST(Logger, RotationWithNoneOrOneKeptFile) {
    for (unsigned int kept : {0u, 1u}) {
        i18ntest::TempDir dir;
        Logger log(os(dir.file("g%g.xml")), 1, Logger::KILOBYTES, kept);
        log.info("a");
        log.info("b"); // still below 1 KiB
        EXPECT_EQ(messages(dir.file("g0.xml")), (std::vector<std::string>{"a", "b"}));
        log.info(ostring(std::string(1200, 'x').c_str()));
        log.info("after");
        EXPECT_EQ(messages(dir.file("g0.xml")), std::vector<std::string>{"after"}) << kept;
        EXPECT_FALSE(exists(dir.file("g1.xml")));
    }
}

TEST(Logger, NamesWithoutOrWithSeveralMarks) {
    i18ntest::TempDir dir;
    Logger plain(os(dir.file("plain.xml")), 0, Logger::BYTES, 2);
    plain.info("1");
    plain.info("2");
    EXPECT_EQ(messages(dir.file("plain.xml")), (std::vector<std::string>{"1", "2"}));
    Logger twice(os(dir.file("a%g-%g.xml")), 10, Logger::MEGABYTES, 2);
    twice.info("x");
    EXPECT_TRUE(exists(dir.file("a0-%g.xml")));
}

TEST(Logger, RelativeNamesLieInTheProgramFolder) {
    // Written with the backslash of the stored settings; taken with the native separator.
    const std::string folder = "i18n-relative-" + std::to_string(::getpid());
    const std::string appDir = PBN::HelperFuncs::getAppDir().str();
    std::filesystem::create_directories(appDir + folder);
    Logger log(os(folder + "\\app%g.xml"), 1, Logger::GIGABYTES, 2);
    log.info("here");
    EXPECT_EQ(messages(appDir + folder + "/app0.xml"), std::vector<std::string>{"here"});
    std::filesystem::remove_all(appDir + folder);
}

// A file cut off mid-entry is reported once, kept as ".bad", and logging goes on in a fresh file.
TEST(Logger, TruncatedFileIsSetAsideAndLoggingGoesOn) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("crash.xml");
    const std::string broken = "<?xml version=\"1.0\"?>\n<log><message time=\"x\" level=\"INFO\">cut";
    i18ntest::writeFile(path, broken);
    const int before = i18ntest::dialogs.count;
    Logger log(os(path), 0, Logger::BYTES, 0);
    log.info("next");
    EXPECT_EQ(i18ntest::dialogs.count, before + 1);
    EXPECT_EQ(i18ntest::readFile(path + ".bad"), broken);
    EXPECT_EQ(messages(path), std::vector<std::string>{"next"});
    log.info("again");
    EXPECT_EQ(i18ntest::dialogs.count, before + 1);
    EXPECT_EQ(messages(path), (std::vector<std::string>{"next", "again"}));
}

// Characters XML cannot hold never make the log unreadable: each message is kept whole with
// those characters as U+FFFD, and nothing is set aside.
TEST(Logger, MessagesWithCharactersXmlCannotHoldAreKeptWhole) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("l.xml");
    const int before = i18ntest::dialogs.count;
    Logger log(os(path), 0, Logger::BYTES, 0);
    for (const char* text : {"m1", "m2", "bad\x01", "m4", "m5", "bad2\x02", "m7"})
        log.info(text);
    log.info(ostring(std::wstring{L'w', wchar_t(0xD800), L'\u2603'}));
    log.info() << LogStream::attr("note", "x\x03y") << "m9" << LogStream::end_msg();
    EXPECT_EQ(i18ntest::dialogs.count, before);
    EXPECT_FALSE(exists(path + ".bad"));
    XMLDoc doc(os(path), true, false);
    std::vector<std::wstring> texts;
    for (unsigned int i = 0; i < doc.getRoot().getChildrenCount(); ++i)
        if (doc.getRoot().getChildAt(i).getName() == ostring("message"))
            texts.push_back(doc.getRoot().getChildAt(i).getText().wstr());
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"m1", L"m2", L"bad\uFFFD", L"m4", L"m5", L"bad2\uFFFD",
                                                L"m7", L"w\uFFFD\u2603", L"m9"}));
}

// Each unreadable generation is set aside under a name of its own; a message that cannot be
// saved is shown.
TEST(Logger, SetAsideLogsNeverOverwriteEachOtherAndFailedSavesAreShown) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("l.xml");
    Logger log(os(path), 0, Logger::BYTES, 0);
    i18ntest::writeFile(path, "<log>first");
    log.info("a");
    i18ntest::writeFile(path, "<log>second");
    log.info("b");
    i18ntest::writeFile(path, "<log>third");
    log.info("c");
    EXPECT_EQ(i18ntest::readFile(path + ".bad"), "<log>first");
    EXPECT_EQ(i18ntest::readFile(path + ".bad.2"), "<log>second");
    EXPECT_EQ(i18ntest::readFile(path + ".bad.3"), "<log>third");
    EXPECT_EQ(messages(path), std::vector<std::string>{"c"});

    // An element name no parser reads back makes the save fail: shown, the log stays readable.
    const int before = i18ntest::dialogs.count;
    log.info() << LogStream::tag("not a name") << "x" << LogStream::end_msg();
    EXPECT_EQ(i18ntest::dialogs.count, before + 1);
    EXPECT_EQ(messages(path), std::vector<std::string>{"c"});
}

namespace {

class LogStreamTest : public ::testing::Test {
protected:
    i18ntest::TempDir dir;
    std::string path;
    Logger log{"", 0, Logger::BYTES, 0};
    void SetUp() override {
        path = dir.file("s.xml");
        log.setLogFile(os(path), 0, Logger::BYTES, 0);
    }
    XMLNode firstMessage(XMLDoc& doc) { return doc.getRoot().getChildAt(0); }
};

std::vector<std::string> kids(const XMLNode& n) {
    std::vector<std::string> out;
    XMLMixedNode m = n.castToMixedNode();
    for (unsigned int i = 0; i < m.getElementsCount(); ++i)
        out.push_back(m.getElementTypeAt(i) == XMLDoc::ELEM_ELEMENT
                          ? "<" + m.getNodeAt(i).getName().str() + ">" + m.getNodeAt(i).getText().str()
                          : m.getTextAt(i).str());
    return out;
}

} // namespace

TEST_F(LogStreamTest, MarkupAndNumbers) {
    log.info() << "a" << LogStream::bold() << "b" << LogStream::end_tag() << "c" << LogStream::end_line(false)
               << LogStream::end_line(true) << LogStream::anchor("x.html", true) << "link"
               << LogStream::end_tag() << LogStream::image("p.png", LogImg::LEFT, LogImg::CENTER)
               << LogStream::ofClass("k") << 0.5 << (short)-3 << 5 << 7u << 8L << wxLongLong(-9)
               << wxULongLong(10) << LogStream::end_msg();
    XMLDoc doc(os(path), true, false);
    XMLNode msg = firstMessage(doc);
    EXPECT_EQ(kids(msg), (std::vector<std::string>{"a", "<b>b", "c", "<br>", "<br>", "<a>link", "<img>",
                                                   "0.5-3578-910"}));
    XMLNode a = msg.getChild("a");
    EXPECT_EQ(a.getAttribute("href").getValue(), ostring("x.html"));
    EXPECT_EQ(a.getAttribute("target").getValue(), ostring("_blank"));
    XMLNode img = msg.getChild("img");
    EXPECT_EQ(img.getAttribute("src").getValue(), ostring("p.png"));
    EXPECT_EQ(img.getAttribute("style").getValue(), ostring("text-align: left; vertical-align: middle;"));
    EXPECT_EQ(msg.getAttribute("class").getValue(), ostring("k"));
    EXPECT_EQ(LogStream::image("q", LogImg::TOP, LogImg::TOP).style(),
              ostring("text-align: ; vertical-align: top;"));
}

TEST_F(LogStreamTest, EndMsgWithoutSaveThenWithSave) {
    LogStream s = log.info();
    s << "body" << LogStream::end_msg(false);
    EXPECT_FALSE(s.isNull());
    EXPECT_TRUE(messages(path).empty());
    s << LogManip(); // a default manipulator ends and saves
    EXPECT_TRUE(s.isNull());
    EXPECT_EQ(messages(path), std::vector<std::string>{"body"});
}

TEST_F(LogStreamTest, CopiesShareTheDocument) {
    LogStream s = log.info();
    LogStream copy = s;
    EXPECT_TRUE(copy == s);
    s << "one";
    copy << "two";
    s.save(true);
    EXPECT_TRUE(copy.isNull());
    copy << "ignored" << LogStream::end_msg(); // nothing happens, nothing is freed twice
    EXPECT_EQ(messages(path), std::vector<std::string>{"onetwo"});
    {
        LogStream unsaved = log.info();
        unsaved << "lost";
    } // freed unsaved with its last copy
    EXPECT_EQ(messages(path), std::vector<std::string>{"onetwo"});
}

TEST_F(LogStreamTest, EndTagClimbsToTheLogButNotAbove) {
    log.info("first");
    log.info() << "in" << LogStream::end_tag() << "beside" << LogStream::end_tag() << LogStream::end_tag()
               << "still" << LogStream::end_msg();
    XMLDoc doc(os(path), true, false); // the file still parses
    EXPECT_EQ(messages(path), (std::vector<std::string>{"first", "in"}));
    EXPECT_NE(i18ntest::readFile(path).find("besidestill"), std::string::npos);
}

TEST_F(LogStreamTest, NullStreamAcceptsEverything) {
    LogStream s;
    s << "x" << 1 << LogStream::bold() << XMLNode() << LogStream::end_msg();
    s.save(true);
    EXPECT_TRUE(s.isNull());
    EXPECT_FALSE(exists(path));
}

TEST(LogManip, Factories) {
    EXPECT_EQ(LogStream::style("s"), LogManip("style", ostring("s")));
    EXPECT_EQ(LogStream::id("i").getName(), ostring("id"));
    EXPECT_EQ(LogStream::bold(), LogManip("b", false));
    EXPECT_EQ(LogStream::end_line(false), LogStream::empty_tag("br"));
    EXPECT_EQ(LogStream::end_tag().getManip(), LogManip::END_TAG);
    LogManip m;
    EXPECT_EQ(m.getManip(), LogManip::END_MSG);
    EXPECT_TRUE(m.doSave());
    EXPECT_FALSE(LogStream::end_msg(false).doSave());
    EXPECT_EQ(LogStream::end_msg(false), LogStream::end_msg(true)); // save is not compared
    EXPECT_NE(LogStream::anchor("a", true), LogStream::anchor("a", false));
}
