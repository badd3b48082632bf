#include "pemblon/strings/StringTableNamespace.h"

#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLNode.h"

namespace PBN {
namespace Strings {

StringTableNamespace::StringTableNamespace(const ostring& name_, const XML::XMLNode& root) : name(name_) {
    for (XML::XMLNode child = root.getFirstChild(); !child.isNull(); child = child.getSibling())
        items.push_back(StringTableItem(child, this));
}

StringTableNamespace::StringTableNamespace(const StringTableNamespace& other)
    : name(other.name), items(other.items) {}

StringTableNamespace& StringTableNamespace::operator=(const StringTableNamespace& other) {
    name = other.name;
    items = other.items;
    return *this;
}

StringTableNamespace::~StringTableNamespace() = default;

ostring StringTableNamespace::getString(const unsigned int& id) const {
    for (const StringTableItem& item : items)
        if (item.getId() == id)
            return item.getString(StringTable::get().getActiveLanguage());
    return ostring();
}

} // namespace Strings
} // namespace PBN
