#include "pemblon/tests/i18n/TestSupport.h"

#include "pemblon/xml/SAXEvents.h"
#include "pemblon/xml/SAXHandler.h"
#include "pemblon/xml/SAXHandlerListener.h"
#include "pemblon/xml/SAXNode.h"
#include "pemblon/xml/XInclude.h"
#include "pemblon/xml/XMLException.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <stdexcept>
#include <vector>

#include <libxml/parserInternals.h>
#include <wx/filefn.h>

using PBN::Strings::ostring;
using namespace PBN::XML;

namespace PBN {
namespace XML {

// Reaches the parser callbacks that libxml2 hardly ever calls once structured errors are on.
class SAXHandlerTest {
public:
    static void warning(SAXHandler& h, const char* text) { call(&SAXHandler::onWarning, h, text); }
    static void error(SAXHandler& h, const char* text) { call(&SAXHandler::onError, h, text); }
    static void fatal(SAXHandler& h, const char* text) { call(&SAXHandler::onFatalError, h, text); }
    static void structured(SAXHandler& h, xmlError* e) {
        xmlParserCtxt ctxt{};
        ctxt._private = &h;
        SAXHandler::onStructuredError(&ctxt, e);
    }

private:
    static void call(void (*fn)(void*, const char*, ...), SAXHandler& h, const char* text) {
        xmlParserCtxt ctxt{};
        ctxt._private = &h;
        fn(&ctxt, "%s", text);
    }
};

} // namespace XML
} // namespace PBN

namespace {

// Records every event, from the handler's virtuals ("v:") and from a listener ("l:").
class Recorder : public SAXHandler, public SAXHandlerListener {
public:
    std::vector<std::string> events;
    std::vector<SAXNode> starts;
    std::vector<SAXNode> ends;
    std::vector<std::pair<int, std::string>> errors;
    std::string where, declared, declaredEncoding;
    bool sawStandalone = false, isStandalone = false;

    Recorder() { addListener(this); }

protected:
    void startDocument() override {
        events.push_back("v:startDocument");
        declared = version().str();
        declaredEncoding = encoding().str();
        sawStandalone = hasStandalone();
        isStandalone = standalone();
    }
    void startElement(SAXNode& n) override {
        events.push_back("v:start:" + n.name().str());
        starts.push_back(n);
        where = location().str();
    }
    void endElement(SAXNode& n) override {
        events.push_back("v:end:" + n.name().str());
        ends.push_back(n);
    }
    void characters(const ostring& t) override { events.push_back("v:text:" + t.str()); }
    void processingInstruction(const ostring& t, const ostring& c) override {
        events.push_back("v:pi:" + t.str() + ":" + c.str());
    }
    void comment(const ostring& t) override { events.push_back("v:comment:" + t.str()); }
    void endDocument() override { events.push_back("v:endDocument"); }
    void error(const ErrorType& type, const ostring& message) override {
        errors.emplace_back(type, message.str());
    }

public:
    void onStartElementEvent(StartElementEvent& e) override {
        events.push_back("l:start:" + e.data()->node->name().str());
        EXPECT_EQ(e.data()->handler, static_cast<SAXHandler*>(this));
    }
    void onCharactersEvent(CharactersEvent& e) override {
        events.push_back("l:text:" + e.data()->text->str());
    }
    void onSAXErrorEvent(SAXErrorEvent& e) override {
        events.push_back("l:error:" + std::to_string(*e.data()->type));
    }
    void onEndDocumentEvent(EndDocumentEvent&) override { events.push_back("l:endDocument"); }
};

std::string fixture(i18ntest::TempDir& dir, const std::string& text) {
    const std::string path = dir.file("in.xml");
    i18ntest::writeFile(path, text);
    return path;
}

// The events with that prefix; libxml2 may cut one text into several runs, which are joined.
std::vector<std::string> only(const std::vector<std::string>& events, const std::string& prefix) {
    std::vector<std::string> out;
    const std::string text = prefix + "text:";
    for (const std::string& e : events) {
        if (e.rfind(prefix, 0) != 0)
            continue;
        if (e.rfind(text, 0) == 0 && !out.empty() && out.back().rfind(text, 0) == 0)
            out.back() += e.substr(text.size());
        else
            out.push_back(e);
    }
    return out;
}

} // namespace

TEST(SAXHandler, EmptyElementGivesStartWithAttributesAndBareEnd) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<a x=\"1\"/>").c_str());
    ASSERT_EQ(r.starts.size(), 1u);
    ASSERT_EQ(r.starts[0].size(), 1u);
    EXPECT_EQ(r.starts[0][0u].name(), ostring("x"));
    EXPECT_EQ(r.starts[0]["x"].value(), ostring("1"));
    EXPECT_FALSE(r.starts[0]["x"].defaulted());
    ASSERT_EQ(r.ends.size(), 1u);
    EXPECT_EQ(r.ends[0].size(), 0u);
    EXPECT_EQ(r.ends[0].name(), ostring("a"));
    EXPECT_EQ(r.events, (std::vector<std::string>{"v:startDocument", "v:start:a", "l:start:a", "v:end:a",
                                                  "v:endDocument", "l:endDocument"}));
}

TEST(SAXHandler, NamespacesOfElementDeclarationsAndAttributes) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<p:a xmlns:p=\"u\" xmlns=\"d\" b=\"2\"><c/></p:a>").c_str());
    ASSERT_EQ(r.starts.size(), 2u);
    const SAXNode& a = r.starts[0];
    EXPECT_EQ(a.ns().prefix(), ostring("p"));
    EXPECT_EQ(a.ns().uri(), ostring("u"));
    ASSERT_EQ(a.nsCount(), 2u);
    EXPECT_EQ(a.ns(0u).prefix(), ostring("p"));
    EXPECT_EQ(a.ns(1u).prefix(), ostring(""));
    EXPECT_EQ(a.ns(1u).uri(), ostring("d"));
    EXPECT_EQ(a.ns(ostring("")).uri(), ostring("d"));
    EXPECT_EQ(&a.ns(ostring("q")), &SAXNode::_dummyNamespace);
    EXPECT_EQ(&a["zz"], &SAXNode::_dummyAttribute);
    EXPECT_EQ(a["b"].ns().prefix(), ostring(""));
    EXPECT_EQ(a["b"].ns().uri(), ostring(""));
    // A child in the default namespace declares nothing itself.
    EXPECT_EQ(r.starts[1].ns().uri(), ostring("d"));
    EXPECT_EQ(r.starts[1].nsCount(), 0u);
    EXPECT_EQ(r.ends[1].ns().prefix(), ostring("p"));
}

TEST(SAXHandler, TextWhitespaceCdataCommentsAndInstructionsInTheApplicationCharset) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<r>\n <a>caf\xc3\xa9</a><![CDATA[<x>]]><!--n\xc3\xa9--><?go f\xc3\xa9?></r>")
                .c_str());
    const std::vector<std::string> v = only(r.events, "v:");
    EXPECT_EQ(v, (std::vector<std::string>{"v:startDocument", "v:start:r", "v:text:\n ", "v:start:a",
                                           "v:text:caf\xe9", "v:end:a", "v:text:<x>", "v:comment:n\xe9",
                                           "v:pi:go:f\xe9", "v:end:r", "v:endDocument"}));
    EXPECT_EQ(r.declared, "1.0");
    EXPECT_EQ(r.declaredEncoding, "UTF-8");
    EXPECT_TRUE(r.sawStandalone);
    EXPECT_TRUE(r.isStandalone);
    EXPECT_EQ(r.where, "@3,4"); // after the start tag of a
}

// Text without a CP1252 form arrives wide with every character; the five bytes Windows leaves
// undefined arrive as those bytes.
TEST(SAXHandler, TextBeyondCp1252ArrivesWide) {
    i18ntest::TempDir dir;
    struct Texts : SAXHandler {
        std::wstring text;
        bool wide = false;
        void characters(const ostring& t) override {
            text += t.wstr();
            wide = wide || t.isUnicode();
        }
    } h;
    h.parse(fixture(dir, "<r>snow\xe2\x98\x83 \xe2\x82\xac</r>").c_str());
    EXPECT_TRUE(h.wide);
    EXPECT_EQ(h.text, std::wstring(L"snow\u2603 \u20ac"));
    Texts n;
    n.parse(fixture(dir, "<r>\xc2\x81\xc2\x9d \xe2\x82\xac</r>").c_str());
    EXPECT_FALSE(n.wide);
    EXPECT_EQ(n.text, std::wstring(L"\u0081\u009d \u0080")); // CP1252 bytes, widened one by one
}

TEST(SAXHandler, WithoutDeclaration) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<r/>").c_str());
    EXPECT_EQ(r.declared, "1.0"); // libxml2 assumes it
    EXPECT_EQ(r.declaredEncoding, "ISO-8859-1");
    EXPECT_FALSE(r.sawStandalone);
    EXPECT_FALSE(r.isStandalone);
}

TEST(SAXHandler, DtdDefaultedAttributeComesLast) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<!DOCTYPE a [<!ATTLIST a d CDATA \"dv\">]><a x=\"1\"/>").c_str());
    ASSERT_EQ(r.starts.size(), 1u);
    ASSERT_EQ(r.starts[0].size(), 2u);
    EXPECT_EQ(r.starts[0][0u].name(), ostring("x"));
    EXPECT_FALSE(r.starts[0][0u].defaulted());
    EXPECT_EQ(r.starts[0][1u].name(), ostring("d"));
    EXPECT_EQ(r.starts[0][1u].value(), ostring("dv"));
    EXPECT_TRUE(r.starts[0][1u].defaulted());
}

TEST(SAXHandler, SyntaxErrorsArriveAsErrorEventsAndParsingGoesOn) {
    i18ntest::TempDir dir;
    Recorder r;
    r.parse(fixture(dir, "<r>\n<a></b>\n<c/></r>").c_str());
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(r.errors[0].first, SAXHandler::TYPE_ERROR);
    EXPECT_NE(r.errors[0].second.find("in.xml@2,"), std::string::npos) << r.errors[0].second;
    EXPECT_EQ(r.errors[0].second.back(), '\n');
    EXPECT_NE(std::find(r.events.begin(), r.events.end(), "l:error:1"), r.events.end());
    EXPECT_NE(std::find(r.events.begin(), r.events.end(), "v:start:c"), r.events.end());
}

TEST(SAXHandler, ErrorCallbacksFormatTheirTexts) {
    Recorder r;
    SAXHandlerTest::warning(r, "w");
    SAXHandlerTest::error(r, "e");
    SAXHandlerTest::fatal(r, std::string(3000, 'x').c_str());
    ASSERT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.errors[0], (std::pair<int, std::string>{0, "w"}));
    EXPECT_EQ(r.errors[1], (std::pair<int, std::string>{1, "e"}));
    EXPECT_EQ(r.errors[2].first, 2);
    EXPECT_EQ(r.errors[2].second.size(), 1023u);

    xmlError e{};
    char file[] = "f.xml";
    char message[] = "bad thing\n";
    e.file = file;
    e.line = 3;
    e.message = message;
    e.level = XML_ERR_FATAL;
    SAXHandlerTest::structured(r, &e);
    EXPECT_EQ(r.errors.back(), (std::pair<int, std::string>{1, "f.xml@3: bad thing\n\n"}));
    e.int2 = 7;
    SAXHandlerTest::structured(r, &e);
    EXPECT_EQ(r.errors.back().second, "f.xml@3,7: bad thing\n\n");
    e.file = nullptr;
    SAXHandlerTest::structured(r, &e);
    EXPECT_EQ(r.errors.back().second, "bad thing\n\n");
}

namespace {

struct Thrower : SAXHandlerListener {
    int seen = 0;
    void onStartElementEvent(StartElementEvent& e) override {
        ++seen;
        if (e.data()->node->name() == ostring("boom"))
            throw std::runtime_error("listener failed");
    }
};

struct Counter : SAXHandlerListener {
    int starts = 0;
    void onStartElementEvent(StartElementEvent&) override { ++starts; }
};

} // namespace

TEST(SAXHandler, AnExceptionFromAListenerStopsTheParseAndLeavesParse) {
    i18ntest::TempDir dir;
    Recorder r;
    Thrower t;
    r.addListener(&t);
    const std::string path = fixture(dir, "<r><a/><boom/><c/><d/></r>");
    EXPECT_THROW(
        {
            try {
                r.parse(path.c_str());
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "listener failed");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(t.seen, 3);
    EXPECT_EQ(std::find(r.events.begin(), r.events.end(), "v:start:c"), r.events.end());
    EXPECT_EQ(std::find(r.events.begin(), r.events.end(), "v:endDocument"), r.events.end());
    // The handler is usable again.
    r.removeListener(&t);
    r.events.clear();
    r.parse(path.c_str());
    EXPECT_NE(std::find(r.events.begin(), r.events.end(), "v:endDocument"), r.events.end());
}

TEST(SAXHandler, ListenersRegisterOnceAndMayLeave) {
    i18ntest::TempDir dir;
    Recorder r;
    Counter c;
    r.addListener(&c);
    r.addListener(&c);
    r.parse(fixture(dir, "<r><a/></r>").c_str());
    EXPECT_EQ(c.starts, 2);
    r.removeListener(&c);
    r.removeListener(&c);
    r.parse(fixture(dir, "<r/>").c_str());
    EXPECT_EQ(c.starts, 2);
}

// A listener leaving inside its own handler makes no other listener miss that event; one
// registered during an event hears it.
TEST(SAXHandler, ListenersChangedDuringAnEventMissNothing) {
    i18ntest::TempDir dir;
    Recorder r; // registered first, as a listener of itself
    struct Leaver : SAXHandlerListener {
        SAXHandler* handler = nullptr;
        SAXHandlerListener* late = nullptr;
        int starts = 0;
        void onStartElementEvent(StartElementEvent&) override {
            ++starts;
            handler->removeListener(this);
            handler->addListener(late);
        }
    };
    Counter after, late;
    Leaver leaver;
    leaver.handler = &r;
    leaver.late = &late;
    r.removeListener(&r);
    r.addListener(&leaver);
    r.addListener(&after);
    r.parse(fixture(dir, "<r><a/></r>").c_str());
    EXPECT_EQ(leaver.starts, 1);
    EXPECT_EQ(after.starts, 2);
    EXPECT_EQ(late.starts, 2);
}

// Narrow text is CP1252 ("\xe9" is "é"); the file system holds the UTF-8 name wx created.
TEST(SAXHandler, ReadsTheFileWxNamesUnderANonAsciiFolder) {
    i18ntest::TempDir dir;
    const std::string base = dir.path.string();
    const std::wstring folder = std::wstring(base.begin(), base.end()) + L"/Vid\u00e9os";
    ASSERT_TRUE(wxMkdir(wxString(folder)));
    i18ntest::writeFile(std::string(wxString(folder + L"/in.xml").fn_str()), "<r/>");
    Recorder r;
    r.parse((base + "/Vid\xe9os/in.xml").c_str());
    EXPECT_EQ(only(r.events, "v:start:"), std::vector<std::string>{"v:start:r"});
}

TEST(SAXHandler, MissingFileThrows) {
    Recorder r;
    EXPECT_THROW(r.parse("/nonexistent/dir/none.xml"), XMLException);
    EXPECT_TRUE(only(r.events, "v:").empty());
}

TEST(SAXHandler, XIncludeStoresNothing) {
    XInclude a("a.xml", "p", XInclude::PARSE_TEXT, "UTF-8");
    XInclude b("b.xml", "", XInclude::PARSE_XML, "");
    a.setHref("c.xml");
    EXPECT_EQ(a.getHref(), ostring(""));
    EXPECT_EQ(a.getParseType(), 0);
    EXPECT_TRUE(a.getFallback().isNull());
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a.equals(b));
    EXPECT_FALSE(a != b);
}
