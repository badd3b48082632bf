#pragma once

#include "pemblon/core/Export.h"

namespace PBN {
namespace Files {

// Base of the listeners of an Archive; it declares no handler yet.
class PBN_API ArchiveListener {
public:
    ArchiveListener(const ArchiveListener& other);
    // Copies nothing.
    ArchiveListener& operator=(const ArchiveListener& other);
    virtual ~ArchiveListener();

protected:
    ArchiveListener();
};

} // namespace Files
} // namespace PBN
