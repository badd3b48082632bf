#include "pemblon/core/wxLogConsole.h"

#include "platform/win/Win32.h"

namespace PBN {

using Strings::ostring;

wxLogConsole* wxLogConsole::_instance = nullptr;

wxLogConsole::wxLogConsole() : wxLog(), m_prefix(), m_previous(nullptr) {}

wxLogConsole::wxLogConsole(const wxLogConsole& other)
    : wxLog(), m_prefix(other.m_prefix), m_previous(other.m_previous) {}

wxLogConsole& wxLogConsole::operator=(const wxLogConsole& other) {
    if (this != &other) {
        m_prefix = other.m_prefix;
        m_previous = other.m_previous;
    }
    return *this;
}

wxLogConsole::~wxLogConsole() {
    if (_instance == this)
        _instance = nullptr;
}

wxLogConsole* wxLogConsole::get() {
    if (!_instance)
        _instance = new wxLogConsole();
    return _instance;
}

void wxLogConsole::activate(const bool& on) {
    wxLogConsole* self = get();
    if (on) {
        if (wxLog::GetActiveTarget() != self)
            self->m_previous = wxLog::SetActiveTarget(self);
        return;
    }
    if (wxLog::GetActiveTarget() == self)
        wxLog::SetActiveTarget(self->m_previous);
    self->m_previous = nullptr;
}

void wxLogConsole::destroy() {
    if (!_instance)
        return;
    activate(false);
    delete _instance;
}

void wxLogConsole::setPrefix(const ostring& prefix) {
    m_prefix = prefix;
}

ostring wxLogConsole::getPrefix() const {
    return m_prefix;
}

void wxLogConsole::DoLogText(const wxString& msg) {
    // Built wide: a narrow line would stop at the first character outside the narrow set.
    std::wstring line = m_prefix.wstr();
    line += msg.ToStdWstring();
    line += L'\n';
    OutputDebugStringW(line.c_str());
}

} // namespace PBN
