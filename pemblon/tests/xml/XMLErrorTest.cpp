#include "XMLTestSupport.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLException.h"

#include <string>
#include <thread>

using PBN::Exception;
using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLErrorScope;
using PBN::XML::XMLException;
using namespace xmltest;

namespace {

struct Hooks : XMLDoc {
    using XMLDoc::handleGenericError;
    using XMLDoc::handleStructuredError;
};

std::string structured(const char* file, int line, int column, const char* message) {
    xmlError error = {};
    error.file = const_cast<char*>(file);
    error.line = line;
    error.int2 = column;
    error.message = const_cast<char*>(message);
    XMLErrorScope scope;
    Hooks::handleStructuredError(nullptr, &error);
    return scope.message().str();
}

} // namespace

TEST(XMLErrorTest, StructuredReportText) {
    EXPECT_EQ(structured("f.xml", 12, 5, "boom\n"), "f.xml@12,5: boom\n\n");
    EXPECT_EQ(structured("f.xml", 3, 0, "boom\n"), "f.xml@3: boom\n\n");
    EXPECT_EQ(structured("f.xml", 0, 0, "boom"), "f.xml: boom\n");
    EXPECT_EQ(structured(nullptr, 3, 7, "only\n"), "only\n\n");
}

TEST(XMLErrorTest, GenericReportIsCut) {
    const std::string longText(5000, 'x');
    XMLErrorScope scope;
    Hooks::handleGenericError(nullptr, "%s", longText.c_str());
    EXPECT_EQ(scope.message().size(), 3999u);
    try {
        scope.check();
        FAIL();
    } catch (const XMLException& e) {
        EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
        EXPECT_EQ(e.getMessage().size(), 3999u);
    }
    EXPECT_FALSE(scope.failed());
}

TEST(XMLErrorTest, FirstReportWinsAndNestedScopesShareIt) {
    XMLErrorScope outer;
    {
        XMLErrorScope inner;
        XMLErrorScope::record("first");
        XMLErrorScope::record("second");
    }
    EXPECT_TRUE(outer.failed());
    EXPECT_EQ(outer.message(), ostring("first"));
    EXPECT_THROW(outer.check(), XMLException);
    EXPECT_NO_THROW(outer.check());
}

TEST(XMLErrorTest, WarningsEndTheLoadToo) {
    // A pedantic warning (relative namespace URI) is thrown like an error.
    EXPECT_THROW(parse("<r xmlns:a=\"rel\"/>"), XMLException);
}

TEST(XMLErrorTest, OtherThreadsReportAsWell) {
    bool thrown = false;
    std::thread worker([&] {
        try {
            XMLDoc doc(ostring(dataPath("syntax.xml").c_str()));
        } catch (const XMLException&) {
            thrown = true;
        }
    });
    worker.join();
    EXPECT_TRUE(thrown);
}
