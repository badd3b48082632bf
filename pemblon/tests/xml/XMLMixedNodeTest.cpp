#include "XMLTestSupport.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLMixedNode;
using PBN::XML::XMLNode;
using PBN::XML::XMLProcInst;
using namespace xmltest;

TEST(XMLMixedNodeTest, CountsAndKindsOfAllChildren) {
    XMLDoc doc = parse("<r>a<!--c--><e/><?p d?></r>");
    XMLMixedNode m = doc.getRoot().castToMixedNode();
    ASSERT_EQ(m.getElementsCount(), 4u);
    EXPECT_EQ(m.getElementTypeAt(0), XMLDoc::ELEM_TEXT);
    EXPECT_EQ(m.getElementTypeAt(1), XMLDoc::ELEM_COMMENT);
    EXPECT_EQ(m.getElementTypeAt(2), XMLDoc::ELEM_ELEMENT);
    EXPECT_EQ(m.getElementTypeAt(3), XMLDoc::ELEM_PROCINST);
    EXPECT_EQ(m.getElementTypeAt(4), XMLDoc::ELEM_NONE);
    EXPECT_EQ(m.getTextAt(0), ostring("a"));
    EXPECT_EQ(m.getCommentAt(1), ostring("c"));
    EXPECT_EQ(m.getCommentAt(3), ostring(""));
    EXPECT_EQ(m.getNodeAt(2).getName(), ostring("e"));
    EXPECT_TRUE(m.getNodeAt(0).isNull());
    EXPECT_EQ(m.getProcInstAt(3).getText(), ostring("d"));
    EXPECT_TRUE(m.equals(XMLMixedNode()));
}

TEST(XMLMixedNodeTest, PositionsAndTextMerging) {
    XMLDoc doc = parse("<r><a/><b/></r>");
    XMLMixedNode m = doc.getRoot().castToMixedNode();
    m.addText("first", 0);
    m.addText("mid", 2);
    m.addComment("end", -1);
    ASSERT_EQ(m.getElementsCount(), 5u);
    EXPECT_EQ(m.getTextAt(0), ostring("first"));
    EXPECT_EQ(m.getTextAt(2), ostring("mid"));
    m.addText("tail", 99);
    m.addText(" more", -1); // merges into the trailing text
    EXPECT_EQ(m.getElementsCount(), 6u);
    EXPECT_EQ(m.getTextAt(5), ostring("tail more"));
    m.addComment("x--y", -1);
    EXPECT_EQ(m.getElementsCount(), 6u);

    XMLNode n = m.addNode("n", 1);
    EXPECT_EQ(m.getNodeAt(1), n);
    XMLProcInst pi = m.addProcInst("pi", 0);
    EXPECT_EQ(m.getProcInstAt(0), pi);
    XMLMixedNode sub = m.addMixedNode("sub", -1);
    sub.addText("inside", -1);
    EXPECT_EQ(m.getMixedNode("SUB").getTextAt(0), ostring("inside"));
    EXPECT_EQ(m.getMixedNodeAt(m.getElementsCount() - 1), sub);
}

TEST(XMLMixedNodeTest, Removals) {
    XMLDoc doc = parse("<r>t<x/><?x d?><!--c--><y/>u<?p?></r>");
    XMLMixedNode m = doc.getRoot().castToMixedNode();
    m.removeNodes("X");
    EXPECT_EQ(m.getElementsCount(), 5u);
    m.removeTextAt(1); // a comment: kept
    EXPECT_EQ(m.getElementsCount(), 5u);
    m.removeCommentAt(1);
    EXPECT_EQ(m.getElementsCount(), 4u);
    m.removeNode("nothing");
    EXPECT_EQ(m.getElementsCount(), 4u);
    m.removeNode("Y");
    EXPECT_EQ(m.getElementsCount(), 3u);

    XMLDoc other = parse("<o><k/></o>");
    XMLNode foreign = other.getRoot().getChild("k");
    m.removeNode(foreign); // not a child here: nothing
    EXPECT_EQ(other.getRoot().getChildrenCount(), 1u);

    m.clearText();
    EXPECT_EQ(m.getElementsCount(), 1u);
    m.addText("a", -1);
    m.addNode("e", -1);
    m.addComment("c", -1);
    m.clearProcInst();
    m.clearComments();
    m.clearNodes();
    EXPECT_EQ(m.getElementsCount(), 1u);
    m.clear();
    EXPECT_EQ(m.getElementsCount(), 0u);
}

TEST(XMLMixedNodeTest, ProcessingInstructions) {
    XMLDoc doc = parse("<r/>");
    XMLProcInst pi("xml-stylesheet", doc.getRoot());
    EXPECT_TRUE(pi.setText("type=\"text/xsl\" href=\"a&b.xsl\""));
    EXPECT_FALSE(pi.setText("a ?> b"));
    EXPECT_EQ(pi.getText(), ostring("type=\"text/xsl\" href=\"a&b.xsl\""));
    EXPECT_EQ(doc.getRoot().toString().str(),
              "<r>\n  <?xml-stylesheet type=\"text/xsl\" href=\"a&b.xsl\"?>\n</r>");
    XMLProcInst other("XML-Stylesheet", doc.getRoot());
    other.setText("TYPE=\"TEXT/XSL\" HREF=\"A&B.XSL\"");
    EXPECT_TRUE(pi.equals(other));
    other.setName("other");
    EXPECT_FALSE(pi.equals(other));
    EXPECT_EQ(pi.getParent(), doc.getRoot());
    EXPECT_TRUE(XMLProcInst("p", XMLNode()).isNull());

    XMLDoc target;
    target.addProcInst(pi, 0); // moved from the other document
    EXPECT_EQ(target.getElementTypeAt(0), XMLDoc::ELEM_PROCINST);
    EXPECT_EQ(target.getProcInstAt(0).getText(), pi.getText());
    XMLMixedNode(doc.getRoot()).removeProcInst(other);
    EXPECT_EQ(doc.getRoot().castToMixedNode().getElementsCount(), 0u);
}

TEST(XMLMixedNodeTest, EverySavedDocumentReloads) {
    XMLDoc doc;
    XMLMixedNode m = doc.getRoot().castToMixedNode();
    m.setName("log");
    m.addComment("--", -1);
    m.addComment("a-", -1);
    m.addProcInst("p", -1).setText("?>");
    m.addText("<&>", -1);
    doc.addComment("x - y", -1);
    XMLDoc reread = parse(doc.toString(true).str());
    EXPECT_EQ(reread.getRoot().castToMixedNode().getElementsCount(), 2u);
    EXPECT_EQ(reread.getRoot().getText(), ostring("<&>"));
}

namespace {
struct NativeAccess : XMLNode {
    explicit NativeAccess(const XMLNode& n) : XMLNode(n) {}
    using XMLNode::getNative;
};
} // namespace

TEST(XMLMixedNodeTest, OtherKindsAreNoneHereButElementsAtDocumentLevel) {
    XMLDoc doc = parse("<r>a</r>");
    xmlNode* r = NativeAccess(doc.getRoot()).getNative();
    xmlAddChild(r, xmlNewCDataBlock(r->doc, BAD_CAST "raw", 3));
    XMLMixedNode m = doc.getRoot().castToMixedNode();
    ASSERT_EQ(m.getElementsCount(), 2u);
    EXPECT_EQ(m.getElementTypeAt(1), XMLDoc::ELEM_NONE);
    EXPECT_EQ(doc.getRoot().getText(), ostring("a"));
    doc.getRoot().removeBlanks();
    EXPECT_EQ(m.getElementsCount(), 2u);
}
