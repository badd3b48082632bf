#include "pemblon/core/AtomicFile.h"

#include "pemblon/core/FileSystemPath.h"
#include "platform/common/FileReplacement.h"

namespace PBN {
namespace AtomicFile {

bool write(const Strings::ostring& path, const std::string& bytes, std::string* error,
           const BeforeRename& beforeRename) {
    FileReplacement file;
    FileReplacement::Options options;
    options.beforeRename = beforeRename;
    if (FileReplacement::replace(FileSystemPath::toNative(path), bytes, options, &file)) {
        return true;
    }
    if (error != nullptr) {
        *error = file.failureText();
    }
    return false;
}

} // namespace AtomicFile
} // namespace PBN
