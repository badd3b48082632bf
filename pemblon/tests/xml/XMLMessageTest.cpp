#include "XMLTestSupport.h"
#include "pemblon/tests/support/MemoryCatalog.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"

#include <cstdint>
#include <map>
#include <string>

#include <wx/arrstr.h>
#include <wx/translation.h>

using PBN::Exception;
using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLException;

using PBNTest::MemoryLoader;
using PBNTest::moFile;

namespace {

std::string emptyLoadMessage() {
    try {
        XMLDoc doc(true, ostring(""), false, false, ostring("settings.xml"));
    } catch (const XMLException& e) {
        EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
        return e.getMessage().str();
    }
    ADD_FAILURE() << "an empty document loaded";
    return std::string();
}

} // namespace

TEST(XMLMessageTest, LoadFailureNamesTheFile) {
    EXPECT_EQ(emptyLoadMessage(), "Failed to parse file \"settings.xml\".");
}

TEST(XMLMessageTest, TranslationsWithBrokenPlaceholdersStillGiveXMLException) {
    for (const char* translated : {"Lecture de \"%1%\" impossible.", "Lecture de \"%1\" impossible.",
                                   "Lecture de \"%1%\" et \"%2%\" impossible.", "Lecture impossible."}) {
        auto* translations = new wxTranslations;
        wxTranslations::Set(translations);
        translations->SetLoader(new MemoryLoader(moFile({{"", "Content-Type: text/plain; charset=UTF-8\n"},
                                                         {"Failed to parse file \"%1%\".", translated}})));
        translations->SetLanguage("fr");
        ASSERT_TRUE(translations->AddCatalog("Pemblon"));
        const std::string message = emptyLoadMessage();
        EXPECT_EQ(message.rfind("Lecture", 0), 0u) << translated << " -> " << message;
    }
    wxTranslations::Set(nullptr);
    EXPECT_EQ(emptyLoadMessage(), "Failed to parse file \"settings.xml\".");
}
