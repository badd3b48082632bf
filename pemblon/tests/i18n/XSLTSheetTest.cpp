#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XPathExpr.h"
#include "pemblon/xml/XSLTSheet.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

using PBN::Strings::ostring;
using namespace PBN::XML;

namespace {

ostring data(const char* name) {
    return ostring((i18ntest::dataDir() + "/" + name).c_str());
}

} // namespace

TEST(XSLTSheet, ParametersAreXPathExpressions) {
    XSLTSheet sheet(data("sheet.xsl"));
    sheet.addParam("greeting", "'hi'");
    sheet.addParam("count", "2 + 3");
    XMLDoc result = sheet.process(data("list.xml"));
    XMLNode out = result.getRoot();
    EXPECT_EQ(out.getName(), ostring("out"));
    EXPECT_EQ(out.getAttribute("greeting").getValue(), ostring("hi"));
    EXPECT_EQ(out.getAttribute("total").getValue(), ostring("7"));
    EXPECT_EQ(out.getChildrenCount(), 2u);
    EXPECT_EQ(out.getChildAt(1).getText(), ostring("b"));

    // Values are written in the application charset; the result must still serialise.
    sheet.setParamValue("greeting", "'caf\xe9'");
    XMLDoc accented = sheet.process(data("list.xml"));
    EXPECT_EQ(accented.getRoot().getAttribute("greeting").getValue(), ostring("caf\xe9"));
    EXPECT_NE(accented.toString(true).str().find("caf\xe9"), std::string::npos);
}

TEST(XSLTSheet, ErrorsThrowTheFirstReport) {
    XSLTSheet stop(data("stop.xsl"));
    XMLDoc list(data("list.xml"));
    try {
        stop.process(list);
        FAIL() << "no exception";
    } catch (const XMLException& e) {
        EXPECT_NE(e.getMessage().str().find("stopped by the sheet"), std::string::npos)
            << e.getMessage().str();
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    // An unquoted string is an XPath path that selects nothing, not an error.
    XSLTSheet sheet(data("sheet.xsl"));
    sheet.addParam("greeting", "hi");
    EXPECT_EQ(sheet.process(list).getRoot().getAttribute("greeting").getValue(), ostring(""));
    sheet.setParamValue("GREETING", "1 +");
    EXPECT_THROW(sheet.process(list), XMLException);

    i18ntest::TempDir dir;
    i18ntest::writeFile(dir.file("bad.xsl"), "<xsl:stylesheet");
    EXPECT_THROW(XSLTSheet(ostring(dir.file("bad.xsl").c_str())).process(list), XMLException);
    EXPECT_THROW(XSLTSheet(ostring(dir.file("missing.xsl").c_str())).process(list), XMLException);
}

// Narrow text is CP1252 ("\xe9" is "é"); the file system holds the UTF-8 name wx created.
TEST(XSLTSheet, ReadsTheSheetWxNamesUnderANonAsciiFolder) {
    i18ntest::TempDir dir;
    const std::string base = dir.path.string();
    const std::wstring folder = std::wstring(base.begin(), base.end()) + L"/Vid\u00e9os";
    ASSERT_TRUE(wxMkdir(wxString(folder)));
    ASSERT_TRUE(wxCopyFile(data("sheet.xsl").wxstr(), wxString(folder + L"/sheet.xsl")));
    XSLTSheet sheet(ostring((base + "/Vid\xe9os/sheet.xsl").c_str()));
    sheet.addParam("greeting", "'hi'");
    sheet.addParam("count", "1");
    EXPECT_EQ(sheet.process(data("list.xml")).getRoot().getName(), ostring("out"));
}

TEST(XSLTSheet, DebugModeCollectsInsteadOfThrowing) {
    XSLTSheet stop(data("stop.xsl"));
    XMLDoc list(data("list.xml"));
    const ostring report = stop.debug(list);
    EXPECT_NE(report.str().find("E: stopped by the sheet"), std::string::npos) << report.str();
    EXPECT_NE(report.str().find("I: "), std::string::npos);
    EXPECT_EQ(XSLTSheet::getDebugReport(), report);
    // Off again afterwards.
    EXPECT_THROW(stop.process(list), XMLException);

    // Parsing alone leaves debug mode on: a failing run then returns an empty document.
    XSLTSheet::setDebugMode(true);
    EXPECT_EQ(stop.debug(ostring("")).str().find("E: "), std::string::npos);
    XMLDoc nothing = stop.process(list);
    EXPECT_EQ(nothing.getRoot().getName(), ostring(""));
    EXPECT_NE(XSLTSheet::getDebugReport().str().find("E: "), std::string::npos);
    XSLTSheet::setDebugMode(false);
    EXPECT_THROW(stop.process(list), XMLException);
}

TEST(XSLTSheet, ParameterList) {
    XSLTSheet s("x.xsl");
    s.addParam("a", "1", 0);
    s.addParam("c", "3");
    s.addParam("b", "2", 1);
    s.addParam("d", "4", -1);
    s.addParam("e", "5", 9);
    ASSERT_EQ(s.getParamsCount(), 5u);
    EXPECT_EQ(s.getParamNameAt(1), ostring("b"));
    EXPECT_EQ(s.getParamNameAt(4), ostring("e"));
    EXPECT_EQ(s.getParam("C").getValue(), ostring("3"));
    EXPECT_TRUE(s.getParam("zz").isNull());
    EXPECT_TRUE(s.getParamAt(5).isNull());
    EXPECT_EQ(s.getParamValueAt(7), ostring(""));
    s.setParamValueAt(9, "x");
    s.setParamNameAt(0, "A");
    s.removeParam(9);
    s.removeParam(4);
    EXPECT_EQ(s.getParamsCount(), 4u);
    EXPECT_EQ(s.getParamNameAt(0), ostring("A"));

    XSLTSheet t(s);
    EXPECT_TRUE(t.equals(s));
    t.setParamValueAt(0, "other");
    EXPECT_TRUE(t.equals(s)); // values are not compared
    t.setParamNameAt(0, "a");
    EXPECT_FALSE(t.equals(s));
    EXPECT_TRUE(t == s);
    EXPECT_TRUE(t != XSLTSheet("y.xsl"));
    t.clearParams();
    EXPECT_EQ(t.getParamsCount(), 0u);

    EXPECT_TRUE(XSLTParam("x", "Red").equals(XSLTParam("x", "red")));
    EXPECT_FALSE(XSLTParam("x", "Red").equals(XSLTParam("X", "Red")));
    EXPECT_TRUE(XSLTParam("x", "1") == XSLTParam("x", "2"));
    EXPECT_TRUE(XSLTParam().isNull());
}

TEST(XSLTSheet, CastToDocReadsTheSheetFile) {
    XSLTSheet s(data("sheet.xsl"));
    EXPECT_EQ(s.castToDoc(false).getRoot().getName(), ostring("stylesheet"));
}

TEST(XPathExpr, EvaluatesNothing) {
    XPathExpr e("/list/item");
    XMLDoc doc(data("list.xml"));
    e.registerNs("p", "urn:p");
    e.eval(doc);
    EXPECT_EQ(e.getExpression(), ostring(""));
    EXPECT_TRUE(e.getBoolean());
    EXPECT_EQ(e.getNumber(), 0.0);
    EXPECT_EQ(e.getNodesCount(), 0u);
    EXPECT_TRUE(e.getNodeAt(0).isNull());
    EXPECT_EQ(e.getResultType(), 0);
    EXPECT_EQ(e.getRegisteredNsCount(), 0u);
    EXPECT_TRUE(e == XPathExpr("other"));
    EXPECT_TRUE(e.equals(XPathExpr("other")));
}
