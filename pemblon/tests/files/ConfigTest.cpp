#include "pemblon/files/Config.h"
#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfigItem.h"
#include "pemblon/files/SettingsFile.h"
#include "pemblon/xml/XMLDoc.h"

#include "pemblon/tests/files/FilesTestSupport.h"

#include <stdexcept>

#include <sys/stat.h>

#include <wx/filefn.h>

using namespace PBN::Files;
using FilesTest::contains;
using FilesTest::readFile;
using FilesTest::TempDir;
using FilesTest::writeFile;
using PBN::Strings::ostring;

namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        config = Config(dir.file("s.xml").c_str(), "", "1.0");
        config.writeDefault();
    }
    // Saves and loads into a fresh store.
    Config reloaded() {
        config.save(true);
        Config other(config.path(), "", "");
        ostring error;
        EXPECT_TRUE(other.load(&error)) << error.str();
        return other;
    }
    TempDir dir;
    Config config;
};

} // namespace

TEST(ConfigFile, ConstructionAndDefaults) {
    Config none;
    EXPECT_EQ(none.path(), ostring(""));
    EXPECT_EQ(none.rootName(), ostring(""));
    EXPECT_FALSE(none.loaded());

    TempDir dir;
    Config config(dir.file("s.xml").c_str(), "", "");
    EXPECT_EQ(config.rootName(), ostring("config"));
    EXPECT_EQ(config.version(), ostring(""));
    config.rootName("");
    EXPECT_EQ(config.rootName(), ostring("config"));
    config.writeDefault();
    EXPECT_TRUE(config.loaded());
    const std::string text = readFile(dir.file("s.xml"));
    EXPECT_TRUE(contains(text, "<config version=\"\"/>")) << text;

    Config bad(dir.file("bad.xml").c_str(), "two words", "1");
    EXPECT_THROW(bad.writeDefault(), PBN::Exception);
    EXPECT_FALSE(wxFileExists(dir.file("bad.xml")));
}

TEST(ConfigFile, LoadTakesRootAndVersionFromTheFile) {
    TempDir dir;
    writeFile(dir.file("a.xml"), "<settings><x>1</x></settings>");
    Config config(dir.file("a.xml").c_str(), "config", "2.0");
    ostring error;
    ASSERT_TRUE(config.load(&error)) << error.str();
    EXPECT_EQ(config.rootName(), ostring("settings"));
    EXPECT_EQ(config.version(), ostring("1.0"));
    EXPECT_EQ(config.itemValue("x"), ostring("1"));

    // A bad file keeps the document held before.
    writeFile(dir.file("a.xml"), "<settings><x>");
    EXPECT_FALSE(config.load(&error));
    EXPECT_GT(error.size(), 0u);
    EXPECT_EQ(config.itemValue("x"), ostring("1"));

    Config missing(dir.file("none.xml").c_str(), "", "");
    EXPECT_FALSE(missing.load(&error));
    EXPECT_EQ(error.str(), "The file \"" + dir.file("none.xml") + "\" was not found.");
    EXPECT_FALSE(missing.load(nullptr));
}

TEST(ConfigFile, WithoutDocumentReadsFindNothingAndSaveThrows) {
    Config config("/nonexistent/x.xml", "", "");
    EXPECT_EQ(config.itemValue("a"), ostring(""));
    EXPECT_TRUE(config.itemNode("a", true).isNull());
    EXPECT_FALSE(config.remove("a"));
    config.itemValue("a", "1"); // nothing to write into
    EXPECT_FALSE(ConfigItem<int>(config).set("n", 1));
    EXPECT_THROW(config.save(true), PBN::Exception);
    EXPECT_THROW(config.doc(), PBN::Exception);
}

TEST_F(Store, KeysElementsAndAttributes) {
    config.itemValue("window/main", "1");
    EXPECT_EQ(config.itemValue("window/main"), ostring("1"));
    EXPECT_EQ(config.itemValue(" window/main \n"), ostring("1"));
    EXPECT_EQ(config.itemValue("Window/main"), ostring("")); // case counts
    EXPECT_FALSE(config.itemAttr("[x]", true).isNull());
    EXPECT_FALSE(config.doc().getRoot().getAttribute("x", "").isNull());
    config.itemValue("a/[y]", "v");
    EXPECT_EQ(config.itemNode("a").getAttribute("y", "").getValue(), ostring("v"));
    config.itemValue("window/main[status]", "max");
    EXPECT_EQ(config.itemNode("window").getAttribute("mainstatus", "").getValue(), ostring("max"));

    config.itemValue("b/c", "x<y & \"z\"");
    config.itemNode("b/c").addChild("child", -1);
    config.itemValue("b/c", "replaced");
    EXPECT_EQ(config.itemNode("b/c").getChildrenCount(), 0u);

    EXPECT_TRUE(config.remove("a"));
    EXPECT_FALSE(config.remove("a"));
    EXPECT_TRUE(config.remove("[x]"));
    EXPECT_FALSE(config.remove("[x]"));
    EXPECT_FALSE(config.remove("")); // never the root
    EXPECT_FALSE(config.remove(" "));
    EXPECT_FALSE(config.doc().getRoot().isNull());

    config.itemValue("e", "x<y");
    Config other = reloaded();
    EXPECT_EQ(other.itemValue("e"), ostring("x<y"));
    EXPECT_EQ(other.itemValue("window/[mainstatus]"), ostring("max"));
    EXPECT_EQ(other.itemValue("b/c"), ostring("replaced"));
}

TEST_F(Store, KeysThatCannotBeWrittenAreRefused) {
    config.itemValue("keep", "1");
    for (const char* key : {"", " ", "a//b", "/a", "[]", "a/[]", "a b", "1a", "a/[x y]", "[xmlns]",
                            "[xml:lang]", "xml:e", "["}) {
        EXPECT_THROW(config.itemValue(key, "v"), PBN::Exception) << key;
        EXPECT_THROW(ConfigItem<int>(config).set(key, 1), PBN::Exception) << key;
        EXPECT_THROW(config.itemNode(key, true), PBN::Exception) << key;
        EXPECT_EQ(config.itemValue(ostring(key) + ostring("/")), ostring("")) << key;
    }
    EXPECT_EQ(config.itemValue("a//b"), ostring(""));
    EXPECT_TRUE(config.itemNode("a//b").isNull());
    // An accented letter is a name libxml2 would get as a byte that is not UTF-8.
    EXPECT_THROW(config.itemValue(ostring(L"caf\u00e9"), "v"), PBN::Exception);
    EXPECT_FALSE(config.set(ostring(L"caf\u00e9:v;")));
    EXPECT_EQ(config.itemValue("keep"), ostring("1"));
    EXPECT_EQ(config.doc().getRoot().getChildrenCount(), 1u);
    // What is in memory still saves and loads.
    EXPECT_EQ(reloaded().itemValue("keep"), ostring("1"));
}

TEST_F(Store, PrefixedNamesRoundTrip) {
    EXPECT_TRUE(config.set("x\\:y:1;"));
    EXPECT_EQ(config.itemValue("x:y"), ostring("1"));
    config.itemValue("p/[q:r]", "2");
    Config other = reloaded();
    EXPECT_EQ(other.itemValue("x:y"), ostring("1"));
    EXPECT_EQ(other.itemValue("p/[q:r]"), ostring("2"));
    // A name no parser would take back stays out.
    EXPECT_THROW(config.itemValue("a:b:c", "1"), PBN::Exception);
}

TEST_F(Store, Commands) {
    EXPECT_TRUE(config.set("a:1;b/c:2;"));
    EXPECT_EQ(config.itemValue("a"), ostring("1"));
    EXPECT_EQ(config.itemValue("b/c"), ostring("2"));
    EXPECT_TRUE(config.set("z:1"));
    EXPECT_TRUE(config.itemNode("z").isNull());
    EXPECT_TRUE(config.set("n;v:a:b;e:x\\;y\\\\z;"));
    EXPECT_EQ(config.itemValue("v"), ostring("ab")); // a second ':' is dropped
    EXPECT_FALSE(config.itemNode("n").isNull());
    EXPECT_EQ(config.itemValue("e"), ostring("x;y\\z"));
    EXPECT_FALSE(config.set("d:1;:2;"));
    EXPECT_EQ(config.itemValue("d"), ostring("1"));
    EXPECT_FALSE(config.set("q:\\q;"));
    EXPECT_FALSE(config.set("q:1\\"));
    EXPECT_FALSE(config.set(" :1;")); // would name the root
    EXPECT_FALSE(config.set("ok:1;a//b:2;ok2:3;"));
    EXPECT_EQ(config.itemValue("ok"), ostring("1"));
    EXPECT_EQ(config.itemValue("ok2"), ostring("3"));
    EXPECT_EQ(config.doc().getRoot().getName(), ostring("config"));
}

TEST_F(Store, CopiesAreIndependent) {
    config.itemValue("a", "1");
    Config copy(config);
    copy.itemValue("a", "2");
    Config assigned;
    assigned = config;
    assigned.itemValue("a", "3");
    EXPECT_EQ(config.itemValue("a"), ostring("1"));
    EXPECT_EQ(copy.itemValue("a"), ostring("2"));
    EXPECT_EQ(assigned.path(), config.path());
}

TEST_F(Store, SavesAreAtomic) {
    config.itemValue("a", "1");
    config.save(false);
    const std::string before = readFile(config.path().str());
    config.itemValue("a", "2");
    PBN::Files::Private::SettingsFile::setInterruptHook(
        [](const std::string&) { throw std::runtime_error("cut"); });
    EXPECT_THROW(config.save(true), std::runtime_error);
    PBN::Files::Private::SettingsFile::setInterruptHook(nullptr);
    EXPECT_EQ(readFile(config.path().str()), before);
    EXPECT_EQ(dir.count(), 1u);

    // A value libxml2 would write but not read back is refused before it reaches the document.
    EXPECT_THROW(config.itemValue("bad", ostring("\x01")), PBN::Exception);
    EXPECT_TRUE(config.itemNode("bad").isNull());
    EXPECT_THROW(ConfigItem<ostring>(config).set("bad2", ostring("\x02")), PBN::Exception);
    EXPECT_TRUE(config.itemNode("bad2").isNull());
    // A tree the parser would refuse (too deep) never replaces the file.
    PBN::XML::XMLNode deep = config.itemNode("deep", true);
    for (int i = 0; i < 300; ++i)
        deep = deep.addChild("d", -1);
    EXPECT_THROW(config.save(true), PBN::Exception);
    EXPECT_EQ(readFile(config.path().str()), before);
    config.remove("deep");

    // Through a symbolic link the real file is replaced and the link stays.
    std::filesystem::create_symlink(config.path().str(), dir.file("link.xml"));
    Config linked(dir.file("link.xml").c_str(), "", "");
    ASSERT_TRUE(linked.load(nullptr));
    linked.itemValue("via", "link");
    linked.save(true);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.xml")));
    EXPECT_TRUE(contains(readFile(config.path().str()), "<via>link</via>"));

    Config nowhere(dir.file("missing/s.xml").c_str(), "", "1.0");
    EXPECT_THROW(nowhere.writeDefault(), PBN::Exception);
}

// Settings under a folder named in CP1252 text ("\xe9" is "é") live in the file wx sees there,
// whose name the file system holds in UTF-8; saving again replaces it rather than adding one.
TEST(ConfigFile, NonAsciiPathsNameTheFileWxSees) {
    TempDir dir;
    const std::string base = dir.path().string();
    const std::wstring folder = std::wstring(base.begin(), base.end()) + L"/Vid\u00e9os";
    ASSERT_TRUE(wxMkdir(wxString(folder)));
    const ostring path((base + "/Vid\xe9os/r\xe9glages.xml").c_str());

    Config config(path, "", "1.0");
    config.writeDefault();
    config.itemValue("a", "1");
    config.save(true);
    EXPECT_TRUE(wxFileExists(wxString(folder + L"/r\u00e9glages.xml")));
    config.itemValue("a", "2");
    config.save(true);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::string(wxString(folder).fn_str())),
                            std::filesystem::directory_iterator()),
              1);

    Config loaded(path, "", "");
    ostring error;
    ASSERT_TRUE(loaded.load(&error)) << error.str();
    EXPECT_EQ(loaded.itemValue("a"), ostring("2"));
}

// The settings file replaced by a save keeps the permission bits the user gave it.
TEST_F(Store, SavesKeepThePermissionsOfTheFileTheyReplace) {
    const std::string file = config.path().str();
    ASSERT_EQ(chmod(file.c_str(), 0604), 0);
    config.itemValue("a", "1");
    config.save(true);
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::others_read);
    EXPECT_TRUE(contains(readFile(file), "<a>1</a>"));
    EXPECT_EQ(dir.count(), 1u);
}

TEST_F(Store, WindowPlacement) {
    wxPoint pos(1, 1);
    wxSize size(1, 1);
    Config::WindowStatus status = Config::ICONIZED;
    EXPECT_FALSE(config.getWindowPos("window/main", pos, size, status));
    EXPECT_EQ(pos, wxPoint(0, 0));
    EXPECT_EQ(size, wxSize(800, 600));
    EXPECT_EQ(status, Config::MINIMIZED);

    config.setWindowPos("window/main", wxPoint(-10, 20), wxSize(640, 480), Config::MAXIMIZED);
    EXPECT_EQ(config.itemValue("window/main"), ostring("-10 20 640 480"));
    EXPECT_EQ(config.itemValue("window/[mainstatus]"), ostring("maximized"));
    EXPECT_TRUE(config.getWindowPos("window/main", pos, size, status));
    EXPECT_EQ(pos, wxPoint(-10, 20));
    EXPECT_EQ(size, wxSize(640, 480));
    EXPECT_EQ(status, Config::MAXIMIZED);

    config.setWindowPos("dlg/", wxPoint(1, 2), wxSize(3, 4), Config::ICONIZED);
    EXPECT_EQ(config.itemValue("dlg/[status]"), ostring("iconized"));
    EXPECT_TRUE(reloaded().getWindowPos("dlg/", pos, size, status));
    EXPECT_EQ(status, Config::ICONIZED);

    config.itemValue("three", "1 2 3");
    EXPECT_FALSE(config.getWindowPos("three", pos, size, status));
    EXPECT_EQ(size, wxSize(800, 600));
    EXPECT_THROW(config.setWindowPos("", wxPoint(), wxSize(), Config::MINIMIZED), PBN::Exception);

    EXPECT_EQ(Config::stringToWindowStatus("MAXIMIZED"), Config::MAXIMIZED);
    EXPECT_EQ(Config::stringToWindowStatus("Iconized"), Config::ICONIZED);
    EXPECT_EQ(Config::stringToWindowStatus("normal"), Config::MINIMIZED);
    EXPECT_EQ(Config::windowStatusToString(static_cast<Config::WindowStatus>(7)), ostring(""));
}

TEST_F(Store, ColonWithoutAKeyFails) {
    EXPECT_FALSE(config.set(":x"));
    EXPECT_EQ(config.doc().getRoot().getChildrenCount(), 0u);
    EXPECT_EQ(config.doc().getRoot().getText(), ostring(""));
    // A value XML cannot hold is skipped, the other pairs applied.
    EXPECT_FALSE(config.set("a:\x01;b:2;"));
    EXPECT_TRUE(config.itemNode("a").isNull());
    EXPECT_EQ(config.itemValue("b"), ostring("2"));
}

// A settings file saved as UTF-16 loads, and saves again as the same UTF-16 XMLDoc::save writes.
TEST_F(Store, Utf16FileSavesAgain) {
    PBN::XML::XMLDoc doc;
    doc.getRoot().setName("config");
    doc.getRoot().addChild("name", -1).setText(ostring(L"caf\u00e9 \u2603"), true);
    doc.setDocEncoding("UTF-16");
    ASSERT_TRUE(doc.save(config.path(), true));
    const std::string written = readFile(config.path().str());
    ASSERT_TRUE(contains(written, std::string("\0<\0?", 4)) || contains(written, std::string("<\0?\0", 4)));

    Config loaded(config.path(), "", "");
    ostring error;
    ASSERT_TRUE(loaded.load(&error)) << error.str();
    EXPECT_EQ(loaded.itemValue("name").wstr(), std::wstring(L"caf\u00e9 \u2603"));
    EXPECT_NO_THROW(loaded.save(true));
    const std::string saved = readFile(config.path().str());
    EXPECT_TRUE(contains(saved, std::string("\0<\0?", 4)) || contains(saved, std::string("<\0?\0", 4)));
    loaded.itemValue("more", "1");
    EXPECT_NO_THROW(loaded.save(true));
    Config again(config.path(), "", "");
    ASSERT_TRUE(again.load(&error)) << error.str();
    EXPECT_EQ(again.itemValue("more"), ostring("1"));
    EXPECT_EQ(again.itemValue("name").wstr(), std::wstring(L"caf\u00e9 \u2603"));
}
