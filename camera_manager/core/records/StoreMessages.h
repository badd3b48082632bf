#pragma once

// The messages that tell the user about a settings store that could not be used, in the language
// chosen now (a store may have been read before the language library was loaded).

#include "platform/win/PortDevices.h"
#include "platform/win/UnreadableFiles.h"

#include <string>

// A file that was set aside (its path, what was wrong, where it is now), or one that was left
// where it is because it is no file.
std::u16string UnreadableFileMessage(const win::UnreadableFile& file);
// A change of the COM port store that could not be saved, with its cause.
std::u16string PortStoreFailureMessage(const win::PortStoreFailure& failure);
// The downloaded update list could not take its place because a folder (or something else that
// is no file) stands there.
std::u16string UpdateListNotStoredMessage(const std::string& path, bool folder);
