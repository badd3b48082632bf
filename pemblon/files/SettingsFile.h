#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <memory>
#include <string>

namespace PBN {
namespace XML {
class XMLDoc;
}
namespace Files {
namespace Private {

// What the two settings stores (ConfFile and Config) share: how a document reaches the disk,
// how it is read back, which names may be written, and their translated messages.
//
// The rule both stores live by: a file is never replaced by one that cannot be loaded again.
// Every save serialises the document, parses the result once in memory, writes it to a
// temporary file beside the target and renames it over the target. A failure at any step
// throws and leaves the old file whole.
class PBN_API SettingsFile {
public:
    // Throws: PBN::Exception (SEVERE) naming the file when the document cannot be serialised,
    // would not load again, or cannot be written or renamed into place.
    static void write(const XML::XMLDoc& doc, const Strings::ostring& path);

    // Loads a settings file keeping blank text, without validation. A file that the strict
    // loader refuses only because an element or attribute name carries a prefix that no
    // declaration binds ("x:y", which keys may name) is loaded as it stands instead.
    // Throws: XML::XMLException from the strict loader for any other fault.
    static std::unique_ptr<XML::XMLDoc> load(const Strings::ostring& path);

    // Whether `name` can be written as an element or attribute name and read back: a
    // qualified XML name in UTF-8, neither the namespace declaration "xmlns" nor one of its
    // prefix, nor in the reserved "xml" prefix.
    static bool isValidName(const Strings::ostring& name);

    // The text translated in the library's domain.
    static Strings::ostring tr(const char* text);
    // The translated text with %1% replaced by `arg`.
    static Strings::ostring tr(const char* text, const Strings::ostring& arg);

    // Tests only: called with the temporary file's name once it is written and before it is
    // renamed; an exception from it aborts the save. Null restores normal saving.
    using InterruptHook = void (*)(const std::string& temporaryPath);
    static void setInterruptHook(InterruptHook hook);
};

} // namespace Private
} // namespace Files
} // namespace PBN
