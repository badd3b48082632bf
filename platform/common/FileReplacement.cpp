#include "platform/common/FileReplacement.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<unsigned int> g_counter{0};

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The process id in a temporary name "<file>.tmp<pid>.<n>" of file, or 0 when name is not one.
pid_t temporaryOwner(const std::string& name, const std::string& file) {
    const std::string stem = file + ".tmp";
    if (name.compare(0, stem.size(), stem) != 0)
        return 0;
    size_t at = stem.size();
    const size_t pidStart = at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9')
        ++at;
    if (at == pidStart || at - pidStart > 9 || at >= name.size() || name[at] != '.')
        return 0;
    const size_t counterStart = ++at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9')
        ++at;
    if (at == counterStart || at != name.size())
        return 0;
    return static_cast<pid_t>(std::atol(name.substr(pidStart, counterStart - 1 - pidStart).c_str()));
}

void syncFolder(const std::string& path) {
    // Makes the rename itself durable; a failure here leaves a complete file either way.
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

void FileReplacement::removeStaleTemporaries(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    const std::string file = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* dir = ::opendir(folderOf(target).c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = temporaryOwner(entry->d_name, file);
        // A live process (this one included) may still be writing its own.
        if (owner <= 0 || owner == ::getpid())
            continue;
        if (::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

FileReplacement::~FileReplacement() {
    discard();
}

bool FileReplacement::fail(Step step) {
    step_ = step;
    errno_ = errno ? errno : EIO;
    discard();
    errno = errno_;
    return false;
}

std::string FileReplacement::failureText() const {
    const char* what = "";
    switch (step_) {
    case Step::None:
        return {};
    case Step::NoFileName:
        what = "no file name";
        break;
    case Step::Create:
        what = "creating the temporary file";
        break;
    case Step::Write:
        what = "writing the temporary file";
        break;
    case Step::Rename:
        what = "renaming the temporary file";
        break;
    }
    return std::string(what) + ": " + std::strerror(errno_);
}

bool FileReplacement::open(const std::string& path, const Options& options) {
    discard();
    options_ = options;
    step_ = Step::None;
    errno_ = 0;
    target_ = path;
    if (target_.empty()) {
        errno = ENOENT;
        return fail(Step::NoFileName);
    }
    // Renaming over a symbolic link would replace the link by a plain file.
    if (char* real = ::realpath(target_.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
    removeStaleTemporaries(target_);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = target_ + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(g_counter++);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     options_.newFileMode);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        temporary_.clear();
        return fail(Step::Create);
    }
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && ::fchmod(fd_, old.st_mode & 07777) != 0)
        return fail(Step::Create);
    return true;
}

bool FileReplacement::write(const void* data, size_t size) {
    if (fd_ < 0) {
        errno = EBADF;
        return fail(Step::Write);
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(Step::Write);
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileReplacement::finish(const std::string& destination, bool replaceExisting) {
    if (fd_ >= 0) {
        const bool synced = ::fsync(fd_) == 0;
        const int syncErrno = errno;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!synced || !closed) {
            if (!synced)
                errno = syncErrno;
            return fail(Step::Write);
        }
    } else if (temporary_.empty()) {
        errno = EBADF;
        return fail(Step::Write);
    }
    if (options_.beforeRename) {
        try {
            options_.beforeRename(temporary_);
        } catch (...) {
            discard();
            throw;
        }
    }
    if (replaceExisting) {
        if (::rename(temporary_.c_str(), destination.c_str()) != 0)
            return fail(Step::Rename);
    } else {
        // A link fails on an existing name instead of replacing it; the temporary file stays,
        // so that the caller can try another name.
        if (::link(temporary_.c_str(), destination.c_str()) != 0) {
            step_ = Step::Rename;
            errno_ = errno;
            return false;
        }
        ::unlink(temporary_.c_str());
    }
    temporary_.clear();
    syncFolder(destination);
    return true;
}

bool FileReplacement::commit() {
    return finish(target_, true);
}

bool FileReplacement::keepAs(const std::string& path) {
    return finish(path, false);
}

void FileReplacement::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool FileReplacement::replace(const std::string& path, std::string_view bytes, const Options& options,
                              FileReplacement* failure) {
    FileReplacement local;
    FileReplacement& file = failure ? *failure : local;
    return file.open(path, options) && file.write(bytes.data(), bytes.size()) && file.commit();
}
