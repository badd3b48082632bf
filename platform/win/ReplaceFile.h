#pragma once

// Writes a whole file so that readers see either the old contents or the new, never a part:
// the bytes go to a temporary file beside it, which is then renamed over it.

#include <string>

namespace win {

// False when the temporary file cannot be written or renamed; the old file is then unchanged
// and no temporary file is left.
bool replaceFileContents(const std::string& path, const std::string& bytes);

} // namespace win
