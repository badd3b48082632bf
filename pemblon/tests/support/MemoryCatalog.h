#pragma once

// Test support: gettext catalogues built in memory, so that tests can give the library's message
// domain any translation (including broken ones) without files on disk.
#include <cstdint>
#include <map>
#include <string>

#include <wx/arrstr.h>
#include <wx/translation.h>

namespace PBNTest {

// The bytes of a .mo catalogue holding the given original -> translation entries.
inline std::string moFile(const std::map<std::string, std::string>& entries) {
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

} // namespace PBNTest
