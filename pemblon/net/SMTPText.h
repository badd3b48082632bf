#pragma once

// The byte-level forms of a mail's parts on the wire, as plain functions. None throws except
// allocation failures.

#include <string>
#include <vector>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {
namespace SMTPText {

// The text with CR LF line ends (a lone CR or LF becomes CR LF) as bytes in the first charset
// that holds every character of it: ISO-8859-1, else UTF-8. `charset` receives its name.
PBN_API std::string bodyLines(const Strings::ostring& text, std::string& charset);

// The length of the longest line of a text whose lines end in CR LF.
PBN_API size_t longestLine(const std::string& crlfText);

// Dot-stuffing: an extra "." before every line that begins with ".", the first line included,
// so that no line of the text can end the DATA section. Lines end in CR LF.
PBN_API std::string dotStuffed(const std::string& crlfText);

// Quoted-printable form of a text whose lines end in CR LF: the line ends stay hard breaks, "="
// and every byte outside printable ASCII are written "=XX", a blank or tab at the end of a line
// is encoded, and soft breaks ("=" CR LF) keep every line at most 76 characters.
PBN_API std::string quotedPrintable(const std::string& crlfText);

// Base64 of the bytes in lines of 76 characters separated by CR LF, with no line end after the
// last line; "" for no bytes.
PBN_API std::string base64Lines(const ByteArray& bytes);

// True when the text holds a CR or an LF: such a text would add lines to a header. For header text
// that goes out as encoded words when needed (a NUL among them); commands and raw header values
// refuse NUL as well (Detail::breaksLine).
PBN_API bool hasLineBreak(const Strings::ostring& text);

// Whether a line of the CR LF text begins with "--" and the boundary: a reader would take it for a
// delimiter and open a part of the text's own choosing there.
PBN_API bool opensPart(const std::string& crlfText, const std::string& boundary);

// Why a boundary cannot be one (RFC 2046: 1 to 70 of digits, letters, blanks and ' ( ) + _ , - . / : = ?,
// no blank at its end), for a refusal; "" when it can.
PBN_API std::string boundaryFault(const Strings::ostring& boundary);

// The text with every backslash and double quote escaped, for a quoted header parameter.
PBN_API Strings::ostring quotedParameter(const Strings::ostring& text);

// Whether header text must go out as encoded words: it holds a character outside printable ASCII
// (blanks and tabs are fine), an "=?" that a reader would take for an encoded word, or a word too
// long to fold.
PBN_API bool needsEncoding(const Strings::ostring& text);

// RFC 2047 encoded words ("=?UTF-8?B?...?=", at most 75 characters each, whole characters in
// each) for the UTF-8 of the text, separated by blanks; "" for an empty text.
PBN_API std::string encodedWords(const Strings::ostring& text);

// The same with `bytesPerWord` bytes of UTF-8 at most in each word.
PBN_API std::string encodedWords(const Strings::ostring& text, size_t bytesPerWord);

// A display name as encoded words: one word, however long, unless the name passes 600 bytes of
// UTF-8. Readers that join the words of a name with blanks (Python's email package) would
// otherwise show blanks the name does not have.
PBN_API std::string displayNameWords(const Strings::ostring& text);

// Header text as sent: the text itself when it needs no encoding, its encoded words otherwise.
PBN_API std::string headerText(const Strings::ostring& text);

// "Name: value" and CR LF, folded (CR LF before a blank) so that lines stay within 78 characters
// wherever the value has blanks; unfolding gives the value back.
PBN_API std::string headerLine(const std::string& name, const std::string& value);

// Like headerLine for a list of items joined by "," (no blank): a line may also break after a
// comma, the next line then starting with a blank.
PBN_API std::string headerList(const std::string& name, const std::vector<std::string>& items);

// An RFC 2231 parameter "; name*=UTF-8''<percent-encoded UTF-8>", split into "name*0*",
// "name*1*" ... pieces on lines of their own when it is long. Starts with ";".
PBN_API std::string extendedParameter(const std::string& name, const Strings::ostring& value);

} // namespace SMTPText
} // namespace Net
} // namespace PBN
