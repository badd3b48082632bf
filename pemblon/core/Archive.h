#pragma once

#include <cstdint>
#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

class wxArchiveEntry;

namespace PBN {
namespace Files {

// The interface of an archive reader. No archive format is behind it: every operation is empty,
// so that callers written against the interface build and find nothing.
class PBN_API Archive {
public:
    enum Type : std::uint32_t { Unknown = 0 };

    Archive();
    // The arguments are not kept.
    Archive(const Strings::ostring& path, const Type& type);
    Archive(const Archive& other);
    // Copies nothing.
    Archive& operator=(const Archive& other);
    virtual ~Archive();

    Type getType();
    std::vector<Strings::ostring> listEntries();
    void listEntries(std::vector<Strings::ostring>& entries) const;
    wxArchiveEntry* findEntry(const Strings::ostring& name) const;
    wxArchiveEntry* getEntryAt(const unsigned int& index) const;

    bool operator==(const Archive& other) const;
    bool operator!=(const Archive& other) const;

private:
    Strings::ostring _path;
};

} // namespace Files
} // namespace PBN
