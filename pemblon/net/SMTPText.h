#pragma once

// The byte-level forms of a mail's parts on the wire, as plain functions. None throws except
// allocation failures.

#include <string>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Net {
namespace SMTPText {

// The narrow form of text with CR LF line ends (a lone CR or LF becomes CR LF).
PBN_API std::string crlfLines(const Strings::ostring& text);

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

// True when the text holds a CR or an LF: such a text would add lines to a header or a command.
PBN_API bool hasLineBreak(const Strings::ostring& text);

// The text with every backslash and double quote escaped, for a quoted header parameter.
PBN_API Strings::ostring quotedParameter(const Strings::ostring& text);

} // namespace SMTPText
} // namespace Net
} // namespace PBN
