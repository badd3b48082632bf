#include "platform/win/UnreadableFiles.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace win {

namespace {

std::mutex& recordMutex() {
    static std::mutex m;
    return m;
}

std::vector<UnreadableFile>& record() {
    static std::vector<UnreadableFile> files;
    return files;
}

std::string asideName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".unreadable-" + stamp;
    std::string name = base;
    struct stat status {};
    for (int n = 2; ::lstat(name.c_str(), &status) == 0; ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

} // namespace

bool KeepUnreadableAside(const std::string& path, const FileProblem& problem) {
    const std::string aside = asideName(path);
    if (std::rename(path.c_str(), aside.c_str()) != 0)
        return false;
    std::lock_guard lock(recordMutex());
    record().push_back({path, aside, problem});
    return true;
}

namespace {

void recordLeftInPlace(const std::string& path, FileProblem::Kind kind) {
    static std::set<std::string> told;
    std::lock_guard lock(recordMutex());
    if (told.insert(path).second)
        record().push_back({path, std::string(), FileProblem{kind}});
}

} // namespace

namespace {

// Records a folder or anything else that is no file; false for the other kinds.
bool recordIfNoFile(const std::string& path, StoreFileRead kind) {
    if (kind == StoreFileRead::Folder)
        recordLeftInPlace(path, FileProblem::Kind::Folder);
    else if (kind == StoreFileRead::NotAFile)
        recordLeftInPlace(path, FileProblem::Kind::NotAFile);
    else
        return false;
    return true;
}

} // namespace

bool RecordIfNotAFile(const std::string& path) {
    return recordIfNoFile(path, storeFileKind(path));
}

StoreFileRead ReadStore(const std::string& path, std::string& text) {
    const StoreFileRead result = readStoreFile(path, text);
    recordIfNoFile(path, result);
    return result;
}

std::vector<UnreadableFile> TakeUnreadableFiles() {
    std::lock_guard lock(recordMutex());
    std::vector<UnreadableFile> files;
    files.swap(record());
    return files;
}

} // namespace win
