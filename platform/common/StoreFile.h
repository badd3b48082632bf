#pragma once

// Reading a whole settings store without ever waiting on it. A named pipe, a device or a socket
// put where a store should be would block an ordinary open (a pipe until a writer comes, which
// may be never) while the caller holds the store's lock; such a thing is only looked at, never
// opened, and the open that reads a file cannot wait either: it is checked to be the regular
// file it was before a byte is read.

#include <string>

enum class StoreFileRead {
    Read,     // text holds the whole file
    Missing,  // nothing stands at the path
    Folder,   // a folder stands there
    NotAFile, // something else that is no regular file stands there (a link loop too)
    Failed,   // it is a file but cannot be read (the system's error number says why)
};

// A symbolic link to a file counts as the file; links that lead round in a loop are no file.
StoreFileRead readStoreFile(const std::string& path, std::string& text);
// What stands at the path, only looked at: Read for a file that readStoreFile would read.
StoreFileRead storeFileKind(const std::string& path);
