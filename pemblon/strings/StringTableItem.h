#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <vector>

#include <wx/language.h>

namespace PBN {
namespace XML {
class XMLNode;
}
namespace Strings {

class StringTableNamespace;

// One numbered entry of a string-table namespace: one text per language, in document order.
class PBN_API StringTableItem {
public:
    StringTableItem();
    // Reads the "id" attribute and one text per child element named after a language. An id that
    // is missing or not an integer leaves the item with id 0 and no texts.
    StringTableItem(const XML::XMLNode& node, StringTableNamespace* owner);
    StringTableItem(const StringTableItem& other);
    StringTableItem& operator=(const StringTableItem& other);
    virtual ~StringTableItem();

    const unsigned int& getId() const { return id; }
    // The first text stored for `lang`; else the last one stored for the table's active language;
    // else "".
    ostring getString(const wxLanguage& lang) const;

    unsigned int getTextsCount() const { return static_cast<unsigned int>(texts.size()); }

private:
    unsigned int id;
    std::vector<wxLanguage> languages;
    std::vector<ostring> texts;
};

} // namespace Strings
} // namespace PBN
