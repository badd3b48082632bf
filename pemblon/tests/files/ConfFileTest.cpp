#include "pemblon/files/ConfFile.h"
#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfFileConf.h"
#include "pemblon/files/ConfFileConfItem.h"
#include "pemblon/files/SettingsFile.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"

#include "pemblon/tests/files/FilesTestSupport.h"

#include <stdexcept>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/stdpaths.h>

using namespace PBN::Files;
using FilesTest::contains;
using FilesTest::readFile;
using FilesTest::TempDir;
using FilesTest::writeFile;
using PBN::Strings::ostring;
using PBN::XML::XMLNode;

namespace {

// "settings" with a unique Language (code="1"), a unique Window (state, id) and a repeatable Recent.
void declare(ConfFileConf& conf, const std::string& path) {
    conf.setPath(path.c_str());
    ConfFileConfItem* language = conf.addItem("Language", "en");
    language->addParam("code", "1");
    ConfFileConfItem* window = conf.addItem("Window", "0 0 800 600");
    window->addParam("state", "MINIMIZED");
    window->addParam("id", "main");
    ConfFileConfItem* recent = conf.addItem("Recent", "");
    recent->setUnique(false);
}

std::string message(const PBN::Exception& e) {
    return e.getMessage().str();
}

} // namespace

TEST(ConfFileDeclaration, ItemsAndParameters) {
    ConfFileConf conf("root", false);
    EXPECT_EQ(conf.getRootName(), ostring("root"));
    ConfFileConfItem* a = conf.addItem("a", "1");
    EXPECT_TRUE(a->isUnique());
    EXPECT_EQ(a->getParamsCount(), 0u);
    a->setName("");
    EXPECT_EQ(a->getName(), ostring("a"));
    a->addParam("p", "x");
    a->addParam("q", "y");
    EXPECT_EQ(a->getParamNameAt(1), ostring("q"));
    EXPECT_EQ(a->getParamDftValAt(1), ostring("y"));
    EXPECT_EQ(a->getParamNameAt(2), ostring(""));
    EXPECT_EQ(a->getParamDftValAt(2), ostring(""));
    a->removeParam("p");
    EXPECT_EQ(a->getParamNameAt(0), ostring("q"));
    a->removeParamAt(5);
    a->clearParams();
    EXPECT_EQ(a->getParamsCount(), 0u);

    conf.addItem("b", "2");
    conf.addItem("a", "3");
    EXPECT_EQ(conf.getItemsCount(), 3u);
    EXPECT_EQ(conf.getItemAt(3), nullptr);
    conf.removeItem("a"); // the first one only
    ASSERT_EQ(conf.getItemsCount(), 2u);
    EXPECT_EQ(conf.getItemAt(1)->getDftVal(), ostring("3"));
    conf.removeItemAt(7);
    conf.removeItemAt(0);
    EXPECT_EQ(conf.getItemsCount(), 1u);
    conf.clearItems();
    EXPECT_EQ(conf.getItemsCount(), 0u);
}

TEST(ConfFileLifeCycle, MissingFileIsWrittenWithDefaults) {
    TempDir dir;
    ConfFileConf conf("settings", false);
    declare(conf, dir.file("app.xml"));
    ConfFile* file = conf.getConfFile(true);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getFilename(), ostring(dir.file("app.xml").c_str()));
    EXPECT_EQ(conf.getConfFile(false), file); // the existing object, whatever init says

    const std::string text = readFile(dir.file("app.xml"));
    EXPECT_TRUE(contains(text, "encoding=\"ISO-8859-1\"")) << text;
    EXPECT_TRUE(contains(text, "<Language code=\"1\">en</Language>")) << text;
    EXPECT_TRUE(contains(text, "<Window state=\"MINIMIZED\" id=\"main\">0 0 800 600</Window>")) << text;
    ASSERT_EQ(file->getItemsCount(), 3u);
    EXPECT_EQ(file->getItemNameAt(2), ostring("Recent"));

    // Reloaded as written, with nothing to mend.
    conf.deleteConfFile();
    ConfFile* again = conf.getConfFile(false);
    EXPECT_NO_THROW(again->assertValid(false));
}

TEST(ConfFileLifeCycle, EmptyDeclarationWritesTheRootOnly) {
    TempDir dir;
    ConfFileConf conf("empty", true);
    conf.setPath(dir.file("e.xml").c_str());
    ConfFile* file = conf.getConfFile(true);
    EXPECT_EQ(file->getItemsCount(), 0u);
    EXPECT_EQ(file->getDoc().getRoot().getName(), ostring("empty"));
    EXPECT_TRUE(file->isAutoSave());
    EXPECT_TRUE(file->fileExist());
}

TEST(ConfFileLifeCycle, RelativePathAndFailedReadLeaveNoDocument) {
    ConfFileConf conf("settings", false);
    conf.setPath("pbn-files-test-missing.xml");
    EXPECT_THROW(conf.getConfFile(false), PBN::XML::XMLException);
    // The object stays, without a document: it is reported, not dereferenced.
    ConfFile* file = conf.getConfFile(false);
    const wxString exeDir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
    EXPECT_EQ(file->getFilename().wxstr(), exeDir + "/pbn-files-test-missing.xml");
    try {
        file->getItemsCount();
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(message(e), "The configuration file is not loaded.");
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    EXPECT_THROW(file->save(), PBN::Exception);
    EXPECT_THROW(conf.size(), PBN::Exception);
    EXPECT_THROW(conf.getItemValue("Language"), PBN::Exception);
    EXPECT_THROW(file->set("a", "1"), PBN::Exception);
}

TEST(ConfFileLifeCycle, PathChangeWaitsForANewFileObject) {
    TempDir dir;
    ConfFileConf conf("settings", false);
    declare(conf, dir.file("one.xml"));
    conf.getConfFile(true);
    conf.setPath(dir.file("two.xml").c_str());
    EXPECT_EQ(conf.getConfFile(true)->getFilename(), ostring(dir.file("one.xml").c_str()));
    conf.deleteConfFile();
    EXPECT_EQ(conf.getConfFile(true)->getFilename(), ostring(dir.file("two.xml").c_str()));
    EXPECT_TRUE(wxFileName::FileExists(dir.file("one.xml")));
}

TEST(ConfFileValidation, RepairMendsRootItemsAndParameters) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    // Wrong root; "language" is not "Language"; a Window whose "ID" counts as "id" but lacks
    // "state"; an undeclared item that must stay.
    writeFile(path, "<?xml version=\"1.0\"?>\n<other><language>fr</language><Window ID=\"x\">1 2 3 4</Window>"
                    "<Extra a=\"b\">keep</Extra></other>\n");
    ConfFileConf conf("settings", false);
    declare(conf, path);
    ConfFile* file = conf.getConfFile(true);

    XMLNode root = file->getDoc().getRoot();
    EXPECT_EQ(root.getName(), ostring("settings"));
    EXPECT_EQ(file->getItems("language").size(), 1u);
    ASSERT_EQ(file->getItems("Language").size(), 1u);
    EXPECT_EQ(file->getItems("Language")[0].getValue(), ostring("en"));
    EXPECT_EQ(file->getItems("Language")[0].getParamValue("code"), ostring("1"));
    ConfFileItem window = file->getItems("Window")[0];
    EXPECT_EQ(window.getValue(), ostring("1 2 3 4"));
    EXPECT_EQ(window.getParamsCount(), 2u); // ID kept, state added, no second id
    EXPECT_EQ(window.getParamValue("state"), ostring("MINIMIZED"));
    EXPECT_EQ(window.getParamValue("id"), ostring("x"));
    EXPECT_EQ(file->getItemValue("Extra"), ostring("keep"));

    // The mended file was saved.
    const std::string text = readFile(path);
    EXPECT_TRUE(contains(text, "<settings>")) << text;
    EXPECT_TRUE(contains(text, "<Recent/>") || contains(text, "<Recent></Recent>")) << text;
}

TEST(ConfFileValidation, WithoutRepairTheFirstFaultThrowsAndNothingChanges) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    const std::string original =
        "<?xml version=\"1.0\"?>\n<other><Language code=\"1\">en</Language></other>\n";
    writeFile(path, original);
    ConfFileConf conf("settings", false);
    declare(conf, path);
    ConfFile* file = conf.getConfFile(false); // loads without validation
    EXPECT_EQ(file->getDoc().getRoot().getName(), ostring("other"));
    try {
        file->assertValid(false);
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(message(e), "The configuration file is invalid.");
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    EXPECT_EQ(file->getDoc().getRoot().getName(), ostring("other"));
    EXPECT_EQ(file->getItemsCount(), 1u);
    EXPECT_EQ(readFile(path), original);
}

TEST(ConfFileValidation, DuplicatedUniqueItemKeepsTheLastOccurrence) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    writeFile(path, "<settings><Language code=\"1\">first</Language><Recent>r1</Recent>"
                    "<Language code=\"2\">second</Language><Recent>r2</Recent>"
                    "<Window state=\"MAXIMIZED\" id=\"w\">1</Window></settings>");
    ConfFileConf conf("settings", false);
    declare(conf, path);
    ConfFile* file = conf.getConfFile(true);
    auto languages = file->getItems("Language");
    ASSERT_EQ(languages.size(), 1u);
    EXPECT_EQ(languages[0].getValue(), ostring("second"));
    EXPECT_EQ(file->getItems("Recent").size(), 2u); // not unique: both stay
}

TEST(ConfFileValidation, UnreadableFileIsReplacedByTheDefaults) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    writeFile(path, "<settings><Language>unterminated");
    ConfFileConf conf("settings", false);
    declare(conf, path);
    ConfFile* file = conf.getConfFile(true);
    EXPECT_EQ(file->getItemValue("Language"), ostring("en"));
    EXPECT_TRUE(contains(readFile(path), "<Language code=\"1\">en</Language>"));
}

// Runs the scenario in a child process under an unprivileged user when the tests run as root,
// since permissions do not bind root.
TEST(ConfFileValidation, FileWeMayNotReadIsNotOverwritten) {
    TempDir dir;
    chmod(dir.path().c_str(), 0777);
    const std::string path = dir.file("app.xml");
    auto scenario = [&]() -> bool {
        writeFile(path, "<settings><Language code=\"1\">mine</Language></settings>");
        chmod(path.c_str(), 0200);
        ConfFileConf conf("settings", false);
        declare(conf, path);
        bool refused = false;
        try {
            conf.getConfFile(true);
        } catch (const PBN::XML::XMLException&) {
            refused = true;
        }
        chmod(path.c_str(), 0600);
        return refused && contains(readFile(path), "mine");
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(scenario());
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(scenario() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ConfFileValidation, DeclarationThatCannotBeWrittenIsRefused) {
    TempDir dir;
    for (const char* bad : {"bad name", "", "1st"}) {
        ConfFileConf conf("settings", false);
        conf.setPath(dir.file("bad.xml").c_str());
        conf.addItem(bad, "v");
        EXPECT_THROW(conf.getConfFile(true), PBN::Exception) << bad;
        EXPECT_FALSE(wxFileName::FileExists(dir.file("bad.xml"))) << bad;
    }
    ConfFileConf conf("", false);
    conf.setPath(dir.file("bad.xml").c_str());
    EXPECT_THROW(conf.getConfFile(true), PBN::Exception);
    ConfFileConf params("settings", false);
    params.setPath(dir.file("bad.xml").c_str());
    params.addItem("a", "v")->addParam("p q", "1");
    EXPECT_THROW(params.getConfFile(true), PBN::Exception);
    EXPECT_FALSE(wxFileName::FileExists(dir.file("bad.xml")));
}

TEST(ConfFileSaving, AutoSaveWritesEachChangeAndPlainModeWaitsForSave) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    ConfFileConf conf("settings", false);
    declare(conf, path);
    conf.setItemValue("Language", "de");
    EXPECT_FALSE(contains(readFile(path), ">de<"));
    conf.save();
    EXPECT_TRUE(contains(readFile(path), ">de<"));

    conf.setAutoSave(true);
    EXPECT_TRUE(conf.getConfFile(true)->isAutoSave());
    conf.setItemValue("Language", "it");
    EXPECT_TRUE(contains(readFile(path), ">it<"));
    conf[0u].setParamValue("CODE", "7");
    EXPECT_TRUE(contains(readFile(path), "code=\"7\""));
    // set() never saves, even with auto-save on.
    EXPECT_TRUE(conf.getConfFile(true)->set("Language", "es"));
    EXPECT_TRUE(contains(readFile(path), ">it<"));
}

TEST(ConfFileSaving, FailedSaveIsReportedAndInterruptedSaveKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("app.xml");
    ConfFileConf conf("settings", false);
    declare(conf, path);
    ConfFile* file = conf.getConfFile(true);
    const std::string before = readFile(path);

    file->setItemValue("Language", "changed");
    PBN::Files::Private::SettingsFile::setInterruptHook([](const std::string& tmp) {
        // The temporary file is complete when the save is cut short.
        EXPECT_TRUE(contains(readFile(tmp), ">changed<"));
        throw std::runtime_error("power cut");
    });
    EXPECT_THROW(file->save(), std::runtime_error);
    PBN::Files::Private::SettingsFile::setInterruptHook(nullptr);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(dir.count(), 1u); // no temporary file left behind

    ConfFileConf elsewhere("settings", false);
    declare(elsewhere, dir.file("no/such/dir/app.xml"));
    try {
        elsewhere.getConfFile(true);
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_TRUE(contains(message(e), "no/such/dir/app.xml")) << message(e);
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
}
