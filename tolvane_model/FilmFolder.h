#pragma once

// What the folder of a film tells about a film that could not be written.

#include <cstdint>
#include <string>

namespace Tolvane_model {

enum class FilmFolder {
    Writable,    // nothing there explains the failure
    NotWritable, // this process may not create files there (read-only folder or disk, gone)
    Full,        // its disk has less room left than a frame may need
};

// The state of `folder` (UTF-8) for a film writer that needs `room` more bytes.
FilmFolder filmFolderState(const std::string& folder, uint64_t room);

} // namespace Tolvane_model
