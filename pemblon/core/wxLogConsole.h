#pragma once

#include <wx/log.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {

// A single-instance wx log target that sends each line, behind a prefix, to the debugger
// output. For the GUI thread, as the wx log target is.
class PBN_API wxLogConsole : public wxLog {
public:
    // The instance, made on first use; making it does not activate it.
    static wxLogConsole* get();
    // true: becomes the active target (unless it already is), remembering the one it replaced.
    // false: gives the active place back to that target if this one holds it.
    static void activate(const bool& on);
    // Deactivates and deletes the instance, if any.
    static void destroy();

    wxLogConsole(const wxLogConsole& other);
    wxLogConsole& operator=(const wxLogConsole& other);
    virtual ~wxLogConsole();

    void setPrefix(const Strings::ostring& prefix);
    Strings::ostring getPrefix() const;

protected:
    wxLogConsole();
    void DoLogText(const wxString& msg) override;

private:
    Strings::ostring m_prefix;
    wxLog* m_previous;

    static wxLogConsole* _instance;
};

} // namespace PBN
