#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfFile.h"
#include "pemblon/files/ConfFileConf.h"
#include "pemblon/files/ConfFileConfItem.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"

#include "pemblon/tests/files/FilesTestSupport.h"

using namespace PBN::Files;
using FilesTest::contains;
using FilesTest::readFile;
using FilesTest::TempDir;
using FilesTest::writeFile;
using PBN::Strings::ostring;
using PBN::XML::XMLNode;

namespace {

// A loaded file with declared unique "a", declared repeatable "r", and undeclared "other".
class ConfFileItems : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("items.xml");
        writeFile(path, "<root><a p=\"1\">A</a><r>1</r><other>O</other><r>2</r><ITEM>x</ITEM></root>");
        conf.setPath(path.c_str());
        conf.addItem("a", "dft")->addParam("p", "0");
        conf.addItem("r", "")->setUnique(false);
        file = conf.getConfFile(true);
    }
    TempDir dir;
    std::string path;
    ConfFileConf conf{"root", false};
    ConfFile* file = nullptr;
};

} // namespace

TEST_F(ConfFileItems, ByIndex) {
    ASSERT_EQ(file->getItemsCount(), 5u);
    EXPECT_EQ(conf.size(), 5u);
    EXPECT_TRUE(file->getItemAt(5).isNull());
    EXPECT_EQ(file->getItemNameAt(5), ostring(""));
    EXPECT_EQ(file->getItemValueAt(5), ostring(""));
    EXPECT_TRUE(file->getItemNative(5).isNull());
    EXPECT_FALSE(file->isItemStandard(5u));
    EXPECT_EQ(conf.getItemNameAt(2), ostring("other"));
    EXPECT_EQ(conf.getItemValueAt(3), ostring("2"));
    EXPECT_TRUE(conf.isItemStandard(1u));
    EXPECT_FALSE(conf.isItemStandard(2u));

    conf.setItemNameAt(2, "renamed");
    conf.setItemValueAt(2, "a<b");
    EXPECT_EQ(file->getItemValue("renamed"), ostring("a<b"));
    EXPECT_THROW(conf.setItemNameAt(2, "two words"), PBN::Exception);
    file->removeItemAt(2);
    file->removeItemAt(40);
    EXPECT_EQ(file->getItemsCount(), 4u);
}

TEST_F(ConfFileItems, ByNameCaseRulesAndOtherItems) {
    EXPECT_EQ(file->getItem("item").getValue(), ostring("x")); // ignoring case
    EXPECT_TRUE(file->getItems("item").empty());               // exact
    EXPECT_EQ(conf["A"].getValue(), ostring("A"));
    try {
        file->getItem("missing");
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), "The configuration file does not contain any item named missing.");
    }
    EXPECT_THROW(file->getItemValue("missing"), PBN::Exception);
    EXPECT_THROW(file->setItemValue("missing", "v"), PBN::Exception);
    EXPECT_THROW(file->isItemStandard(ostring("missing")), PBN::Exception);
    EXPECT_THROW(conf[ostring("missing")], PBN::Exception);

    auto others = conf.getOtherItems();
    ASSERT_EQ(others.size(), 2u);
    EXPECT_EQ(others[0].getName(), ostring("other"));
    EXPECT_EQ(others[1].getName(), ostring("ITEM"));
    EXPECT_TRUE(conf["a"].isStandard());
    EXPECT_FALSE(conf["other"].isStandard());
}

TEST_F(ConfFileItems, AddAndRemove) {
    try {
        file->addItem("a", "second");
        FAIL() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), "The item \"a\" of the configuration file already exists.");
    }
    file->removeItems("a");
    EXPECT_THROW(file->addItem("a", "again"), PBN::Exception); // the declaration decides
    EXPECT_EQ(file->addItem("r", "3").getValue(), ostring("3"));
    EXPECT_EQ(file->getItems("r").size(), 3u);
    EXPECT_EQ(file->addItem("new", "x&y").getValue(), ostring("x&y"));
    EXPECT_THROW(file->addItem(" new", "v"), PBN::Exception);

    file->addItem("R", "case");
    file->removeItems("r");
    EXPECT_TRUE(file->getItems("r").empty());
    EXPECT_EQ(file->getItems("R").size(), 1u);
    file->clearItems();
    EXPECT_EQ(file->getItemsCount(), 0u);
}

TEST_F(ConfFileItems, Parameters) {
    ConfFileItem item = file->getItem("other");
    item.addParam("first", "1");
    item.addParam("second", "2");
    item.addParam("third", "3");
    item.setParamNameAt(0, "renamed");
    EXPECT_EQ(item.getParamNameAt(2), ostring("renamed"));
    EXPECT_EQ(item.getParamValueAt(2), ostring("1"));
    EXPECT_EQ(item.getParamNameAt(3), ostring(""));
    EXPECT_THROW(item.setParamNameAt(0, "third"), PBN::Exception); // two of one name: unreadable
    EXPECT_THROW(item.addParam("9x", "v"), PBN::Exception);

    item.setParamValue("missing", "v");
    EXPECT_EQ(item.getParamsCount(), 3u);
    item.setParamValue("SECOND", "22");
    EXPECT_EQ(item.getParamValue("second"), ostring("22"));
    item.setParamValueAt(0, "20");
    EXPECT_EQ(item.getParamValueAt(0), ostring("20"));
    item.addParam("THIRD", "x");
    item.removeParam("third"); // every match ignoring case
    EXPECT_EQ(item.getParamsCount(), 2u);
    item.removeParamAt(9);
    item.removeParamAt(0);
    EXPECT_EQ(item.getParamNameAt(0), ostring("renamed"));
    item.clearParams();
    EXPECT_EQ(item.getParamsCount(), 0u);

    item.setName("other2");
    EXPECT_EQ(file->getItemValue("other2"), ostring("O"));
    EXPECT_THROW(item.setName(""), PBN::Exception);

    ConfFileItem null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.getValue(), ostring(""));
    EXPECT_EQ(null.getParamsCount(), 0u);
    EXPECT_FALSE(null.isStandard());
    null.setValue("x");
    null.addParam("p", "v");
    null.setName("n");
}

TEST_F(ConfFileItems, SetByPath) {
    XMLNode a = file->getItemNative("a");
    a.addChild("b", -1).setText("old", true);
    EXPECT_TRUE(file->set("A/B", "5")); // element b: content replaced
    EXPECT_EQ(a.getChild("b", "").getText(), ostring("5"));

    EXPECT_TRUE(file->set("a/P", "6")); // attribute p
    EXPECT_EQ(a.getAttribute("p", "").getValue(), ostring("6"));
    EXPECT_EQ(a.getChildrenCount(), 1u);

    EXPECT_TRUE(file->set("a/c", "7")); // neither: a new element
    EXPECT_EQ(a.getChild("c", "").getText(), ostring("7"));

    EXPECT_FALSE(file->set("none/b", "8")); // no element "none"
    EXPECT_TRUE(file->set("other/", "9"));  // a trailing separator adds no piece
    EXPECT_EQ(file->getItemValue("other"), ostring("9"));

    // What would wipe the file or make it unloadable changes nothing.
    const unsigned int count = file->getItemsCount();
    EXPECT_FALSE(file->set("", "x"));
    EXPECT_FALSE(file->set("/a", "x"));
    EXPECT_FALSE(file->set("a//c", "x"));
    EXPECT_FALSE(file->set(" b", "x"));
    EXPECT_FALSE(file->set("a/x y", "x"));
    EXPECT_FALSE(file->set(ostring(L"caf\u00e9"), "x"));
    EXPECT_EQ(file->getItemsCount(), count);
    EXPECT_EQ(a.getChild("c", "").getText(), ostring("7"));

    // A prefix no declaration binds is kept whole, and the file still loads.
    EXPECT_TRUE(file->set("x:y", "8"));
    EXPECT_FALSE(file->set("a:b:c", "8"));
    file->save();
    conf.deleteConfFile();
    EXPECT_EQ(conf.getItemValue("x:y"), ostring("8"));
    EXPECT_EQ(conf.getItemValue("a"), ostring("A"));
}

TEST_F(ConfFileItems, SetByCommand) {
    file->set("\" window:main;size: '10' ;nocolon;other:x:y\"");
    EXPECT_EQ(file->getItemValue("window"), ostring("main"));
    EXPECT_EQ(file->getItemValue("size"), ostring("10"));
    EXPECT_EQ(file->getItemValue("other"), ostring("x:y"));
    EXPECT_THROW(file->getItem("nocolon"), PBN::Exception);

    // A blank after ';' is part of the name: refused, and nothing else is lost.
    const unsigned int count = file->getItemsCount();
    file->set("a:1; b:2;:3;last:4");
    EXPECT_EQ(file->getItemValue("a"), ostring("1"));
    EXPECT_EQ(file->getItemsCount(), count + 1); // only "last"
    EXPECT_EQ(file->getItemValue("last"), ostring("4"));
    EXPECT_EQ(file->getDoc().getRoot().getName(), ostring("root"));

    // Nothing was saved, and a save now gives a file that loads again.
    EXPECT_FALSE(contains(readFile(path), "last"));
    file->save();
    conf.deleteConfFile();
    EXPECT_EQ(conf.getItemValue("last"), ostring("4"));
}
