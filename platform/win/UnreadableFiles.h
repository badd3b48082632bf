#pragma once

// Settings files that could not be understood are not replaced in silence: each is renamed
// aside, so that nothing in it is lost, and recorded, so that the program can tell the user once
// which file it was, what was wrong with it and where it went.

#include "platform/common/StoreFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace win {

// What was wrong with a file. Only the kind (and the line it concerns) is recorded: the program
// words it in the user's language when it tells the user, which may be chosen after the file
// was read.
struct FileProblem {
    enum class Kind {
        Empty,                // nothing in it at all
        BinaryData,           // it holds NUL bytes
        NoRegistryHeader,     // the first line is not the registry file's header
        NotKeyOrValue,        // line `line` is neither a key nor a value (registry)
        LastLineCut,          // the last line has no line end
        NotNetworkRecord,     // line `line` is no adapter, service or binding record
        BindingBeforeService, // line `line` binds a service that is not named before it
        NoService,            // the network configuration names no service
        NotPortRecord,        // line `line` is no port database or device record
        Folder,               // a folder stands where the file should be (never moved)
        NotAFile,             // something else that is no file stands there (never moved)
    };
    Kind kind;
    size_t line = 0;

    bool operator==(const FileProblem&) const = default;
};

struct UnreadableFile {
    std::string path;    // where the file was
    std::string keptAs;  // where it is now; empty when it was left where it is
    FileProblem problem; // what was wrong with it
};

// Renames the file to "<path>.unreadable-<YYYYMMDD-HHMMSS>" (with "-2", "-3" ... when that name
// is taken) and records it; false, recording nothing, when it could not be renamed.
bool KeepUnreadableAside(const std::string& path, const FileProblem& problem);

// A folder, a device or a pipe where a store should be cannot be read or replaced, and since the
// program did not make it, it is left where it is: recorded (kept as nothing), once for each
// path in a process, so that the user learns that no setting can be saved there. True when path
// exists and is no file (a link to a file is one, a link loop is none).
bool RecordIfNotAFile(const std::string& path);

// Reads a store whole without ever waiting on it (see StoreFile.h); a folder or anything else
// that is no file in its place is recorded as RecordIfNotAFile records it.
StoreFileRead ReadStore(const std::string& path, std::string& text);

// The files set aside since the last call, oldest first; the record is emptied.
std::vector<UnreadableFile> TakeUnreadableFiles();

} // namespace win
