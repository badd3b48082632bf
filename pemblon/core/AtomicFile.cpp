#include "pemblon/core/AtomicFile.h"

#include "pemblon/core/FileSystemPath.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PBN {
namespace AtomicFile {

namespace {

std::atomic<unsigned int> g_counter{0};

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool failed(std::string* error, const std::string& step) {
    if (error != nullptr) {
        *error = step + ": " + std::strerror(errno);
    }
    return false;
}

// The process id in a temporary name "<file>.tmp<pid>.<n>" of `file`, or 0 when `name` is not one.
pid_t temporaryOwner(const std::string& name, const std::string& file) {
    const std::string stem = file + ".tmp";
    if (name.compare(0, stem.size(), stem) != 0) {
        return 0;
    }
    size_t at = stem.size();
    const size_t pidStart = at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') {
        ++at;
    }
    if (at == pidStart || at - pidStart > 9 || at >= name.size() || name[at] != '.') {
        return 0;
    }
    const size_t counterStart = ++at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') {
        ++at;
    }
    if (at == counterStart || at != name.size()) {
        return 0;
    }
    return static_cast<pid_t>(std::atol(name.substr(pidStart, counterStart - 1 - pidStart).c_str()));
}

// A save killed between creating its temporary file and renaming it leaves the file behind.
// Removes those of `target` whose process no longer runs; a live process (this one included)
// may still be writing its own.
void removeStaleTemporaries(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string file = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = temporaryOwner(entry->d_name, file);
        if (owner <= 0 || owner == ::getpid()) {
            continue;
        }
        if (::kill(owner, 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace

bool write(const Strings::ostring& path, const std::string& bytes, std::string* error,
           const BeforeRename& beforeRename) {
    std::string target = FileSystemPath::toNative(path);
    if (target.empty()) {
        errno = ENOENT;
        return failed(error, "no file name");
    }
    // Renaming over a symbolic link would replace the link by a plain file.
    if (char* real = ::realpath(target.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }

    removeStaleTemporaries(target);

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(g_counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return failed(error, "creating the temporary file");
    }
    struct stat old;
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    if (::close(fd) != 0 || !written) {
        if (!written) {
            errno = writeErrno;
        }
        failed(error, "writing the temporary file");
        ::unlink(temp.c_str());
        return false;
    }
    if (beforeRename) {
        try {
            beforeRename(temp);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        failed(error, "renaming the temporary file");
        ::unlink(temp.c_str());
        return false;
    }
    // Makes the rename itself durable; a failure here leaves a complete file either way.
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace AtomicFile
} // namespace PBN
