#pragma once

#include "pemblon/strings/ostring.h"

#include <functional>
#include <string>

namespace PBN {
namespace AtomicFile {

// Called with the temporary file's name once its bytes are on disk and before it replaces the
// target. An exception from it removes the temporary file and passes on.
using BeforeRename = std::function<void(const std::string& temporaryPath)>;

// Replaces the file at `path` by `bytes` so that a failure at any step leaves the old file whole:
// the bytes go to a new file beside the target, which takes the old file's permission bits, is
// synced and renamed over it; the folder is synced last. Through a symbolic link the file it
// points at is replaced and the link stays. Returns false on failure, with what failed in
// *error when given; the temporary file never stays behind. Temporary files of this target left
// by saves in processes that no longer run (killed mid-save) are removed first.
bool write(const Strings::ostring& path, const std::string& bytes, std::string* error = nullptr,
           const BeforeRename& beforeRename = nullptr);

} // namespace AtomicFile
} // namespace PBN
