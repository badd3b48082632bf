#pragma once

// Settings files that could not be understood are not replaced in silence: each is renamed
// aside, so that nothing in it is lost, and recorded, so that the program can tell the user once
// which file it was, what was wrong with it and where it went.

#include <string>
#include <vector>

namespace win {

struct UnreadableFile {
    std::string path;    // where the file was
    std::string keptAs;  // where it is now
    std::string problem; // what was wrong with it
};

// Renames the file to "<path>.unreadable-<YYYYMMDD-HHMMSS>" (with "-2", "-3" ... when that name
// is taken) and records it; false, recording nothing, when it could not be renamed.
bool KeepUnreadableAside(const std::string& path, const std::string& problem);

// The files set aside since the last call, oldest first; the record is emptied.
std::vector<UnreadableFile> TakeUnreadableFiles();

} // namespace win
