#pragma once

// Private to the network clients: texts and bytes as the handles exchange them with libcurl.

#include <string>

#include <wx/buffer.h>

#include "pemblon/strings/ostring.h"

namespace PBN::Net::Detail {

// The library's translation of text (domain "Pemblon").
Strings::ostring translated(const wchar_t* text);
// The translation with %1% replaced by value; the untranslated text when a translation's
// place-holder is broken.
Strings::ostring translated(const wchar_t* text, const Strings::ostring& value);
// Received bytes as text, NULs kept: UTF-8, or ISO-8859-1 when they are not UTF-8.
Strings::ostring decodeReceived(const char* data, size_t length);
Strings::ostring decodeReceived(const wxMemoryBuffer& buffer);
// The UTF-8 bytes of a text, every character kept (NUL included): what goes on the wire as
// header lines, commands, mail text and encoded words. Narrow text is CP1252.
std::string utf8(const Strings::ostring& text);
// The bytes libcurl gets for URLs, credentials, proxy names and form names: UTF-8 as well, as the
// host's file names and servers have them, whatever characters the text holds.
std::string bytes(const Strings::ostring& text);
// What in the text would break a protocol line, for a refusal to name: "a CR" or "an LF" (put into
// a request line, a header or a command, it would end that line early and start one of its own),
// "a NUL" (where libcurl reads a C string it cuts the line short; only asked for when nulBreaks),
// the first one found; null when the text holds none.
const char* lineBreaker(const Strings::ostring& text, bool nulBreaks = true);
// lineBreaker() found something. Every caller's text bound for a protocol line is asked this first.
bool breaksLine(const Strings::ostring& text);
// Why a text is refused: "<what> holds a NUL, which would cut its line short", or "... a line break
// (CR|LF), which would start a line of its own"; "" when lineBreaker() finds nothing.
std::string lineRefusal(const std::string& what, const Strings::ostring& text, bool nulBreaks = true);

} // namespace PBN::Net::Detail
