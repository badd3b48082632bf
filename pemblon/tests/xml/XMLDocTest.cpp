#include "XMLTestSupport.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"

#include <dirent.h>
#include <future>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <wx/dir.h>
#include <wx/filefn.h>

using PBN::Exception;
using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLException;
using PBN::XML::XMLNode;
using namespace xmltest;

namespace {

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) {
            ++count;
        }
        closedir(dir);
    }
    return count;
}

XMLException loadFailure(const std::string& path, bool validate = false) {
    try {
        XMLDoc doc(ostring(path.c_str()), false, validate);
    } catch (const XMLException& e) {
        return e;
    }
    ADD_FAILURE() << "no exception loading " << path;
    return XMLException();
}

struct Adopting : XMLDoc {
    explicit Adopting(xmlDoc* tree) : XMLDoc(tree) {}
};

} // namespace

TEST(XMLDocTest, NewDocumentHasOneUnnamedRoot) {
    XMLDoc doc;
    EXPECT_EQ(doc.getXMLVersion(), ostring("1.0"));
    EXPECT_FALSE(doc.hasStandalone());
    EXPECT_EQ(doc.getElementsCount(), 1u);
    ASSERT_FALSE(doc.getRoot().isNull());
    EXPECT_EQ(doc.getRoot().getName(), ostring(""));
    EXPECT_EQ(doc.getDocEncoding(), ostring("ISO-8859-1"));
    EXPECT_NE(doc.toString(true).str().find("encoding=\"ISO-8859-1\""), std::string::npos);

    doc.setStandalone(true);
    EXPECT_TRUE(doc.isStandalone());
    EXPECT_TRUE(doc.hasStandalone());
    doc.unsetStandalone();
    EXPECT_FALSE(doc.hasStandalone());
    doc.setXMLVersion("1.1");
    EXPECT_EQ(doc.getXMLVersion(), ostring("1.1"));
}

TEST(XMLDocTest, NullTreeBecomesAnEmptyDocument) {
    Adopting doc(nullptr);
    ASSERT_FALSE(doc.getRoot().isNull());
    doc.setStandalone(false);
    EXPECT_TRUE(doc.hasStandalone());
}

TEST(XMLDocTest, LoadErrorsCarryLibxmlText) {
    const std::string missing = dataPath("no-such-file.xml");
    XMLException e = loadFailure(missing);
    EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
    const std::string text = e.getMessage().str();
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    EXPECT_EQ(text.find("Failed to parse file"), std::string::npos) << text;

    const std::string syntax = dataPath("syntax.xml");
    e = loadFailure(syntax);
    EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
    EXPECT_EQ(e.getMessage().str().rfind(syntax + "@3,", 0), 0u) << e.getMessage().str();
    EXPECT_NE(e.getMessage().str().find(": "), std::string::npos);
    EXPECT_EQ(e.getMessage().str().substr(e.getMessage().size() - 2), "\n\n");

    e = loadFailure(dataPath("invalid.xml"), true);
    EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
    EXPECT_NE(e.getMessage().str().find(dataPath("invalid.xml")), std::string::npos) << e.getMessage().str();

    EXPECT_NO_THROW(XMLDoc(ostring(dataPath("valid.xml").c_str()), false, true));
    EXPECT_THROW(parse("<a>"), XMLException);
    EXPECT_THROW(parse(""), XMLException);
}

TEST(XMLDocTest, XIncludeIsResolvedOnLoad) {
    XMLDoc doc(ostring(dataPath("include.xml").c_str()));
    XMLNode part = doc.getRoot().getChild("part");
    ASSERT_FALSE(part.isNull());
    EXPECT_EQ(part.getText(), ostring("included"));
    EXPECT_EQ(doc.getRoot().getChildrenCount(), 1u);
    EXPECT_THROW(XMLDoc(ostring(dataPath("include-missing.xml").c_str())), XMLException);
}

TEST(XMLDocTest, ThousandsOfFailedLoadsLeakNoDescriptor) {
    const int before = openDescriptors();
    for (int i = 0; i < 1500; ++i) {
        loadFailure(dataPath("syntax.xml"));
        loadFailure(dataPath("invalid.xml"), true);
        loadFailure(dataPath("include-missing.xml"));
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(XMLDocTest, SaveRoundTripIsByteExact) {
    TempDir dir;
    for (const char* name : {"latin1.xml", "utf8.xml"}) {
        const std::string original = readBytes(dataPath(name));
        XMLDoc doc(ostring(dataPath(name).c_str()));
        const std::string target = dir.file(name);
        EXPECT_TRUE(doc.save(ostring(target.c_str()), true));
        EXPECT_EQ(readBytes(target), original) << name;
        EXPECT_EQ(doc.getFilename(), ostring(target.c_str()));
        EXPECT_EQ(doc.toString(true).str(), original);
    }

    // A wide encoding is full of NUL bytes: the file must not end at the first one.
    std::string wide = "\xff\xfe";
    for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r a=\"v\">text</r>\n")) {
        wide += c;
        wide += '\0';
    }
    const std::string wideFile = dir.file("utf16.xml");
    writeBytes(wideFile, wide);
    XMLDoc wideDoc(ostring(wideFile.c_str()));
    EXPECT_TRUE(wideDoc.save());
    EXPECT_EQ(readBytes(wideFile), wide);

    XMLDoc utf(ostring(dataPath("utf8.xml").c_str()));
    EXPECT_EQ(utf.getDocEncoding(), ostring("UTF-8"));
    XMLDoc latin(ostring(dataPath("latin1.xml").c_str()));
    EXPECT_EQ(latin.getRoot().getChild("name").getText(), ostring("Caf\xe9 cr\xe8me"));
    EXPECT_EQ(latin.getRoot().getAttribute("lang").getValue(), ostring("fran\xe7"
                                                                       "ais"));
}

// The narrow text is CP1252 ("\xe9" is "é") while the file system names files in UTF-8: a
// document saved and loaded under such a folder must be the file wx sees there.
TEST(XMLDocTest, NonAsciiPathsNameTheFileWxSees) {
    TempDir dir;
    const std::wstring folder = std::wstring(dir.path.begin(), dir.path.end()) + L"/Vid\u00e9os";
    ASSERT_TRUE(wxMkdir(wxString(folder)));
    const ostring path((dir.path + "/Vid\xe9os/caf\xe9.xml").c_str());

    XMLDoc doc = parse("<r><a>1</a></r>");
    ASSERT_TRUE(doc.save(path));
    EXPECT_TRUE(wxFileExists(wxString(folder + L"/caf\u00e9.xml")));
    EXPECT_EQ(XMLDoc(path).getRoot().getChild("a").getText(), ostring("1"));
    // Saved again over itself: the old file's name is found, no second file appears.
    EXPECT_TRUE(doc.save());
    wxArrayString files;
    EXPECT_EQ(wxDir::GetAllFiles(wxString(folder), &files), 1u);

    // Messages name the file as it was given, never its UTF-8 bytes.
    const std::string given = (dir.path + "/Vid\xe9os/").c_str();
    const std::string missing = given + "none.xml";
    std::string text = loadFailure(missing).getMessage().str();
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    const std::string broken = given + "broken.xml";
    writeBytes(std::string(wxString(folder + L"/broken.xml").fn_str()), "<r>\n<a>\n</r>\n");
    text = loadFailure(broken).getMessage().str();
    EXPECT_EQ(text.rfind(broken + "@3,", 0), 0u) << text;
}

// A save replaces the file by a new one: the new file must take the old one's permission bits
// (here through a link, so those of the file the link points at), not the process's defaults.
TEST(XMLDocTest, SaveKeepsThePermissionsOfTheFileItReplaces) {
    TempDir dir;
    const std::string file = dir.file("private.xml");
    const std::string link = dir.file("link.xml");
    XMLDoc doc = parse("<r/>");
    ASSERT_TRUE(doc.save(ostring(file.c_str())));
    ASSERT_EQ(chmod(file.c_str(), 0604), 0);
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    doc.getRoot().addChild("again");
    ASSERT_TRUE(doc.save(ostring(link.c_str())));
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_NE(readBytes(file).find("<again/>"), std::string::npos);
}

TEST(XMLDocTest, SaveReportsFailureAndLeavesNoTemporary) {
    TempDir dir;
    XMLDoc fresh;
    EXPECT_FALSE(fresh.save());
    EXPECT_FALSE(fresh.save(ostring((dir.path + "/missing/dir/x.xml").c_str())));
    // A folder in the way: the rename fails and the temporary file goes.
    const std::string folder = dir.file("taken");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    EXPECT_FALSE(fresh.save(ostring(folder.c_str())));
    DIR* d = opendir(dir.path.c_str());
    int entries = 0;
    while (dirent* e = readdir(d)) {
        entries += std::string(e->d_name) != "." && std::string(e->d_name) != ".." ? 1 : 0;
    }
    closedir(d);
    EXPECT_EQ(entries, 1);

    const std::string copy = dir.file("copy.xml");
    writeBytes(copy, readBytes(dataPath("latin1.xml")));
    XMLDoc loaded(ostring(copy.c_str()));
    loaded.getRoot().addChild("added");
    EXPECT_TRUE(loaded.save());
    EXPECT_NE(readBytes(copy).find("<added/>"), std::string::npos);

    // Saving through a symbolic link writes the file it points at and keeps the link.
    const std::string link = dir.file("link.xml");
    ASSERT_EQ(symlink(copy.c_str(), link.c_str()), 0);
    loaded.getRoot().addChild("linked");
    EXPECT_TRUE(loaded.save(ostring(link.c_str())));
    struct stat info;
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(readBytes(copy).find("<linked/>"), std::string::npos);

    // A serialiser report is a failed save too, not an exception, and the file stays whole.
    const std::string saved = readBytes(copy);
    loaded.setDocEncoding("no-such-encoding");
    bool result = true;
    EXPECT_NO_THROW(result = loaded.save());
    EXPECT_FALSE(result);
    EXPECT_EQ(readBytes(copy), saved);
}

TEST(XMLDocTest, TopLevelNodesCountTheDoctype) {
    XMLDoc doc(ostring(dataPath("doctype.xml").c_str()));
    ASSERT_EQ(doc.getElementsCount(), 3u);
    EXPECT_EQ(doc.getElementTypeAt(0), XMLDoc::ELEM_ELEMENT);
    EXPECT_EQ(doc.getElementTypeAt(1), XMLDoc::ELEM_COMMENT);
    EXPECT_EQ(doc.getElementTypeAt(2), XMLDoc::ELEM_ELEMENT);
    EXPECT_EQ(doc.getElementTypeAt(3), XMLDoc::ELEM_NONE);
    EXPECT_EQ(doc.getCommentAt(1), ostring("c"));
    EXPECT_EQ(doc.getCommentAt(0), ostring(""));

    doc.addComment("first", 0);
    EXPECT_EQ(doc.getCommentAt(0), ostring("first"));
    doc.addComment("last", -1);
    doc.addComment("past", 99);
    ASSERT_EQ(doc.getElementsCount(), 6u);
    EXPECT_EQ(doc.getCommentAt(4), ostring("last"));
    EXPECT_EQ(doc.getCommentAt(5), ostring("past"));

    // Comments libxml2 would write unreadably are refused.
    doc.addComment("a--b", -1);
    doc.addComment("trailing-", -1);
    EXPECT_EQ(doc.getElementsCount(), 6u);

    PBN::XML::XMLProcInst pi = doc.addProcInst("xml-stylesheet", 1);
    pi.setText("href=\"a.xsl\"");
    EXPECT_EQ(doc.getElementTypeAt(1), XMLDoc::ELEM_PROCINST);
    EXPECT_EQ(doc.getProcInstAt(1), pi);
    EXPECT_TRUE(doc.getProcInstAt(0).isNull());

    doc.removeCommentAt(1); // a processing instruction: untouched
    EXPECT_EQ(doc.getElementsCount(), 7u);
    doc.clearComments();
    EXPECT_EQ(doc.getElementsCount(), 3u);
    doc.clearProcInsts();
    EXPECT_EQ(doc.getElementsCount(), 2u);

    XMLDoc reloaded = parse(doc.toString(true).str());
    EXPECT_EQ(reloaded.getElementsCount(), 2u);
}

TEST(XMLDocTest, IndentRemovesKeptBlanksAndWritesEmptyElementsOpen) {
    XMLDoc doc = parse("<r>\n  <a/>\n  <b>x</b>\n</r>", true);
    EXPECT_EQ(doc.getRoot().castToMixedNode().getElementsCount(), 5u);
    doc.indent(false);
    EXPECT_EQ(doc.getRoot().castToMixedNode().getElementsCount(), 2u);
    EXPECT_NE(doc.toString(false).str().find("<a/>"), std::string::npos);
    doc.indent(true);
    EXPECT_NE(doc.toString(false).str().find("<a></a>"), std::string::npos);
    doc.setIndentString("\t");
    EXPECT_NE(doc.toString(false).str().find("\n\t<a></a>"), std::string::npos);
}

TEST(XMLDocTest, IndentStringOutlivesItsDocument) {
    XMLNode detached;
    {
        XMLDoc doc = parse("<r><a><b/></a></r>");
        doc.setIndentString("    ");
        doc.toString(false);
        detached = doc.getRoot().getChild("a");
        detached.detach();
    }
    EXPECT_EQ(detached.toString(false, 0).str(), "<a>\n    <b/>\n</a>");
    detached.destroy();
}

// libxml2 keeps the indent string per thread: another thread choosing a longer one must not
// free the text this thread still points at.
TEST(XMLDocTest, IndentStringSurvivesOtherThreadsChangingIt) {
    std::promise<void> set, changed;
    std::shared_future<void> changedLater = changed.get_future().share();
    std::string written;
    std::thread worker([&] {
        XMLNode detached = XMLNode::fromString("<b/>");
        {
            XMLDoc doc = parse("<r/>");
            doc.setIndentString(std::string(20, ' ').c_str());
            doc.toString(false);
        }
        set.set_value();
        changedLater.wait();
        written = detached.toString(false, 0).str();
        detached.destroy();
    });
    set.get_future().wait();
    XMLDoc other = parse("<r/>");
    other.setIndentString(std::string(40, '\t').c_str());
    other.toString(false);
    changed.set_value();
    worker.join();
    EXPECT_EQ(written, "<root>\n" + std::string(20, ' ') + "<b/>\n</root>");
}

TEST(XMLDocTest, CopiesAreDeepAndIndependent) {
    XMLDoc a = parse("<r><x/></r>");
    XMLDoc b;
    b = a;
    EXPECT_NE(a, b);
    b.getRoot().addChild("y");
    EXPECT_EQ(a.getRoot().getChildrenCount(), 1u);
    EXPECT_EQ(b.getRoot().getChildrenCount(), 2u);
    XMLDoc c(b);
    c.getRoot().setName("c");
    EXPECT_EQ(b.getRoot().getName(), ostring("r"));
    b = b;
    EXPECT_EQ(b.getRoot().getChildrenCount(), 2u);
    EXPECT_EQ(a, a);
}

TEST(XMLDocTest, CastBoolean) {
    for (const char* t : {"1", " 7 ", "-1", "true", "TRUE", "tRuE"}) {
        EXPECT_TRUE(XMLDoc::castBoolean(t)) << t;
    }
    for (const char* t : {"0", "", " true", "yes", "false"}) {
        EXPECT_FALSE(XMLDoc::castBoolean(t)) << t;
    }
}

TEST(XMLDocTest, StreamOperators) {
    XMLDoc doc = parse("<r/>");
    EXPECT_EQ((ostring("x") + doc).str(), "x" + doc.toString(true).str());
    std::wostringstream out;
    out << doc;
    EXPECT_EQ(out.str(), ostring(doc.toString(true)).wstr());
}
