#include "pemblon/core/ArchiveListener.h"

namespace PBN {
namespace Files {

ArchiveListener::ArchiveListener() {}

ArchiveListener::ArchiveListener(const ArchiveListener&) {}

ArchiveListener& ArchiveListener::operator=(const ArchiveListener&) {
    return *this;
}

ArchiveListener::~ArchiveListener() {}

} // namespace Files
} // namespace PBN
