#pragma once

// Names of the texts the camera library shows, in the viewer's string table (namespace
// "Tolvane"). The viewer names them too, beside its own (tolvane/res/StringIds.h).

#include <cstdint>

namespace Tolvane_model::ids {

// "%s" takes the failed call's name; the error code follows the text.
constexpr uint32_t CameraError = 63;
// Follows CameraError when the camera was unplugged; "%s" takes the camera's name.
constexpr uint32_t CameraGone = 104;
// Follows CameraError when no camera could be opened: none is there, or each is taken.
constexpr uint32_t NoFreeCamera = 106;
constexpr uint32_t SettingsFileError = 64;
// Follows SettingsFileError when the file could not be written, and CameraError when a film could
// not be written for a reason its folder does not tell; "%s" takes the file's path.
constexpr uint32_t SettingsNotWritten = 107;
constexpr uint32_t InvalidFileName = 32;
// Follows InvalidFileName when a film's name holds a character the film writer cannot take; "%s"
// takes the character.
constexpr uint32_t CharacterNotInName = 108;
// Follow CameraError when a film could not be written; "%s" takes the film's folder.
constexpr uint32_t FolderNotWritable = 109;
constexpr uint32_t DiskFull = 110;

} // namespace Tolvane_model::ids
