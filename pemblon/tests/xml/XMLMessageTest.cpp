#include "XMLTestSupport.h"

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

namespace {

// A gettext catalogue built in memory: the load messages go through the translations of the
// library's domain.
std::string moFile(const std::map<std::string, std::string>& entries) {
    const uint32_t n = static_cast<uint32_t>(entries.size());
    const uint32_t originals = 28, translations = originals + 8 * n;
    uint32_t offset = translations + 8 * n;
    std::string head, tables[2], strings;
    auto word = [](std::string& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((v >> (8 * i)) & 0xff);
        }
    };
    for (uint32_t v : {0x950412deu, 0u, n, originals, translations, 0u, 0u}) {
        word(head, v);
    }
    for (int side = 0; side < 2; ++side) {
        for (const auto& [id, text] : entries) {
            const std::string& s = side == 0 ? id : text;
            word(tables[side], static_cast<uint32_t>(s.size()));
            word(tables[side], offset);
            strings += s + '\0';
            offset += static_cast<uint32_t>(s.size()) + 1;
        }
    }
    return head + tables[0] + tables[1] + strings;
}

class MemoryLoader : public wxTranslationsLoader {
public:
    explicit MemoryLoader(std::string data) : data(std::move(data)) {}
    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString&) override {
        return wxMsgCatalog::CreateFromData(wxScopedCharBuffer::CreateNonOwned(data.data(), data.size()),
                                            domain);
    }
    wxArrayString GetAvailableTranslations(const wxString&) const override {
        wxArrayString all;
        all.Add("fr");
        return all;
    }

private:
    std::string data;
};

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
