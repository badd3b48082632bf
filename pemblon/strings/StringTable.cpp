#include "pemblon/strings/StringTable.h"

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/LangChangedEvent.h"
#include "pemblon/strings/LangChangingEvent.h"
#include "pemblon/strings/LangEventData.h"
#include "pemblon/strings/StringTableListener.h"
#include "pemblon/strings/StringTableNamespace.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLNode.h"

#include <algorithm>
#include <clocale>
#include <sstream>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/translation.h>

namespace PBN {
namespace Strings {

StringTable* StringTable::_instance = nullptr;

namespace {

// Windows primary and sub-language numbers of the languages the suite may meet; wx has no such
// table on Linux.
struct WinLangId {
    wxLanguage lang;
    unsigned long primary;
    unsigned long sub;
};

const WinLangId winLangIds[] = {
    {wxLANGUAGE_ENGLISH, 0x09, 0x01},         {wxLANGUAGE_ENGLISH_US, 0x09, 0x01},
    {wxLANGUAGE_ENGLISH_UK, 0x09, 0x02},      {wxLANGUAGE_ENGLISH_AUSTRALIA, 0x09, 0x03},
    {wxLANGUAGE_ENGLISH_CANADA, 0x09, 0x04},  {wxLANGUAGE_FRENCH, 0x0C, 0x01},
    {wxLANGUAGE_FRENCH_FRANCE, 0x0C, 0x01},   {wxLANGUAGE_FRENCH_BELGIAN, 0x0C, 0x02},
    {wxLANGUAGE_FRENCH_CANADIAN, 0x0C, 0x03}, {wxLANGUAGE_FRENCH_SWISS, 0x0C, 0x04},
    {wxLANGUAGE_GERMAN, 0x07, 0x01},          {wxLANGUAGE_GERMAN_GERMANY, 0x07, 0x01},
    {wxLANGUAGE_GERMAN_SWISS, 0x07, 0x02},    {wxLANGUAGE_GERMAN_AUSTRIAN, 0x07, 0x03},
    {wxLANGUAGE_SPANISH, 0x0A, 0x01},         {wxLANGUAGE_ITALIAN, 0x10, 0x01},
    {wxLANGUAGE_DUTCH, 0x13, 0x01},           {wxLANGUAGE_PORTUGUESE, 0x16, 0x02},
    {wxLANGUAGE_JAPANESE, 0x11, 0x01},        {wxLANGUAGE_CHINESE_SIMPLIFIED, 0x04, 0x02},
    {wxLANGUAGE_RUSSIAN, 0x19, 0x01},
};

const WinLangId* findWinLang(const wxLanguage& lang) {
    for (const WinLangId& w : winLangIds)
        if (w.lang == lang)
            return &w;
    return nullptr;
}

// wx keeps wxLANGUAGE_DEFAULT as the language of a locale built for it; the language a user sees
// is then the system's.
wxLanguage resolved(int lang) {
    if (lang == wxLANGUAGE_DEFAULT)
        lang = wxLocale::GetSystemLanguage();
    return static_cast<wxLanguage>(lang);
}

// A relative catalogue directory lies in the program's folder.
ostring resolveDir(const ostring& dir) {
    if (wxFileName(dir.wxstr()).IsRelative())
        return HelperFuncs::ensureDir(HelperFuncs::getAppDir()) + dir;
    return dir;
}

} // namespace

StringTable::StringTable() : locale(new wxLocale()), defaultLanguage(wxLANGUAGE_DEFAULT) {
    locale->Init(wxLANGUAGE_DEFAULT, wxLOCALE_LOAD_DEFAULT);
    // The system locale would otherwise also rule number parsing (strtod) until the first switch,
    // and "0.5" reads as 0 under a locale with a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    defaultLanguage = resolved(wxLANGUAGE_DEFAULT);
}

StringTable::~StringTable() {
    delete locale;
    locale = nullptr;
    if (_instance == this)
        _instance = nullptr;
    for (StringTableNamespace* ns : namespaces)
        delete ns;
    namespaces.clear();
}

StringTable& StringTable::get() {
    return *instance();
}

StringTable* StringTable::instance() {
    if (!_instance)
        _instance = new StringTable();
    return _instance;
}

void StringTable::destroy() {
    delete _instance; // the destructor clears _instance
}

void StringTable::load(const ostring& name, const XML::XMLNode& root) {
    wxLanguage def = stringToLanguage(root.getAttribute("default", "").getValue());
    defaultLanguage = def == wxLANGUAGE_UNKNOWN ? resolved(wxLocale::GetSystemLanguage()) : def;
    for (const StringTableNamespace* ns : namespaces)
        if (ns->getName() == name)
            return;
    namespaces.push_back(new StringTableNamespace(name, root));
}

ostring StringTable::getString(const ostring& ns, const unsigned int& id) const {
    for (const StringTableNamespace* n : namespaces)
        if (n->getName() == ns)
            return n->getString(id);
    return ostring();
}

void StringTable::addListener(StringTableListener* listener) {
    listeners.add(listener);
}

void StringTable::removeListener(StringTableListener* listener) {
    listeners.remove(listener);
}

std::vector<ostring> StringTable::language(const wxLanguage& lang, const bool& numericC) {
    const wxLanguage old = getActiveLanguage();
    // Walked by index: a listener registered during a notice hears it in the same dispatch, and
    // removals never make a remaining listener miss one.
    __LangChangingEventData changing{old};
    LangChangingEvent changingEvent(&changing);
    listeners.dispatch([&](StringTableListener* l) { l->onLangChangingEvent(changingEvent); });

    delete locale;
    locale = nullptr;
    locale = new wxLocale(lang, wxLOCALE_LOAD_DEFAULT);
    if (numericC)
        std::setlocale(LC_NUMERIC, "C");

    std::vector<ostring> failed;
    for (const __CatalogInfo& c : catalogs) {
        if (c.dir.size() > 0)
            wxLocale::AddCatalogLookupPathPrefix(resolveDir(c.dir).wxstr());
        if (!locale->AddCatalog(c.name.wxstr()) || !locale->IsLoaded(c.name.wxstr()))
            failed.push_back(catalogName(c.name, c.language));
    }

    __LangChangedEventData changed{old};
    LangChangedEvent changedEvent(&changed);
    listeners.dispatch([&](StringTableListener* l) { l->onLangChangedEvent(changedEvent); });
    return failed;
}

void StringTable::setActiveLanguage(const Lang& lang) {
    language(lang, true);
}

const wxLanguageInfo* StringTable::language() const {
    return wxLocale::GetLanguageInfo(getActiveLanguage());
}

wxLanguage StringTable::getActiveLanguage() const {
    return resolved(locale ? locale->GetLanguage() : wxLANGUAGE_DEFAULT);
}

ostring StringTable::catalogName(const ostring& name, const wxLanguage& lang) {
    const wxLanguageInfo* info = wxLocale::GetLanguageInfo(lang);
    if (!info || lang == wxLANGUAGE_UNKNOWN)
        return name;
    return ostring(info->CanonicalName.utf8_string(), "UTF-8") + HelperFuncs::getDirSep() + name;
}

bool StringTable::load(const ostring& name, const wxLanguage& lang, const ostring& dir,
                       const ostring& fourth) {
    if (dir.size() > 0) {
        const ostring resolvedDir = resolveDir(dir);
        if (!wxDirExists(resolvedDir.wxstr()))
            return false;
        const ostring file = HelperFuncs::ensureDir(resolvedDir) + catalogName(name, lang) + ".mo";
        if (!wxFileExists(file.wxstr()))
            return false;
    }
    catalogs.push_back(__CatalogInfo{name, lang, dir, fourth});
    return true;
}

bool StringTable::load(const __CatalogInfo* entries, ostring* err) {
    std::vector<ostring> failed;
    for (const __CatalogInfo* e = entries; e && e->name.size() > 0; ++e)
        if (!load(e->name, e->language, e->dir, e->fourth))
            failed.push_back(catalogName(e->name, e->language));
    if (err && !failed.empty()) {
        wxString text =
            wxGetTranslation("The following catalog file was not found or the catalog is invalid:",
                             "The following catalogs files were not found or the catalogs are "
                             "invalid:",
                             static_cast<unsigned>(failed.size()), "Pemblon");
        text += "\n";
        for (const ostring& f : failed)
            text += " - " + f.wxstr() + ".mo\n";
        *err = ostring(text);
    }
    return failed.empty();
}

bool StringTable::isLoaded(const ostring& name) const {
    return locale && locale->IsLoaded(name.wxstr());
}

ostring StringTable::getActiveLanguageString() const {
    return getLanguageString(getActiveLanguage());
}

ostring StringTable::getLanguageString(const wxLanguage& lang) const {
    const wxLanguageInfo* info = wxLocale::GetLanguageInfo(lang);
    return info ? ostring(info->Description) : ostring();
}

wxLanguage StringTable::stringToLanguage(const ostring& text) {
    const wxLanguageInfo* info = wxLocale::FindLanguageInfo(text.wxstr());
    return info ? static_cast<wxLanguage>(info->Language) : wxLANGUAGE_UNKNOWN;
}

bool StringTable::isKnownLanguage(const ostring& text) {
    return wxLocale::FindLanguageInfo(text.wxstr()) != nullptr;
}

unsigned long StringTable::getLangid() const {
    const WinLangId* w = findWinLang(getActiveLanguage());
    return w ? (w->sub << 10) | w->primary : 0;
}

unsigned long StringTable::getLcid() const {
    return getLangid() & 0xFFFF;
}

std::locale StringTable::getLocale(const Lang& lang) const {
    const char* name = nullptr;
    switch (lang) {
    case wxLANGUAGE_ENGLISH_US:
        name = "en_US.UTF-8";
        break;
    case wxLANGUAGE_FRENCH:
        name = "fr_FR.UTF-8";
        break;
    case wxLANGUAGE_GERMAN:
        name = "de_DE.UTF-8";
        break;
    default:
        return std::locale();
    }
    try {
        return std::locale(name);
    } catch (const std::runtime_error&) {
        return std::locale(); // not generated on this system
    }
}

std::locale StringTable::getActiveLocale() const {
    return getLocale(getActiveLanguage());
}

} // namespace Strings
} // namespace PBN
