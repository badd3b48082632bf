#include "pemblon/strings/StringTableItem.h"

#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLNode.h"

#include <sstream>

namespace PBN {
namespace Strings {

StringTableItem::StringTableItem() : id(0) {}

StringTableItem::StringTableItem(const XML::XMLNode& node, StringTableNamespace*) : id(0) {
    const ostring idText = node.getAttribute("id", "").getValue();
    if (idText.size() == 0 || !idText.isInt())
        return;
    std::istringstream in(idText.str());
    in >> id;
    if (!in)
        id = 0;
    for (XML::XMLNode child = node.getFirstChild(); !child.isNull(); child = child.getSibling()) {
        const wxLanguage lang = StringTable::stringToLanguage(child.getName());
        if (lang == wxLANGUAGE_UNKNOWN)
            continue;
        languages.push_back(lang);
        texts.push_back(child.getText());
    }
}

StringTableItem::StringTableItem(const StringTableItem& other)
    : id(other.id), languages(other.languages), texts(other.texts) {}

StringTableItem& StringTableItem::operator=(const StringTableItem& other) {
    id = other.id;
    languages = other.languages;
    texts = other.texts;
    return *this;
}

StringTableItem::~StringTableItem() = default;

ostring StringTableItem::getString(const wxLanguage& lang) const {
    for (size_t i = 0; i < languages.size(); ++i)
        if (languages[i] == lang)
            return texts[i];
    const wxLanguage active = StringTable::get().getActiveLanguage();
    for (size_t i = languages.size(); i-- > 0;)
        if (languages[i] == active)
            return texts[i];
    return ostring();
}

} // namespace Strings
} // namespace PBN
