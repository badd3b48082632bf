#include "pemblon/core/Archive.h"

namespace PBN {
namespace Files {

using Strings::ostring;

Archive::Archive() {}

Archive::Archive(const ostring&, const Type&) {}

Archive::Archive(const Archive&) {}

Archive& Archive::operator=(const Archive&) {
    return *this;
}

Archive::~Archive() {}

Archive::Type Archive::getType() {
    return Unknown;
}

std::vector<ostring> Archive::listEntries() {
    return {};
}

void Archive::listEntries(std::vector<ostring>&) const {}

wxArchiveEntry* Archive::findEntry(const ostring&) const {
    return nullptr;
}

wxArchiveEntry* Archive::getEntryAt(const unsigned int&) const {
    return nullptr;
}

bool Archive::operator==(const Archive&) const {
    return true;
}

bool Archive::operator!=(const Archive&) const {
    return false;
}

} // namespace Files
} // namespace PBN
