#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/core/ListenerList.h"
#include "pemblon/strings/ostring.h"

#include <locale>
#include <vector>

#include <wx/language.h>

class wxLocale;
struct wxLanguageInfo;

namespace PBN {
namespace XML {
class XMLNode;
}
namespace Strings {

class StringTableListener;
class StringTableNamespace;

// The process-wide table of translated user-interface texts, looked up by namespace name and
// number in the active language. It owns the wx locale that defines that language, reloads the
// registered gettext catalogues on every switch and tells its listeners before and after.
// Meant for the GUI thread only; nothing here locks.
class PBN_API StringTable {
public:
    typedef wxLanguage Lang;

    // One registered gettext catalogue. In the array form taken by load(entries, err) the entry
    // with an empty name ends the array.
    struct __CatalogInfo {
        ostring name;        // gettext domain, without extension
        wxLanguage language; // the language it was registered for
        ostring dir;         // as given: empty, relative to the program's folder, or absolute
        ostring fourth;      // kept, never read
    };

    static StringTable& get();
    static StringTable* instance();
    // Deletes the table if there is one; the next get() builds a fresh one.
    static void destroy();

    virtual ~StringTable();

    // Reads one namespace from a string-table document. The "default" attribute of the root
    // replaces the default language each time; a name already loaded keeps its first texts.
    void load(const ostring& name, const XML::XMLNode& root);
    // "" when the namespace, the item or a text in the active language is missing.
    ostring getString(const ostring& ns, const unsigned int& id) const;
    wxLanguage getDefaultLanguage() const { return defaultLanguage; }

    void addListener(StringTableListener* listener);
    void removeListener(StringTableListener* listener);

    // Switches the active language: changing event, new locale, numbers back to "C" when asked,
    // catalogues reloaded, changed event. Returns the catalogue names (catalogName form) that
    // failed to load; a failure does not stop the switch. Exceptions from listeners pass through.
    std::vector<ostring> language(const wxLanguage& lang, const bool& numericC);
    void setActiveLanguage(const Lang& lang);
    // The wx description of the active language (null for an unknown one).
    const wxLanguageInfo* language() const;
    // The language of the locale; the system language until the first switch.
    wxLanguage getActiveLanguage() const;

    // ---- catalogues and locales ----

    // The language's canonical name, the native path separator and `name`; just `name` for an
    // unknown language. This is the catalogue's file path below its directory, without ".mo".
    static ostring catalogName(const ostring& name, const wxLanguage& lang);
    // Registers a catalogue. A non-empty `dir` (relative ones are taken in the program's folder)
    // must exist and hold catalogName(name, lang) + ".mo", else false and nothing is recorded.
    bool load(const ostring& name, const wxLanguage& lang, const ostring& dir, const ostring& fourth);
    // Registers every entry up to the first with an empty name. False when any failed; then, when
    // `err` is given, it receives the translated list of the failed catalogue files.
    bool load(const __CatalogInfo* entries, ostring* err);
    bool isLoaded(const ostring& name) const;

    ostring getActiveLanguageString() const;
    ostring getLanguageString(const wxLanguage& lang) const;
    // wxLANGUAGE_UNKNOWN when the text names no language (code or English name, any case).
    static wxLanguage stringToLanguage(const ostring& text);
    static bool isKnownLanguage(const ostring& text);

    // Windows language identifier of the active language ((sub-language << 10) | language), from
    // our own table of the languages the suite knows; 0 for any other language.
    unsigned long getLangid() const;
    unsigned long getLcid() const;

    // The C++ locale of English (United States), French or German; the global locale for any
    // other language or when the system lacks the locale.
    std::locale getLocale(const Lang& lang) const;
    std::locale getActiveLocale() const;

protected:
    StringTable();

    static StringTable* _instance;

private:
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    ListenerList<StringTableListener> listeners;
    wxLocale* locale;
    std::vector<__CatalogInfo> catalogs;
    wxLanguage defaultLanguage;
    std::vector<StringTableNamespace*> namespaces;
};

} // namespace Strings
} // namespace PBN
