#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/StringTableItem.h"
#include "pemblon/strings/ostring.h"

#include <vector>

namespace PBN {
namespace XML {
class XMLNode;
}
namespace Strings {

// The items of one string-table document, under the name the caller loaded it with.
class PBN_API StringTableNamespace {
public:
    // Every element child of `root` becomes one item, in document order.
    StringTableNamespace(const ostring& name, const XML::XMLNode& root);
    StringTableNamespace(const StringTableNamespace& other);
    StringTableNamespace& operator=(const StringTableNamespace& other);
    virtual ~StringTableNamespace();

    const ostring& getName() const { return name; }
    // The text of the first item with `id` in the active language; "" when there is none.
    ostring getString(const unsigned int& id) const;
    unsigned int getItemsCount() const { return static_cast<unsigned int>(items.size()); }

    // Names only.
    bool operator==(const StringTableNamespace& other) const { return name == other.name; }
    bool operator!=(const StringTableNamespace& other) const { return !(*this == other); }

private:
    ostring name;
    std::vector<StringTableItem> items;
};

} // namespace Strings
} // namespace PBN
