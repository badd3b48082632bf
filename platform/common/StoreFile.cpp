#include "platform/common/StoreFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

StoreFileRead kindOf(const struct stat& status) {
    if (S_ISREG(status.st_mode))
        return StoreFileRead::Read;
    return S_ISDIR(status.st_mode) ? StoreFileRead::Folder : StoreFileRead::NotAFile;
}

} // namespace

StoreFileRead storeFileKind(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return kindOf(status);
    if (errno == ELOOP)
        return StoreFileRead::NotAFile;
    return errno == ENOENT ? StoreFileRead::Missing : StoreFileRead::Failed;
}

StoreFileRead readStoreFile(const std::string& path, std::string& text) {
    text.clear();
    if (const StoreFileRead kind = storeFileKind(path); kind != StoreFileRead::Read)
        return kind; // a device is never opened: opening one can have effects of its own
    // Something else may have been put there since the look; O_NONBLOCK keeps even that open
    // from waiting, and fstat tells what was opened.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return StoreFileRead::Missing;
        // ENXIO: a socket; ELOOP: a link loop made since the look
        return errno == ENXIO || errno == ELOOP ? StoreFileRead::NotAFile : StoreFileRead::Failed;
    }
    struct stat opened {};
    StoreFileRead result = ::fstat(fd, &opened) == 0 ? kindOf(opened) : StoreFileRead::Failed;
    char buffer[65536];
    while (result == StoreFileRead::Read) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            result = StoreFileRead::Failed;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    if (result != StoreFileRead::Read)
        text.clear();
    return result;
}
