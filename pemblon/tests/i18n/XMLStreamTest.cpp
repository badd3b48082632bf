#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"
#include "pemblon/xml/XMLStream.h"

#include <gtest/gtest.h>

#include <sstream>

using PBN::Strings::ostring;
using namespace PBN::XML;
using PBN::XML::end;

namespace {

// The children of an element as "kind:text" (element name, text, comment, PI name).
std::vector<std::string> children(const XMLNode& n) {
    std::vector<std::string> out;
    XMLMixedNode m = n.castToMixedNode();
    for (unsigned int i = 0; i < m.getElementsCount(); ++i) {
        switch (m.getElementTypeAt(i)) {
        case XMLDoc::ELEM_ELEMENT:
            out.push_back("e:" + m.getNodeAt(i).getName().str());
            break;
        case XMLDoc::ELEM_TEXT:
            out.push_back("t:" + m.getTextAt(i).str());
            break;
        case XMLDoc::ELEM_COMMENT:
            out.push_back("c:" + m.getCommentAt(i).str());
            break;
        case XMLDoc::ELEM_PROCINST:
            out.push_back("p:" + m.getProcInstAt(i).getName().str() + "=" +
                          m.getProcInstAt(i).getText().str());
            break;
        default:
            out.push_back("?");
        }
    }
    return out;
}

class XMLStreamTest : public ::testing::Test {
protected:
    XMLDoc doc;
    XMLNode root;
    void SetUp() override {
        root = doc.getRoot();
        root.setName("r");
    }
};

} // namespace

TEST_F(XMLStreamTest, NodeTextEndClimbsBack) {
    XMLStream s(root);
    s << node("a") << "x" << end;
    EXPECT_EQ(s.currentNode(), root);
    ASSERT_EQ(root.getChildrenCount(), 1u);
    EXPECT_EQ(root.getChildAt(0).getName(), ostring("a"));
    EXPECT_EQ(root.getChildAt(0).getText(), ostring("x"));
    s << end << end; // never above the initial node
    EXPECT_EQ(s.currentNode(), root);
}

TEST_F(XMLStreamTest, PlainModeReplacesMixedModeAppends) {
    {
        XMLStream s(root);
        s << node("a") << node("b") << end << "x" << end;
        EXPECT_EQ(children(root.getChildAt(0)), std::vector<std::string>{"t:x"});
    }
    {
        XMLStream s(root);
        s.mixed(true);
        s << node("m") << node("b") << end << "x" << end;
        EXPECT_EQ(children(root.getChildAt(1)), (std::vector<std::string>{"e:b", "t:x"}));
    }
}

// Wide text written with << keeps the characters CP1252 has no byte for, mixed with narrow text
// before and after it; a plain narrow stream still gets the narrowed text.
TEST_F(XMLStreamTest, WideTextArrivesWhole) {
    XMLStream s(root);
    s << node("a") << "caf\xe9 " << ostring(L"snow\u2603 \u20ac") << " \x80" << end;
    s << node("b") << attr("v") << ostring(L"\u0152") << "!" << end << end;
    EXPECT_EQ(root.getChildAt(0).getText().wstr(), std::wstring(L"caf\u00e9 snow\u2603 \u20ac \u20ac"));
    EXPECT_EQ(root.getChildAt(1).getAttribute("v").getValue().str(), "\x8C!");
    std::ostringstream plain;
    plain << ostring(L"a\u00e9\u2603");
    EXPECT_EQ(plain.str(), std::string("a\xe9\0", 3));
}

TEST_F(XMLStreamTest, AttributesTakeTheTextUntilEnd) {
    XMLStream s(root);
    s << node("a") << attr("id") << 5 << end;
    XMLNode a = root.getChildAt(0);
    EXPECT_EQ(a.getAttribute("id").getValue(), ostring("5"));
    EXPECT_EQ(s.currentNode(), a);
    s << end;
    EXPECT_EQ(s.currentNode(), root);
    s << add(a.getAttribute("id"));
    EXPECT_EQ(root.getAttribute("id").getValue(), ostring("5"));
}

TEST_F(XMLStreamTest, EmptyPendingTextKeepsExistingText) {
    root.setText("keep", true);
    XMLStream s(root);
    s << end;
    s.pushText();
    EXPECT_EQ(root.getText(), ostring("keep"));
}

TEST_F(XMLStreamTest, BooleansAndDatesKeepLaterText) {
    XMLStream s(root);
    s << node("a") << xml(true) << end;
    s << node("b") << xml(false) << "X" << end;
    wxDateTime date(4, wxDateTime::Mar, 2011, 5, 6, 7, 8);
    s << node("c") << xml(date) << end;
    EXPECT_EQ(root.getChildAt(0).getText(), ostring("true"));
    EXPECT_EQ(root.getChildAt(1).getText(), ostring("falseX"));
    EXPECT_EQ(root.getChildAt(2).getText(), XMLDoc::dateToString(date, true, false, true));
}

TEST_F(XMLStreamTest, PrefixedNamesNeedADeclarationInScope) {
    XMLNamespace ns(root, "p", "urn:p", "");
    XMLStream s(root);
    s << node("p", "a") << end;
    EXPECT_EQ(root.getChildAt(0).getThisNamespace().getURI(), ostring("urn:p"));
    s << attr("p", "x") << "1" << end;
    EXPECT_EQ(root.getAttribute("x", "p").getValue(), ostring("1"));

    try {
        s << node("q", "b");
        FAIL() << "no exception";
    } catch (const XMLException& e) {
        EXPECT_EQ(e.getMessage(), ostring("Impossible to find namespace q."));
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    EXPECT_EQ(s.currentNode().getName(), ostring("b"));
    try {
        s << attr("q", "y");
        FAIL() << "no exception";
    } catch (const XMLException& e) {
        EXPECT_EQ(e.getMessage(), ostring("Impossible to find namespace q"));
    }
}

TEST_F(XMLStreamTest, XmlStringKeepsEveryChild) {
    XMLStream s(root);
    s << node("a") << xmlString("x<b/>y") << end;
    EXPECT_EQ(children(root.getChildAt(0)), (std::vector<std::string>{"t:x", "e:b", "t:y"}));
    s << node("c") << xmlString("<a/><b/><c/>") << end;
    EXPECT_EQ(children(root.getChildAt(1)), (std::vector<std::string>{"e:a", "e:b", "e:c"}));
    s << node("d") << xmlString("<!--n--><?pi t?>z<e>in</e>") << end;
    EXPECT_EQ(children(root.getChildAt(2)), (std::vector<std::string>{"c:n", "p:pi=t", "t:z", "e:e"}));
    EXPECT_EQ(root.getChildAt(2).getChildAt(0).getText(), ostring("in"));
    s << node("f") << xmlString("<unclosed") << end;
    EXPECT_TRUE(children(root.getChildAt(3)).empty());
}

TEST_F(XMLStreamTest, CommentsInstructionsAndNodes) {
    XMLStream s(root);
    XMLNode loose("loose", XMLNode());
    s << comment("c1") << procInst("go", "now") << add(loose);
    s.mixed(true);
    s << comment("c2") << procInst("m", "v");
    EXPECT_EQ(children(root), (std::vector<std::string>{"c:c1", "p:go=now", "e:loose", "c:c2", "p:m=v"}));
}

TEST_F(XMLStreamTest, ManipulatorsLeaveOtherStreamsAlone) {
    std::ostringstream plain;
    plain << "a";
    static_cast<std::ostream&>(plain) << comment("x") << node("n") << xml(true) << end;
    EXPECT_EQ(plain.str(), "a");
    EXPECT_EQ(root.getElementsCount(), 0u);
}

TEST(XMLStreamFile, LoadsEditsAndSaves) {
    i18ntest::TempDir dir;
    const std::string path = dir.file("s.xml");
    i18ntest::writeFile(path, "<doc><old/></doc>");
    {
        XMLStream s(ostring(path.c_str()));
        ASSERT_TRUE(s.hasDoc());
        s << node("new") << attr("k") << "v" << end << "text";
        s.save("", true);
    }
    XMLDoc back(ostring(path.c_str()));
    EXPECT_EQ(back.getRoot().getChildrenCount(), 2u);
    EXPECT_EQ(back.getRoot().getChildAt(1).getText(), ostring("text"));
    EXPECT_EQ(back.getRoot().getChildAt(1).getAttribute("k").getValue(), ostring("v"));

    XMLStream none;
    EXPECT_FALSE(none.hasDoc());
    none << node("a") << "x" << end;
    none.save(ostring(dir.file("none.xml").c_str()), true);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.xml")));
    EXPECT_THROW(XMLStream(ostring(dir.file("missing.xml").c_str())), XMLException);
}
