#include "XMLTestSupport.h"

#include "pemblon/xml/XInclude.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"

#include <memory>

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLException;
using PBN::XML::XMLNode;
using namespace xmltest;

namespace {

std::string names(const XMLNode& parent) {
    std::string out;
    for (XMLNode c = parent.getFirstChild(); !c.isNull(); c = c.getSibling()) {
        out += (out.empty() ? "" : ",") + c.getName().str();
    }
    return out;
}

} // namespace

TEST(XMLNodeTest, NullHandleAnswersNothing) {
    XMLNode n;
    EXPECT_TRUE(n.isNull());
    EXPECT_EQ(n.getLine(), -1);
    EXPECT_EQ(n.getName(), ostring(""));
    EXPECT_TRUE(n.isEmpty());
    EXPECT_TRUE(n.getFirstChild().isNull());
    EXPECT_TRUE(n.getParent().isNull());
    EXPECT_EQ(n.getChildrenCount(), 0u);
    EXPECT_TRUE(n.addChild("x").isNull());
    EXPECT_TRUE(n.addAttribute("a", "b").isNull());
    EXPECT_EQ(n.toString(), ostring(""));
    n.setText("x");
    n.detach();
    n.destroy();
    n.clearChildren();
    EXPECT_EQ(n, XMLNode());
}

TEST(XMLNodeTest, ThreeWaysOfCountingChildren) {
    XMLDoc doc = parse("<r>text<!--c--><e/></r>");
    XMLNode r = doc.getRoot();
    EXPECT_EQ(r.getChildAt(0).getName(), ostring("e"));
    EXPECT_EQ(r.getElementsCount(), 2u);
    EXPECT_EQ(r.getChildrenCount(), 1u);
    EXPECT_EQ(r.castToMixedNode().getElementsCount(), 3u);
    EXPECT_TRUE(r.getChildAt(1).isNull());
    EXPECT_EQ(r.getCommentAt(0), ostring("c"));
    EXPECT_EQ(r.getLine(), 1);

    XMLNode n = r.addChild("n");
    r.attach(n, 1); // the comment is 0, the element e is 1
    EXPECT_EQ(r.castToMixedNode().getNodeAt(2), n);
    EXPECT_EQ(n.getDoc(), &doc);
    EXPECT_EQ(names(r), "n,e");
}

TEST(XMLNodeTest, AddChildPositionsCountElementsOnly) {
    XMLDoc doc = parse("<r>t<!--c--><a/><b/></r>");
    XMLNode r = doc.getRoot();
    r.addChild(XMLNode("x", XMLNode()), 0);
    EXPECT_EQ(names(r), "x,a,b");
    EXPECT_EQ(r.castToMixedNode().getElementTypeAt(2), XMLDoc::ELEM_ELEMENT); // after text and comment
    r.addChild(r.getChild("x"), 7);
    EXPECT_EQ(names(r), "a,b,x");
    r.addChild(r.getChild("b"), -1);
    EXPECT_EQ(names(r), "a,x,b");
    r.addChild("y", 0); // by name: non-text position, before the comment
    EXPECT_EQ(r.castToMixedNode().getElementTypeAt(1), XMLDoc::ELEM_ELEMENT);
}

TEST(XMLNodeTest, LookupsAndRemovals) {
    XMLDoc doc = parse("<r xmlns:p=\"urn:p\"><item/><other/><item/><p:item/><item/><Item/></r>");
    XMLNode r = doc.getRoot();
    EXPECT_EQ(r.getChild("ITEM"), r.getChildAt(0));
    EXPECT_EQ(r.getChild("item", "P"), r.getChildAt(3));
    r.removeChildren("item"); // the prefixed one too: its local name is item
    EXPECT_EQ(names(r), "other,Item");
    r.removeChildAt(1);
    EXPECT_EQ(names(r), "other");
    XMLNode other = r.getChild("other");
    r.removeChild(other);
    EXPECT_TRUE(other.isNull());
    r.clearChildren();
    EXPECT_TRUE(r.isEmpty());
}

TEST(XMLNodeTest, AttributesByNameAndPosition) {
    XMLDoc doc = parse("<r id=\"1\" name=\"n\" ID=\"2\"/>");
    XMLNode r = doc.getRoot();
    EXPECT_EQ(r.getAttributesCount(), 3u);
    EXPECT_EQ(r.getAttribute("Id").getValue(), ostring("1"));
    EXPECT_EQ(r.getAttributes("id").size(), 2u);
    r.removeAttributes("id");
    ASSERT_EQ(r.getAttributesCount(), 1u);
    EXPECT_EQ(r.getAttributeAt(0).getName(), ostring("name"));
    EXPECT_TRUE(r.getAttributeAt(1).isNull());
    r.addAttribute("a", "1");
    r.addAttribute("b", "2");
    r.removeAttributeAt(1);
    EXPECT_EQ(r.getAttributeAt(1).getName(), ostring("b"));
    r.removeAttribute("B");
    EXPECT_EQ(r.getAttributesCount(), 1u);
    r.clearAttributes();
    EXPECT_EQ(r.getAttributesCount(), 0u);

    XMLDoc other = parse("<r ID=\"X\" b=\"y\"/>");
    XMLDoc same = parse("<q id=\"x\" B=\"Y\"/>");
    EXPECT_TRUE(other.getRoot().equals(same.getRoot()));
    same.getRoot().addAttribute("c", "");
    EXPECT_FALSE(other.getRoot().equals(same.getRoot()));
}

TEST(XMLNodeTest, TextEscapingAndBlanks) {
    XMLDoc doc = parse("<r>a<e/>b</r>");
    XMLNode r = doc.getRoot();
    EXPECT_EQ(r.getText(), ostring("ab"));

    r.setText("x < y & \"z\"\r", true);
    EXPECT_EQ(r.getText(), ostring("x < y & \"z\"\r"));
    EXPECT_NE(r.toString().str().find("x &lt; y &amp; \"z\"&#13;"), std::string::npos);
    r.setText("&lt;", false);
    EXPECT_EQ(r.getText(), ostring("<"));
    EXPECT_THROW(r.setText("a & b", false), XMLException);

    r.setText("caf\xe9", true);
    EXPECT_EQ(r.getText(), ostring("caf\xe9"));

    XMLDoc blanks = parse("<r> \t\r\n<a> x </a>\n<b/>  </r>", true);
    blanks.getRoot().removeBlanks();
    EXPECT_EQ(blanks.getRoot().castToMixedNode().getElementsCount(), 2u);
    EXPECT_EQ(blanks.getRoot().getChild("a").getText(), ostring(" x "));

    XMLDoc mixed = parse("<r>t<a/>u<!--c--></r>");
    mixed.getRoot().split(false);
    EXPECT_EQ(mixed.getRoot().castToMixedNode().getElementsCount(), 2u);
    mixed.getRoot().split(true);
    EXPECT_TRUE(mixed.getRoot().isEmpty());
}

TEST(XMLNodeTest, CommentsAndProcessingInstructions) {
    XMLDoc doc = parse("<r><a/></r>");
    XMLNode r = doc.getRoot();
    r.addComment("one", -1);
    r.addComment("zero", 0);
    r.addComment("bad--comment", 0);
    r.addComment("bad-", 0);
    EXPECT_EQ(r.getElementsCount(), 3u);
    EXPECT_EQ(r.getCommentAt(0), ostring("zero"));
    EXPECT_EQ(r.getCommentAt(2), ostring("one"));
    PBN::XML::XMLProcInst pi = r.addProcInst("Target", "data <raw>", 1);
    EXPECT_EQ(r.getProcInstAt(1), pi);
    EXPECT_EQ(pi.getText(), ostring("data <raw>"));
    EXPECT_TRUE(r.addProcInst("t", "cut ?> here", -1).isNull());
    EXPECT_EQ(r.getElementsCount(), 4u);
    r.removeCommentAt(1); // a processing instruction: kept
    EXPECT_EQ(r.getElementsCount(), 4u);
    r.removeProcInsts("TARGET");
    EXPECT_EQ(r.getElementsCount(), 3u);
    r.clearComments();
    EXPECT_EQ(r.getElementsCount(), 1u);
    EXPECT_TRUE(r.addXInclude("a.xml", "", -1) ==
                PBN::XML::XInclude("", "", PBN::XML::XInclude::PARSE_XML, ""));
    EXPECT_EQ(r.getElementsCount(), 1u);
}

TEST(XMLNodeTest, FromStringGivesAFreeStandingCopy) {
    XMLNode n = XMLNode::fromString("x<b/>y");
    ASSERT_FALSE(n.isNull());
    EXPECT_EQ(n.getName(), ostring("root"));
    EXPECT_EQ(n.getDoc(), nullptr);
    EXPECT_EQ(n.castToMixedNode().getElementsCount(), 3u);
    EXPECT_EQ(n.toString().str(), "<root>x<b/>y</root>");
    EXPECT_TRUE(XMLNode::fromString("<a>").isNull());

    XMLDoc doc = parse("<t><u/></t>"); // a parsed tree: names live in its dictionary
    XMLNode root = doc.getRoot();
    root.attach(n, -1);
    EXPECT_EQ(n.getDoc(), &doc);
    EXPECT_EQ(root.getChild("root").getChild("b").getName(), ostring("b"));
    XMLNode again = XMLNode::fromString("<c/>");
    again.destroy();
    EXPECT_TRUE(again.isNull());
}

TEST(XMLNodeTest, DetachedNodeSurvivesItsDocument) {
    XMLNode kept;
    {
        XMLDoc doc = parse("<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" xml:lang=\"fr\">"
                           "<p:a p:k=\"v\" xml:lang=\"en\"><b>some text</b><c/></p:a></r>");
        kept = doc.getRoot().getChild("a", "p");
        kept.detach();
        EXPECT_EQ(kept.getDoc(), nullptr);
        EXPECT_EQ(doc.getRoot().getChildrenCount(), 0u);
    }
    EXPECT_EQ(kept.getName(), ostring("a"));
    EXPECT_EQ(kept.getAttribute("k", "p").getValue(), ostring("v"));
    EXPECT_EQ(kept.getChild("b").getText(), ostring("some text"));
    EXPECT_EQ(kept.getChild("b").getThisNamespace().getURI(), ostring("urn:d"));
    const std::string text = kept.toString().str();
    EXPECT_NE(text.find("xmlns:p=\"urn:p\""), std::string::npos) << text;
    EXPECT_NE(text.find("xml:lang=\"en\""), std::string::npos) << text;

    XMLDoc target;
    XMLNode root = target.getRoot();
    root.setName("t");
    root.attach(kept, -1);
    XMLDoc reread = parse(target.toString(true).str());
    XMLNode a = reread.getRoot().getChild("a", "p");
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.getThisNamespace().getURI(), ostring("urn:p"));
    EXPECT_EQ(a.getChild("b").getThisNamespace().getURI(), ostring("urn:d"));
}

TEST(XMLNodeTest, MovingBetweenDocumentsAdoptsTheNode) {
    auto source =
        std::make_unique<XMLDoc>(parse("<s xmlns:q=\"urn:q\"><q:m a=\"1\">t</q:m><n/><o/><pi/></s>"));
    XMLDoc target = parse("<t><x/></t>");
    XMLNode t = target.getRoot();
    t.addChild(source->getRoot().getChild("m", "q"), 0);
    XMLNode n = source->getRoot().getChild("n");
    t.attach(n, -1);
    XMLNode x = t.getChild("x");
    XMLNode o = source->getRoot().getChild("o");
    x.addSibling(o);
    XMLNode moved = source->getRoot().getChild("pi");
    moved.setParent(x);
    PBN::XML::XMLMixedNode(x).addNode(source->getRoot(), 0); // the source's root itself
    source.reset();
    EXPECT_EQ(names(t), "m,x,o,n");
    EXPECT_EQ(t.getChild("m", "q").getAttribute("a").getValue(), ostring("1"));
    EXPECT_EQ(t.getChild("m", "q").getThisNamespace().getURI(), ostring("urn:q"));
    EXPECT_EQ(x.getChildrenCount(), 2u);
    XMLDoc reread = parse(target.toString(true).str());
    EXPECT_EQ(reread.getRoot().getChildrenCount(), 4u);
}

TEST(XMLNodeTest, LinkingUnderItselfIsRefused) {
    XMLDoc doc = parse("<r><a><b><c/></b></a></r>");
    XMLNode a = doc.getRoot().getChild("a");
    XMLNode c = a.getChild("b").getChild("c");
    const std::string before = doc.toString(false).str();
    c.addChild(a, -1);
    c.attach(a, 0);
    a.addChild(a, -1);
    c.addSibling(a);
    a.setParent(c);
    PBN::XML::XMLMixedNode(c).addNode(a, -1);
    PBN::XML::XMLMixedNode(a).addMixedNode(PBN::XML::XMLMixedNode(a), -1);
    EXPECT_EQ(doc.toString(false).str(), before);
    EXPECT_EQ(a.getDoc(), &doc);
    // The document node reached through getParent is never unlinked or freed.
    XMLNode top = doc.getRoot().getParent();
    top.destroy();
    top.detach();
    a.removeChild(top);
    EXPECT_FALSE(doc.getRoot().isNull());
}

TEST(XMLNodeTest, NavigationAndSiblings) {
    XMLDoc doc = parse("<r>t<a/>u<b/><!--c--><c/></r>");
    XMLNode r = doc.getRoot();
    EXPECT_EQ(r.getFirstChild().getName(), ostring("a"));
    EXPECT_EQ(r.getLastChild().getName(), ostring("c"));
    EXPECT_EQ(r.getFirstChild().getSibling().getName(), ostring("b"));
    EXPECT_EQ(r.getLastChild().getPrevSibling().getName(), ostring("b"));
    EXPECT_TRUE(r.getLastChild().getSibling().isNull());
    XMLNode s = r.getFirstChild().addSibling("s");
    EXPECT_EQ(names(r), "a,s,b,c");
    EXPECT_EQ(s.getParent(), r);
    XMLNode d = r.detachNodeAt(3); // the comment
    EXPECT_EQ(r.getElementsCount(), 4u);
    d.destroy();
    XMLNode b = r.getChild("b");
    r.detach(b);
    EXPECT_EQ(b.getDoc(), nullptr);
    EXPECT_EQ(names(r), "a,s,c");
    XMLNode copy = r.clone();
    EXPECT_EQ(copy.getDoc(), nullptr);
    EXPECT_EQ(names(copy), "a,s,c");
    copy.destroy();
    b.destroy();
    r.setName("renamed");
    EXPECT_EQ(doc.getRoot().getName(), ostring("renamed"));
}

TEST(XMLNodeTest, SerialisesInTheDocumentEncoding) {
    XMLDoc doc = parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><a>\xe9</a></r>");
    XMLNode a = doc.getRoot().getChild("a");
    EXPECT_EQ(a.toString(true).str(), "<a>\xe9</a>");
    EXPECT_EQ(a.toString(false).str(), "<a>\xc3\xa9</a>");
    EXPECT_EQ(doc.getRoot().toString(false, 1).str(), "<r>\n    <a>\xc3\xa9</a>\n  </r>");
    EXPECT_NE(a.toHTMLString(false).str().find("<a>"), std::string::npos);
}

TEST(XMLNodeTest, DetachedEntityReferencesOutliveTheDeclaration) {
    XMLNode kept;
    {
        XMLDoc doc = parse("<!DOCTYPE r [<!ENTITY e \"entity text\">]><r><a v=\"x&e;y\">1&e;2</a></r>");
        kept = doc.getRoot().getChild("a");
        kept.detach();
    }
    EXPECT_EQ(kept.getText(), ostring("12"));
    kept.getAttribute("v").getValue();
    EXPECT_NE(kept.toString().str().find("&e;"), std::string::npos);
    XMLDoc other = parse("<o/>");
    XMLNode root = other.getRoot();
    root.attach(kept, -1);
    other.toString(true);
    kept.destroy();
    EXPECT_EQ(root.getChildrenCount(), 0u);
}
