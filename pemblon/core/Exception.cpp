#include "pemblon/core/Exception.h"

#include "pemblon/core/Defines.h"

#include <string>

#include <wx/intl.h>
#include <wx/msgdlg.h>

#include "platform/win/Win32.h"

namespace PBN {

using Strings::ostring;

namespace {

// The library's translation domain.
const wxString domain = wxS("Pemblon");

std::wstring translate(const wchar_t* text) {
    return wxGetTranslation(wxString(text), domain).ToStdWstring();
}

// Win32's HRESULT_FROM_WIN32.
uint32_t hresultFromWin32(uint32_t code) {
    return static_cast<int32_t>(code) <= 0 ? code : (code & 0xFFFFu) | 0x80070000u;
}

const char* const severityNames[] = {"DEBUG0", "DEBUG1", "DEBUG2", "DEBUG3",  "DEBUG4", "DEBUG5",
                                     "DEBUG6", "DEBUG7", "INFO",   "WARNING", "SEVERE"};

} // namespace

Exception::Exception(const ostring& message, const Severity& severity)
    : message(message), severity(severity) {}

// Positive HRESULTs other than 1 are success codes, which setHRESULT leaves alone: start from INFO.
Exception::Exception(const uint32_t& code, const bool& isHRESULT) : message(), severity(INFO) {
    setHRESULT(static_cast<int32_t>(isHRESULT ? code : hresultFromWin32(code)));
}

Exception::Exception(const Exception& other) = default;

Exception& Exception::operator=(const Exception& other) {
    if (this != &other) {
        message = other.message;
        severity = other.severity;
    }
    return *this;
}

Exception::~Exception() = default;

ostring Exception::getMessage() const {
    return message;
}

ostring Exception::formatMessage() const {
    std::wstring text;
    if (severity == WARNING)
        text += translate(L"Warning: ");
    else if (severity == SEVERE)
        text += translate(L"Error: ");
    if (message.size() == 0)
        text += translate(L"An unknown error has occured.");
    text += message.wstr();
    return ostring(text);
}

Exception::Severity Exception::getSeverity() const {
    return severity;
}

void Exception::setHRESULT(const int32_t& hr) {
    if (hr < 0)
        severity = SEVERE;
    else if (hr == 0)
        severity = INFO;
    else if (hr == 1)
        severity = WARNING;
    message += errorToString(static_cast<uint32_t>(hr));
}

void Exception::setWinError(const uint32_t& code) {
    setHRESULT(static_cast<int32_t>(hresultFromWin32(code)));
}

void Exception::checkCOMError(const int32_t& hr) {
    if (hr >= 0)
        return;
    Exception e;
    e.setHRESULT(hr);
    throw e;
}

ostring Exception::errorToString(const uint32_t& code) {
    return ostring(SystemErrorText(code).c_str());
}

ostring Exception::severityToString(const Severity& severity) {
    const int32_t value = severity;
    return ostring(severityNames[value >= 1 && value <= 10 ? value : 0]);
}

Exception::Severity Exception::stringToSeverity(const ostring& text) {
    for (int32_t value = 1; value <= 10; ++value) {
        if (ci_eq(text, ostring(severityNames[value])))
            return static_cast<Severity>(value);
    }
    return DEBUG0;
}

void Exception::display(wxWindow* parent, const bool& raw) const {
    const Severity current = getSeverity();
    long icon = wxICON_INFORMATION;
    if (current == WARNING)
        icon = wxICON_EXCLAMATION;
    else if (current == SEVERE)
        icon = wxICON_HAND;
    const ostring text = raw ? getMessage() : formatMessage();
    // The caption is the one text of the box not built by the thrower: it follows the language.
    wxMessageBox(text.wxstr(), wxGetTranslation(wxS("Exception"), Defines::name().wxstr()), wxOK | icon,
                 parent);
}

} // namespace PBN

std::wostream& operator<<(std::wostream& os, const PBN::Exception& e) {
    return os << e.formatMessage().wstr();
}
