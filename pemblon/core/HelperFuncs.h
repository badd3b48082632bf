#pragma once

#include <cstdint>
#include <vector>

#include <wx/bitmap.h>
#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/icon.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

class wxProgressDialog;

namespace PBN {

// Library start and stop, paths, window ids, image loading, URL opening and mail-header dates.
// Static functions only.
class PBN_API HelperFuncs {
public:
    HelperFuncs(const HelperFuncs&) {}
    HelperFuncs& operator=(const HelperFuncs&) { return *this; }
    virtual ~HelperFuncs();

    // The next window id getNextWndId hands out; 6000 when the library loads.
    static int32_t _nextWndId;

    // Starts the XML layer, libcurl and the wx image handlers. Call once, before any XML,
    // network or image work. Passes on what the XML layer's start throws.
    static void initLib();
    static void initLib(const Strings::ostring& unused);
    // Deletes the log console and string table single instances and stops libcurl and the XML
    // layer. Call once, after the last use of the library.
    static void releaseLib();

    static int32_t getNextWndId();

    static Strings::ostring getDirSep();
    // The path ending with exactly the separator it had, or one more.
    static Strings::ostring ensureDir(const Strings::ostring& path);
    static bool isDir(const Strings::ostring& path);
    // The running program's directory, ending with the separator.
    static Strings::ostring getAppDir();
    // An absolute path as it is; otherwise appended to the working directory (fromCwd) or to
    // the program's directory. Nothing is normalised.
    static Strings::ostring getAbsolutePath(const Strings::ostring& path, const bool& fromCwd);
    // The strings up to the null pointer, joined with the separator.
    static Strings::ostring dir(const char* first, ...) __attribute__((sentinel));
    // The strings up to the null pointer; the first is always taken.
    static std::vector<Strings::ostring> strArray(const char* first, ...) __attribute__((sentinel));

    // Creates every missing directory of the path. A relative path is taken from the working
    // directory. Throws: Exception (SEVERE) when a component is a file or cannot be created;
    // the directories made before stay.
    static void ensureDirExists(const Strings::ostring& path, const int32_t& permissions);
    // Removes the directory when empty; true when it was removed.
    static bool rmdir(const Strings::ostring& path, const int32_t& flags);

    // An invalid bitmap or icon when the file cannot be read.
    static wxBitmap loadBitmap(const Strings::ostring& path);
    static wxIcon loadIcon(const Strings::ostring& path);
    static void setProgressDialogSize(wxProgressDialog* dialog);

    // Opens the URL or file with the program associated with its type; true when a command
    // was started.
    static bool openURL(const Strings::ostring& url);

    // The local offset from UTC at that date: "+00" sep "00" when it is zero, otherwise
    // " +HH" sep "MM" or " -HH" sep "MM".
    static Strings::ostring formatTimezone(const wxDateTime& date, const Strings::ostring& sep);
    // "Mon, 02 Jan 2006 15:04:05 " and the zone, with English day and month names.
    static Strings::ostring dateToRfc822(const wxDateTime& date);

protected:
    HelperFuncs() {}
};

} // namespace PBN
