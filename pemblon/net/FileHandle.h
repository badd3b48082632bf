#pragma once

#include <wx/filename.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/NetHandle.h"

namespace PBN::Net {

// Reads "file://" URLs through libcurl, into a local file or into the body buffer. The path
// given at construction becomes the base URL once.
class PBN_API FileHandle : public NetHandle {
public:
    // Throws: PBN::Exception (SEVERE) when path is neither a URL nor a valid file name.
    FileHandle(const Strings::ostring& path = Strings::ostring(),
               const Strings::ostring& username = Strings::ostring(),
               const Strings::ostring& password = Strings::ostring());
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    virtual ~FileHandle();

    // Fetches the base URL into localPath, or into the body buffer when localPath is empty.
    // Throws: PBN::Exception (SEVERE) when localPath cannot be created; nothing is transferred.
    bool get(const Strings::ostring& localPath);

    // A URL (one wxURL reads without error) comes back unchanged. A file name becomes a
    // "file://" URL: a drive letter gives "file://C:/...", a server name "file:////server/...",
    // a POSIX absolute path "file:///...". A native relative path is taken from the working
    // directory. Blanks, "%", "#", "?" and control characters are percent-encoded, since libcurl
    // would refuse the URL or fetch another file.
    // Throws: PBN::Exception (SEVERE) for an invalid path (an empty one, for instance).
    static Strings::ostring pathToURL(const Strings::ostring& path,
                                      const wxPathFormat& format = wxPATH_NATIVE);
};

} // namespace PBN::Net
