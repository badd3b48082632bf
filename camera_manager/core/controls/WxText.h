#pragma once

// The camera manager's UTF-16 text in and out of wxWidgets.

#include <string>
#include <wx/string.h>

wxString ToWx(const std::u16string& text);
wxString ToWx(const char16_t* text);
std::u16string FromWx(const wxString& text);
// A resource string of the current language as wx text.
wxString ResourceText(unsigned id);
