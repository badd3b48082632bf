#include "tolvane_model/FilmFolder.h"

#include <sys/statvfs.h>
#include <unistd.h>

namespace Tolvane_model {

FilmFolder filmFolderState(const std::string& folder, uint64_t room) {
    const char* path = folder.empty() ? "." : folder.c_str();
    // access () answers for this process: a read-only disk refuses even its administrator.
    if (::access(path, W_OK | X_OK) != 0)
        return FilmFolder::NotWritable;
    // The room left to ordinary users: what the administrator keeps aside is not counted.
    struct statvfs disk {};
    if (::statvfs(path, &disk) == 0 &&
        static_cast<uint64_t>(disk.f_bavail) * static_cast<uint64_t>(disk.f_frsize) < room)
        return FilmFolder::Full;
    return FilmFolder::Writable;
}

} // namespace Tolvane_model
