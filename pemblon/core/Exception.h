#pragma once

#include <cstdint>
#include <ostream>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

class wxWindow;

namespace PBN {

// The one failure type of the library and of everything built on it. Thrown by value,
// caught by reference; it deliberately derives from nothing.
class PBN_API Exception {
public:
    enum Severity : int32_t {
        DEBUG0 = 0,
        DEBUG1 = 1,
        DEBUG2 = 2,
        DEBUG3 = 3,
        DEBUG4 = 4,
        DEBUG5 = 5,
        DEBUG6 = 6,
        DEBUG7 = 7,
        INFO = 8,
        WARNING = 9,
        SEVERE = 10
    };

    Exception(const Strings::ostring& message = Strings::ostring(), const Severity& severity = SEVERE);
    // With isHRESULT false the code is a Win32 error code and is turned into an HRESULT first.
    // The message is the system text of the code.
    Exception(const uint32_t& code, const bool& isHRESULT);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    virtual ~Exception();

    // The message as the thrower gave it.
    virtual Strings::ostring getMessage() const;
    // The message as a user sees it: translated severity prefix, then the message (wide text).
    virtual Strings::ostring formatMessage() const;
    virtual Severity getSeverity() const;

    // Negative: SEVERE, 0: INFO, 1: WARNING, other positive values keep the severity.
    // The system text of hr is appended to the message.
    void setHRESULT(const int32_t& hr);
    void setWinError(const uint32_t& code);

    // Throws: Exception (SEVERE, system text of hr) when hr is negative.
    static void checkCOMError(const int32_t& hr);
    // The system text of a Win32 error code or HRESULT, ending with "\r\n"; "" when unknown.
    static Strings::ostring errorToString(const uint32_t& code);
    // A value outside 1..10 gives "DEBUG0".
    static Strings::ostring severityToString(const Severity& severity);
    // Case-insensitive; anything unknown gives DEBUG0.
    static Severity stringToSeverity(const Strings::ostring& text);

    // Shows a modal message box (caption "Exception") and returns when the user closes it.
    void display(wxWindow* parent = nullptr, const bool& raw = false) const;

protected:
    Strings::ostring message;
    Severity severity;
};

} // namespace PBN

// Writes formatMessage(), so subclasses that reformat are honoured.
PBN_API std::wostream& operator<<(std::wostream& os, const PBN::Exception& e);
