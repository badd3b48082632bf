#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace XML {

// Collects what libxml2 (and libxslt) report while one of our calls runs, so that the report
// can be thrown as XMLException once the C library has returned. Throwing from inside the C
// callbacks would leak parser contexts, half-built documents and open files.
//
// Open one on the stack around every call into libxml2 that can report, free whatever that
// call built, then call check(). Scopes nest: only the outermost one clears the record on entry,
// so a report made under an inner scope is still seen by an outer check(). The hooks are
// installed on the calling thread by every scope, because libxml2 keeps them per thread.
class PBN_API XMLErrorScope {
public:
    XMLErrorScope();
    XMLErrorScope(const XMLErrorScope&) = delete;
    XMLErrorScope& operator=(const XMLErrorScope&) = delete;
    ~XMLErrorScope();

    // A report was recorded on this thread since the outermost scope opened.
    bool failed() const;
    // The first recorded report ("" when none).
    Strings::ostring message() const;
    // Forgets the recorded report.
    void clear();
    // Throws: XMLException (SEVERE) with the first recorded report, which is then forgotten.
    void check();

    // Records a report on the calling thread unless one is already recorded; the first report
    // is the one a caller sees. For error callbacks of other libxml2-based code (XSLT, SAX).
    static void record(const Strings::ostring& text);
    // Installs our libxml2 error hooks on the calling thread (and as the default of new threads).
    static void installHooks();
};

} // namespace XML
} // namespace PBN
