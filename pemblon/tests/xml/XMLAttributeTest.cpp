#include "XMLTestSupport.h"

#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"

using PBN::Strings::ostring;
using PBN::XML::XMLAttribute;
using PBN::XML::XMLDoc;
using PBN::XML::XMLNode;
using namespace xmltest;

TEST(XMLAttributeTest, HandlesAndValues) {
    XMLDoc doc = parse("<r a=\"1\" b=\"caf\xc3\xa9\" c=\"x&amp;y\"/>");
    XMLNode r = doc.getRoot();
    XMLAttribute a = r.getFirstAttribute();
    EXPECT_EQ(a, r.getAttribute("a"));
    EXPECT_EQ(XMLAttribute(), XMLAttribute());
    EXPECT_EQ(a.getParent(), r);
    EXPECT_EQ(a.getDoc(), &doc);
    EXPECT_EQ(a.getSibling().getValue(), ostring("caf\xe9"));
    EXPECT_EQ(a.getSibling().getSibling().getValue(), ostring("x&y"));
    EXPECT_TRUE(a.getSibling().getSibling().getSibling().isNull());

    XMLAttribute again("A", "2", r); // another name: case counts for libxml2
    XMLAttribute replaced("a", "3", r);
    EXPECT_EQ(replaced, a);
    EXPECT_EQ(a.getValue(), ostring("3"));
    EXPECT_NE(again, a);
    a.setValue("\xe9<\"&");
    EXPECT_EQ(a.getValue(), ostring("\xe9<\"&"));
    XMLDoc reread = parse(doc.toString(true).str());
    EXPECT_EQ(reread.getRoot().getAttribute("a").getValue(), ostring("\xe9<\"&"));
    EXPECT_TRUE(XMLAttribute("n", "v", XMLNode()).isNull());
}

TEST(XMLAttributeTest, RenameMovesToTheEnd) {
    XMLDoc doc = parse("<r xmlns:p=\"urn:p\" p:a=\"1\" b=\"2\"/>");
    XMLNode r = doc.getRoot();
    XMLAttribute a = r.getAttribute("a", "p");
    EXPECT_EQ(a.getPrefix(), ostring("p"));
    a.setName("z");
    EXPECT_EQ(a.getName(), ostring("z"));
    EXPECT_EQ(a.getValue(), ostring("1"));
    EXPECT_EQ(a.getPrefix(), ostring(""));
    EXPECT_EQ(r.getAttributeAt(1), a);

    a.setNamespace(r.getNamespace("p"));
    EXPECT_EQ(a.getNamespace().getURI(), ostring("urn:p"));
    a.setValue("changed");
    EXPECT_EQ(r.getAttribute("z", "p").getValue(), ostring("changed"));
    a.removeNamespace();
    EXPECT_TRUE(a.getNamespace().isNull());
    a.removeNamespace();
    EXPECT_EQ(r.getNsDefCount(), 1u);
}

TEST(XMLAttributeTest, EqualsIgnoresCaseOfNameAndValue) {
    XMLDoc doc = parse("<r ID=\"ABC\" id=\"abc\" x=\"abd\"/>");
    XMLNode r = doc.getRoot();
    EXPECT_TRUE(r.getAttributeAt(0).equals(r.getAttributeAt(1)));
    EXPECT_FALSE(r.getAttributeAt(1).equals(r.getAttributeAt(2)));
}
