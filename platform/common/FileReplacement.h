#pragma once

// Replacing a whole file so that a crash or a failure at any step leaves either the old file or
// the new one whole, never a mix: the bytes go to a new file beside the target (created
// exclusively as "<file>.tmp<pid>.<n>"), which takes the old file's permission bits, is synced
// and renamed over it; the folder is synced last. Through a symbolic link the file it points at
// is replaced and the link stays. Temporary files of the target left by processes that no longer
// run (killed mid-save) are removed before a new one is made, so none trips a later save.

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

struct FileReplacementOptions {
    // Permission bits of a file that does not exist yet (less the umask); an existing
    // file keeps its own.
    mode_t newFileMode = 0666;
    // Called with the temporary file's name once its bytes are on disk, before the rename.
    // An exception from it removes the temporary file and passes on.
    std::function<void(const std::string& temporaryPath)> beforeRename;
};

class FileReplacement {
public:
    // The step that failed; the system's error number says why.
    enum class Step { None, NoFileName, Create, Write, Rename };

    using Options = FileReplacementOptions;

    // Replaces the file at path by bytes in one call; false when a step failed, the old file is
    // then as it was and no temporary file stays.
    static bool replace(const std::string& path, std::string_view bytes, const Options& options = {},
                        FileReplacement* failure = nullptr);

    // The streaming form: open, write as the bytes arrive, then commit (the target is replaced)
    // or discard / keepAs (the target stays as it was). Whatever is neither committed nor kept
    // is removed when the object goes.
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool open(const std::string& path, const Options& options = {});
    bool isOpen() const { return fd_ >= 0; }
    bool write(const void* data, size_t size);
    bool commit();
    void discard();
    // Keeps what was written so far under another name (beside the target) instead of the
    // target, which stays as it was. An existing file of that name is never replaced: then it
    // fails with EEXIST and another name may be tried.
    bool keepAs(const std::string& path);

    Step failedStep() const { return step_; }
    int failedErrno() const { return errno_; }
    // "<what failed>: <the system's reason>", empty when nothing failed.
    std::string failureText() const;
    // The file that is replaced: the path with symbolic links resolved.
    const std::string& target() const { return target_; }

    // Removes the target's temporary files whose process no longer runs.
    static void removeStaleTemporaries(const std::string& target);

private:
    bool fail(Step step);
    bool finish(const std::string& destination, bool replaceExisting);

    std::string target_, temporary_;
    Options options_;
    int fd_ = -1;
    Step step_ = Step::None;
    int errno_ = 0;
};
