#include "XMLTestSupport.h"

#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"

using PBN::Strings::ostring;
using PBN::XML::XMLAttribute;
using PBN::XML::XMLDoc;
using PBN::XML::XMLNamespace;
using PBN::XML::XMLNode;
using namespace xmltest;

namespace {
struct SchemaText : XMLNamespace {
    using XMLNamespace::findSchema;
    using XMLNamespace::removeSchema;
};
const char* xsiUri = "http://www.w3.org/2001/XMLSchema-instance";
} // namespace

TEST(XMLNamespaceTest, DeclaringAndFinding) {
    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("r");
    XMLNamespace def(root, "", "urn:default");
    ASSERT_FALSE(def.isNull());
    EXPECT_EQ(def.getPrefix(), ostring(""));
    EXPECT_EQ(def.getURI(), ostring("urn:default"));
    XMLNamespace a(root, "a", "urn:a");
    EXPECT_TRUE(XMLNamespace(root, "a", "urn:other").isNull());
    EXPECT_TRUE(XMLNamespace(XMLNode(), "b", "urn:b").isNull());
    EXPECT_EQ(doc.toString(false).str().find("xmlns:="), std::string::npos);

    XMLNode child = root.addChild("c");
    EXPECT_EQ(child.getNamespace("a"), a);
    EXPECT_TRUE(child.getNamespace("").isNull());
    EXPECT_EQ(root.getNamespace(""), def);
    EXPECT_EQ(child.getNamespaceByHref("urn:a"), a);
    EXPECT_TRUE(a.equals(XMLNamespace(child, "x", "urn:a")));
    EXPECT_EQ(child.getNsDefCount(), 1u);
    EXPECT_EQ(root.getNsDefCount(), 2u);
    EXPECT_EQ(root.getNsDefAt(1), a);
    EXPECT_TRUE(root.getNsDefAt(2).isNull());
    EXPECT_EQ(child.getAvailableNamespaces().size(), 3u);

    child.setNamespace(a);
    EXPECT_EQ(child.getThisNamespace(), a);
    EXPECT_NE(doc.toString(false).str().find("<a:c"), std::string::npos);
    child.setNamespace(XMLNamespace());
    EXPECT_TRUE(child.getThisNamespace().isNull());
}

TEST(XMLNamespaceTest, ADeclarationOutOfScopeIsDeclaredWhereItIsUsed) {
    XMLDoc doc = parse("<r><a xmlns:p=\"urn:p\"/><b/><c/></r>");
    XMLNode a = doc.getRoot().getChild("a");
    XMLNode b = doc.getRoot().getChild("b");
    b.setNamespace(a.getNamespace("p"));
    b.addAttribute("k", "v").setNamespace(a.getNamespace("p"));
    {
        XMLDoc other = parse("<o xmlns:q=\"urn:q\"/>");
        doc.getRoot().getChild("c").setNamespace(other.getRoot().getNamespace("q"));
    }
    a.destroy(); // the declaration b was given goes with it
    XMLDoc reread = parse(doc.toString(true).str());
    XMLNode rb = reread.getRoot().getChild("b", "p");
    ASSERT_FALSE(rb.isNull());
    EXPECT_EQ(rb.getThisNamespace().getURI(), ostring("urn:p"));
    EXPECT_EQ(rb.getAttribute("k", "p").getNamespace().getURI(), ostring("urn:p"));
    EXPECT_EQ(reread.getRoot().getChild("c", "q").getThisNamespace().getURI(), ostring("urn:q"));

    // A declaration in scope is used as it is.
    XMLNamespace own(b, "s", "urn:s");
    XMLNode inner = b.addChild("inner");
    inner.setNamespace(own);
    EXPECT_EQ(inner.getThisNamespace(), own);
    EXPECT_EQ(inner.getNsDefCount(), 0u);
}

TEST(XMLNamespaceTest, RenamingChangesTheDeclarationInPlace) {
    XMLDoc doc = parse("<r xmlns:a=\"urn:a\" xmlns:b=\"urn:b\"><a:c a:k=\"v\"/></r>");
    XMLNamespace a = doc.getRoot().getNamespace("a");
    a.setPrefix("z");
    a.setURI("urn:z");
    a.setPrefix("b"); // already declared there: refused
    XMLDoc reread = parse(doc.toString(true).str());
    XMLNode c = reread.getRoot().getChild("c", "z");
    ASSERT_FALSE(c.isNull());
    EXPECT_EQ(c.getThisNamespace().getURI(), ostring("urn:z"));
    EXPECT_EQ(c.getAttribute("k", "z").getValue(), ostring("v"));

    XMLDoc lang = parse("<r xml:lang=\"fr\"/>");
    XMLNamespace xml = lang.getRoot().getNamespace("xml");
    ASSERT_FALSE(xml.isNull());
    xml.setURI("urn:mine");
    xml.setPrefix("mine");
    EXPECT_EQ(xml.getURI(), ostring("http://www.w3.org/XML/1998/namespace"));
    EXPECT_EQ(xml.getPrefix(), ostring("xml"));
}

TEST(XMLNamespaceTest, RemovingNamespaces) {
    XMLDoc doc = parse("<r xmlns:p=\"urn:p\"><p:a p:x=\"1\" y=\"2\"><p:b/><c/></p:a></r>");
    XMLNode a = doc.getRoot().getChild("a", "p");
    a.removeNamespace("p", false);
    EXPECT_TRUE(a.getThisNamespace().isNull());
    EXPECT_FALSE(a.getAttribute("x", "p").isNull());
    EXPECT_FALSE(a.getChild("b", "p").isNull());
    a.setNamespace(doc.getRoot().getNamespace("p"));
    a.removeNamespace("p", true);
    EXPECT_FALSE(a.getAttribute("x", "").isNull());
    EXPECT_FALSE(a.getChild("b", "").isNull());
    EXPECT_EQ(doc.getRoot().getNsDefCount(), 1u);
    XMLNode c = a.getChild("c");
    c.removeThisNamespace(true);
    EXPECT_TRUE(c.getThisNamespace().isNull());
}

TEST(XMLNamespaceTest, SchemaLocationPairs) {
    EXPECT_EQ(SchemaText::findSchema("A a.xsd  B b.xsd", "b"), ostring("b.xsd"));
    EXPECT_EQ(SchemaText::findSchema("A a.xsd B", "B"), ostring(""));
    EXPECT_EQ(SchemaText::removeSchema("A a.xsd B b.xsd", "A"), ostring("B b.xsd"));
    EXPECT_EQ(SchemaText::removeSchema("A a.xsd B b.xsd", "b"), ostring("A a.xsd"));
    EXPECT_EQ(SchemaText::removeSchema("A a.xsd", "Z"), ostring(""));

    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("r");
    XMLNamespace a(root, "a", "urn:a", "a.xsd");
    XMLNamespace xsi = root.getNamespaceByHref(xsiUri);
    ASSERT_FALSE(xsi.isNull());
    EXPECT_EQ(xsi.getPrefix(), ostring("xsi"));
    XMLAttribute loc = root.getAttribute("schemaLocation", "xsi");
    ASSERT_FALSE(loc.isNull());
    EXPECT_EQ(loc.getValue(), ostring("urn:a a.xsd"));
    XMLNamespace b(root, "b", "urn:b");
    b.setSchemaLocation("b.xsd");
    EXPECT_EQ(loc.getValue(), ostring("urn:a a.xsd urn:b b.xsd"));
    EXPECT_EQ(b.getSchemaLocation(), ostring("b.xsd"));
    EXPECT_EQ(a.getSchemaLocation(), ostring("a.xsd"));

    a.setSchemaLocation("");
    EXPECT_EQ(root.getAttribute("schemaLocation", "xsi").getValue(), ostring("urn:b b.xsd"));
    b.setSchemaLocation("");
    EXPECT_TRUE(root.getAttribute("schemaLocation", "xsi").isNull());
    EXPECT_FALSE(root.getNamespaceByHref(xsiUri).isNull()); // the declaration stays
    XMLDoc reread = parse(doc.toString(true).str());
    EXPECT_EQ(reread.getRoot().getAttributesCount(), 0u);
}

TEST(XMLNamespaceTest, SchemaLocationKeepsWideCharacters) {
    EXPECT_EQ(SchemaText::removeSchema(ostring(L"A \x2603.xsd B b.xsd"), "B"), ostring(L"A \x2603.xsd"));
    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("r");
    XMLNamespace a(root, "a", "urn:a", "a.xsd");
    XMLNamespace b(root, "b", "urn:b");
    b.setSchemaLocation(ostring(L"s\x2603.xsd"));
    EXPECT_EQ(root.getAttribute("schemaLocation", "xsi").getValue().wstr(), L"urn:a a.xsd urn:b s\x2603.xsd");
    const ostring joined = ostring(L"\x2603 ") + doc;
    EXPECT_EQ(joined, ostring(L"\x2603 ") + doc.toString(true));
    EXPECT_EQ(joined.wstr().substr(0, 7), L"\x2603 <?xml");
}

TEST(XMLNamespaceTest, SchemaLocationLeavesAPlainAttributeAlone) {
    XMLDoc doc = parse("<r schemaLocation=\"mine\"/>");
    XMLNamespace n(doc.getRoot(), "n", "urn:n", "n.xsd");
    EXPECT_EQ(doc.getRoot().getAttribute("schemaLocation", "").getValue(), ostring("mine"));
    EXPECT_EQ(n.getSchemaLocation(), ostring("n.xsd"));
}
